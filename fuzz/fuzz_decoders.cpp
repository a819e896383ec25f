// SPDX-License-Identifier: GPL-3.0-or-later
// The decoders behind fitting, measuring and playing, on arbitrary files:
// the first byte picks the file's suffix (the MPEG family goes to
// libmpg123, the rest to libsndfile, which goes by the bytes), the rest is
// the file. A source reads at most what was asked, and what it reads is
// capped here so that a small input that decodes to hours stays fast.
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "sound/decoders.h"
#include "sound/pcm_source.h"
#include "sound/sound_probe.h"

namespace {

constexpr std::array kSuffixes = {"wav", "flac", "ogg", "aiff", "mp3"};
constexpr int64_t kBlockFrames = 4096;
constexpr int64_t kMaxFrames = 1 << 17;

// Reads up to `limit` frames; false when a read broke a rule.
bool ReadSome(parlatone::PcmSource& source, int64_t limit) {
  const int channels = source.format.channels;
  std::vector<float> block(static_cast<size_t>(kBlockFrames * channels));
  for (int64_t read = 0; read < limit;) {
    const int64_t wanted = std::min(kBlockFrames, limit - read);
    const int64_t got = source.Read(block.data(), wanted);
    if (got < -1 || got > wanted) {
      return false;
    }
    if (got <= 0) {
      break;
    }
    read += got;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  static QTemporaryDir dir;
  const char* suffix = kSuffixes[data[0] % kSuffixes.size()];
  const QString path = dir.filePath(QStringLiteral("in.") + QLatin1String(suffix));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      return 0;
    }
    file.write(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  }
  if (std::unique_ptr<parlatone::PcmSource> source = parlatone::OpenPcmSource(path)) {
    const parlatone::PcmFormat format = source->format;
    if (format.rate <= 0 || format.channels <= 0 || source->frames < 0) {
      __builtin_trap();
    }
    if (!ReadSome(*source, kMaxFrames)) {
      __builtin_trap();
    }
    if (source->frames > 0 && source->Seek(source->frames / 2) &&
        !ReadSome(*source, kBlockFrames)) {
      __builtin_trap();
    }
    if (source->Rewind() && !ReadSome(*source, kBlockFrames)) {
      __builtin_trap();
    }
  }
  const int64_t from_ms = data[0] / kSuffixes.size() * 10;
  if (data[0] % kSuffixes.size() == 0) {
    if (const std::optional<parlatone::WaveSummary> summary = parlatone::ReadWaveSummary(path)) {
      if (const std::optional<parlatone::PcmSound> sound = parlatone::DecodeWave(path, from_ms)) {
        if (sound->channels <= 0 ||
            sound->samples.size() % static_cast<size_t>(sound->channels) != 0) {
          __builtin_trap();
        }
      }
    }
  } else if (data[0] % kSuffixes.size() == kSuffixes.size() - 1) {
    (void)parlatone::ProbeMp3File(path);
    if (std::unique_ptr<parlatone::Mp3File> mp3 = parlatone::Mp3File::Open(path)) {
      if (const std::optional<parlatone::PcmSound> sound = mp3->Decode(from_ms)) {
        if (sound->channels <= 0 ||
            sound->samples.size() % static_cast<size_t>(sound->channels) != 0) {
          __builtin_trap();
        }
      }
    }
  }
  QFile::remove(path);
  return 0;
}
