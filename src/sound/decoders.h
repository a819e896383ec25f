// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "sound/sound_probe.h"

namespace parlatone {

// Decoded sound, 16-bit signed samples interleaved by channel.
struct PcmSound {
  int rate = 0;
  int channels = 0;
  std::vector<int16_t> samples;
};

// What the header of a WAVE file says about playing it. The length is the
// data chunk's size (cut to what the file holds) divided by the byte rate:
// measuring never decodes.
struct WaveSummary {
  int64_t length_ms = 0;
  int rate = 0;
  int channels = 0;
};
// Nothing when the file is not a RIFF WAVE file with a format and a data chunk.
std::optional<WaveSummary> ReadWaveSummary(const QString& path);

// Decodes a WAVE file (any encoding libsndfile reads) from a position on.
std::optional<PcmSound> DecodeWave(const QString& path, int64_t from_ms);

// What libmpg123 makes of an MP3 file that is already open and whose first
// bytes are `head`: the stream's version and layer as its frames say, and
// its exact decoded length (a frame scan where no tag gives the frame count,
// so untagged VBR files measure right). The head is not read again.
Mp3Stream MeasureMp3(const std::shared_ptr<SoundFile>& file, const QByteArray& head);

// An MP3 file opened with libmpg123 for playing: its length and, on demand,
// its samples.
class Mp3File {
 public:
  static std::unique_ptr<Mp3File> Open(const QString& path);
  ~Mp3File();
  Mp3File(const Mp3File&) = delete;
  Mp3File& operator=(const Mp3File&) = delete;

  int64_t LengthMs() const { return length_ms_; }
  int Rate() const { return rate_; }
  int Channels() const { return channels_; }
  std::optional<PcmSound> Decode(int64_t from_ms);

 private:
  Mp3File() = default;
  struct Handle;
  std::unique_ptr<Handle> handle_;
  int rate_ = 0;
  int channels_ = 0;
  int64_t length_ms_ = 0;
};

}  // namespace parlatone
