// SPDX-License-Identifier: GPL-3.0-or-later
#include "voices/registration.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>

#include <algorithm>

#include "core/messages.h"
#include "core/operator.h"
#include "core/series.h"
#include "core/text.h"
#include "sound/sound_probe.h"
#include "sound/voice_record_text.h"
#include "sound/wave_reader.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The texts of this unit the operator reads, in the interface language.
struct RegistrationTr {
  Q_DECLARE_TR_FUNCTIONS(Registration)
};

constexpr int kProgressEveryMs = 100;

qint64 BytesOf(const VoiceRecord& voice) {
  bool ok = false;
  const qint64 bytes = TextOrDefault(voice.BYTES, u"0"_s).trimmed().toLongLong(&ok);
  return ok ? bytes : 0;
}

// At most this many files are listed in the end-of-run message; the rest
// are counted.
constexpr int kListedRefusals = 30;

}  // namespace

QString RegistrationText(const char* text) {
  return QCoreApplication::translate("Registration", text);
}

bool IsConvertibleRefusal(const MessageRequest& message) {
  static const QList<int> kNumbers = {2062, 2076, 2100, 2101, 2102, 2103,
                                      2104, 2105, 2512, 2601, 2603};
  return kNumbers.contains(message.number) ||
         (message.number == 0 && message.text.startsWith(GetMessage(2077)));
}

QStringList RegistrationResult::ConvertiblePaths() const {
  QStringList paths;
  for (const Refusal& refusal : refused) {
    if (refusal.convertible && !paths.contains(refusal.path)) {
      paths << refusal.path;
    }
  }
  return paths;
}

QString RefusalListText(const QList<Refusal>& refused) {
  QSet<QString> files;
  for (const Refusal& refusal : refused) {
    files.insert(refusal.path);
  }
  QString text =
      RegistrationTr::tr("次の %1 ファイルは登録できませんでした。\r\n").arg(files.size());
  for (qsizetype i = 0; i < refused.size() && i < kListedRefusals; ++i) {
    text += u"\r\n"_s + RegistrationTr::tr("%1：%2").arg(FileNameOf(refused[i].path),
                                                         refused[i].message.text.simplified());
  }
  if (refused.size() > kListedRefusals) {
    text += u"\r\n"_s + RegistrationTr::tr("ほか %1 件").arg(refused.size() - kListedRefusals);
  }
  return text;
}

WorkingVoiceList WorkingVoiceList::FromProject(const Project& project) {
  WorkingVoiceList list(project.ChannelCount);
  for (int i = 0; i < project.voices.size() && i < list.size(); ++i) {
    list[i] = project.voices.at(i);
  }
  return list;
}

int WorkingVoiceList::FirstFree(int from) const {
  for (int slot = std::max(from, 0); slot < size(); ++slot) {
    if (slots_.at(slot).NAME.isEmpty()) {
      return slot;
    }
  }
  return size();
}

QList<VoiceRecord> WorkingVoiceList::Voices() const {
  QList<VoiceRecord> voices;
  for (const VoiceRecord& voice : slots_) {
    if (!voice.NAME.isEmpty()) {
      voices << voice;
    }
  }
  return voices;
}

qint64 WorkingVoiceList::TotalBytes() const {
  qint64 total = 0;
  for (const VoiceRecord& voice : slots_) {
    total += BytesOf(voice);
  }
  return total;
}

bool WorkingVoiceList::HoldsFile(const QString& path) const {
  return std::any_of(slots_.begin(), slots_.end(), [&](const VoiceRecord& voice) {
    return !voice.NAME.isEmpty() && voice.FilePath == path;
  });
}

bool CapacityHolds(const WorkingVoiceList& list, int mode, int file_capacity) {
  return list.TotalBytes() <= CapacityLimit(mode, file_capacity);
}

CheckResult CheckUniqueName(const WorkingVoiceList& list, const QString& name) {
  for (int slot = 0; slot < list.size(); ++slot) {
    if (!list[slot].NAME.isEmpty() &&
        QString::compare(list[slot].NAME, name, Qt::CaseInsensitive) == 0) {
      return Refused(
          TextMessage(RegistrationTr::tr("指定のファイル%1 は既に存在します。").arg(name),
                      msg::kTitleConfirm, MessageIcon::kExclamation));
    }
  }
  return {};
}

QString MaximumCountText(int channel_count) {
  return RegistrationTr::tr("登録出来るVoiceデータは最大%1です。").arg(channel_count);
}

FileExamination ExamineForRegistration(const QString& path, const AcceptanceRules& rules) {
  return ExamineForRegistration(ProbeSoundFile(path, rules.mode), path, rules);
}

FileExamination ExamineForRegistration(const SoundProbe& probe, const QString& path,
                                       const AcceptanceRules& rules) {
  FileExamination file;
  file.bytes = probe.size;
  file.length_ms = ProbedLengthMs(probe, rules.mode).value_or(-1);
  CheckResult checked = ReadSoundInfo(probe, rules.mode, file.info);
  if (checked) {
    checked = CheckSoundFormat(file.info, path, QString(), rules);
  }
  if (!checked) {
    file.reason = std::move(checked.reason);
    return file;
  }
  if (!IsMp3Series(rules.mode) && (!IsSupportedWaveHeaderBytes(probe.head, rules.stereo_accepted) ||
                                   !IsSupportedWaveFormat(file.info, rules.stereo_accepted))) {
    file.reason = NumberedMessage(2512, msg::kTitleConfirm, MessageIcon::kExclamation);
    file.verdict = FileExamination::Verdict::kRunEnds;
    return file;
  }
  // The reader refuses what it cannot measure: an accepted file has a length.
  file.verdict = FileExamination::Verdict::kAccepted;
  return file;
}

RegistrationResult RegisterFiles(WorkingVoiceList& list, const QStringList& paths,
                                 const AcceptanceRules& rules, Operator& op) {
  BusyScope busy(op);
  RegistrationResult result;
  const int channel_count = list.size();
  if (paths.size() > channel_count) {
    ShowText(op, MaximumCountText(channel_count), msg::kTitleConfirm, MessageIcon::kExclamation);
  }
  const bool mp3 = IsMp3Series(rules.mode);
  const qint64 limit = CapacityLimit(rules.mode, rules.file_capacity);
  qint64 total_bytes = list.TotalBytes();
  int hint = list.FirstFree();
  // Once the run has ended, why the remaining files are not registered.
  QString ended;
  const auto not_registered = [&](const QString& path) {
    MessageRequest reason;
    reason.text = ended;
    reason.title_number = msg::kTitleConfirm;
    reason.title = GetMessage(msg::kTitleConfirm);
    reason.icon = MessageIcon::kExclamation;
    result.refused.push_back({path, reason, false});
  };
  // A long run shows how far it got and lets the window repaint, a few times
  // a second rather than for every file.
  QElapsedTimer since_progress;
  since_progress.start();
  const bool show_progress = paths.size() > 1;
  for (const QString& path : paths) {
    if (ended.isEmpty() && hint >= channel_count) {
      ended = MaximumCountText(channel_count);
    }
    if (!ended.isEmpty()) {
      not_registered(path);
      continue;
    }
    if (show_progress && since_progress.elapsed() >= kProgressEveryMs) {
      op.SetProgress(GetMessage(2040) + u" "_s + FileNameOf(path), result.processed,
                     static_cast<int>(paths.size()));
      op.ProcessPendingEvents();
      since_progress.restart();
    }
    ++result.processed;
    // A refusal is kept, to be shown with the file's name at the end.
    const auto keep = [&](const std::optional<MessageRequest>& reason) {
      if (reason) {
        result.refused.push_back({path, *reason, IsConvertibleRefusal(*reason)});
      }
    };
    const FileExamination file = ExamineForRegistration(path, rules);
    if (file.verdict == FileExamination::Verdict::kRunEnds) {
      keep(file.reason);
      ended = RegistrationText(kRunStoppedText);
      continue;
    }
    if (!file.accepted()) {
      keep(file.reason);
      continue;
    }
    const qint64 bytes = file.bytes;
    if (total_bytes + bytes > limit) {
      keep(NumberedMessage(mp3 ? 2514 : 2513, msg::kTitleConfirm, MessageIcon::kExclamation));
      ended = RegistrationText(kCapacityReachedText);
      continue;
    }
    if (const CheckResult unique = CheckUniqueName(list, FileNameOf(path)); !unique) {
      keep(unique.reason);
      continue;
    }
    const int slot = list.FirstFree(hint);
    if (slot >= channel_count) {
      ended = MaximumCountText(channel_count);
      not_registered(path);
      continue;
    }
    list[slot] = MakeVoiceRecord(path, file.info, file.length_ms, bytes, rules.mode);
    total_bytes += bytes;
    hint = slot + 1;
    ++result.registered;
    result.last_slot = slot;
  }
  if (show_progress) {
    op.SetProgress(QString(), 0, 0);
  }
  if (result.processed == 0) {
    // Full from the start: the maximum count says it all.
    ShowText(op, MaximumCountText(channel_count), msg::kTitleConfirm, MessageIcon::kExclamation);
    return result;
  }
  const bool offer = rules.offer_conversion && !result.ConvertiblePaths().isEmpty();
  if (offer) {
    // The list itself offers the way out: converted copies that the series
    // takes, registered in the same run of the window.
    MessageRequest request;
    request.text =
        (paths.size() == 1 ? FileNameOf(result.refused.front().path) + u"\r\n\r\n"_s +
                                 result.refused.front().message.text
                           : RefusalListText(result.refused)) +
        u"\r\n\r\n"_s +
        RegistrationTr::tr(
            "形式または名前が合わないファイルは、本シリーズで使える形式に変換して登録できます。");
    request.title_number = msg::kTitleConfirm;
    request.title = GetMessage(msg::kTitleConfirm);
    request.icon = MessageIcon::kExclamation;
    request.buttons = MessageButtons::kYesNo;
    request.yes_caption = RegistrationTr::tr("変換して登録");
    request.no_caption = RegistrationTr::tr("閉じる");
    result.conversion_wanted = op.ShowMessage(request) == MessageAnswer::kYes;
  } else if (paths.size() == 1) {
    for (Refusal refusal : result.refused) {
      refusal.message.text = FileNameOf(refusal.path) + u"\r\n\r\n"_s + refusal.message.text;
      op.ShowMessage(refusal.message);
    }
  } else if (!result.refused.isEmpty()) {
    ShowText(op, RefusalListText(result.refused), msg::kTitleConfirm, MessageIcon::kExclamation);
  }
  return result;
}

}  // namespace parlatone
