// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

#include "core/language.h"

namespace parlatone {

class Operator;
class Project;

// The settings dialog's work, apart from the window: private copies of the
// card folder, the card data file name, the series, the auxiliary function
// and the interface language; the dirty and series-changed flags; the checks of OK in their
// order, the commit and the settings file; what Cancel asks.
class SettingsSession {
 public:
  // The series options in the order the dialog lists them: the QDX models
  // first, then the LYR family, the MP3 series, and the older LYR models.
  static constexpr int kOptionCount = 8;
  static constexpr std::array<int, kOptionCount> kModeOfOption = {1, 4, 2, 5, 6, 7, 0, 3};
  static int ModeOfOption(int option);
  static int OptionOfMode(int mode);

  // The text boxes that a refused OK sends the operator back to.
  enum class Field { kNone, kCardName, kCardPath };

  SettingsSession(Project& project, QString settings_file);

  const QString& CardPath() const { return card_path_; }
  const QString& CardName() const { return card_name_; }
  int SelectedMode() const { return selected_mode_; }
  bool StereoAccepted() const { return stereo_accepted_; }
  LanguageChoice Language() const { return language_; }

  // Every edit of the two boxes counts as a change, even one that types the
  // old text back.
  void EditCardPath(const QString& text);
  void EditCardName(const QString& text);
  // Choosing another series than the one in use marks the series as changed
  // for good: choosing the old one again does not undo the mark.
  void ChooseSeries(int mode);
  void ChooseStereo(bool accepted);
  // The interface language takes effect at the next start.
  void ChooseLanguage(LanguageChoice choice);

  // What the operator reads beside series option `option` with the current
  // auxiliary function choice.
  int DescriptionMessage(int option) const;
  // The label of the file name box names the extension of the series in use.
  int FileNameLabelMessage() const;

  // The checks of OK, in order; the first failure is shown and its box
  // returned. A missing card folder is offered for creation, parent by parent.
  Field Validate(Operator& op);

  struct OkResult {
    bool closed = false;
    Field field = Field::kNone;  // the box to go back to when refused
    bool series_changed = false;  // the operator confirmed a new series
  };
  // Checks, asks about a series change, commits to the project and writes
  // the settings file.
  OkResult Ok(Operator& op);
  // Cancel or the close box: asks 2074 after a change; true when the window
  // closes. Nothing is committed either way.
  bool Cancel(Operator& op);

 private:
  void Commit(bool series_confirmed);
  bool WriteSettingsFile() const;

  Project& project_;
  QString settings_file_;
  QString card_path_;
  QString card_name_;
  int selected_mode_;
  bool stereo_accepted_;
  LanguageChoice language_;
  bool dirty_ = false;
  bool series_changed_ = false;
};

// Creates the folder and every missing parent, one level after another from
// the top. False when a level could not be made.
bool CreateFolderLevels(const QString& folder);

}  // namespace parlatone
