// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "core/settings.h"

namespace parlatone {

class Operator;

// The program table always has room for the largest series.
inline constexpr int kProgramRecordCount = 1000;
// Voice slots per record; the editor uses at most 24 of them (slot 24 stays empty).
inline constexpr int kVoiceSlotCount = 25;
inline constexpr int kMaxPageCount = 4;

// What one channel plays. Every value is held as the text shown and written.
struct ProgramRecord {
  QString SP = QStringLiteral("1");            // output line the channel plays on
  QString RP = QStringLiteral("1");            // how many times it plays its voices
  QString Time = QStringLiteral("0.0");        // playing time in seconds, one decimal
  std::array<QString, kVoiceSlotCount> Voice;  // names in playing order; empty = free

  bool operator==(const ProgramRecord&) const = default;
};

// The channel number as the grid shows it: at least two digits, from 1.
QString ChannelNumberText(int channel);

// The entry an SP or RP item number (from 1) names in its element list, as
// the program grid and the sheets show it; the number itself when the list
// does not hold it.
QString ItemText(const QStringList& texts, const QString& item);

// A voice cell counts as empty when it is empty or holds the single blank
// the voice drop-down offers for "no voice".
bool IsEmptyVoice(const QString& name);

// One registered sound file.
struct VoiceRecord {
  QString NAME;        // file name, as the device finds it on the card
  QString SampleRate;  // "22.05KHz"
  QString BitRate;     // "16bit", or for MP3 "128Kbit"
  QString TYPE;        // "Mono" or "Stereo"
  QString SEC;         // playing length in seconds, three decimals
  QString BYTES;       // file size
  QString FilePath;    // where the file is on this computer
  QString COMENTS;     // the operator's comment (the format's spelling)
  QString MPEG;        // MPEG version of an MP3 file ("1.0", "2.0")
  QString Layer;       // its layer ("3")
  // The folders a load looked in for a file it found in none of them. Such
  // a voice is kept by name so that the operator can replace or delete it;
  // until then nothing may need its sound. Empty for a voice with its file.
  QStringList missing_from;

  bool IsMissing() const { return !missing_from.isEmpty(); }
  bool operator==(const VoiceRecord&) const = default;
};

// The descriptive card information, 27 texts in the order the control file
// carries them.
struct CardInfo {
  static constexpr int kFieldCount = 27;

  // The names are the file format's own, romanised Japanese kept as the
  // control files and older tools spell them.
  QString CardName;             // card data file name (the control file's stem)
  QString Forder;               // "folder": the card data folder's name
  QString UseSize;              // size class the sound files need ("32MB")
  QString Model;                // the device model the card is for
  QString Maisuu;               // "maisuu": how many cards are made
  QString RecStdio;             // recording studio
  QString RecAna;               // announcer
  QString RecDate;              // recording date
  QString RecKankyou;           // "kankyou": recording environment
  QString WaveCom;              // company that made the sound files
  QString WavePerson;           // person who made them
  QString WaveDate;             // date they were made
  QString WaveKankyou;          // environment they were made in
  QString CardCom;              // company that made the card data
  QString CardPerson;           // person who made them
  QString CardDate;             // date they were made
  QString CardKankyou;          // environment they were made in
  QString CardSize;             // index of the card capacity chosen
  QString TpMd;                 // "tape/MD": index of the master tape or MD kind
  QString TpMdName;             // its name
  QString RecBaitai;            // "baitai": index of the sound files' medium
  QString WaveBaitai;           // its name
  QString CardBaitai;           // index of the card data's medium
  QString CardBaitaiName;       // its name
  std::array<QString, 3> Memo;  // three free comments

  // Field by its position in the control file, 0 to 26.
  QString& Field(int index);
  const QString& Field(int index) const;
  void Clear();

  bool operator==(const CardInfo&) const = default;
};

// A channel's playing time in tenths of a second. Kept as an integer so that
// sums and products of one-decimal voice times are exact and their texts
// never show binary-fraction noise.
struct ChannelTenths {
  qint64 tenths = 0;

  // "12.3"; "0.0" when the time is not positive.
  QString OneDecimalText() const;
  // Shortest plain decimal: "7", "12.3", "0".
  QString PlainText() const;
};

// The one project of a run and the run-wide values every window shares.
class Project {
 public:
  Project();
  Project(const Project&) = delete;
  Project& operator=(const Project&) = delete;

  std::array<ProgramRecord, kProgramRecordCount> programs;
  QList<VoiceRecord> voices;  // the voice number is the index
  CardInfo card;

  // Settings as read at start-up and confirmed since; `settings.Mode` is the
  // series in use.
  Settings settings;

  // Derived from the series (DeriveSeriesLimits).
  int ChannelCount = 255;
  int ChannelsPerPage = 255;
  int GridColumns = 13;

  int CurrentPage = 0;
  bool VoicesRegistered = false;
  std::array<bool, kMaxPageCount> PageEdited{};

  int Mode() const { return settings.Mode; }
  bool IsEdited() const;
  void ClearPageEdited();

  // Program records back to their defaults: all channels in use, or the
  // channels of one page.
  void ResetPrograms();
  void ResetPrograms(int page);

  // Empties the card information and the voice list. Program records stay;
  // a new project calls ResetPrograms too. Listeners (the main window) hear
  // about it after the data is cleared.
  void ClearProject();
  // Takes the content of a project loaded apart (same series): the program
  // records in use, the voice list and the card information, all of them.
  // Listeners hear of it as of a clearing, once the new content is in. A
  // load that failed never gets here, so the project being edited is only
  // ever replaced whole.
  void ReplaceContent(Project&& loaded);
  // Returns a number that RemoveClearedListener takes back when the
  // listener goes away before the project.
  int AddClearedListener(std::function<void()> listener);
  void RemoveClearedListener(int id);

  // Index of the first voice whose NAME equals the name exactly (letter case
  // and width count).
  std::optional<int> FindVoice(const QString& name) const;

  bool ChannelInUse(int channel) const;

  // RP times the sum of the channel's voice times, each taken to one decimal.
  ChannelTenths ChannelTime(int channel) const;

 private:
  void NotifyCleared();

  std::vector<std::pair<int, std::function<void()>>> cleared_listeners_;
  int next_listener_id_ = 1;
};

// Names of the voices kept without their sound file, in list order.
QStringList MissingVoiceNames(const Project& project);

// Refuses `action` (what the operator asked for: "カードデータを作成") while
// a voice it needs has no file: names them and says how to mend it. True
// when it refused.
bool RefuseMissingVoices(const QStringList& missing, const QString& action, Operator& op);

// A voice time text ("2.449") to tenths of a second, halves away from zero,
// decided on the decimal digits themselves so that 2.45 and 1.05 round up
// however a binary float would hold them. Empty, blank or unreadable texts
// count as 0.
qint64 SecondsTextToTenths(const QString& seconds);

}  // namespace parlatone
