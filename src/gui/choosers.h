// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

#include "core/series.h"
#include "core/settings.h"

namespace parlatone {

class Operator;

// The file and folder choosers. Windows reach them through this interface so
// that tests can answer them.
class Choosers {
 public:
  virtual ~Choosers() = default;

  // One existing file, its full path. Cancel: nothing.
  virtual QString ChooseOpenFile(QWidget* owner, const FileFilter& filter,
                                 const QString& initial_folder, const QString& title) = 0;
  // Existing files, their full paths in the order the dialog gives them,
  // as many as the operator chose. Cancel: none.
  virtual QStringList ChooseOpenFiles(QWidget* owner, const FileFilter& filter,
                                      const QString& initial_folder, const QString& title) = 0;

  // A file to write, the dialog proposing `proposed_name` (none when empty)
  // in the initial folder. The path must end in the default extension (three
  // characters, any case), else message 2050 and nothing.
  virtual QString ChooseSaveFile(QWidget* owner, const FileFilter& filter,
                                 const QString& initial_folder, const QString& proposed_name,
                                 const QString& default_extension, const QString& title) = 0;

  virtual QString ChooseFolder(QWidget* owner, const QString& title,
                               const QString& initial_folder) = 0;

  // One file name in an open chooser that also takes a name not yet in use,
  // for a file to be read or made (the sound tools' boxes). Preset with
  // `initial` (a file or a folder). Cancel: nothing. Without an override it
  // is the one-file open chooser.
  virtual QString ChooseFileName(QWidget* owner, const FileFilter& filter, const QString& initial,
                                 const QString& title) {
    return ChooseOpenFile(owner, filter, initial, title);
  }
};

// Qt's dialogs.
class QtChoosers : public Choosers {
 public:
  explicit QtChoosers(Operator& op) : op_(op) {}
  QString ChooseOpenFile(QWidget* owner, const FileFilter& filter, const QString& initial_folder,
                         const QString& title) override;
  QStringList ChooseOpenFiles(QWidget* owner, const FileFilter& filter,
                              const QString& initial_folder, const QString& title) override;
  QString ChooseSaveFile(QWidget* owner, const FileFilter& filter, const QString& initial_folder,
                         const QString& proposed_name, const QString& default_extension,
                         const QString& title) override;
  QString ChooseFolder(QWidget* owner, const QString& title,
                       const QString& initial_folder) override;
  QString ChooseFileName(QWidget* owner, const FileFilter& filter, const QString& initial,
                         const QString& title) override;

 private:
  Operator& op_;
};

// The kind of file a filter offers: sound files, control and temporary save
// files, or PDF files. Nothing for any other filter.
std::optional<FileKind> KindOfFilter(const FileFilter& filter);

// Choosers that open where the operator last chose a file of the same kind,
// in this run or an earlier one. The folder of every file chosen goes into
// the run's settings and at once into the settings file, one key per kind.
// A kind without a folder yet, or whose folder is gone, opens where the
// window asks (mostly the card data folder); so does a box that already
// holds a file, and every folder chooser, which names no kind.
class FolderKeepingChoosers : public Choosers {
 public:
  FolderKeepingChoosers(Choosers& dialogs, Settings& settings, QString settings_file)
      : dialogs_(dialogs), settings_(settings), settings_file_(std::move(settings_file)) {}
  QString ChooseOpenFile(QWidget* owner, const FileFilter& filter, const QString& initial_folder,
                         const QString& title) override;
  QStringList ChooseOpenFiles(QWidget* owner, const FileFilter& filter,
                              const QString& initial_folder, const QString& title) override;
  QString ChooseSaveFile(QWidget* owner, const FileFilter& filter, const QString& initial_folder,
                         const QString& proposed_name, const QString& default_extension,
                         const QString& title) override;
  QString ChooseFolder(QWidget* owner, const QString& title,
                       const QString& initial_folder) override;
  QString ChooseFileName(QWidget* owner, const FileFilter& filter, const QString& initial,
                         const QString& title) override;

 private:
  QString StartFolder(const FileFilter& filter, const QString& asked) const;
  void Remember(const FileFilter& filter, const QString& chosen);

  Choosers& dialogs_;
  Settings& settings_;
  QString settings_file_;
};

// The rule the save chooser applies to what the dialog returned, apart from
// the dialog: the extension test. And the filter as the dialog shows it: the
// description without patterns of its own, then the patterns once
// ("ParlatoneEditorファイル (*.wpj *.wpg)").
QString DialogFilter(const FileFilter& filter);
QString CheckSaveExtension(const QString& path, const QString& default_extension, Operator& op);

}  // namespace parlatone
