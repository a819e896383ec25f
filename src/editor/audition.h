// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "core/project.h"
#include "sound/media.h"

namespace parlatone {

class Operator;

enum class AuditionKind { kSingle = 0, kAll = 1 };

// What the audition asks of the main window.
class AuditionView {
 public:
  virtual ~AuditionView() = default;
  // Paints the channel's row in the playing colour, or back to white.
  virtual void Highlight(int channel, bool on) = 0;
  // Brings the channel's page and row into view.
  virtual void ShowChannel(int channel) = 0;
  // The file information line (LblState).
  virtual void SetFileInfo(const QString& text) = 0;
  // The window's look while an audition runs (toolbar off, "停止" caption,
  // tabs off for an all audition, grid locked) or idle again.
  virtual void SetAuditionLook(std::optional<AuditionKind> running) = 0;
  // The pause button's caption: "再開" while paused, "一時停止" otherwise.
  virtual void SetPaused(bool paused) = 0;
  // The 50 ms poll timer.
  virtual void SetTimer(bool enabled) = 0;
};

// One line about a sound file, as the main window shows it while playing:
// "a.wav  PCM 22.05KHz 8Bit Mono 1.500秒 33118バイト ". Nothing when the
// file cannot be read (the reader has said why).
std::optional<QString> FileInfoLine(const QString& path, int mode, Operator& op);

// Plays channels as the device would: each channel's voices back to back,
// the whole sequence RP times; one channel, or every channel with voices in
// channel order across the pages. Polls the sound layer from a 50 ms timer
// through alias "*1". A voice kept without its sound file is not played: an
// audition that would need one is refused, naming it.
class Audition {
 public:
  using Sender = std::function<MediaReply(const QString& command)>;
  using InfoSource = std::function<std::optional<QString>(const QString& path)>;

  Audition(Project& project, AuditionView& view, Sender send, InfoSource info, Operator& op);

  // The single audition of a channel; false when its first slot is empty or
  // a voice of it has no file.
  bool StartSingle(int channel);
  // The all audition; false when no channel has a first voice or a voice it
  // would play has no file.
  bool StartAll();
  // "停止", and what closing the window does first.
  void Stop();
  // Pause or resume an all audition; a resumed voice starts from its beginning.
  void PauseResume();
  // One tick of the 50 ms timer.
  void Tick();

  bool Running() const { return timer_; }
  bool Paused() const { return all_running_ && !timer_; }
  std::optional<int> CurrentChannel() const;
  // Where the audition has got to: the channel, the voice slot, the pass
  // through the channel's voices (0 for the first) and how far into the
  // voice the sound layer has played. Nothing when no audition runs.
  struct PlayPoint {
    int channel = -1;
    int slot = 0;
    int pass = 0;
    qint64 position_ms = 0;
  };
  std::optional<PlayPoint> Where() const;

 private:
  struct Record {
    bool active = false;
    bool has_voice = false;
    std::array<QString, kVoiceSlotCount> file;
    int repeat = 0;
  };

  std::optional<Record> BuildRecord(int channel) const;
  // The voices of the channel kept without their sound file.
  QStringList MissingVoicesOf(int channel) const;
  bool PlayVoice(const QString& path);
  void CloseVoice();
  void SetTimer(bool enabled);
  void Finish();
  void Begin(int channel);

  Project& project_;
  AuditionView& view_;
  Sender send_;
  InfoSource info_;
  Operator& op_;
  std::vector<Record> records_;  // by channel
  AuditionKind kind_ = AuditionKind::kSingle;
  int channel_ = -1;  // the channel being played
  int slot_ = 0;
  int pass_ = 0;
  bool new_channel_ = false;
  bool finished_ = false;
  bool all_running_ = false;
  bool timer_ = false;
  bool highlighted_ = false;
};

}  // namespace parlatone
