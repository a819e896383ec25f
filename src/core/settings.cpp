// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/ini_file.h"
#include "core/paths.h"
#include "core/series.h"
#include "core/text.h"

namespace parlatone {
namespace {

QString ReadText(const QByteArray& content, QLatin1String section, QLatin1String key) {
  return CutAtNul(IniFile::FindValue(content, section, key).value_or(QString()));
}

int ReadInteger(const QByteArray& content, QLatin1String section, QLatin1String key) {
  return ParseIntegerSetting(ReadText(content, section, key));
}

}  // namespace

QLatin1String LastFolderKey(FileKind kind) {
  switch (kind) {
    case FileKind::kSound:
      return ini::kLastSoundPath;
    case FileKind::kControl:
      return ini::kLastControlPath;
    case FileKind::kPdf:
      return ini::kLastPdfPath;
  }
  return ini::kLastSoundPath;
}

int ParseIntegerSetting(const QString& text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok, 10);
  if (!ok || value < -32768 || value > 32767) {
    return 0;
  }
  return value;
}

Settings ReadSettings(const QString& settings_file) {
  QByteArray content;
  QFile file(settings_file);
  if (file.open(QIODevice::ReadOnly)) {
    content = file.readAll();
  }
  Settings settings;
  settings.WavePath = ReadText(content, ini::kSystem, ini::kWavePath);
  settings.CardPath = ReadText(content, ini::kSystem, ini::kCardPath);
  settings.CardName = ReadText(content, ini::kSystem, ini::kCardName);
  settings.Mode = ReadInteger(content, ini::kSystem, ini::kMode);
  if (settings.Mode < 0 || settings.Mode > 7) {
    settings.Mode = 0;
  }
  settings.AddFunction = ReadInteger(content, ini::kSystem, ini::kAddFunction);
  settings.FileCapacity = ReadInteger(content, ini::kSystem, ini::kFileCapacity);
  settings.PrtSheet = ReadText(content, ini::kSystem, ini::kPrtSheet);
  for (int kind = 0; kind < kFileKindCount; ++kind) {
    settings.LastFolders[static_cast<size_t>(kind)] =
        ReadText(content, ini::kSystem, LastFolderKey(static_cast<FileKind>(kind)));
  }
  for (size_t i = 0; i < kUserDataKeys.size(); ++i) {
    settings.UserData[i] = ReadText(content, ini::kUserData, kUserDataKeys[i]);
  }
  settings.Language = ParseLanguageChoice(ReadText(content, ini::kSystem, ini::kLanguage));
  return settings;
}

bool WriteSetting(const QString& settings_file, const QString& section, const QString& key,
                  const QString& value) {
  return IniFile::Write(settings_file, section, key, value);
}

StartupSettings LoadStartupSettings(const AppPaths& paths, FirstStartWrites writes) {
  StartupSettings result;
  result.first_start = !QFileInfo::exists(paths.settings_file);
  const bool write = writes == FirstStartWrites::kWrite;
  if (result.first_start && write) {
    result.written &= WriteSetting(paths.settings_file, QString(ini::kSystem),
                                   QString(ini::kCardPath), DefaultCardPath());
    // The folder proposed must also be there: card making refuses a card
    // data folder that does not exist, and a new user's first card would
    // otherwise be sent to the settings dialog. A failure here only means
    // that refusal later, as for any missing folder.
    QDir().mkpath(DefaultCardPath());
  }
  result.settings = ReadSettings(paths.settings_file);
  if (result.first_start) {
    result.settings.Mode = kDefaultFirstStartMode;
    // A card data file name as well: the settings dialog insists on one,
    // and a new user who only wants another series must not have to invent
    // it first.
    result.settings.CardName = QString::fromLatin1(kDefaultFirstStartCardName);
    if (write) {
      result.written &= WriteSetting(paths.settings_file, QString(ini::kSystem),
                                     QString(ini::kCardName), result.settings.CardName);
      result.written &= WriteSetting(paths.settings_file, QString(ini::kSystem),
                                     QString(ini::kMode), QString::number(kDefaultFirstStartMode));
    }
    // The default card folder must hold even when the file could not be written.
    if (result.settings.CardPath.isEmpty()) {
      result.settings.CardPath = DefaultCardPath();
    }
  }
  return result;
}

}  // namespace parlatone
