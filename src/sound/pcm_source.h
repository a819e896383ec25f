// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

namespace parlatone {

// Frames a reader asks for at a time: big enough to keep calls rare, small
// enough to stay in the processor's cache.
inline constexpr int64_t kPcmBlockFrames = 16384;
// Below this sample magnitude (-50 dBFS) a sound counts as silent, where
// its leading and trailing silence is measured or trimmed.
inline constexpr float kSilenceThreshold = 0.0031622776F;

// What a decoded source is: its rate, channels and the precision of its
// samples in bits (8, 16, 24, 32; float and lossy decoders count 32).
struct PcmFormat {
  int rate = 0;
  int channels = 0;
  int bits = 16;
};

// Any sound file the program reads for converting or analysing (everything
// libsndfile reads, and MP3 through libmpg123), decoded block by block as
// floats in -1..1 interleaved by channel, so memory stays bounded whatever
// the length.
class PcmSource {
 public:
  virtual ~PcmSource() = default;
  virtual bool Rewind() = 0;
  // Goes to a frame; false where the file cannot be sought (then read on
  // from where it was).
  virtual bool Seek(int64_t frame) = 0;
  // Frames read; 0 at the end, -1 when the file cannot be read further.
  virtual int64_t Read(float* interleaved, int64_t frames) = 0;

  PcmFormat format;
  int64_t frames = 0;  // 0 when the decoder cannot tell beforehand
};

// Opens a file by its suffix (MP3 family through libmpg123, the rest through
// libsndfile); nothing when it cannot be read.
std::unique_ptr<PcmSource> OpenPcmSource(const QString& path);

}  // namespace parlatone
