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

// The bytes of the default WAVE shape after a change.
template <typename Change>
QByteArray Shaped(Change change) {
  WaveShape wave;
  change(wave);
  return WaveBytes(wave);
}

TEST(WaveReader, FilesOnDiskAndTheMp3Series) {
  QTemporaryDir dir;
  const auto write = [&dir](const QString& name, const QByteArray& bytes) {
    EXPECT_TRUE(testing::WriteBytes(dir.filePath(name), bytes));
    return dir.filePath(name);
  };
  testing::ScriptedOperator op;
  // The format chunk is found behind other chunks; every field is the chunk's.
  WaveShape wave;
  wave.chunks_before_format = Chunk("LIST", "INFOISFT\x05\0\0\0Tool\0"_ba) + Chunk("junk", "x"_ba);
  wave.channels = 2;
  wave.sample_rate = 44100;
  wave.data_bytes = 400;
  SoundInfo info;
  EXPECT_TRUE(ReadSoundInfo(write(u"a.wav"_s, WaveBytes(wave)), kWaveMode, op, info));
  EXPECT_EQ(info, (SoundInfo{1, 2, 44100, 176400, 4, 16, 0, 0, 0}));
  // A missing file or a folder cannot be opened.
  EXPECT_FALSE(ReadSoundInfo(dir.filePath(u"missing.wav"_s), kWaveMode, op, info));
  EXPECT_FALSE(ReadSoundInfo(dir.path(), kWaveMode, op, info));
  // The MP3 series reads with the MP3 reader, which refuses a WAVE file.
  EXPECT_TRUE(ReadSoundInfo(write(u"a.mp3"_s, testing::Mp3Frames(3, {128})), 7, op, info));
  EXPECT_EQ(info.MpegVersion, 3);
  EXPECT_EQ(info.BitsPerSample, 128);
  EXPECT_FALSE(ReadSoundInfo(dir.filePath(u"a.wav"_s), 7, op, info));
  EXPECT_EQ(op.Numbers(), (std::vector<int>{2600, 2600, 2603}));
}

// Shapes of real files that no device plays, or whose playing time cannot be measured, and
// headers whose sizes lie. Each refusal comes from the reader, so registration, the loader,
// `info` and the tools all refuse the same way; a shape whose data the reader finds after all
// is measured. Lying sizes never lead outside the file.
TEST(WaveReader, FilesNoDeviceCanPlay) {
  const auto format = [](uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    return Le16Bytes(tag) + Le16Bytes(channels) + Le32Bytes(rate) + Le32Bytes(rate * align) +
           Le16Bytes(align) + Le16Bytes(bits);
  };
  const auto riff = [](const QByteArray& body) {
    return "RIFF"_ba + Le32Bytes(static_cast<uint32_t>(body.size() + 4)) + "WAVE"_ba + body;
  };
  const QByteArray pcm = Chunk("fmt ", format(1, 1, 22050, 16));
  const QByteArray data = Chunk("data", QByteArray(2240, '\x80'));
  const QString cut = TruncatedSoundText();
  const QString mmio = u"mmioRead failed - 0"_s;
  struct Case {
    const char* shape;
    QByteArray bytes;
    int message;  // -1: accepted
    QString text = {};
    uint16_t extra_size = 0;
    int64_t length_ms = 0;
  };
  const std::vector<Case> cases = {
      {"empty", QByteArray(), 2601},
      {"AVI", "RIFF\x04\0\0\0AVI "_ba, 2601},
      {"MP3", testing::Mp3Frames(3, {128}), 2601},
      {"bare RIFF", "RIFF"_ba, 2601},
      {"only a data chunk", "RIFF\x0c\0\0\0WAVE"_ba + Chunk("data", "abcd"_ba), 2602},
      {"a chunk claiming 4 GB before the format", Shaped([](WaveShape& w) {
         w.chunks_before_format = "LIST"_ba + Le32Bytes(0xFFFFFFF0) + "xx"_ba;
       }),
       2602},
      {"RIFF size past the end of the file",
       Shaped([](WaveShape& w) { w.riff_size_field = 0xFFFFFFFF; }), -1},
      {"RIFF size ending before the format", Shaped([](WaveShape& w) { w.riff_size_field = 4; }),
       2602},
      {"odd chunk and its pad byte",
       Shaped([](WaveShape& w) { w.chunks_before_format = Chunk("odd ", "abc"_ba); }), -1},
      {"file ends inside the format chunk", WaveBytes(WaveShape()).left(24), 0, cut},
      {.shape = "18-byte format with its extra size",
       .bytes = Shaped([](WaveShape& w) {
         w.format_size = 18;
         w.extra_size = 0x1234;
       }),
       .message = -1,
       .extra_size = 0x1234},
      {"extensible format", Shaped([](WaveShape& w) { w.format_size = 40; }), 2603},
      // Shorter than the standard 16 bytes: no byte rate, so no playing time.
      {"4-byte format", Shaped([](WaveShape& w) { w.format_size = 4; }), 2603},
      {"empty format", Shaped([](WaveShape& w) { w.format_size = 0; }), 0, mmio},
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
      // sox reads this one as 2240 samples of 8-bit mono at 44.1 kHz.
      {.shape = "odd format chunk without its pad byte",
       .bytes = riff("fmt "_ba + Le32Bytes(17) + format(1, 1, 44100, 8) + "\x00"_ba + data),
       .message = -1,
       .length_ms = 2240 * 1000 / 44100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    SoundInfo info;
    testing::ScriptedOperator op;
    const SoundProbe probe = ProbeWaveBytes(c.bytes);
    EXPECT_EQ(ReadSoundInfo(probe, kWaveMode, op, info), c.message < 0);
    if (c.message < 0) {
      EXPECT_TRUE(op.shown.empty());
      EXPECT_EQ(info.ExtraSize, c.extra_size);
      EXPECT_EQ(ProbedLengthMs(probe, kWaveMode), c.length_ms);
      continue;
    }
    ASSERT_EQ(op.Numbers(), std::vector<int>{c.message});
    EXPECT_EQ(op.shown[0].text, c.text.isEmpty() ? GetMessage(c.message) : c.text);
    EXPECT_EQ(op.shown[0].title, GetMessage(c.text == mmio ? 1000 : msg::kTitleError));
    EXPECT_EQ(op.shown[0].icon, c.text == mmio ? MessageIcon::kNone : MessageIcon::kError);
  }
}

TEST(WaveHeaderCheck, RatesBitsChannelsAndIdsWithinTheFirst255Bytes) {
  for (uint32_t rate : {8000u, 11025u, 12800u, 16000u, 22050u, 32000u, 44100u}) {
    EXPECT_TRUE(IsSupportedWaveHeaderBytes(Shaped([=](WaveShape& w) { w.sample_rate = rate; }), 0));
  }
  for (uint32_t rate : {6400u, 10600u, 48000u, 96000u}) {
    EXPECT_FALSE(
        IsSupportedWaveHeaderBytes(Shaped([=](WaveShape& w) { w.sample_rate = rate; }), 1));
  }
  const auto data_at = [](int offset) {
    return Shaped(
        [=](WaveShape& w) { w.chunks_before_data = Chunk("LIST", QByteArray(offset - 44, 'x')); });
  };
  struct Case {
    const char* what;
    QByteArray bytes;
    int mode;
    bool supported;
  } cases[] = {
      {"8 bits", Shaped([](WaveShape& w) { w.bits = 8; }), 0, true},
      // The format tag is not looked at, the bits are.
      {"4-bit IMA ADPCM", Shaped([](WaveShape& w) {
         w.format_tag = 0x11;
         w.bits = 4;
       }),
       0, false},
      {"another tag with 16 bits", Shaped([](WaveShape& w) { w.format_tag = 0x11; }), 0, true},
      {"stereo in series 0", Shaped([](WaveShape& w) { w.channels = 2; }), 0, false},
      {"stereo in series 1", Shaped([](WaveShape& w) { w.channels = 2; }), 1, true},
      {"data chunk at 300", data_at(300), 0, false},
      {"data chunk at 254, the last that passes", data_at(254), 0, true},
      {"format chunk far back",
       Shaped([](WaveShape& w) { w.chunks_before_format = Chunk("LIST", QByteArray(260, 'x')); }),
       0, false},
      {"no data chunk", Shaped([](WaveShape& w) { w.with_data = false; }), 0, false},
      {"not RIFF", "RIFX"_ba + WaveBytes(WaveShape()).mid(4), 0, false},
      {"empty", QByteArray(), 0, false},
  };
  EXPECT_EQ(data_at(300).indexOf("data"), 300);
  EXPECT_EQ(data_at(254).indexOf("data"), 254);
  for (const Case& c : cases) {
    EXPECT_EQ(IsSupportedWaveHeaderBytes(c.bytes, c.mode), c.supported) << c.what;
  }
  // On disk; a missing file has no answer.
  QTemporaryDir dir;
  const QString path = dir.filePath(u"a.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(path, testing::WaveOfLength(22050, 1, 16, 100)));
  EXPECT_EQ(IsSupportedWaveHeader(path, 0), true);
  EXPECT_EQ(IsSupportedWaveHeader(dir.filePath(u"missing.wav"_s), 0), std::nullopt);
}

}  // namespace
}  // namespace parlatone
