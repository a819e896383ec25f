// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/series.h"

#include <QCoreApplication>

#include <algorithm>

#include "core/messages.h"
#include "core/project.h"

namespace parlatone {
namespace {

const std::vector<int> kRatesLyr8Bit = {6400,  8000,  10600, 11025, 12800,
                                        16000, 22050, 32000, 44100, 48000};
const std::vector<int> kRatesQdx = {22050, 44100};
const std::vector<int> kRatesLyr = {8000, 11025, 12800, 16000, 22050, 32000, 44100};
const std::vector<int> kRatesLyr4 = {8000, 11025, 12800, 16000, 22050, 32000};

using F = SoundFormat;

const std::array<SeriesInfo, kSeriesCount>& Table() {
  // mode, format, channels, pages, voices, columns, bits, rates, refusal, descriptions
  static const std::array<SeriesInfo, kSeriesCount> table = {{
      {0, F::kWave, 255, 1, 8, 13, 8, kRatesLyr8Bit, 2102, 2150, 2152},  // LYR, 8-bit data only
      {1, F::kWave, 255, 1, 8, 13, 16, kRatesQdx, 2103, 2122, 2124},     // QDX 255CH
      {2, F::kWave, 255, 1, 8, 13, 16, kRatesLyr, 2104, 2151, 2153},     // LYR500
      {3, F::kWave, 255, 1, 24, 29, 16, kRatesLyr, 2104, 2151, 2153},    // LYR extended
      {4, F::kWave, 1000, 4, 8, 13, 16, kRatesQdx, 2103, 2122, 2124},    // QDX 1000CH
      {5, F::kWave, 255, 1, 8, 13, 16, kRatesLyr, 2104, 2151, 2153},     // LYR-5
      {6, F::kWave, 255, 1, 8, 13, 16, kRatesLyr4, 2105, 2154, 2155},    // LYR-4
      {7, F::kMp3, 255, 1, 8, 13, 0, {}, 0, 2156, 2157},                 // ZPX (MP3)
  }};
  return table;
}

// What the project files of each sound format end with: the control file
// and the temporary save file. Every series of a format shares them.
struct ProjectExtensions {
  SoundFormat format;
  QLatin1StringView control;
  QLatin1StringView temporary;
};
constexpr ProjectExtensions kProjectExtensions[] = {
    {F::kWave, QLatin1StringView("wpj"), QLatin1StringView("wpg")},
    {F::kMp3, QLatin1StringView("zpx"), QLatin1StringView("mpi")},
};

const ProjectExtensions& ExtensionsOf(int mode) {
  const SoundFormat format = Series(mode).format;
  for (const ProjectExtensions& extensions : kProjectExtensions) {
    if (extensions.format == format) {
      return extensions;
    }
  }
  return kProjectExtensions[0];
}

}  // namespace

const SeriesInfo& Series(int mode) {
  if (mode < 0 || mode >= kSeriesCount) {
    mode = 0;
  }
  return Table()[static_cast<size_t>(mode)];
}

QString SeriesLabel(int mode) {
  return GetMessage(msg::kSeriesLabelBase + Series(mode).mode);
}

bool IsMp3Series(int mode) {
  return Series(mode).format == SoundFormat::kMp3;
}

int MaxVoiceIndex(int mode) {
  return Series(mode).voices_per_channel - 1;
}

int PageCount(int mode) {
  return Series(mode).page_count;
}

QString PageCaption(int mode, int page) {
  if (PageCount(mode) == 1) {
    return GetMessage(2015);
  }
  return GetMessage(2011 + page);
}

void DeriveSeriesLimits(Project& project) {
  const SeriesInfo& series = Series(project.Mode());
  project.ChannelCount = series.channel_count;
  project.ChannelsPerPage = series.channel_count / series.page_count;
  project.GridColumns = series.grid_columns;
}

QString ControlFileExtension(int mode) {
  return ExtensionsOf(mode).control;
}

QString TemporaryFileExtension(int mode) {
  return ExtensionsOf(mode).temporary;
}

bool IsControlFileExtension(const QString& suffix) {
  return std::ranges::any_of(kProjectExtensions, [&](const ProjectExtensions& extensions) {
    return suffix.compare(extensions.control, Qt::CaseInsensitive) == 0;
  });
}

bool IsProjectFileExtension(const QString& suffix) {
  return IsControlFileExtension(suffix) ||
         std::ranges::any_of(kProjectExtensions, [&](const ProjectExtensions& extensions) {
           return suffix.compare(extensions.temporary, Qt::CaseInsensitive) == 0;
         });
}

QString PlaybackDeviceType(int mode) {
  return IsMp3Series(mode) ? QStringLiteral("mpegvideo") : QStringLiteral("waveaudio");
}

QString BitRateSuffix(int mode) {
  return IsMp3Series(mode) ? QStringLiteral("Kbit") : QStringLiteral("bit");
}

FileFilter ProjectOpenFilter(int mode) {
  const QString pattern =
      QStringLiteral("*.%1;*.%2").arg(ControlFileExtension(mode), TemporaryFileExtension(mode));
  return {QCoreApplication::translate("Series", "ParlatoneEditorファイル(%1)").arg(pattern),
          pattern};
}

int SeriesMessage(SeriesText text, int mode) {
  const bool mp3 = IsMp3Series(mode);
  switch (text) {
    case SeriesText::kRegistrationHeading:
      return mp3 ? 3001 : 3000;
    case SeriesText::kFileNameLabel:
      return mp3 ? 3003 : 3002;
    case SeriesText::kCardInfoFrame:
      return mp3 ? 3005 : 3004;
    case SeriesText::kSoundMediumLabel:
      return mp3 ? 3007 : 3006;
    case SeriesText::kCardMadeNotice:
      return mp3 ? 2053 : 2035;
    case SeriesText::kCardMadeTitle:
      return mp3 ? 2054 : 2037;
    case SeriesText::kNoSoundRegistered:
      return mp3 ? 2516 : 2503;
    case SeriesText::kForbiddenCharSuffix:
      return mp3 ? 2078 : 2075;
  }
  return 0;
}

int SeriesDescriptionMessage(int mode, bool stereo_accepted) {
  const SeriesInfo& series = Series(mode);
  return stereo_accepted ? series.description_message_stereo : series.description_message;
}

qint64 CapacityLimit(int mode, int file_capacity) {
  constexpr qint64 kNoPracticalLimit = 2147483647;
  if (!IsMp3Series(mode)) {
    return kNoPracticalLimit;
  }
  switch (file_capacity) {
    case 0:
      return 49000;
    case 1:
      return 99000;
    case 2:
      return 199000;
    default:
      return kNoPracticalLimit;
  }
}

bool AcceptsSampleRate(int mode, int sample_rate) {
  const std::vector<int>& rates = Series(mode).sample_rates;
  if (rates.empty()) {
    return true;
  }
  for (int rate : rates) {
    if (rate == sample_rate) {
      return true;
    }
  }
  return false;
}

}  // namespace parlatone
