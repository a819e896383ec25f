// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/audition.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "core/series.h"
#include "core/text.h"
#include "editor/program_table.h"
#include "sound/voice_record_text.h"
#include "sound/wave_reader.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

int RepeatCount(const QString& rp) {
  bool ok = false;
  const int repeat = rp.trimmed().toInt(&ok);
  return ok ? repeat : 0;
}

}  // namespace

std::optional<QString> FileInfoLine(const QString& path, int mode, Operator& op) {
  SoundInfo info;
  if (!ShowIfRefused(op, ReadSoundInfo(path, mode, info))) {
    return std::nullopt;
  }
  const bool mp3 = IsMp3Series(mode);
  QString line = FileNameOf(path);
  line += mp3 ? (info.MpegVersion == 3 ? u"  MPEG1.0 "_s : u"  MPEG2.0 "_s) : u"  PCM "_s;
  QString rate = SampleRateText(info.SampleRate);
  rate.chop(3);  // the "KHz" of the voice texts; the line spells its own
  line += rate + u"KHz "_s;
  line += QString::number(info.BitsPerSample) + (mp3 ? u"KBit "_s : u"Bit "_s);
  line += info.Channels == 1 ? u"Mono "_s : u"Stereo "_s;
  line +=
      QCoreApplication::translate("Audition", "%1秒 ").arg(SecondsText(GetSoundLength(path, mode)));
  line += QCoreApplication::translate("Audition", "%1バイト ").arg(QFileInfo(path).size());
  return line;
}

Audition::Audition(Project& project, AuditionView& view, Sender send, InfoSource info, Operator& op)
    : project_(project), view_(view), send_(std::move(send)), info_(std::move(info)), op_(op) {}

std::optional<int> Audition::CurrentChannel() const {
  if (channel_ < 0 || (!timer_ && !all_running_)) {
    return std::nullopt;
  }
  return channel_;
}

std::optional<Audition::PlayPoint> Audition::Where() const {
  const std::optional<int> channel = CurrentChannel();
  if (!channel) {
    return std::nullopt;
  }
  PlayPoint point{*channel, slot_, pass_, 0};
  // Paused or between two voices nothing is open: the voice is at its start,
  // where a resume plays it from.
  if (timer_ && !new_channel_) {
    const MediaReply reply = send_(u"status %1 position"_s.arg(kAuditionAlias));
    bool ok = false;
    const qint64 position = reply.text.toLongLong(&ok);
    if (reply.code == media_error::kNone && ok && position > 0) {
      point.position_ms = position;
    }
  }
  return point;
}

std::optional<Audition::Record> Audition::BuildRecord(int channel) const {
  const ProgramRecord& program = project_.programs[static_cast<size_t>(channel)];
  if (IsEmptyVoice(program.Voice[0])) {
    return std::nullopt;
  }
  Record record;
  record.active = true;
  for (int slot = 0; slot <= MaxVoiceIndex(project_.Mode()); ++slot) {
    const QString& name = program.Voice[static_cast<size_t>(slot)];
    if (IsEmptyVoice(name)) {
      continue;
    }
    if (const std::optional<int> voice = project_.FindVoice(name)) {
      record.file[static_cast<size_t>(slot)] = project_.voices.at(*voice).FilePath;
      record.has_voice = true;
    }
  }
  record.repeat = RepeatCount(program.RP);
  return record;
}

QStringList Audition::MissingVoicesOf(int channel) const {
  QStringList names;
  const ProgramRecord& program = project_.programs[static_cast<size_t>(channel)];
  for (int slot = 0; slot <= MaxVoiceIndex(project_.Mode()); ++slot) {
    const std::optional<int> voice = project_.FindVoice(program.Voice[static_cast<size_t>(slot)]);
    if (voice && project_.voices.at(*voice).IsMissing()) {
      names << project_.voices.at(*voice).NAME;
    }
  }
  return names;
}

void Audition::SetTimer(bool enabled) {
  timer_ = enabled;
  view_.SetTimer(enabled);
}

bool Audition::PlayVoice(const QString& path) {
  if (const std::optional<QString> line = info_(path)) {
    view_.SetFileInfo(*line);
  }
  const QString type = IsMp3Series(project_.Mode())
                           ? u" type mpegvideo  alias %1 notify "_s.arg(kAuditionAlias)
                           : u" type waveaudio alias %1 notify "_s.arg(kAuditionAlias);
  if (send_(u"open "_s + QuotedPath(path) + type).code != media_error::kNone) {
    // Nothing to hear: the audition ends and the window looks idle again.
    Finish();
    return false;
  }
  send_(u"Play %1 from 0"_s.arg(kAuditionAlias));
  return true;
}

void Audition::CloseVoice() {
  send_(u"Close %1"_s.arg(kAuditionAlias));
}

void Audition::Finish() {
  view_.SetFileInfo(QString());
  if (highlighted_ && channel_ >= 0) {
    view_.Highlight(channel_, false);
  }
  highlighted_ = false;
  CloseVoice();
  SetTimer(false);
  all_running_ = false;
  finished_ = false;
  new_channel_ = false;
  view_.SetPaused(false);
  view_.SetAuditionLook(std::nullopt);
}

void Audition::Begin(int channel) {
  channel_ = channel;
  slot_ = 0;
  pass_ = 0;
  new_channel_ = true;
  finished_ = false;
}

bool Audition::StartSingle(int channel) {
  if (timer_ || all_running_) {
    Stop();
  }
  if (channel < 0 || channel >= project_.ChannelCount) {
    return false;
  }
  const std::optional<Record> record = BuildRecord(channel);
  if (!record) {
    return false;
  }
  QStringList missing = MissingVoicesOf(channel);
  missing.removeDuplicates();
  if (RefuseMissingVoices(missing, QCoreApplication::translate("Audition", "試聴"), op_)) {
    return false;
  }
  records_.assign(static_cast<size_t>(project_.ChannelCount), Record());
  records_[static_cast<size_t>(channel)] = *record;
  kind_ = AuditionKind::kSingle;
  Begin(channel);
  view_.SetAuditionLook(AuditionKind::kSingle);
  SetTimer(true);
  return true;
}

bool Audition::StartAll() {
  if (timer_ || all_running_) {
    Stop();
    return false;
  }
  if (!project_.VoicesRegistered) {
    return false;
  }
  records_.assign(static_cast<size_t>(project_.ChannelCount), Record());
  int first = -1;
  QStringList missing;
  for (int channel = 0; channel < project_.ChannelCount; ++channel) {
    if (const std::optional<Record> record = BuildRecord(channel)) {
      records_[static_cast<size_t>(channel)] = *record;
      missing << MissingVoicesOf(channel);
      if (first < 0) {
        first = channel;
      }
    }
  }
  if (first < 0) {
    return false;
  }
  missing.removeDuplicates();
  if (RefuseMissingVoices(missing, QCoreApplication::translate("Audition", "試聴"), op_)) {
    return false;
  }
  kind_ = AuditionKind::kAll;
  Begin(first);
  all_running_ = true;
  view_.SetAuditionLook(AuditionKind::kAll);
  view_.ShowChannel(0);
  SetTimer(true);
  return true;
}

void Audition::Stop() {
  if (timer_ || all_running_) {
    Finish();
  }
}

void Audition::PauseResume() {
  if (!all_running_) {
    return;
  }
  if (timer_) {
    CloseVoice();
    SetTimer(false);
    view_.SetPaused(true);
    return;
  }
  view_.SetPaused(false);
  SetTimer(true);
  // Paused between two channels (or before the first tick): the next tick
  // starts the channel; there is no interrupted voice to play again.
  if (new_channel_ || finished_) {
    return;
  }
  PlayVoice(records_[static_cast<size_t>(channel_)].file[static_cast<size_t>(slot_)]);
}

void Audition::Tick() {
  if (!timer_) {
    return;
  }
  if (new_channel_) {
    new_channel_ = false;
    slot_ = 0;
    const Record& record = records_[static_cast<size_t>(channel_)];
    if (kind_ == AuditionKind::kAll) {
      view_.ShowChannel(channel_);
    }
    if (kind_ == AuditionKind::kSingle || record.has_voice) {
      view_.Highlight(channel_, true);
      highlighted_ = true;
      if (record.has_voice && !PlayVoice(record.file[0])) {
        return;
      }
    }
  }
  if (finished_) {
    Finish();
    return;
  }
  if (new_channel_) {
    return;  // the next channel starts with the next tick
  }
  Record& record = records_[static_cast<size_t>(channel_)];
  if (record.has_voice) {
    if (send_(u"status %1 mode"_s.arg(kAuditionAlias)).text != u"stopped"_s) {
      return;
    }
    view_.SetFileInfo(QString());
    CloseVoice();
    const int last = MaxVoiceIndex(project_.Mode());
    const bool sequence_done =
        slot_ >= last || record.file[static_cast<size_t>(slot_ + 1)].isEmpty();
    bool channel_done = false;
    if (sequence_done) {
      if (record.repeat < 2) {
        channel_done = true;
      } else {
        slot_ = 0;
        ++pass_;
        --record.repeat;
      }
    } else {
      ++slot_;
    }
    if (!channel_done) {
      PlayVoice(record.file[static_cast<size_t>(slot_)]);
      return;
    }
  }
  // The channel is done: on to the next channel with voices, or the end.
  if (kind_ == AuditionKind::kAll) {
    for (int next = channel_ + 1; next < project_.ChannelCount; ++next) {
      if (records_[static_cast<size_t>(next)].active) {
        // The finished row goes white; the next channel starts with the next tick.
        view_.Highlight(channel_, false);
        highlighted_ = false;
        channel_ = next;
        slot_ = 0;
        pass_ = 0;
        new_channel_ = true;
        return;
      }
    }
  }
  finished_ = true;
}

}  // namespace parlatone
