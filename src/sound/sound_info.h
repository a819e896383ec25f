// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace parlatone {

// The format of one sound file as the readers report it. For a WAVE file
// the first seven fields are the "fmt " chunk's; for an MP3 file the reader
// puts the bit rate in kbit/s into BitsPerSample and the MPEG fields are set.
struct SoundInfo {
  uint16_t FormatTag = 0;
  uint16_t Channels = 0;
  uint32_t SampleRate = 0;
  uint32_t ByteRate = 0;
  uint16_t BlockAlign = 0;
  uint16_t BitsPerSample = 0;
  uint16_t ExtraSize = 0;
  uint16_t MpegVersion = 0;  // 3 = MPEG-1, 2 = MPEG-2
  uint16_t MpegLayer = 0;    // 1 = Layer III

  bool operator==(const SoundInfo&) const = default;
};

}  // namespace parlatone
