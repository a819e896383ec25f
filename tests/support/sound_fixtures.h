// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace parlatone::testing {

// A RIFF chunk: id, little-endian size, body, and the pad byte of an odd body.
QByteArray Chunk(const char* id, const QByteArray& body);
QByteArray Le16Bytes(uint16_t value);
QByteArray Le32Bytes(uint32_t value);

// Every byte of a generated WAVE file is stated here, so a test shows what
// the reader meets.
struct WaveShape {
  uint16_t format_tag = 1;
  uint16_t channels = 1;
  uint32_t sample_rate = 22050;
  uint16_t bits = 16;
  uint32_t format_size = 16;  // 16, 18 (with extra size) or 40 (extensible)
  uint16_t extra_size = 0;
  QByteArray chunks_before_format{};          // whole chunks, e.g. a LIST chunk
  QByteArray chunks_before_data{};            // between "fmt " and "data"
  uint32_t data_bytes = 0;                    // sound bytes written (a quiet tone)
  std::optional<uint32_t> data_size_field{};  // when the header lies about them
  std::optional<uint32_t> riff_size_field{};
  bool with_data = true;
};
QByteArray WaveBytes(const WaveShape& wave);

// A 16-bit mono PCM WAVE holding a 997 Hz sine of the given peak (1.0 is
// full scale, written as the largest sample).
QByteArray SineWave(uint32_t sample_rate, int milliseconds, double amplitude);

// Raw little-endian 16-bit mono samples of a sine of `hz` at `dbfs`, as
// SDL's disk driver reads them for a microphone.
QByteArray RawSine16(int rate, double seconds, double hz, double dbfs);

// A PCM WAVE of the given length.
QByteArray WaveOfLength(uint32_t sample_rate, uint16_t channels, uint16_t bits, int milliseconds);

// Silent MPEG audio Layer III frames, which decoders play as silence, one
// after another; kbps cycles through the list (VBR when it has more than one
// entry). MPEG-1 from 32 kHz, MPEG-2 from 16 kHz, MPEG-2.5 below. No tag.
QByteArray Mp3Frames(int count, std::initializer_list<int> kbps, int sample_rate = 44100,
                     bool mono = true);
// The same preceded by a Xing ("Info" for CBR) frame that states the frame
// count, as encoders write it.
QByteArray TaggedMp3(int count, std::initializer_list<int> kbps, int sample_rate = 44100,
                     bool mono = true);
// MPEG-2.5 frames (8 kHz, 64 kbit/s, mono) behind an Info frame, with an
// MPEG-1 Layer III header by chance inside an early frame's audio data.
QByteArray Mpeg25WithStrayMpeg1Header();

// Sound made by a test as float samples, so that the figures a test expects
// come from how it was made, not from the code under test.
struct Sound {
  int rate = 48000;
  int channels = 1;
  std::vector<float> samples{};  // interleaved

  int64_t Frames() const { return static_cast<int64_t>(samples.size()) / channels; }
  // `seconds` more of value(t, channel), t counted from the start of the part.
  Sound& Add(double seconds, const std::function<float(double, int)>& value);
  Sound& Silence(double seconds);
  // The same sine in every channel.
  Sound& Sine(double seconds, double amplitude, double hz = 997.0);
};
// Writes `sound` with libsndfile in `format` (its SF_FORMAT_ major type and
// subtype), creating the folder. Integer formats clip at full scale; float
// formats keep what goes past it. Returns false on failure.
bool WriteSound(const QString& path, const Sound& sound, int format);
// A sound file as libsndfile reads it, not the program's own reader; no
// samples when it cannot be read. `format` receives its SF_FORMAT_ value.
Sound ReadSound(const QString& path, int* format = nullptr);
// The RMS level in dBFS, `skip` samples left out at each end.
double RmsDb(const std::vector<float>& samples, size_t skip = 0);

// Writes a file, creating its folder; returns false on failure.
bool WriteBytes(const QString& path, const QByteArray& bytes);

}  // namespace parlatone::testing
