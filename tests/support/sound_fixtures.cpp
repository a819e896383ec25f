// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/sound_fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include <sndfile.h>

namespace parlatone::testing {
namespace {

template <typename T>
QByteArray Bytes(T value) {
  return QByteArray(reinterpret_cast<const char*>(&value), sizeof(T));
}

int BitRateIndex(int version, int kbps) {
  static constexpr std::array kMpeg1 = {0,   32,  40,  48,  56,  64,  80, 96,
                                        112, 128, 160, 192, 224, 256, 320};
  static constexpr std::array kMpeg2 = {0,  8,  16, 24,  32,  40,  48, 56,
                                        64, 80, 96, 112, 128, 144, 160};
  const auto& table = version == 3 ? kMpeg1 : kMpeg2;
  const auto* at = std::find(table.begin() + 1, table.end(), kbps);
  return at == table.end() ? 9 : static_cast<int>(at - table.begin());
}

// A header and zeros; the header's rate index counts from 44.1, 48
// and 32 kHz, halved for MPEG-2 and quartered for MPEG-2.5.
QByteArray Mp3Frame(int version, int kbps, int sample_rate, bool mono) {
  const int size = (version == 3 ? 144 : 72) * kbps * 1000 / sample_rate;
  const int base_rate = sample_rate * (version == 3 ? 1 : version == 2 ? 2 : 4);
  const int rate_index = base_rate == 48000 ? 1 : base_rate == 32000 ? 2 : 0;
  QByteArray frame(size, '\0');
  frame[0] = static_cast<char>(0xFF);
  frame[1] = static_cast<char>(0xE3 | (version == 3 ? 0x18 : version == 2 ? 0x10 : 0x00));
  frame[2] = static_cast<char>((BitRateIndex(version, kbps) << 4) | (rate_index << 2));
  frame[3] = static_cast<char>(mono ? 0xC0 : 0x40);
  return frame;
}

int VersionForRate(int sample_rate) {
  return sample_rate >= 32000 ? 3 : sample_rate >= 16000 ? 2 : 25;  // 25: MPEG-2.5
}

}  // namespace

QByteArray Le16Bytes(uint16_t value) {
  return Bytes(qToLittleEndian(value));
}

QByteArray Le32Bytes(uint32_t value) {
  return Bytes(qToLittleEndian(value));
}

QByteArray Chunk(const char* id, const QByteArray& body) {
  const QByteArray chunk = QByteArray(id, 4) + Le32Bytes(static_cast<uint32_t>(body.size())) + body;
  return body.size() % 2 != 0 ? chunk + '\0' : chunk;
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
  return WaveBytes(
      {.channels = channels,
       .sample_rate = sample_rate,
       .bits = bits,
       .data_bytes = static_cast<uint32_t>(static_cast<uint64_t>(sample_rate) * channels *
                                           (bits / 8) * milliseconds / 1000)});
}

QByteArray SineWave(uint32_t sample_rate, int milliseconds, double amplitude) {
  QByteArray wave = WaveOfLength(sample_rate, 1, 16, milliseconds);
  for (qsizetype f = 0; 44 + 2 * f < wave.size(); ++f) {
    const double value =
        amplitude * std::sin(2.0 * std::numbers::pi * 997.0 * static_cast<double>(f) / sample_rate);
    wave.replace(44 + 2 * f, 2,
                 Le16Bytes(static_cast<uint16_t>(static_cast<int16_t>(
                     std::clamp(std::lround(value * 32768.0), -32768L, 32767L)))));
  }
  return wave;
}

QByteArray RawSine16(int rate, double seconds, double hz, double dbfs) {
  const double amplitude = 32767.0 * std::pow(10.0, dbfs / 20.0);
  QByteArray bytes;
  for (int64_t f = 0; f < static_cast<int64_t>(seconds * rate); ++f) {
    bytes += Le16Bytes(static_cast<uint16_t>(static_cast<int16_t>(std::lround(
        amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(f) / rate)))));
  }
  return bytes;
}

QByteArray Mp3Frames(int count, std::initializer_list<int> kbps, int sample_rate, bool mono) {
  const int version = VersionForRate(sample_rate);
  QByteArray bytes;
  for (int i = 0; i < count; ++i) {
    bytes +=
        Mp3Frame(version, kbps.begin()[static_cast<size_t>(i) % kbps.size()], sample_rate, mono);
  }
  return bytes;
}

QByteArray TaggedMp3(int count, std::initializer_list<int> kbps, int sample_rate, bool mono) {
  const int version = VersionForRate(sample_rate);
  const QByteArray frames = Mp3Frames(count, kbps, sample_rate, mono);
  QByteArray tag = Mp3Frame(version, 128, sample_rate, mono);
  const int at = 4 + (version == 3 ? (mono ? 17 : 32) : (mono ? 9 : 17));  // after the side info
  const QByteArray fields = QByteArray(kbps.size() > 1 ? "Xing" : "Info") +
                            Bytes(qToBigEndian(0x3U)) +
                            Bytes(qToBigEndian(static_cast<uint32_t>(count))) +
                            Bytes(qToBigEndian(static_cast<uint32_t>(frames.size() + tag.size())));
  tag.replace(at, fields.size(), fields);
  return tag + frames;
}

QByteArray Mpeg25WithStrayMpeg1Header() {
  QByteArray bytes = TaggedMp3(8, {64}, 8000, true);
  bytes.replace(72 * 64000 / 8000 + 100, 4, QByteArray("\xFF\xFB\x90\xC4", 4));  // in frame 1
  return bytes;
}

Sound& Sound::Add(double seconds, const std::function<float(double, int)>& value) {
  for (int64_t f = 0; f < static_cast<int64_t>(seconds * rate); ++f) {
    for (int c = 0; c < channels; ++c) {
      samples.push_back(value(static_cast<double>(f) / rate, c));
    }
  }
  return *this;
}

Sound& Sound::Silence(double seconds) {
  return Add(seconds, [](double, int) { return 0.0F; });
}

Sound& Sound::Sine(double seconds, double amplitude, double hz) {
  return Add(seconds, [&](double t, int) {
    return static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * t));
  });
}

bool WriteSound(const QString& path, const Sound& sound, int format) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    return false;
  }
  SF_INFO info{0, sound.rate, sound.channels, format, 0, 0};
  SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
  if (file == nullptr) {
    return false;
  }
  // Full scale is written as the largest sample rather than wrapped.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  const bool written =
      sf_writef_float(file, sound.samples.data(), sound.Frames()) == sound.Frames();
  return sf_close(file) == 0 && written;
}

Sound ReadSound(const QString& path, int* format) {
  SF_INFO info{};
  SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
  if (file == nullptr) {
    return {};
  }
  Sound sound{info.samplerate, info.channels, {}};
  sound.samples.resize(static_cast<size_t>(info.frames * info.channels));
  sf_readf_float(file, sound.samples.data(), info.frames);
  sf_close(file);
  if (format != nullptr) {
    *format = info.format;
  }
  return sound;
}

double RmsDb(const std::vector<float>& samples, size_t skip) {
  double sum = 0.0;
  for (size_t i = skip; i + skip < samples.size(); ++i) {
    sum += static_cast<double>(samples[i]) * samples[i];
  }
  return 10.0 * std::log10(sum / static_cast<double>(samples.size() - 2 * skip) + 1e-30);
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    return false;
  }
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

}  // namespace parlatone::testing
