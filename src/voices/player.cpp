// SPDX-License-Identifier: GPL-3.0-or-later
#include "voices/player.h"

#include <QCoreApplication>

#include <algorithm>

#include "core/series.h"
#include "voices/registration.h"

namespace parlatone {

using namespace Qt::StringLiterals;

QString PlayerAudioText(const QString& mpeg, const QString& sample_rate, const QString& bit_rate,
                        const QString& type, int mode) {
  const QString rest = sample_rate + u" , "_s + bit_rate + u" , "_s + type;
  return IsMp3Series(mode) ? u"MPEG"_s + mpeg + u' ' + rest : u"PCM "_s + rest;
}

Player::Player(const WorkingVoiceList& list, int mode, PlayerView& view, Sender send)
    : list_(list), mode_(mode), view_(view), send_(std::move(send)) {}

void Player::Open(int slot, bool play_request, bool play_all) {
  slot_ = slot;
  play_all_ = play_all;
  if (play_request && slot_ >= 0 && slot_ < list_.size()) {
    PlayVoice();
  }
}

void Player::PlayVoice() {
  const VoiceRecord& voice = list_[slot_];
  view_.SetTimer(true);
  view_.SetLabels(voice.NAME, QCoreApplication::translate("Player", "%1 秒").arg(voice.SEC),
                  QCoreApplication::translate("Player", "%1 バイト").arg(voice.BYTES),
                  PlayerAudioText(voice.MPEG, voice.SampleRate, voice.BitRate, voice.TYPE, mode_));
  const QString type = IsMp3Series(mode_) ? u" type mpegvideo alias %1 notify "_s.arg(kPlayerAlias)
                                          : u" type waveaudio alias %1 notify "_s.arg(kPlayerAlias);
  if (send_(u"open "_s + QuotedPath(voice.FilePath) + type).code != media_error::kNone) {
    // Silent, and the dialog stays until the operator stops it.
    view_.SetTimer(false);
    return;
  }
  open_ = true;
  bool measured = false;
  const qint64 length = send_(u"status %1 length"_s.arg(kPlayerAlias)).text.toLongLong(&measured);
  view_.ShowVoice(voice.FilePath, measured ? length : 0);
  send_(u"Play %1 from 0"_s.arg(kPlayerAlias));
}

void Player::PlayFrom(qint64 position_ms) {
  if (!open_) {
    return;
  }
  send_(u"Play %1 from %2"_s.arg(kPlayerAlias).arg(std::max<qint64>(0, position_ms)));
  view_.SetTimer(true);
}

qint64 Player::PositionMs() {
  if (!open_) {
    return -1;
  }
  bool ok = false;
  const qint64 position = send_(u"status %1 position"_s.arg(kPlayerAlias)).text.toLongLong(&ok);
  return ok ? position : -1;
}

void Player::Tick() {
  if (send_(u"status %1 mode"_s.arg(kPlayerAlias)).text != u"stopped"_s) {
    return;
  }
  send_(u"Close %1"_s.arg(kPlayerAlias));
  open_ = false;
  view_.SetTimer(false);
  if (play_all_ && slot_ < list_.size() - 1) {
    ++slot_;
    if (!list_[slot_].FilePath.isEmpty()) {
      PlayVoice();
      return;
    }
  }
  view_.CloseDialog();
}

void Player::Close() {
  send_(u"Close %1"_s.arg(kPlayerAlias));
  open_ = false;
  view_.SetTimer(false);
  slot_ = 0;
}

}  // namespace parlatone
