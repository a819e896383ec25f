// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace parlatone {

// Recording a voice from an input device: captured through SDL2 as 16-bit
// samples, streamed by a writer thread into a WAVE file whose header is
// brought up to date every second, so that a program that dies in the
// middle leaves a file any reader takes, holding all but the last second.
// Memory stays bounded whatever the length: only a few seconds of sound are
// ever held between the device and the file.

// The input devices the system names, in its order; empty when there is no
// input (or no sound system at all). The system's default device is not
// among them: it is asked for by an empty name.
QStringList CaptureDeviceNames();

// The rate and channels a take is recorded in: the highest rate the series
// takes at or below what the device gives (the lowest the series takes when
// the device is slower still), two channels only where the series takes
// stereo and the device has two.
struct RecordingFormat {
  int rate = 0;
  int channels = 1;
};
RecordingFormat ChooseRecordingFormat(const QList<int>& series_rates, bool stereo_allowed,
                                      int device_rate, int device_channels);

// A new take's file in `folder`. Its suffix keeps it out of the choosers
// and the folder registration while it grows; it holds a plain WAVE.
QString NewTakePath(const QString& folder);
// Takes in `folder` that no recording is writing any more: what a program
// that died in the middle of a take left behind, oldest first.
QStringList LeftoverTakes(const QString& folder);

struct RecorderSetup {
  QString device;           // empty: the system's default input
  QList<int> series_rates;  // the rates the series takes
  bool stereo_allowed = false;
  QString path;            // the take file, made anew
  double max_seconds = 0;  // the take ends by itself after this long; 0: at Stop
};

// The take's accounting. Every sample the device delivered is either
// written or dropped because the writer fell a whole buffer behind (an
// overrun), never lost silently nor written twice.
struct RecorderCounts {
  int64_t delivered = 0;  // samples (all channels) the device gave the take
  int64_t written = 0;    // samples in the file
  int64_t dropped = 0;
  int64_t overruns = 0;  // times samples had to be dropped
  bool write_failed = false;
};

// One stretch of the take as the meter and the growing outline show it.
struct RecordedSpan {
  float low = 0.0F;  // -1..1, every channel
  float high = 0.0F;
  std::optional<double> momentary_lufs;  // of the 400 ms up to its end
};

class Recorder {
 public:
  // Stretches of this length (10 ms) are handed to the meter.
  static constexpr int kSpansPerSecond = 100;

  Recorder();
  ~Recorder();  // stops a take still running
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Opens the device and starts the take; a text saying what went wrong
  // when it cannot (no device, the file cannot be made).
  std::optional<QString> Start(const RecorderSetup& setup);
  // Ends the take: the device stops, what it gave is written, the header
  // made final. Safe to call twice.
  void Stop();
  bool Running() const { return device_ != 0; }
  // The take reached its `max_seconds`.
  bool Complete() const { return complete_.load(); }

  int Rate() const { return format_.rate; }
  int Channels() const { return format_.channels; }
  RecorderCounts Counts() const;
  // The stretches written since the last call (at most the last minute's).
  std::vector<RecordedSpan> TakeSpans();

 private:
  static void OnAudio(void* self, unsigned char* stream, int length);
  void Deliver(const int16_t* samples, int64_t count);
  void WriteLoop();
  bool Drain();
  bool WriteHeader();
  void Measure(const int16_t* samples, int64_t count);

  uint32_t device_ = 0;
  bool sdl_started_ = false;
  RecordingFormat format_;
  int64_t max_samples_ = 0;

  // Between the device's thread and the writer: a ring of samples with one
  // writer and one reader.
  std::vector<int16_t> ring_;
  std::atomic<uint64_t> head_ = 0;
  std::atomic<uint64_t> tail_ = 0;
  std::atomic<int64_t> delivered_ = 0;
  std::atomic<int64_t> written_ = 0;
  std::atomic<int64_t> dropped_ = 0;
  std::atomic<int64_t> overruns_ = 0;
  std::atomic<bool> complete_ = false;
  std::atomic<bool> write_failed_ = false;
  std::atomic<bool> stopping_ = false;
  std::mutex wake_mutex_;
  std::condition_variable wake_;
  std::thread writer_;

  struct Output;
  std::unique_ptr<Output> output_;

  mutable std::mutex spans_mutex_;
  std::vector<RecordedSpan> spans_;
};

}  // namespace parlatone
