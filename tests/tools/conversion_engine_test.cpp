#include "tools/conversion_engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

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

// A canonical stereo PCM file whose left samples are 0x1000 + i and right
// samples 0x2000 + i (16 bits), or left 0x10 + i and right 0x80 + i (8 bits).
QByteArray Stereo(uint16_t bits, int frames, const QByteArray& extra_chunks = {}) {
  const uint32_t rate = 44100;
  const uint16_t block = static_cast<uint16_t>(2 * bits / 8);
  QByteArray data;
  for (int i = 0; i < frames; ++i) {
    if (bits == 16) {
      data += Le16Bytes(static_cast<uint16_t>(0x1000 + i)) +
              Le16Bytes(static_cast<uint16_t>(0x2000 + i));
    } else {
      data += static_cast<char>(0x10 + i % 100);
      data += static_cast<char>(0x80 + i % 100);
    }
  }
  const QByteArray format = Le16Bytes(1) + Le16Bytes(2) + Le32Bytes(rate) +
                            Le32Bytes(rate * block) + Le16Bytes(block) + Le16Bytes(bits);
  const QByteArray body = "WAVE" + Chunk("fmt ", format) + extra_chunks + Chunk("data", data);
  return "RIFF" + Le32Bytes(static_cast<uint32_t>(body.size())) + body;
}

uint32_t Field32(const QByteArray& bytes, int at) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}
uint16_t Field16(const QByteArray& bytes, int at) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

class EngineTest : public ::testing::Test {
 protected:
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(testing::WriteBytes(path, bytes));
    return path;
  }
  QString Out(const QString& name = u"out.wav"_s) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
  ConversionProgress progress_;
};

TEST_F(EngineTest, SixteenBitKeepsTheLeftChannel) {
  const QString in = Write(u"in.wav"_s, Stereo(16, 44100));  // one second
  ASSERT_EQ(ConvertStereoToMono(in, Out(), progress_), ConversionResult::kCompleted);
  const QByteArray out = testing::ReadFileBytes(Out());
  ASSERT_EQ(out.size(), 44 + 88200);
  EXPECT_EQ(Field32(out, 4), 36u + 88200u);
  EXPECT_EQ(Field16(out, 22), 1);       // channels
  EXPECT_EQ(Field32(out, 24), 44100u);  // rate unchanged
  EXPECT_EQ(Field32(out, 28), 88200u);  // bytes per second
  EXPECT_EQ(Field16(out, 32), 2);       // block alignment
  EXPECT_EQ(Field16(out, 34), 16);
  EXPECT_EQ(out.mid(36, 4), "data"_ba);
  EXPECT_EQ(Field32(out, 40), 88200u);
  for (int i : {0, 1, 777, 44099}) {
    EXPECT_EQ(Field16(out, 44 + 2 * i), 0x1000 + i) << i;
  }
  EXPECT_EQ(progress_.CountedBytes, 44 + 176400);  // counted without a bar
}

TEST_F(EngineTest, EightBitKeepsTheRightChannelAndOtherChunksStay) {
  const QByteArray list = Chunk("LIST", "INFOICMT\x06\0\0\0hello\0"_ba);
  const QString in = Write(u"in.wav"_s, Stereo(8, 300, list));
  ASSERT_EQ(ConvertStereoToMono(in, Out(), progress_), ConversionResult::kCompleted);
  const QByteArray out = testing::ReadFileBytes(Out());
  const int base = 36 + list.size() + 8;
  ASSERT_EQ(out.size(), base + 300);
  EXPECT_EQ(out.mid(36, list.size()), list);
  EXPECT_EQ(Field32(out, 28), 44100u);
  EXPECT_EQ(Field16(out, 32), 1);
  EXPECT_EQ(Field32(out, base - 4), 300u);
  EXPECT_EQ(Field32(out, 4), static_cast<uint32_t>(base - 8 + 300));
  for (int i : {0, 1, 299}) {
    EXPECT_EQ(static_cast<unsigned char>(out.at(base + i)), 0x80 + i % 100) << i;
  }
}

TEST_F(EngineTest, DataWhereTheDevicesDoNotHaveItFails) {
  // The data chunk beyond position 512.
  const QString far = Write(u"far.wav"_s, Stereo(16, 10, Chunk("LIST", QByteArray(500, 'x'))));
  EXPECT_EQ(ConvertStereoToMono(far, Out(), progress_), ConversionResult::kFailed);
  // No data chunk, a data size past the end, a header cut short, a rate over 2^31.
  QByteArray overlong = Stereo(16, 10);
  overlong.replace(40, 4, Le32Bytes(1000));
  QByteArray huge_rate = Stereo(16, 10);
  huge_rate.replace(24, 4, Le32Bytes(0x80000000));
  for (const QByteArray& bytes :
       {Stereo(16, 10).left(36), overlong, Stereo(16, 10).left(20), huge_rate}) {
    EXPECT_EQ(ConvertStereoToMono(Write(u"bad.wav"_s, bytes), Out(), progress_),
              ConversionResult::kFailed);
  }
  EXPECT_FALSE(QFile::exists(Out()));
  EXPECT_EQ(ConvertStereoToMono(Out(u"missing.wav"_s), Out(), progress_),
            ConversionResult::kFailed);
}

TEST_F(EngineTest, HeadersItWouldGarbleAreRefused) {
  // A "JUNK" chunk before the format chunk, as recorders write them: the
  // fixed offsets would patch the JUNK chunk and leave a stereo header.
  QByteArray junk_first = Stereo(16, 10);
  junk_first.insert(12, Chunk("JUNK", QByteArray(28, '\0')));
  junk_first.replace(4, 4, Le32Bytes(static_cast<uint32_t>(junk_first.size() - 8)));
  QByteArray float_format = Stereo(16, 10);
  float_format.replace(20, 2, Le16Bytes(3));
  QByteArray mono = Stereo(16, 10);
  mono.replace(22, 2, Le16Bytes(1));
  QByteArray twenty_four = Stereo(16, 12);
  twenty_four.replace(34, 2, Le16Bytes(24));
  twenty_four.replace(32, 2, Le16Bytes(6));
  for (const QByteArray& bytes : {junk_first, float_format, mono, twenty_four}) {
    const QString in = Write(u"odd.wav"_s, bytes);
    EXPECT_EQ(ConvertStereoToMono(in, Out(), progress_), ConversionResult::kFailed);
    EXPECT_FALSE(QFile::exists(Out()));
    EXPECT_EQ(testing::ReadFileBytes(in), bytes);
  }
}

TEST_F(EngineTest, PartialLastFrameIsDropped) {
  QByteArray bytes = Stereo(16, 3);
  bytes.chop(2);  // half of the last frame
  bytes.replace(40, 4, Le32Bytes(10));
  bytes.replace(4, 4, Le32Bytes(static_cast<uint32_t>(bytes.size() - 8)));
  ASSERT_EQ(ConvertStereoToMono(Write(u"in.wav"_s, bytes), Out(), progress_),
            ConversionResult::kCompleted);
  const QByteArray out = testing::ReadFileBytes(Out());
  EXPECT_EQ(out.size(), 44 + 4);
  EXPECT_EQ(Field32(out, 40), 4u);
}

TEST_F(EngineTest, TheSourceIsNeverItsOwnOutput) {
  const QByteArray original = Stereo(16, 100);
  const QString in = Write(u"in.wav"_s, original);
  ASSERT_TRUE(QDir(dir_.path()).mkdir(u"sub"_s));
  ASSERT_TRUE(QFile::link(in, Out(u"link.wav"_s)));
  for (const QString& same : {in, dir_.path() + u"/sub/../in.wav"_s, Out(u"link.wav"_s)}) {
    EXPECT_EQ(ConvertStereoToMono(in, same, progress_), ConversionResult::kFailed)
        << same.toStdString();
    EXPECT_EQ(testing::ReadFileBytes(in), original);
  }
}

TEST_F(EngineTest, CancelLeavesNoFileAndTheOldOutputIntact) {
  ASSERT_TRUE(testing::WriteBytes(Out(), "an earlier output"_ba));
  const QString in = Write(u"in.wav"_s, Stereo(16, 1 << 20));  // 4 MB: several blocks
  progress_.StepBytes = 1000;
  int steps = 0;
  progress_.Bar = [&] {
    if (++steps == 1) {
      progress_.Cancel = ConversionProgress::kCancelRequest;
    }
  };
  EXPECT_EQ(ConvertStereoToMono(in, Out(), progress_), ConversionResult::kCancelled);
  EXPECT_EQ(progress_.Cancel, 0);
  EXPECT_EQ(testing::ReadFileBytes(Out()), "an earlier output"_ba);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2);  // no temporary file left
}

TEST_F(EngineTest, BarStepsAsIfCountedByteByByte) {
  const int frames = 50000;
  const QString in = Write(u"in.wav"_s, Stereo(16, frames));
  int steps = 0;
  progress_.Bar = [&] { ++steps; };
  progress_.StepBytes = (44 + 4 * frames) / 100;
  ASSERT_EQ(ConvertStereoToMono(in, Out(), progress_), ConversionResult::kCompleted);
  // The same counting one frame at a time.
  int64_t counted = 44;
  int expected = 0;
  for (int f = 0; f < frames; ++f) {
    counted += 4;
    if (counted > progress_.StepBytes) {
      ++expected;
      counted = 0;
    }
  }
  EXPECT_EQ(steps, expected);
  EXPECT_EQ(progress_.CountedBytes, counted);
  EXPECT_LE(steps, 100);
}

TEST_F(EngineTest, SilentFiles) {
  ASSERT_EQ(CreateSilentWave(Out(u"s8.wav"_s), 2, 22050, 8, progress_),
            ConversionResult::kCompleted);
  const QByteArray eight = testing::ReadFileBytes(Out(u"s8.wav"_s));
  ASSERT_EQ(eight.size(), 44 + 2 * 22050);
  EXPECT_EQ(eight.left(16), "RIFF"_ba + Le32Bytes(36 + 44100) + "WAVEfmt "_ba);
  EXPECT_EQ(Field32(eight, 16), 16u);
  EXPECT_EQ(Field16(eight, 20), 1);
  EXPECT_EQ(Field16(eight, 22), 1);
  EXPECT_EQ(Field32(eight, 24), 22050u);
  EXPECT_EQ(Field32(eight, 28), 22050u);
  EXPECT_EQ(Field16(eight, 32), 1);
  EXPECT_EQ(Field16(eight, 34), 8);
  EXPECT_EQ(eight.mid(36, 4), "data"_ba);
  EXPECT_EQ(Field32(eight, 40), 44100u);
  EXPECT_EQ(eight.mid(44), QByteArray(44100, static_cast<char>(128)));

  ASSERT_EQ(CreateSilentWave(Out(u"s16.wav"_s), 2, 44100, 16, progress_),
            ConversionResult::kCompleted);
  const QByteArray sixteen = testing::ReadFileBytes(Out(u"s16.wav"_s));
  ASSERT_EQ(sixteen.size(), 44 + 2 * 88200);
  EXPECT_EQ(Field32(sixteen, 28), 88200u);
  EXPECT_EQ(Field16(sixteen, 32), 2);
  EXPECT_EQ(sixteen.mid(44), QByteArray(176400, '\0'));
  // Outputs are readable by others like any new file, not private to their maker.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if ((mask & 0004) == 0) {
    EXPECT_TRUE(QFileInfo(Out(u"s16.wav"_s)).permissions() & QFileDevice::ReadOther);
  }
  // Any other rate makes a 22050 Hz file.
  ASSERT_EQ(CreateSilentWave(Out(u"s48.wav"_s), 1, 48000, 16, progress_),
            ConversionResult::kCompleted);
  EXPECT_EQ(Field32(testing::ReadFileBytes(Out(u"s48.wav"_s)), 24), 22050u);
  EXPECT_EQ(CreateSilentWave(dir_.filePath(u"no/such/dir/s.wav"_s), 1, 22050, 8, progress_),
            ConversionResult::kFailed);
}

TEST(FindTagTest, LowestPositionOrZero) {
  EXPECT_EQ(FindTag("xxdataxxdata"_ba, 512, "data"), 2);
  EXPECT_EQ(FindTag("xxxxxdata"_ba, 4, "data"), 0);
  EXPECT_EQ(FindTag("xxxxxdata"_ba, 5, "data"), 5);
  EXPECT_EQ(FindTag("dat"_ba, 512, "data"), 0);
}

}  // namespace
}  // namespace parlatone
