// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

#include "sound/media.h"

namespace parlatone {

class WorkingVoiceList;

// What the player dialog shows and does for the player.
class PlayerView {
 public:
  virtual ~PlayerView() = default;
  virtual void SetLabels(const QString& name, const QString& time, const QString& bytes,
                         const QString& audio) = 0;
  virtual void SetTimer(bool enabled) = 0;  // the 200 ms poll
  // The voice now playing (its file and length), for a view that draws it.
  virtual void ShowVoice(const QString& /*path*/, qint64 /*length_ms*/) {}
  virtual void CloseDialog() = 0;
};

// The player of the voice registration window: plays the voice in the
// current slot of the working list through alias "*2", and with play-all
// the following slots in turn until an empty one.
class Player {
 public:
  using Sender = std::function<MediaReply(const QString& command)>;

  Player(const WorkingVoiceList& list, int mode, PlayerView& view, Sender send);

  // The dialog opened: plays the current slot when asked to.
  void Open(int slot, bool play_request, bool play_all);
  // One tick of the 200 ms timer.
  void Tick();
  // The dialog closes, by whatever means: the device is closed, the slot reset.
  void Close();

  int CurrentSlot() const { return slot_; }
  // Plays the current voice again from a position (while it is open).
  void PlayFrom(qint64 position_ms);
  // Where playing has reached; -1 when nothing is open.
  qint64 PositionMs();

 private:
  void PlayVoice();

  const WorkingVoiceList& list_;
  int mode_;
  PlayerView& view_;
  Sender send_;
  int slot_ = 0;
  bool play_all_ = false;
  bool open_ = false;
};

// "PCM 22.05KHz , 8bit , Mono" or "MPEG1.0 44.1KHz , 128Kbit , Stereo".
QString PlayerAudioText(const QString& mpeg, const QString& sample_rate, const QString& bit_rate,
                        const QString& type, int mode);

}  // namespace parlatone
