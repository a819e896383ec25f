// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/card_size.h"

#include <QFileInfo>

#include <array>

#include "core/project.h"
#include "core/series.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The upper bounds of the card capacities, in bytes, smallest first.
constexpr std::array<qint64, 9> kClassLimits = {
    7976000, 15968000, 31968000, 63952000, 127936000, 255909000, 512180000, 1024655000, 2049310000};
constexpr std::array<const char16_t*, 10> kClassTexts = {
    u"8MB", u"16MB", u"32MB", u"64MB", u"128MB", u"256MB", u"512MB", u"1GB", u"2GB", u"OVER"};
constexpr int kMp3CardIndex = 10;

}  // namespace

SoundTotal TotalSoundSize(const Project& project) {
  SoundTotal total;
  if (!project.VoicesRegistered) {
    return total;
  }
  total.count = static_cast<int>(project.voices.size());
  for (const VoiceRecord& voice : project.voices) {
    const QFileInfo file(voice.FilePath);
    if (file.isFile()) {
      total.bytes += file.size();
    }
  }
  return total;
}

SizeClass SizeClassOf(qint64 total_bytes, int mode) {
  if (total_bytes == 0) {
    return {};
  }
  SizeClass size_class{QString::fromUtf16(kClassTexts.back()),
                       static_cast<int>(kClassLimits.size())};
  for (size_t i = 0; i < kClassLimits.size(); ++i) {
    if (total_bytes <= kClassLimits[i]) {
      size_class = {QString::fromUtf16(kClassTexts[i]), static_cast<int>(i)};
      break;
    }
  }
  if (IsMp3Series(mode)) {
    size_class.index = kMp3CardIndex;
  }
  return size_class;
}

}  // namespace parlatone
