// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/series.h"
#include "core/messages.h"
#include "core/project.h"

#include <gtest/gtest.h>

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// The limits come from the series table; the big series shows how they are derived from it
// (channels over pages). An out-of-range mode is series 0. The MP3 capacity limits by index in
// that series only. An empty rate list (MP3) accepts every rate; 48 kHz is the 8-bit series'.
TEST(Series, LimitsCaptionsFiltersCapacityAndRates) {
  Project project;
  project.settings.Mode = 4;
  DeriveSeriesLimits(project);
  EXPECT_EQ((std::array{project.ChannelCount, project.ChannelsPerPage, project.GridColumns,
                        PageCount(4), MaxVoiceIndex(4)}),
            (std::array{1000, 250, 13, 4, 7}));
  EXPECT_EQ(std::pair(Series(8).mode, Series(-1).mode), std::pair(0, 0));
  EXPECT_EQ(PageCaption(4, 3) + u' ' + PageCaption(1, 0), u"751～1000 1～255"_s);
  EXPECT_EQ(ProjectOpenFilter(4).pattern, u"*.wpj;*.wpg"_s);
  EXPECT_EQ((std::array{CapacityLimit(7, 0), CapacityLimit(7, -1), CapacityLimit(1, 0)}),
            (std::array<qint64, 3>{49000, 2147483647, 2147483647}));
  for (int mode = 0; mode < kSeriesCount; ++mode) {
    EXPECT_EQ(AcceptsSampleRate(mode, 48000), mode == 0 || mode == 7) << mode;
  }
  // LYR-4 stops at 32 kHz; QDX starts above 8 kHz.
  EXPECT_TRUE(!AcceptsSampleRate(6, 44100) && AcceptsSampleRate(6, 32000) &&
              !AcceptsSampleRate(1, 8000));
}

TEST(Messages, EveryNumberTheSeriesTableNamesExists) {
  for (int mode = 0; mode < kSeriesCount; ++mode) {
    const SeriesInfo& series = Series(mode);
    EXPECT_TRUE(HasMessage(msg::kSeriesLabelBase + mode)) << mode;
    EXPECT_TRUE(HasMessage(series.description_message)) << mode;
    EXPECT_TRUE(HasMessage(series.description_message_stereo)) << mode;
    if (series.rate_refusal_message != 0) {
      EXPECT_TRUE(HasMessage(series.rate_refusal_message)) << mode;
    }
    for (int text = 0; text <= static_cast<int>(SeriesText::kForbiddenCharSuffix); ++text) {
      EXPECT_TRUE(HasMessage(SeriesMessage(static_cast<SeriesText>(text), mode)))
          << mode << ' ' << text;
    }
  }
  for (int number : {msg::kTitleConfirm, msg::kTitleCaution, msg::kTitleError}) {
    EXPECT_TRUE(HasMessage(number));
  }
}

}  // namespace
}  // namespace parlatone
