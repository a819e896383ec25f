// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include "core/operator.h"
#include "core/project.h"
#include "sound/sound_acceptance.h"
#include "sound/sound_info.h"

namespace parlatone {

class Operator;
struct SoundProbe;

// The registration window's private copy of the voice list: ChannelCount
// slots, a slot with an empty NAME is free, registered voices fill the slots
// from 0 without gaps.
class WorkingVoiceList {
 public:
  explicit WorkingVoiceList(int channel_count) : slots_(channel_count) {}
  static WorkingVoiceList FromProject(const Project& project);

  int size() const { return static_cast<int>(slots_.size()); }
  VoiceRecord& operator[](int slot) { return slots_[slot]; }
  const VoiceRecord& operator[](int slot) const { return slots_[slot]; }

  // Slot index of the first free slot at or after `from`; size() when none.
  int FirstFree(int from = 0) const;
  // The registered voices, slot order, free slots left out.
  QList<VoiceRecord> Voices() const;
  // Sum of BYTES over every slot (blank counts 0), in 64 bits.
  qint64 TotalBytes() const;
  // Whether a voice is registered from exactly this file.
  bool HoldsFile(const QString& path) const;

 private:
  QList<VoiceRecord> slots_;
};

// Refused when a slot already holds a voice of this file name, letter case
// aside.
CheckResult CheckUniqueName(const WorkingVoiceList& list, const QString& name);

// What registration makes of one file before it takes a slot for it: the
// reader, the series check (name rules, stereo, bits and rates) and, in the
// WAVE series, the byte-level header check, in that order. The first
// refusal decides and gives the reason. `info` answers with the same checks.
struct FileExamination {
  enum class Verdict {
    kAccepted,
    kRefused,  // the next file may still be taken
    kRunEnds,  // the header check refused it (2512): a run stops here
  };
  Verdict verdict = Verdict::kRefused;
  SoundInfo info;
  qint64 length_ms = -1;  // -1 when it could not be measured
  qint64 bytes = 0;
  // Why the file was refused, for the caller to show (none for an empty or
  // unreadable MP3 file, which the reader passes over in silence).
  std::optional<MessageRequest> reason;
  bool accepted() const { return verdict == Verdict::kAccepted; }
};
FileExamination ExamineForRegistration(const QString& path, const AcceptanceRules& rules);
// The same over a file already probed (`path` names it for the name rules;
// empty skips them).
FileExamination ExamineForRegistration(const SoundProbe& probe, const QString& path,
                                       const AcceptanceRules& rules);

// A file a run did not take, with what refused it.
struct Refusal {
  QString path;
  MessageRequest message;
  // Refused for its format or its name, which a conversion mends (not for
  // a duplicate, the capacity or a file cut short).
  bool convertible = false;
};

// The outcome of one registration run.
struct RegistrationResult {
  int processed = 0;   // paths that reached the reader
  int registered = 0;  // voices added
  int last_slot = -1;  // slot of the last voice added
  QList<Refusal> refused;
  // The operator chose 変換して登録 at the end of the run.
  bool conversion_wanted = false;
  bool added() const { return registered > 0; }
  QStringList ConvertiblePaths() const;
};

// Registers the files in the given order into the working list: each is
// read, checked for the series, checked byte by byte (WAVE), checked against
// the capacity and for a duplicate name, measured, and put into the first
// free slot. A refused file is skipped; a header or capacity refusal, or a
// full list, ends the run, keeping what was added. The files after the end
// are not registered either, and are refused with why the run ended, so
// that the refusals name every file the run did not take (an empty or
// unreadable MP3 file aside, which the reader passes over in silence).
// Every refusal names its file: a run of one file shows its message with the
// file's name; a run of several shows one list at its end, each refused file
// with its message. A list full from the start shows only the maximum count.
RegistrationResult RegisterFiles(WorkingVoiceList& list, const QStringList& paths,
                                 const AcceptanceRules& rules, Operator& op);

// Whether a refusal is one that converting the file mends.
bool IsConvertibleRefusal(const MessageRequest& message);

// "登録出来るVoiceデータは最大255です。"
QString MaximumCountText(int channel_count);

// Why the files after the end of a run were not registered: the capacity
// was reached, or a file the devices cannot play stopped the run. (After a
// full list, the maximum count says why.)
inline constexpr char kCapacityReachedText[] =
    QT_TRANSLATE_NOOP("Registration", "登録容量の上限に達したため登録していません。");
inline constexpr char kRunStoppedText[] =
    QT_TRANSLATE_NOOP("Registration", "登録を中止したため登録していません。");
// One of the texts above in the interface language.
QString RegistrationText(const char* text);

// Whether the voices of the list stay within the capacity limit of the
// series with this capacity choice: then a new choice costs no voice.
bool CapacityHolds(const WorkingVoiceList& list, int mode, int file_capacity);

// The end-of-run list of a run of several files.
QString RefusalListText(const QList<Refusal>& refused);

}  // namespace parlatone
