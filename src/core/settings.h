// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <array>

#include "core/language.h"

namespace parlatone {

struct AppPaths;

// Section and key names of the settings file.
namespace ini {
inline constexpr QLatin1String kSystem{"SYSTEM"};
inline constexpr QLatin1String kUserData{"UserData"};
inline constexpr QLatin1String kWavePath{"WavePath"};
inline constexpr QLatin1String kCardPath{"CardPath"};
inline constexpr QLatin1String kCardName{"CardName"};
inline constexpr QLatin1String kMode{"Mode"};
inline constexpr QLatin1String kAddFunction{"AddFunction"};
inline constexpr QLatin1String kFileCapacity{"FileCapacity"};
inline constexpr QLatin1String kPrtSheet{"PrtSheet"};
inline constexpr QLatin1String kLastSoundPath{"LastSoundPath"};
inline constexpr QLatin1String kLastControlPath{"LastControlPath"};
inline constexpr QLatin1String kLastPdfPath{"LastPdfPath"};
// "ja" or "en"; files written before the choice existed lack it, and the
// default, the system's language, is no value either.
inline constexpr QLatin1String kLanguage{"Language"};
}  // namespace ini

// The owner details, in the order the control file carries them.
inline constexpr std::array<QLatin1String, 11> kUserDataKeys = {
    QLatin1String("Company"), QLatin1String("Attribute"), QLatin1String("Name"),
    QLatin1String("PostNum"), QLatin1String("Address"),   QLatin1String("Tel"),
    QLatin1String("Fax"),     QLatin1String("Business"),  QLatin1String("Mail"),
    QLatin1String("Url"),     QLatin1String("Install")};

// The kinds of file the choosers offer, each remembering the folder in which
// the operator last chose one.
enum class FileKind { kSound = 0, kControl = 1, kPdf = 2 };
inline constexpr int kFileKindCount = 3;
// Its key in section "SYSTEM". Files written before the keys existed lack
// them; a missing key is no folder yet.
QLatin1String LastFolderKey(FileKind kind);

// What the settings file holds.
struct Settings {
  QString WavePath;
  QString CardPath;
  QString CardName;
  int Mode = 0;          // series 0 to 7; anything else in the file reads as 0
  int AddFunction = 0;   // the auxiliary function: 1 on, 0 off (ask StereoAccepted)
  int FileCapacity = 0;  // registration capacity index of the MP3 series
  QString PrtSheet;
  std::array<QString, kFileKindCount> LastFolders;  // by FileKind; empty: none yet
  std::array<QString, 11> UserData;                 // kept exactly as read, written back unchanged
  LanguageChoice Language = LanguageChoice::kSystem;

  // Stereo sound files are accepted while the auxiliary function is on. The
  // settings window writes nothing but 0 and 1, and shows any other value a
  // hand-edited file holds as on; registration, the header check, recording
  // and fitting read it the same way, so what the window shows is what they do.
  bool StereoAccepted() const { return AddFunction != 0; }

  bool operator==(const Settings&) const = default;
};

// An integer key's text to its value: decimal digits with an optional sign
// and blanks around them. Empty, non-numeric or out-of-range (beyond 16 bits)
// texts give 0, as a missing key does.
int ParseIntegerSetting(const QString& text);

// Reads both sections. Always succeeds: what is missing reads as empty or 0.
Settings ReadSettings(const QString& settings_file);

// Writes one key at once, keeping every other line of the file.
bool WriteSetting(const QString& settings_file, const QString& section, const QString& key,
                  const QString& value);

// The settings steps of start-up. A first start for the current user is one
// on which the settings file does not exist yet: the editor writes the
// default card folder and series 1 at once, so the next start is a later
// start even if the operator changes nothing. Tools that must never write
// the file (the command-line tool) get the same values without the writes.
enum class FirstStartWrites { kWrite, kReadOnly };
struct StartupSettings {
  Settings settings;
  bool first_start = false;
  bool written = true;  // false when the first start's keys could not be saved
};
StartupSettings LoadStartupSettings(const AppPaths& paths,
                                    FirstStartWrites writes = FirstStartWrites::kWrite);

}  // namespace parlatone
