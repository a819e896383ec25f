// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/mp3_header.h"

#include <array>

#include "core/messages.h"
#include "core/operator.h"
#include "sound/sound_probe.h"

namespace parlatone {
namespace {

// Layer III bit rates in kbit/s by index 1 to 14.
constexpr std::array<uint16_t, 15> kMpeg1BitRates = {0,   32,  40,  48,  56,  64,  80, 96,
                                                     112, 128, 160, 192, 224, 256, 320};
constexpr std::array<uint16_t, 15> kMpeg2BitRates = {0,  8,  16, 24,  32,  40,  48, 56,
                                                     64, 80, 96, 112, 128, 144, 160};
constexpr std::array<uint32_t, 3> kMpeg1Rates = {44100, 48000, 32000};
constexpr std::array<uint32_t, 3> kMpeg2Rates = {22050, 24000, 16000};

}  // namespace

std::optional<SoundInfo> ScanMp3Header(const QByteArray& bytes) {
  SoundInfo info;
  int state = 0;
  const qsizetype covered = std::min<qsizetype>(bytes.size(), kMp3ScanBytes);
  for (qsizetype i = 0; i < covered; ++i) {
    const auto byte = static_cast<unsigned char>(bytes.at(i));
    switch (state) {
      case 0:
      case 1:
        if (byte == 0xFF) {
          state = 1;
        } else if (state == 1 && (byte & 0xE0) == 0xE0) {
          state = 2;
          switch (byte & 0x18) {
            case 0x18:
              info.MpegVersion = 3;
              break;
            case 0x10:
              info.MpegVersion = 2;
              break;
            default:
              info.MpegVersion = 0;
              state = 0;
              break;  // MPEG-2.5 or reserved
          }
          if ((byte & 0x06) == 0x02) {
            info.MpegLayer = 1;
          } else {
            info.MpegLayer = 0;  // Layer I, II or reserved
            state = 0;
          }
        } else {
          state = 0;
        }
        break;
      case 2: {
        state = 3;
        const int bit_rate_index = byte >> 4;
        if (bit_rate_index == 0 || bit_rate_index == 15) {
          return std::nullopt;  // free format or forbidden
        }
        const int rate_index = (byte & 0x0C) >> 2;
        if (rate_index == 3) {
          return std::nullopt;
        }
        const bool mpeg1 = info.MpegVersion == 3;
        info.BitsPerSample = (mpeg1 ? kMpeg1BitRates : kMpeg2BitRates)[bit_rate_index];
        info.SampleRate = (mpeg1 ? kMpeg1Rates : kMpeg2Rates)[rate_index];
        break;
      }
      default:
        info.Channels = (byte & 0xC0) == 0xC0 ? 1 : 0;
        return info;
    }
  }
  return std::nullopt;
}

CheckResult ReadMp3Header(const SoundProbe& probe, SoundInfo& info) {
  info = SoundInfo();
  if (probe.status == SoundFile::Status::kMissing) {
    return Refused(NumberedMessage(2604, msg::kTitleError, MessageIcon::kError));
  }
  if (!probe.IsOpen() || probe.head.isEmpty()) {
    return RefusedQuietly();
  }
  const std::optional<SoundInfo> found = ScanMp3Header(probe.head);
  // The scan decides the values, as the devices' tools always read them;
  // the decoder decides whether there is a stream the devices play at all.
  const Mp3Stream& stream = probe.mp3;
  const bool playable = stream.decodable && stream.layer == 3 &&
                        (stream.version == 1 || stream.version == 2) && stream.length_ms >= 0;
  if (!found || !playable) {
    return Refused(NumberedMessage(2603, msg::kTitleError, MessageIcon::kError));
  }
  info = *found;
  return {};
}

}  // namespace parlatone
