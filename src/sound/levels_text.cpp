// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/levels_text.h"

#include <cmath>

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

QString SignedOneDecimal(double value) {
  const QString digits = QString::number(std::abs(value), 'f', 1);
  // A value that rounds to zero has no sign.
  return value < 0 && digits != u"0.0"_s ? u"\u2212"_s + digits : digits;
}

}  // namespace

QString LevelsText(const SoundLevels& levels) {
  const QString loudness =
      levels.loudness_lufs ? SignedOneDecimal(*levels.loudness_lufs) : u"\u2014"_s;
  const QString peak = levels.peak_db ? SignedOneDecimal(*levels.peak_db) : u"\u2212\u221e"_s;
  return u"%1 LUFS / %2 dBFS"_s.arg(loudness, peak);
}

}  // namespace parlatone
