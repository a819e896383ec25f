// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/conversion_engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <optional>

#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::Chunk;
using testing::Le16Bytes;
using testing::Le32Bytes;

// A canonical PCM file: format chunk right after "WAVE", then `extra`, then data.
QByteArray Canonical(uint16_t channels, uint16_t bits, const QByteArray& data,
                     const QByteArray& extra = {}, uint32_t rate = 44100) {
  return testing::WaveBytes({.channels = channels,
                             .sample_rate = rate,
                             .bits = bits,
                             .chunks_before_data = extra + Chunk("data", data),
                             .with_data = false});
}

// Sample i of channel 1 (left) or 2 is c * 0x1000 + i at 16 bits, 0x10 or 0x80 + i % 100 at 8.
QByteArray Samples(uint16_t bits, int frames, std::initializer_list<int> channels) {
  QByteArray data;
  for (int i = 0; i < frames; ++i) {
    for (const int c : channels) {
      data += bits == 16 ? Le16Bytes(static_cast<uint16_t>(c * 0x1000 + i))
                         : QByteArray(1, static_cast<char>((c == 1 ? 0x10 : 0x80) + i % 100));
    }
  }
  return data;
}
QByteArray Stereo(uint16_t bits, int frames, const QByteArray& extra = {}) {
  return Canonical(2, bits, Samples(bits, frames, {1, 2}), extra);
}

class EngineTest : public ::testing::Test {
 protected:
  QString Out(const QString& name = u"out.wav"_s) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
  ConversionProgress progress_;
};

// The bar steps as if bytes were counted one by one: a step each time more than StepBytes were.
TEST_F(EngineTest, MonoKeepsLeftSixteenBitOrRightEightBitSamplesAndOtherChunks) {
  const QByteArray list = Chunk("LIST", "INFOICMT\x06\0\0\0hello\0"_ba);
  const struct {
    QByteArray source;
    QByteArray expected;
    int64_t header, frames, frame_bytes;  // what the engine counts
  } cases[] = {
      {Stereo(16, 44100), Canonical(1, 16, Samples(16, 44100, {1})), 44, 44100, 4},
      {Stereo(8, 300, list), Canonical(1, 8, Samples(8, 300, {2}), list), 44 + list.size(), 300, 2},
      // Half of the last frame cut off: it is dropped.
      {Canonical(2, 16, Stereo(16, 3).mid(44, 10)), Canonical(1, 16, Samples(16, 2, {1})), 44, 2,
       4},
  };
  for (const auto& c : cases) {
    const QString in = Out(u"in.wav"_s);
    ASSERT_TRUE(testing::WriteBytes(in, c.source));
    ConversionProgress progress;
    int steps = 0, expected = 0;
    progress.Bar = [&] { ++steps; };
    progress.StepBytes = (c.header + c.frames * c.frame_bytes) / 100;
    ASSERT_EQ(ConvertStereoToMono(in, Out(), progress), ConversionResult::kCompleted);
    EXPECT_EQ(testing::ReadFileBytes(Out()), c.expected);
    int64_t counted = c.header;
    for (int f = 0; f < c.frames; ++f) {
      counted += c.frame_bytes;
      if (counted > progress.StepBytes) {
        ++expected;
        counted = 0;
      }
    }
    EXPECT_EQ(std::tuple(steps, progress.CountedBytes), std::tuple(expected, counted));
  }
}

// Only canonical 8/16-bit PCM stereo whose data the devices reach converts, never onto
// itself; fixed offsets would patch a recorder's JUNK chunk and leave a stereo header.
TEST_F(EngineTest, HeadersItWouldGarbleAreRefused) {
  const auto changed = [](QByteArray bytes, int at, const QByteArray& field) {
    return bytes.replace(at, field.size(), field);
  };
  QByteArray junk = Stereo(16, 10);
  junk.insert(12, Chunk("JUNK", QByteArray(28, '\0')));
  const QString in = dir_.filePath(u"in.wav"_s);
  ASSERT_TRUE(QFile::link(in, Out(u"link.wav"_s)));
  const std::pair<QByteArray, QString> cases[] = {
      {changed(junk, 4, Le32Bytes(static_cast<uint32_t>(junk.size() - 8))), Out()},
      {changed(Stereo(16, 10), 20, Le16Bytes(3)), Out()},                  // float
      {changed(Stereo(16, 10), 22, Le16Bytes(1)), Out()},                  // mono
      {changed(Stereo(16, 12), 32, Le16Bytes(6) + Le16Bytes(24)), Out()},  // 24 bits
      {Stereo(16, 10, Chunk("LIST", QByteArray(500, 'x'))), Out()},        // data beyond 512
      {Stereo(16, 10).left(20), Out()},                                    // header cut short
      {changed(Stereo(16, 10), 24, Le32Bytes(0x80000000)), Out()},         // rate over 2^31
      {Stereo(16, 100), in},
      {Stereo(16, 100), Out(u"link.wav"_s)},
  };
  for (const auto& [bytes, output] : cases) {
    ASSERT_TRUE(testing::WriteBytes(in, bytes));
    EXPECT_EQ(ConvertStereoToMono(in, output, progress_), ConversionResult::kFailed)
        << output.toStdString();
    EXPECT_FALSE(QFile::exists(Out()));
    EXPECT_EQ(testing::ReadFileBytes(in), bytes);
  }
  EXPECT_EQ(ConvertStereoToMono(Out(u"missing.wav"_s), Out(), progress_),
            ConversionResult::kFailed);
}

TEST_F(EngineTest, CancelLeavesNoFileAndTheOldOutputIntact) {
  ASSERT_TRUE(testing::WriteBytes(Out(), "an earlier output"_ba));
  const QString in = Out(u"in.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(in, Stereo(16, 1 << 20)));  // 4 MB: several blocks
  progress_.StepBytes = 1000;
  progress_.Bar = [&] { progress_.StopRequested = true; };
  EXPECT_EQ(ConvertStereoToMono(in, Out(), progress_), ConversionResult::kCancelled);
  EXPECT_FALSE(progress_.StopRequested);
  EXPECT_EQ(testing::ReadFileBytes(Out()), "an earlier output"_ba);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2);  // no temporary file left
}

TEST_F(EngineTest, SilentFiles) {
  // 8 bits are 0x80, 16 bits zeros; any rate but 44100 makes 22050 Hz.
  const struct {
    int seconds, rate, bits;
    QByteArray expected;
  } cases[] = {
      {2, 22050, 8, Canonical(1, 8, QByteArray(44100, static_cast<char>(0x80)), {}, 22050)},
      {2, 44100, 16, Canonical(1, 16, QByteArray(176400, '\0'))},
      {1, 48000, 16, Canonical(1, 16, QByteArray(44100, '\0'), {}, 22050)},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(CreateSilentWave(Out(), c.seconds, c.rate, c.bits, progress_),
              ConversionResult::kCompleted);
    EXPECT_EQ(testing::ReadFileBytes(Out()), c.expected) << c.rate << " Hz " << c.bits;
  }
  // Outputs are readable by others like any new file, not private to their maker.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_TRUE((mask & 0004) != 0 || (QFileInfo(Out()).permissions() & QFileDevice::ReadOther));
  EXPECT_EQ(CreateSilentWave(dir_.filePath(u"no/such/dir/s.wav"_s), 1, 22050, 8, progress_),
            ConversionResult::kFailed);
}

TEST(FindTagTest, LowestPositionOrNothing) {
  EXPECT_EQ(FindTag("xxdataxxdata"_ba, 512, "data"), 2);
  EXPECT_EQ(FindTag("xxxxxdata"_ba, 4, "data"), std::nullopt);
  EXPECT_EQ(FindTag("dataxxdata"_ba, 5, "data"), 0);
  EXPECT_EQ(FindTag("dat"_ba, 512, "data"), std::nullopt);
}

}  // namespace
}  // namespace parlatone
