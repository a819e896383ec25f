#include "support/sound_fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace parlatone::testing {
namespace {

QByteArray Be32Bytes(uint32_t value) {
  QByteArray bytes(4, '\0');
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
  }
  return bytes;
}

int BitRateIndex(int version, int kbps) {
  static const std::vector<int> kMpeg1 = {0,   32,  40,  48,  56,  64,  80, 96,
                                          112, 128, 160, 192, 224, 256, 320};
  static const std::vector<int> kMpeg2 = {0,  8,  16, 24,  32,  40,  48, 56,
                                          64, 80, 96, 112, 128, 144, 160};
  const std::vector<int>& table = version == 3 ? kMpeg1 : kMpeg2;
  for (size_t i = 1; i < table.size(); ++i) {
    if (table[i] == kbps) {
      return static_cast<int>(i);
    }
  }
  return 9;
}

int RateIndex(int version, int sample_rate) {
  if (version == 3) {
    return sample_rate == 48000 ? 1 : sample_rate == 32000 ? 2 : 0;
  }
  if (version == kMpeg25) {
    return sample_rate == 12000 ? 1 : sample_rate == 8000 ? 2 : 0;
  }
  return sample_rate == 24000 ? 1 : sample_rate == 16000 ? 2 : 0;
}

int VersionBits(int version) {
  return version == 3 ? 0x18 : version == 2 ? 0x10 : 0x00;
}

int SideInfoSize(int version, bool mono) {
  if (version == 3) {
    return mono ? 17 : 32;
  }
  return mono ? 9 : 17;
}

}  // namespace

QByteArray Le16Bytes(uint16_t value) {
  QByteArray bytes(2, '\0');
  bytes[0] = static_cast<char>(value & 0xFF);
  bytes[1] = static_cast<char>(value >> 8);
  return bytes;
}

QByteArray Le32Bytes(uint32_t value) {
  QByteArray bytes(4, '\0');
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  return bytes;
}

QByteArray Chunk(const char* id, const QByteArray& body) {
  QByteArray chunk = QByteArray(id, 4) + Le32Bytes(static_cast<uint32_t>(body.size())) + body;
  if (body.size() % 2 != 0) {
    chunk += '\0';
  }
  return chunk;
}

QByteArray WaveBytes(const WaveShape& wave) {
  const uint16_t block_align = static_cast<uint16_t>(wave.channels * ((wave.bits + 7) / 8));
  QByteArray format = Le16Bytes(wave.format_tag) + Le16Bytes(wave.channels) +
                      Le32Bytes(wave.sample_rate) + Le32Bytes(wave.sample_rate * block_align) +
                      Le16Bytes(block_align) + Le16Bytes(wave.bits);
  if (wave.format_size >= 18) {
    format += Le16Bytes(wave.extra_size);
  }
  format.resize(wave.format_size, '\0');

  QByteArray data(wave.data_bytes, '\0');
  for (uint32_t i = 0; i + 1 < wave.data_bytes; i += 2) {
    // A quiet 440 Hz tone rather than silence, so a listener can tell it plays.
    const double t = static_cast<double>(i / 2) / std::max<uint32_t>(wave.sample_rate, 1);
    const auto sample = static_cast<int16_t>(2000 * std::sin(2 * M_PI * 440 * t));
    data[i] = static_cast<char>(sample & 0xFF);
    data[i + 1] = static_cast<char>((sample >> 8) & 0xFF);
  }

  QByteArray body =
      "WAVE" + wave.chunks_before_format + Chunk("fmt ", format) + wave.chunks_before_data;
  if (wave.with_data) {
    QByteArray data_chunk = Chunk("data", data);
    if (wave.data_size_field) {
      data_chunk.replace(4, 4, Le32Bytes(*wave.data_size_field));
    }
    body += data_chunk;
  }
  const uint32_t riff_size = wave.riff_size_field.value_or(static_cast<uint32_t>(body.size()));
  return "RIFF" + Le32Bytes(riff_size) + body;
}

QByteArray WaveOfLength(uint32_t sample_rate, uint16_t channels, uint16_t bits, int milliseconds) {
  WaveShape wave;
  wave.sample_rate = sample_rate;
  wave.channels = channels;
  wave.bits = bits;
  wave.data_bytes = static_cast<uint32_t>(static_cast<uint64_t>(sample_rate) * channels *
                                          (bits / 8) * milliseconds / 1000);
  return WaveBytes(wave);
}

QByteArray SineWave(uint32_t sample_rate, int milliseconds, double amplitude) {
  const auto frames = static_cast<int64_t>(sample_rate) * milliseconds / 1000;
  QByteArray data;
  for (int64_t f = 0; f < frames; ++f) {
    const double value =
        amplitude * std::sin(2.0 * std::numbers::pi * 997.0 * static_cast<double>(f) / sample_rate);
    data += Le16Bytes(static_cast<uint16_t>(
        static_cast<int16_t>(std::clamp(std::lround(value * 32768.0), -32768L, 32767L))));
  }
  QByteArray format = Le16Bytes(1) + Le16Bytes(1) + Le32Bytes(sample_rate) +
                      Le32Bytes(sample_rate * 2) + Le16Bytes(2) + Le16Bytes(16);
  const QByteArray body = "WAVE" + Chunk("fmt ", format) + Chunk("data", data);
  return "RIFF" + Le32Bytes(static_cast<uint32_t>(body.size())) + body;
}

int Mp3FrameSamples(int version) {
  return version == 3 ? 1152 : 576;
}

QByteArray Mp3Frame(int version, int kbps, int sample_rate, bool mono) {
  const int size = (version == 3 ? 144 : 72) * kbps * 1000 / sample_rate;
  QByteArray frame(size, '\0');
  frame[0] = static_cast<char>(0xFF);
  frame[1] = static_cast<char>(0xE0 | VersionBits(version) | 0x02 | 0x01);
  frame[2] = static_cast<char>((BitRateIndex(version, kbps) << 4) |
                               (RateIndex(version, sample_rate) << 2));
  frame[3] = static_cast<char>(mono ? 0xC0 : 0x40);
  return frame;
}

int VersionForRate(int sample_rate) {
  return sample_rate >= 32000 ? 3 : sample_rate >= 16000 ? 2 : kMpeg25;
}

QByteArray Mp3Frames(int count, std::initializer_list<int> kbps, int sample_rate, bool mono) {
  const int version = VersionForRate(sample_rate);
  const std::vector<int> rates(kbps);
  QByteArray bytes;
  for (int i = 0; i < count; ++i) {
    bytes += Mp3Frame(version, rates[static_cast<size_t>(i) % rates.size()], sample_rate, mono);
  }
  return bytes;
}

QByteArray TaggedMp3(int count, std::initializer_list<int> kbps, int sample_rate, bool mono) {
  const int version = VersionForRate(sample_rate);
  const QByteArray frames = Mp3Frames(count, kbps, sample_rate, mono);
  QByteArray tag = Mp3Frame(version, 128, sample_rate, mono);
  const int at = 4 + SideInfoSize(version, mono);
  const QByteArray fields = QByteArray(kbps.size() > 1 ? "Xing" : "Info") + Be32Bytes(0x3) +
                            Be32Bytes(static_cast<uint32_t>(count)) +
                            Be32Bytes(static_cast<uint32_t>(frames.size() + tag.size()));
  tag.replace(at, fields.size(), fields);
  return tag + frames;
}

QByteArray Mpeg25WithStrayMpeg1Header() {
  QByteArray bytes = TaggedMp3(8, {64}, 8000, true);
  const int frame_size = 72 * 64000 / 8000;
  bytes.replace(frame_size + 100, 4, QByteArray("\xFF\xFB\x90\xC4", 4));
  return bytes;
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    return false;
  }
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace parlatone::testing
