// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/recorder.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "support/qt_printers.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(RecordingFormatTest, HighestSeriesRateTheDeviceGivesAndStereoOnlyWhereBothTakeIt) {
  const QList<int> qdx{22050, 44100};
  const QList<int> lyr4{8000, 11025, 12800, 16000, 22050, 32000};
  // What, the series' rates, stereo taken, the device's rate and channels; the rate and channels.
  const std::tuple<const char*, QList<int>, bool, int, int, int, int> cases[] = {
      {"device at 48 kHz", qdx, false, 48000, 2, 44100, 1},
      {"device at the series' rate", qdx, false, 22050, 1, 22050, 1},
      {"device between two rates", qdx, false, 32000, 1, 22050, 1},
      {"device slower than every rate", qdx, false, 16000, 1, 22050, 1},
      {"a series whose top is 32 kHz", lyr4, false, 48000, 1, 32000, 1},
      {"stereo taken, device stereo", qdx, true, 44100, 2, 44100, 2},
      {"stereo taken, device mono", qdx, true, 44100, 1, 44100, 1},
      {"stereo not taken, device stereo", lyr4, false, 44100, 2, 32000, 1},
  };
  for (const auto& [what, rates, stereo, device_rate, device_channels, rate, channels] : cases) {
    const RecordingFormat format =
        ChooseRecordingFormat(rates, stereo, device_rate, device_channels);
    EXPECT_EQ(std::pair(format.rate, format.channels), std::pair(rate, channels)) << what;
  }
}

// What a recording that died left is offered; a take still being written
// (its header is rewritten every second) and other files are not.
TEST(LeftoverTakesTest, OnlyTakesNoLongerWrittenTo) {
  QTemporaryDir dir;
  const QDateTime now = QDateTime::currentDateTime();
  // Name, seconds since it was last written.
  const std::pair<const char*, int> files[] = {{"take-1.take", 60},
                                               {"take-2.take", 0},
                                               {"take-0.take", 3600},
                                               {"REC0001.WAV", 60},
                                               {"other.take", 60}};
  for (const auto& [name, age_seconds] : files) {
    QFile made(dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(made.open(QIODevice::WriteOnly));
    made.write("RIFF");
    made.flush();  // else closing would make the file new again
    ASSERT_TRUE(made.setFileTime(now.addSecs(-age_seconds), QFileDevice::FileModificationTime));
  }
  EXPECT_EQ(LeftoverTakes(dir.path()),
            (QStringList{dir.filePath(u"take-0.take"_s), dir.filePath(u"take-1.take"_s)}));
  const QString fresh = NewTakePath(dir.path());
  EXPECT_TRUE(fresh.startsWith(dir.path() + u"/take-"_s) && fresh.endsWith(u".take"_s));
}

// The recordings below come from SDL's disk driver, which reads its input
// as raw 16-bit samples from a file at the pace the delay gives (and
// silence once the file ends).
class RecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    input_ = dir_.filePath(u"input.raw"_s);
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(input_));
    setup_.series_rates = {22050, 44100};
    setup_.path = dir_.filePath(u"take.wav"_s);
  }
  void TearDown() override {
    qputenv("SDL_AUDIODRIVER", "dummy");
    qunsetenv("SDL_DISKAUDIOFILEIN");
    qunsetenv("SDL_DISKAUDIODELAY");
  }

  QTemporaryDir dir_;
  QString input_;
  RecorderSetup setup_;
  Recorder recorder_;
};

TEST_F(RecorderTest, ASineIsRecordedAtItsLevelAndLength) {
  ASSERT_TRUE(testing::WriteBytes(input_, testing::RawSine16(22050, 2.5, 1000.0, -12.0)));
  qputenv("SDL_DISKAUDIODELAY", "5");
  setup_.max_seconds = 2.0;
  ASSERT_EQ(recorder_.Start(setup_), std::nullopt);
  for (int i = 0; i < 1000 && !recorder_.Complete(); ++i) {
    QThread::msleep(10);
  }
  recorder_.Stop();
  EXPECT_EQ(recorder_.Rate(), 22050);
  const RecorderCounts counts = recorder_.Counts();
  EXPECT_EQ(std::tuple(counts.delivered, counts.written, counts.overruns),
            std::tuple(int64_t{2 * 22050}, int64_t{2 * 22050}, int64_t{0}));

  int format = 0;
  const testing::Sound read = testing::ReadSound(setup_.path, &format);
  EXPECT_EQ(std::tuple(read.rate, read.channels, format, read.Frames()),
            std::tuple(22050, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, int64_t{2 * 22050}));
  const float peak = std::ranges::max(read.samples, {}, [](float s) { return std::abs(s); });
  EXPECT_NEAR(20.0 * std::log10(std::abs(peak)), -12.0, 0.1);
  EXPECT_NEAR(testing::RmsDb(read.samples), -12.0 - 3.0103, 0.1);
}

// A program that dies in the middle leaves the take readable up to the
// last header update: a copy taken while recording stands in for what a
// crash leaves.
TEST_F(RecorderTest, TheTakeIsReadableWhileItIsRecorded) {
  ASSERT_TRUE(testing::WriteBytes(input_, testing::RawSine16(22050, 1.0, 440.0, -6.0)));
  qputenv("SDL_DISKAUDIODELAY", "20");  // about twice real time
  ASSERT_EQ(recorder_.Start(setup_), std::nullopt);
  QThread::msleep(2500);
  const QString copy = dir_.filePath(u"left.wav"_s);
  ASSERT_TRUE(QFile::copy(setup_.path, copy));
  const int64_t written = recorder_.Counts().written;
  recorder_.Stop();

  const testing::Sound left = testing::ReadSound(copy);
  EXPECT_EQ(left.rate, 22050);
  // At least what was written up to the last update, a second or so ago.
  EXPECT_GT(left.Frames(), std::max<int64_t>(written - 3 * 22050, 22050));
  EXPECT_LE(left.Frames(), written);
  EXPECT_EQ(testing::ReadSound(setup_.path).Frames(), recorder_.Counts().written);
}

TEST_F(RecorderTest, WithoutAnInputNothingIsLeftBehind) {
  // The disk driver's input file is missing: the device cannot open.
  EXPECT_NE(recorder_.Start(setup_), std::nullopt);
  EXPECT_FALSE(recorder_.Running() || QFile::exists(setup_.path));
}

}  // namespace
}  // namespace parlatone
