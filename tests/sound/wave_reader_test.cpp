#include "sound/wave_reader.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "sound/sound_probe.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::Chunk;
using testing::Le16Bytes;
using testing::Le32Bytes;
using testing::WaveBytes;
using testing::WaveShape;

constexpr int kWaveMode = 1;

class WaveReaderTest : public ::testing::Test {
 protected:
  QString Write(const QByteArray& bytes, const QString& name = u"voice.wav"_s) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(testing::WriteBytes(path, bytes));
    return path;
  }

  // Reads a file and returns what the operator saw.
  std::vector<int> Read(const QByteArray& bytes, SoundInfo& info, bool expect_ok) {
    op_ = {};
    EXPECT_EQ(ReadSoundInfo(Write(bytes), kWaveMode, op_, info), expect_ok);
    return op_.Numbers();
  }

  QTemporaryDir dir_;
  testing::ScriptedOperator op_;
};

TEST_F(WaveReaderTest, FormatChunkIsFoundBehindOtherChunks) {
  WaveShape wave;
  wave.chunks_before_format = Chunk("LIST", "INFOISFT\x05\0\0\0Tool\0"_ba) + Chunk("junk", "x"_ba);
  wave.channels = 2;
  wave.sample_rate = 44100;
  wave.data_bytes = 400;
  SoundInfo info;
  EXPECT_TRUE(Read(WaveBytes(wave), info, true).empty());
  EXPECT_EQ(info.FormatTag, 1);
  EXPECT_EQ(info.Channels, 2);
  EXPECT_EQ(info.SampleRate, 44100u);
  EXPECT_EQ(info.ByteRate, 176400u);
  EXPECT_EQ(info.BlockAlign, 4);
  EXPECT_EQ(info.BitsPerSample, 16);
  EXPECT_EQ(info.ExtraSize, 0);
  EXPECT_EQ(info.MpegVersion, 0);
}

TEST_F(WaveReaderTest, FormatChunkSizes) {
  WaveShape wave;
  wave.format_size = 18;
  wave.extra_size = 0x1234;
  SoundInfo info;
  EXPECT_TRUE(Read(WaveBytes(wave), info, true).empty());
  EXPECT_EQ(info.ExtraSize, 0x1234);

  wave.format_size = 40;  // extensible
  EXPECT_EQ(Read(WaveBytes(wave), info, false), std::vector<int>{2603});
  EXPECT_EQ(op_.shown[0].title_number, msg::kTitleError);
  EXPECT_EQ(op_.shown[0].icon, MessageIcon::kError);

  // A chunk shorter than the standard 16 bytes has no byte rate: the
  // playing time cannot be measured.
  wave.format_size = 4;
  EXPECT_EQ(Read(WaveBytes(wave), info, false), std::vector<int>{2603});
}

TEST_F(WaveReaderTest, EmptyFormatChunkReportsTheFailedRead) {
  WaveShape wave;
  wave.format_size = 0;
  SoundInfo info;
  EXPECT_EQ(Read(WaveBytes(wave), info, false), std::vector<int>{0});
  EXPECT_EQ(op_.shown[0].text, u"mmioRead failed - 0"_s);
  EXPECT_EQ(op_.shown[0].icon, MessageIcon::kNone);
  EXPECT_EQ(op_.shown[0].title, GetMessage(1000));
}

TEST_F(WaveReaderTest, NotAWaveFile) {
  SoundInfo info;
  EXPECT_EQ(Read(QByteArray(), info, false), std::vector<int>{2601});
  EXPECT_EQ(Read("RIFF\x04\0\0\0AVI "_ba, info, false), std::vector<int>{2601});
  EXPECT_EQ(Read(testing::Mp3Frames(3, {128}), info, false), std::vector<int>{2601});
  EXPECT_EQ(Read("RIFF"_ba, info, false), std::vector<int>{2601});
}

TEST_F(WaveReaderTest, LyingSizesNeverLeadOutsideTheFile) {
  SoundInfo info;
  // Only a data chunk: no format.
  EXPECT_EQ(Read("RIFF\x0c\0\0\0WAVE"_ba + Chunk("data", "abcd"_ba), info, false),
            std::vector<int>{2602});
  // A chunk claiming 4 GB before the format chunk: the walk ends at the file's end.
  WaveShape wave;
  wave.chunks_before_format = "LIST"_ba + Le32Bytes(0xFFFFFFF0) + "xx"_ba;
  EXPECT_EQ(Read(WaveBytes(wave), info, false), std::vector<int>{2602});
  // A RIFF size past the end of the file is cut to the file.
  wave = WaveShape();
  wave.riff_size_field = 0xFFFFFFFF;
  EXPECT_TRUE(Read(WaveBytes(wave), info, true).empty());
  // A RIFF size that ends before the format chunk hides it.
  wave.riff_size_field = 4;
  EXPECT_EQ(Read(WaveBytes(wave), info, false), std::vector<int>{2602});
  // An odd-sized chunk is followed by its pad byte.
  wave = WaveShape();
  wave.chunks_before_format = Chunk("odd ", "abc"_ba);
  EXPECT_TRUE(Read(WaveBytes(wave), info, true).empty());
  // The file ends inside the format chunk: cut short, not a file without data.
  EXPECT_EQ(Read(WaveBytes(WaveShape()).left(24), info, false), std::vector<int>{0});
  EXPECT_EQ(op_.shown[0].text, TruncatedSoundText());
}

// Shapes of real files that no device plays, or whose playing time cannot
// be measured. Each is refused by the reader, so registration, the loader,
// `info` and the tools all refuse it the same way; a shape whose data the
// reader finds after all is measured.
TEST_F(WaveReaderTest, FilesNoDeviceCanPlay) {
  const auto format = [](uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    return Le16Bytes(tag) + Le16Bytes(channels) + Le32Bytes(rate) + Le32Bytes(rate * align) +
           Le16Bytes(align) + Le16Bytes(bits);
  };
  const auto riff = [](const QByteArray& body) {
    return "RIFF"_ba + Le32Bytes(static_cast<uint32_t>(body.size() + 4)) + "WAVE"_ba + body;
  };
  const QByteArray pcm = Chunk("fmt ", format(1, 1, 22050, 16));
  const QByteArray samples(2240, '\x80');
  const QByteArray data = Chunk("data", samples);
  const QString cut = TruncatedSoundText();
  struct Case {
    const char* shape;
    QByteArray bytes;
    int message;  // -1: accepted
    QString text = {};
  };
  const std::vector<Case> cases = {
      {"data header without its size", riff(pcm + "data"_ba), 0, cut},
      {"data size cut after two bytes", riff(pcm + "data\x10\x00"_ba), 0, cut},
      {"extensible format cut in its extension size",
       riff("fmt "_ba + Le32Bytes(40) + format(0xFFFE, 1, 22050, 16) + "\x16"_ba), 2603},
      {"extensible format cut to 18 bytes",
       riff(Chunk("fmt ", format(0xFFFE, 1, 22050, 16) + Le16Bytes(22)) + data), 2603},
      {"A-law", riff(Chunk("fmt ", format(6, 1, 8000, 8)) + data), 2603},
      {"mu-law", riff(Chunk("fmt ", format(7, 1, 8000, 8)) + data), 2603},
      {"no channels", riff(Chunk("fmt ", format(1, 0, 22050, 16)) + data), 2603},
      {"three channels", riff(Chunk("fmt ", format(1, 3, 22050, 16)) + data), 2603},
      {"no byte rate", riff(Chunk("fmt ", format(1, 1, 0, 16)) + data), 2603},
      {"no data chunk", riff(pcm), 2602},
      {"odd format chunk without its pad byte",
       riff("fmt "_ba + Le32Bytes(17) + format(1, 1, 44100, 8) + "\x00"_ba + data), -1},
  };
  for (const Case& c : cases) {
    SoundInfo info;
    op_ = {};
    const SoundProbe probe = ProbeWaveBytes(c.bytes);
    EXPECT_EQ(ReadSoundInfo(probe, kWaveMode, op_, info), c.message < 0) << c.shape;
    EXPECT_EQ(op_.Numbers(), c.message < 0 ? std::vector<int>{} : std::vector<int>{c.message})
        << c.shape;
    if (!c.text.isEmpty() && !op_.shown.empty()) {
      EXPECT_EQ(op_.shown[0].text, c.text) << c.shape;
    }
    if (c.message < 0) {
      // sox reads this one as 2240 samples of 8-bit mono at 44.1 kHz.
      EXPECT_EQ(ProbedLengthMs(probe, kWaveMode), 2240 * 1000 / 44100) << c.shape;
    }
  }
}

TEST_F(WaveReaderTest, FilesThatCannotBeOpened) {
  SoundInfo info;
  EXPECT_FALSE(ReadSoundInfo(dir_.filePath(u"missing.wav"_s), kWaveMode, op_, info));
  EXPECT_FALSE(ReadSoundInfo(dir_.path(), kWaveMode, op_, info));  // a folder
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2600, 2600}));
}

TEST_F(WaveReaderTest, Mp3SeriesUsesTheMp3Reader) {
  SoundInfo info;
  EXPECT_TRUE(ReadSoundInfo(Write(testing::Mp3Frames(3, {128})), 7, op_, info));
  EXPECT_EQ(info.MpegVersion, 3);
  EXPECT_EQ(info.BitsPerSample, 128);
  EXPECT_FALSE(ReadSoundInfo(Write(WaveBytes(WaveShape())), 7, op_, info));
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2603});
}

TEST(WaveHeaderCheck, RatesBitsAndChannels) {
  WaveShape wave;
  for (uint32_t rate : {8000u, 11025u, 12800u, 16000u, 22050u, 32000u, 44100u}) {
    wave.sample_rate = rate;
    EXPECT_TRUE(IsSupportedWaveHeaderBytes(WaveBytes(wave), 0)) << rate;
  }
  for (uint32_t rate : {6400u, 10600u, 48000u, 96000u}) {
    wave.sample_rate = rate;
    EXPECT_FALSE(IsSupportedWaveHeaderBytes(WaveBytes(wave), 1)) << rate;
  }
  wave = WaveShape();
  wave.bits = 8;
  EXPECT_TRUE(IsSupportedWaveHeaderBytes(WaveBytes(wave), 0));
  // 4-bit IMA ADPCM: the format tag is not looked at, the bits are.
  wave.format_tag = 0x11;
  wave.bits = 4;
  EXPECT_FALSE(IsSupportedWaveHeaderBytes(WaveBytes(wave), 0));
  wave = WaveShape();
  wave.format_tag = 0x11;  // any tag passes with 16 bits
  EXPECT_TRUE(IsSupportedWaveHeaderBytes(WaveBytes(wave), 0));
  wave = WaveShape();
  wave.channels = 2;
  EXPECT_FALSE(IsSupportedWaveHeaderBytes(WaveBytes(wave), 0));
  EXPECT_TRUE(IsSupportedWaveHeaderBytes(WaveBytes(wave), 1));
}

TEST(WaveHeaderCheck, IdsMustStartWithinTheFirst255Bytes) {
  WaveShape wave;
  // The data chunk at offset 300.
  wave.chunks_before_data = Chunk("LIST", QByteArray(300 - 36 - 8, 'x'));
  QByteArray bytes = WaveBytes(wave);
  ASSERT_EQ(bytes.indexOf("data"), 300);
  EXPECT_FALSE(IsSupportedWaveHeaderBytes(bytes, 0));
  // The data chunk at offset 254 is the last that passes.
  wave.chunks_before_data = Chunk("LIST", QByteArray(254 - 36 - 8, 'x'));
  bytes = WaveBytes(wave);
  ASSERT_EQ(bytes.indexOf("data"), 254);
  EXPECT_TRUE(IsSupportedWaveHeaderBytes(bytes, 0));
  // The format chunk far back.
  wave = WaveShape();
  wave.chunks_before_format = Chunk("LIST", QByteArray(260, 'x'));
  EXPECT_FALSE(IsSupportedWaveHeaderBytes(WaveBytes(wave), 0));
  // No data chunk at all, or not RIFF.
  wave = WaveShape();
  wave.with_data = false;
  EXPECT_FALSE(IsSupportedWaveHeaderBytes(WaveBytes(wave), 0));
  EXPECT_FALSE(IsSupportedWaveHeaderBytes("RIFX"_ba + WaveBytes(WaveShape()).mid(4), 0));
  EXPECT_FALSE(IsSupportedWaveHeaderBytes(QByteArray(), 0));
}

TEST(WaveHeaderCheck, FilesOnDisk) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"a.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(path, testing::WaveOfLength(22050, 1, 16, 100)));
  EXPECT_EQ(IsSupportedWaveHeader(path, 0), true);
  EXPECT_EQ(IsSupportedWaveHeader(dir.filePath(u"missing.wav"_s), 0), std::nullopt);
}

}  // namespace
}  // namespace parlatone
