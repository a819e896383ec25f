// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/recorder.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <vector>

#include "support/qt_printers.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(RecordingFormatTest, HighestSeriesRateTheDeviceGivesAndStereoOnlyWhereBothTakeIt) {
  const QList<int> qdx{22050, 44100};
  const QList<int> lyr4{8000, 11025, 12800, 16000, 22050, 32000};
  struct Case {
    const char* name;
    QList<int> rates;
    bool stereo_allowed;
    int device_rate;
    int device_channels;
    int rate;
    int channels;
  } cases[] = {
      {"device at 48 kHz", qdx, false, 48000, 2, 44100, 1},
      {"device at the series' rate", qdx, false, 22050, 1, 22050, 1},
      {"device between two rates", qdx, false, 32000, 1, 22050, 1},
      {"device slower than every rate", qdx, false, 16000, 1, 22050, 1},
      {"a series whose top is 32 kHz", lyr4, false, 48000, 1, 32000, 1},
      {"stereo taken, device stereo", qdx, true, 44100, 2, 44100, 2},
      {"stereo taken, device mono", qdx, true, 44100, 1, 44100, 1},
      {"stereo not taken, device stereo", lyr4, false, 44100, 2, 32000, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RecordingFormat format =
        ChooseRecordingFormat(c.rates, c.stereo_allowed, c.device_rate, c.device_channels);
    EXPECT_EQ(format.rate, c.rate);
    EXPECT_EQ(format.channels, c.channels);
  }
}

// What a recording that died left is offered; a take still being written
// (its header is rewritten every second) and other files are not.
TEST(LeftoverTakesTest, OnlyTakesNoLongerWrittenTo) {
  QTemporaryDir dir;
  const QDateTime now = QDateTime::currentDateTime();
  const struct {
    const char* name;
    int age_seconds;
  } files[] = {{"take-1.take", 60},
               {"take-2.take", 0},
               {"take-0.take", 3600},
               {"REC0001.WAV", 60},
               {"other.take", 60}};
  for (const auto& file : files) {
    QFile made(dir.filePath(QString::fromLatin1(file.name)));
    ASSERT_TRUE(made.open(QIODevice::WriteOnly));
    made.write("RIFF");
    made.flush();  // else closing would make the file new again
    ASSERT_TRUE(
        made.setFileTime(now.addSecs(-file.age_seconds), QFileDevice::FileModificationTime));
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
  }
  void TearDown() override {
    qputenv("SDL_AUDIODRIVER", "dummy");
    qunsetenv("SDL_DISKAUDIOFILEIN");
    qunsetenv("SDL_DISKAUDIODELAY");
  }

  // A sine of `hz` at `dbfs` for the microphone.
  void WriteSine(int rate, double seconds, double hz, double dbfs) {
    ASSERT_TRUE(testing::WriteBytes(input_, testing::RawSine16(rate, seconds, hz, dbfs)));
  }

  struct Read {
    SF_INFO info{};
    std::vector<double> samples;
    double PeakDb() const {
      double peak = 0.0;
      for (const double s : samples) {
        peak = std::max(peak, std::abs(s));
      }
      return 20.0 * std::log10(peak);
    }
    double RmsDb() const {
      double sum = 0.0;
      for (const double s : samples) {
        sum += s * s;
      }
      return 10.0 * std::log10(sum / static_cast<double>(samples.size()));
    }
  };
  // Read with libsndfile, not with the program's own reader.
  static Read ReadWave(const QString& path) {
    Read read;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &read.info);
    if (file == nullptr) {
      return read;
    }
    read.samples.resize(static_cast<size_t>(read.info.frames * read.info.channels));
    sf_read_double(file, read.samples.data(), static_cast<sf_count_t>(read.samples.size()));
    sf_close(file);
    return read;
  }

  QTemporaryDir dir_;
  QString input_;
};

TEST_F(RecorderTest, ASineIsRecordedAtItsLevelAndLength) {
  WriteSine(22050, 2.5, 1000.0, -12.0);
  qputenv("SDL_DISKAUDIODELAY", "5");
  Recorder recorder;
  RecorderSetup setup;
  setup.series_rates = {22050, 44100};
  setup.path = dir_.filePath(u"take.wav"_s);
  setup.max_seconds = 2.0;
  ASSERT_EQ(recorder.Start(setup), std::nullopt);
  for (int i = 0; i < 1000 && !recorder.Complete(); ++i) {
    QThread::msleep(10);
  }
  recorder.Stop();
  EXPECT_EQ(recorder.Rate(), 22050);
  const RecorderCounts counts = recorder.Counts();
  EXPECT_EQ(counts.delivered, 2 * 22050);
  EXPECT_EQ(counts.written, counts.delivered);
  EXPECT_EQ(counts.overruns, 0);

  const Read read = ReadWave(setup.path);
  EXPECT_EQ(read.info.samplerate, 22050);
  EXPECT_EQ(read.info.channels, 1);
  EXPECT_EQ(read.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(read.info.frames, 2 * 22050);
  EXPECT_NEAR(read.PeakDb(), -12.0, 0.1);
  EXPECT_NEAR(read.RmsDb(), -12.0 - 3.0103, 0.1);
}

// A program that dies in the middle leaves the take readable up to the
// last header update: a copy taken while recording stands in for what a
// crash leaves.
TEST_F(RecorderTest, TheTakeIsReadableWhileItIsRecorded) {
  WriteSine(22050, 1.0, 440.0, -6.0);
  qputenv("SDL_DISKAUDIODELAY", "20");  // about twice real time
  Recorder recorder;
  RecorderSetup setup;
  setup.series_rates = {22050, 44100};
  setup.path = dir_.filePath(u"take.wav"_s);
  ASSERT_EQ(recorder.Start(setup), std::nullopt);
  QThread::msleep(2500);
  const QString copy = dir_.filePath(u"left.wav"_s);
  ASSERT_TRUE(QFile::copy(setup.path, copy));
  const int64_t written = recorder.Counts().written;
  recorder.Stop();

  const Read left = ReadWave(copy);
  EXPECT_EQ(left.info.samplerate, 22050);
  // At least what was written up to the last update, a second or so ago.
  EXPECT_GT(left.info.frames, written - 3 * 22050);
  EXPECT_GT(left.info.frames, 22050);
  EXPECT_LE(left.info.frames, written);
  EXPECT_EQ(ReadWave(setup.path).info.frames, recorder.Counts().written);
}

TEST_F(RecorderTest, WithoutAnInputNothingIsLeftBehind) {
  Recorder recorder;
  RecorderSetup setup;
  setup.series_rates = {22050, 44100};
  setup.path = dir_.filePath(u"take.wav"_s);
  // The disk driver's input file is missing: the device cannot open.
  EXPECT_NE(recorder.Start(setup), std::nullopt);
  EXPECT_FALSE(recorder.Running());
  EXPECT_FALSE(QFile::exists(setup.path));
}

}  // namespace
}  // namespace parlatone
