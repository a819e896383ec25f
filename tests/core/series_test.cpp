#include "core/series.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include "core/messages.h"
#include "core/project.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

struct Limits {
  int channels, per_page, columns, pages, max_voice_index;
};

TEST(Series, DerivedLimitsOfEveryMode) {
  const Limits expected[kSeriesCount] = {
      {255, 255, 13, 1, 7},  {255, 255, 13, 1, 7}, {255, 255, 13, 1, 7}, {255, 255, 29, 1, 23},
      {1000, 250, 13, 4, 7}, {255, 255, 13, 1, 7}, {255, 255, 13, 1, 7}, {255, 255, 13, 1, 7}};
  for (int mode = 0; mode < kSeriesCount; ++mode) {
    Project project;
    project.settings.Mode = mode;
    DeriveSeriesLimits(project);
    EXPECT_EQ(project.ChannelCount, expected[mode].channels) << mode;
    EXPECT_EQ(project.ChannelsPerPage, expected[mode].per_page) << mode;
    EXPECT_EQ(project.GridColumns, expected[mode].columns) << mode;
    EXPECT_EQ(PageCount(mode), expected[mode].pages) << mode;
    EXPECT_EQ(project.ChannelCount / project.ChannelsPerPage, expected[mode].pages) << mode;
    EXPECT_EQ(MaxVoiceIndex(mode), expected[mode].max_voice_index) << mode;
    EXPECT_EQ(IsMp3Series(mode), mode == 7);
    EXPECT_EQ(SeriesLabel(mode), GetMessage(2110 + mode));
  }
}

// Tab captions, the series of an out-of-range mode, the open filter, and the MP3 capacity
// that limits by index in that series only.
TEST(Series, CaptionsFiltersAndCapacity) {
  EXPECT_EQ(PageCaption(4, 0), u"1～250"_s);
  EXPECT_EQ(PageCaption(4, 3), u"751～1000"_s);
  EXPECT_EQ(PageCaption(1, 0), u"1～255"_s);
  EXPECT_EQ(Series(8).mode, 0);
  EXPECT_EQ(Series(-1).mode, 0);
  const FileFilter wave = ProjectOpenFilter(4);
  EXPECT_EQ(wave.description, u"ParlatoneEditorファイル(*.wpj;*.wpg)"_s);
  EXPECT_EQ(wave.pattern, u"*.wpj;*.wpg"_s);
  EXPECT_EQ(ProjectOpenFilter(7).description, u"ParlatoneEditorファイル(*.zpx;*.mpi)"_s);
  const std::pair<int, int> capacities[] = {
      {0, 49000}, {1, 99000}, {2, 199000}, {3, 2147483647}, {-1, 2147483647}};
  for (const auto& [index, bytes] : capacities) {
    EXPECT_EQ(CapacityLimit(7, index), bytes) << index;
  }
  EXPECT_EQ(CapacityLimit(1, 0), 2147483647);
}

TEST(Series, AcceptedSampleRates) {
  // 48 kHz belongs to the 8-bit series only.
  for (int mode = 0; mode < kSeriesCount; ++mode) {
    EXPECT_EQ(AcceptsSampleRate(mode, 48000), mode == 0 || mode == 7) << mode;
  }
  // 8 kHz: not in the QDX series.
  for (int mode : {0, 2, 3, 5, 6}) {
    EXPECT_TRUE(AcceptsSampleRate(mode, 8000)) << mode;
  }
  EXPECT_FALSE(AcceptsSampleRate(1, 8000));
  EXPECT_FALSE(AcceptsSampleRate(4, 11025));
  EXPECT_TRUE(AcceptsSampleRate(4, 22050));
  // LYR-4 stops at 32 kHz.
  EXPECT_FALSE(AcceptsSampleRate(6, 44100));
  EXPECT_TRUE(AcceptsSampleRate(6, 32000));
  EXPECT_TRUE(AcceptsSampleRate(0, 6400));
  EXPECT_FALSE(AcceptsSampleRate(2, 6400));
  EXPECT_EQ(Series(0).max_bits_per_sample, 8);
  EXPECT_EQ(SeriesDescriptionMessage(6, false), 2154);
  EXPECT_EQ(SeriesDescriptionMessage(6, true), 2155);
}

}  // namespace
}  // namespace parlatone
