// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_session.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <vector>

#include "core/card_data.h"
#include "core/ini_file.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "core/text.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// Blanks typed around a name or a folder do not belong to it; a full-width
// blank does, so that the name check still sees and refuses it.
QString TrimBlanks(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
  while (begin < end && blank(text.at(begin))) {
    ++begin;
  }
  while (end > begin && blank(text.at(end - 1))) {
    --end;
  }
  return text.mid(begin, end - begin);
}

void Refuse(Operator& op, int number) {
  ShowMessage(op, number, msg::kTitleConfirm, MessageIcon::kExclamation);
}

void RefuseText(Operator& op, const QString& text) {
  ShowText(op, text, msg::kTitleConfirm, MessageIcon::kExclamation);
}

}  // namespace

int SettingsSession::ModeOfOption(int option) {
  return kModeOfOption[static_cast<size_t>(std::clamp(option, 0, kOptionCount - 1))];
}

int SettingsSession::OptionOfMode(int mode) {
  // A mode outside the table is series 0, as everywhere else.
  const auto found = std::find(kModeOfOption.begin(), kModeOfOption.end(), Series(mode).mode);
  return static_cast<int>(found - kModeOfOption.begin());
}

SettingsSession::SettingsSession(Project& project, QString settings_file)
    : project_(project),
      settings_file_(std::move(settings_file)),
      card_path_(project.settings.CardPath),
      card_name_(project.settings.CardName),
      selected_mode_(project.Mode()),
      stereo_accepted_(project.settings.StereoAccepted()),
      language_(project.settings.Language) {}

void SettingsSession::EditCardPath(const QString& text) {
  card_path_ = text;
  dirty_ = true;
}

void SettingsSession::EditCardName(const QString& text) {
  card_name_ = text;
  dirty_ = true;
}

void SettingsSession::ChooseSeries(int mode) {
  selected_mode_ = mode;
  if (mode != project_.Mode()) {
    series_changed_ = true;
  }
}

void SettingsSession::ChooseStereo(bool accepted) {
  stereo_accepted_ = accepted;
  dirty_ = true;
}

void SettingsSession::ChooseLanguage(LanguageChoice choice) {
  language_ = choice;
  dirty_ = true;
}

int SettingsSession::DescriptionMessage(int option) const {
  return SeriesDescriptionMessage(ModeOfOption(option), stereo_accepted_);
}

int SettingsSession::FileNameLabelMessage() const {
  return SeriesMessage(SeriesText::kFileNameLabel, project_.Mode());
}

SettingsSession::Field SettingsSession::Validate(Operator& op) {
  const QString name = TrimBlanks(card_name_);
  if (name.isEmpty()) {
    Refuse(op, 2043);
    return Field::kCardName;
  }
  if (HasFullWidth(name)) {
    RefuseText(op, GetMessage(2062) + u"\r\n"_s + GetMessage(2059));
    return Field::kCardName;
  }
  if (AnsiByteLength(name) > kCardNameMaxBytes) {
    RefuseText(op, GetMessage(2061) + u"\r\n"_s + GetMessage(2059));
    return Field::kCardName;
  }
  if (HasForbiddenChar(name)) {
    RefuseText(op, GetMessage(2063) + ForbiddenCharList() + GetMessage(2064));
    return Field::kCardName;
  }

  const QString folder = TrimBlanks(card_path_);
  if (folder.isEmpty()) {
    Refuse(op, 2044);
    return Field::kCardPath;
  }
  // A relative folder would be taken from wherever the editor happened to be
  // started, and "~" is no folder at all outside a shell: card data would
  // land where the operator never looks.
  if (QDir::isRelativePath(folder)) {
    RefuseText(
        op,
        QCoreApplication::translate(
            "SettingsSession",
            "カードデータを保存するフォルダは、「%1」から始まるフルパスで指定してください。　　")
            .arg(QDir::separator()));
    return Field::kCardPath;
  }
  if (!QFileInfo(folder).isDir()) {
    const QString question = GetMessage(2045) + folder + u"\r\n"_s + GetMessage(2046);
    if (ShowText(op, question, msg::kTitleConfirm, MessageIcon::kExclamation,
                 MessageButtons::kYesNo) != MessageAnswer::kYes) {
      return Field::kCardPath;
    }
    if (!CreateFolderLevels(folder)) {
      Refuse(op, 2047);
      return Field::kCardPath;
    }
  }
  return Field::kNone;
}

SettingsSession::OkResult SettingsSession::Ok(Operator& op) {
  OkResult result;
  result.field = Validate(op);
  if (result.field != Field::kNone) {
    return result;
  }
  // Choosing another series and then the old one again leaves the series as
  // it is: nothing to confirm and no reason to discard the project.
  const bool new_series = series_changed_ && selected_mode_ != project_.Mode();
  if (new_series && AskBeforeDiscarding(op, 2048) != MessageAnswer::kYes) {
    return result;
  }
  bool written = false;
  {
    BusyScope busy(op);
    Commit(new_series);
    result.series_changed = new_series;
    written = WriteSettingsFile();
    dirty_ = false;
    series_changed_ = false;
  }
  if (!written) {
    // The choices hold for this run; the operator must know they will not
    // survive it.
    ShowText(op,
             QCoreApplication::translate(
                 "SettingsSession",
                 "設定ファイルに保存できませんでした。\r\n%1\r\n\r\n"
                 "変更した設定はこのまま使えますが、次回の起動時には元に戻ります。")
                 .arg(settings_file_),
             msg::kTitleError, MessageIcon::kError);
  }
  result.closed = true;
  return result;
}

void SettingsSession::Commit(bool series_confirmed) {
  Settings& settings = project_.settings;
  settings.CardPath = TrimBlanks(card_path_);
  settings.CardName = TrimBlanks(card_name_);
  if (series_confirmed) {
    settings.Mode = selected_mode_;
  }
  settings.AddFunction = stereo_accepted_ ? 1 : 0;
  settings.Language = language_;
}

bool SettingsSession::WriteSettingsFile() const {
  const Settings& settings = project_.settings;
  const QString system(ini::kSystem);
  std::vector<IniFile::Entry> entries = {
      {system, QString(ini::kWavePath), settings.WavePath},
      {system, QString(ini::kCardPath), settings.CardPath},
      {system, QString(ini::kCardName), settings.CardName},
      {system, QString(ini::kMode), QString::number(settings.Mode)},
      {system, QString(ini::kAddFunction), QString::number(settings.AddFunction)},
      {system, QString(ini::kFileCapacity), QString::number(settings.FileCapacity)},
  };
  // The system's language is no value: a file that never had the key keeps
  // lacking it, one that had it gets it emptied.
  if (settings.Language != LanguageChoice::kSystem ||
      IniFile::Read(settings_file_, system, QString(ini::kLanguage))) {
    entries.push_back({system, QString(ini::kLanguage), LanguageChoiceText(settings.Language)});
  }
  // The owner details are not edited here; they go back as start-up read them.
  for (size_t i = 0; i < kUserDataKeys.size(); ++i) {
    entries.push_back({QString(ini::kUserData), QString(kUserDataKeys[i]), settings.UserData[i]});
  }
  return IniFile::Write(settings_file_, entries);
}

bool SettingsSession::Cancel(Operator& op) {
  if (!dirty_ && !series_changed_) {
    return true;
  }
  return AskBeforeDiscarding(op, 2074) == MessageAnswer::kYes;
}

bool CreateFolderLevels(const QString& folder) {
  QString path = folder;
  if (path.isEmpty() || !IsPathSeparator(path.back())) {
    path += QDir::separator();
  }
  for (qsizetype i = 0; i < path.size(); ++i) {
    if (!IsPathSeparator(path.at(i))) {
      continue;
    }
    const QString level = path.left(i);
    if (level.isEmpty() || QFileInfo(level).isDir()) {
      continue;
    }
    if (!QDir().mkdir(level)) {
      return false;
    }
  }
  return QFileInfo(folder).isDir();
}

}  // namespace parlatone
