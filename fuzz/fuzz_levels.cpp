// SPDX-License-Identifier: GPL-3.0-or-later
// The look at a sound file behind `levels`, on arbitrary files: the first
// byte picks the suffix as for the decoders, the rest is the file. An
// analysis that completes holds together: silences within the length, an
// outline of at most its column count with each low under its high, and no
// level that is not a number.
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cmath>
#include <cstdint>

#include "sound/levels_text.h"

namespace {

constexpr std::array kSuffixes = {"wav", "flac", "ogg", "aiff", "mp3"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  static QTemporaryDir dir;
  const QString path =
      dir.filePath(QStringLiteral("in.") + QLatin1String(kSuffixes[data[0] % kSuffixes.size()]));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      return 0;
    }
    file.write(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  }
  const std::optional<parlatone::SoundLevels> levels = parlatone::AnalyseSound(path);
  QFile::remove(path);
  if (!levels) {
    return 0;
  }
  const size_t columns = levels->outline_min.size();
  if (levels->length_ms < 0 || levels->leading_silence_ms < 0 ||
      levels->leading_silence_ms > levels->length_ms || levels->trailing_silence_ms < 0 ||
      levels->trailing_silence_ms > levels->length_ms ||
      columns > static_cast<size_t>(parlatone::SoundLevels::kOutlineColumns) ||
      levels->outline_max.size() != columns) {
    __builtin_trap();
  }
  for (size_t c = 0; c < columns; ++c) {
    if (!(levels->outline_min[c] <= levels->outline_max[c])) {
      __builtin_trap();
    }
  }
  if ((levels->peak_db && std::isnan(*levels->peak_db)) ||
      (levels->loudness_lufs && std::isnan(*levels->loudness_lufs))) {
    __builtin_trap();
  }
  (void)parlatone::LevelsText(*levels);
  (void)parlatone::OutlineFor(*levels, 1 + data[0] % 300);
  return 0;
}
