// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/wave_reader.h"
#include "sound/mp3_header.h"
#include "sound/voice_record_text.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "core/messages.h"
#include "sound/sound_probe.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::Chunk;
using testing::Le32Bytes;
using testing::WaveBytes;
using testing::WaveShape;

constexpr int kWaveMode = 1;

TEST(WaveReader, FilesOnDiskAndTheMp3Series) {
  QTemporaryDir dir;
  // The format chunk is found behind other chunks; every field is the chunk's.
  const WaveShape wave{
      .channels = 2,
      .sample_rate = 44100,
      .chunks_before_format = Chunk("LIST", "INFOISFT\x05\0\0\0Tool\0"_ba) + Chunk("junk", "x"_ba),
      .data_bytes = 400};
  SoundInfo info;
  EXPECT_TRUE(ReadSoundInfo(testing::FileIn(dir, u"a.wav"_s, WaveBytes(wave)), kWaveMode, info));
  EXPECT_EQ(info, (SoundInfo{1, 2, 44100, 176400, 4, 16, 0, 0, 0}));
  // A missing file or a folder cannot be opened.
  for (const QString& unopened : {dir.filePath(u"missing.wav"_s), dir.path()}) {
    EXPECT_EQ(ReadSoundInfo(unopened, kWaveMode, info).reason.value().number, 2600);
  }
  // The MP3 series reads with the MP3 reader.
  EXPECT_TRUE(
      ReadSoundInfo(testing::FileIn(dir, u"a.mp3"_s, testing::Mp3Frames(3, {128})), 7, info));
  EXPECT_EQ(info.MpegVersion, 3);
  // The header check on disk; a missing file has no answer.
  EXPECT_EQ(std::pair(IsSupportedWaveHeader(dir.filePath(u"a.wav"_s), true),
                      IsSupportedWaveHeader(dir.filePath(u"missing.wav"_s), false)),
            std::pair(std::optional(true), std::optional<bool>()));
}

// Shapes of real files that no device plays, or whose playing time cannot be measured, and
// headers whose sizes lie. Each refusal comes from the reader, so registration, the loader,
// `info` and the tools all refuse the same way; a shape whose data the reader finds after all
// is measured. Lying sizes never lead outside the file. The shapes of the bad-input corpus
// (tests/corpus) are checked there by message number; these rows are those it lacks.
TEST(WaveReader, FilesNoDeviceCanPlay) {
  const auto riff = [](const QByteArray& body) {
    return "RIFF"_ba + Le32Bytes(static_cast<uint32_t>(body.size() + 4)) + "WAVE"_ba + body;
  };
  // The format chunks of the shared writer: 16-bit mono at 22.05 kHz, and the body of 8-bit
  // mono at 44.1 kHz.
  const QByteArray pcm = WaveBytes(WaveShape()).mid(12, 24);
  const QByteArray pcm8 = WaveBytes({.sample_rate = 44100, .bits = 8}).mid(20, 16);
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
      {"MP3", testing::Mp3Frames(3, {128}), 2601},
      {"RIFF size ending before the format", WaveBytes({.riff_size_field = 4}), 2602},
      {"odd chunk and its pad byte", WaveBytes({.chunks_before_format = Chunk("odd ", "abc"_ba)}),
       -1},
      {"file ends inside the format chunk", WaveBytes(WaveShape()).left(24), 0, cut},
      {.shape = "18-byte format with its extra size",
       .bytes = WaveBytes({.format_size = 18, .extra_size = 0x1234}),
       .message = -1,
       .extra_size = 0x1234},
      {"extensible format", WaveBytes({.format_size = 40}), 2603},
      // Shorter than the standard 16 bytes: no byte rate, so no playing time.
      {"4-byte format", WaveBytes({.format_size = 4}), 2603},
      {"empty format", WaveBytes({.format_size = 0}), 0, mmio},
      {"data header without its size", riff(pcm + "data"_ba), 0, cut},
      {"data size cut after two bytes", riff(pcm + "data\x10\x00"_ba), 0, cut},
      // sox reads this one as 2240 samples of 8-bit mono at 44.1 kHz.
      {.shape = "odd format chunk without its pad byte",
       .bytes = riff("fmt "_ba + Le32Bytes(17) + pcm8 + "\x00"_ba + data),
       .message = -1,
       .length_ms = 2240 * 1000 / 44100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    SoundInfo info;
    const SoundProbe probe = ProbeWaveBytes(c.bytes);
    const CheckResult read = ReadSoundInfo(probe, kWaveMode, info);
    EXPECT_EQ(read.passed, c.message < 0);
    if (c.message < 0) {
      EXPECT_EQ(
          std::tuple(read.reason.has_value(), info.ExtraSize, ProbedLengthMs(probe, kWaveMode)),
          std::tuple(false, c.extra_size, c.length_ms));
      continue;
    }
    ASSERT_TRUE(read.reason);
    EXPECT_EQ(
        std::tuple(read.reason->number, read.reason->text, read.reason->title, read.reason->icon),
        std::tuple(c.message, c.text.isEmpty() ? GetMessage(c.message) : c.text,
                   GetMessage(c.text == mmio ? 1000 : msg::kTitleError),
                   c.text == mmio ? MessageIcon::kNone : MessageIcon::kError));
  }
}

TEST(WaveHeaderCheck, RatesBitsChannelsAndIdsWithinTheFirst255Bytes) {
  const auto data_at = [](int offset) {
    return WaveBytes({.chunks_before_data = Chunk("LIST", QByteArray(offset - 44, 'x'))});
  };
  // What, the bytes, whether stereo is accepted, whether the header passes.
  const std::tuple<const char*, QByteArray, bool, bool> cases[] = {
      {"8 bits", WaveBytes({.bits = 8}), 0, true},
      // The rates are the code's own list; one in it and one outside.
      {"8 kHz", WaveBytes({.sample_rate = 8000}), 0, true},
      {"48 kHz", WaveBytes({.sample_rate = 48000}), 1, false},
      // The format tag is not looked at, the bits are.
      {"4-bit IMA ADPCM", WaveBytes({.format_tag = 0x11, .bits = 4}), 0, false},
      {"another tag with 16 bits", WaveBytes({.format_tag = 0x11}), 0, true},
      {"stereo, mono only", WaveBytes({.channels = 2}), 0, false},
      {"stereo, stereo accepted", WaveBytes({.channels = 2}), 1, true},
      {"data chunk at 300", data_at(300), 0, false},
      {"data chunk at 254, the last that passes", data_at(254), 0, true},
      {"format chunk far back",
       WaveBytes({.chunks_before_format = Chunk("LIST", QByteArray(260, 'x'))}), 0, false},
      {"not RIFF", "RIFX"_ba + WaveBytes(WaveShape()).mid(4), 0, false},
      {"empty", QByteArray(), 0, false},
  };
  EXPECT_EQ(data_at(254).indexOf("data"), 254);
  for (const auto& [what, bytes, stereo_accepted, supported] : cases) {
    EXPECT_EQ(IsSupportedWaveHeaderBytes(bytes, stereo_accepted), supported) << what;
  }
}

QByteArray Header(unsigned char b1, unsigned char b2, unsigned char b3) {
  return QByteArray(1, '\xFF') + char(b1) + char(b2) + char(b3);
}

// Version (3 = MPEG-1, 2 = MPEG-2), bit rate, sample rate and the mono flag the scan reads.
using Fields = std::array<int, 4>;

TEST(Mp3Scan, HeaderFieldsAndWhichCandidateDecides) {
  const QByteArray mono128 = Header(0xFB, 0x90, 0xC0);  // MPEG-1 Layer III, 44.1 kHz, mono
  const QByteArray good = testing::Mp3Frames(3, {128});
  struct Case {
    const char* what;
    QByteArray bytes;
    std::optional<Fields> fields;
  } cases[] = {
      {"MPEG-1 128 kbit/s 44.1 kHz mono", mono128, Fields{3, 128, 44100, 1}},
      {"MPEG-2 64 kbit/s 22.05 kHz joint stereo", Header(0xF3, 0x80, 0x40),
       Fields{2, 64, 22050, 0}},
      {"MPEG-1 320 kbit/s 48 kHz", Header(0xFB, 0xE4, 0x00), Fields{3, 320, 48000, 0}},
      {"MPEG-2 16 kHz with the CRC bit", Header(0xF2, 0x18, 0x00), Fields{2, 8, 16000, 0}},
      // MPEG-2.5 and Layer II never match, so the scan goes on past them.
      {"MPEG-2.5", Header(0xE3, 0x90, 0xC0), std::nullopt},
      {"Layer II", Header(0xFD, 0x90, 0xC0), std::nullopt},
      {"Layer III after both",
       Header(0xE3, 0x90, 0xC0) + Header(0xFD, 0x90, 0xC0) + Header(0xFB, 0x50, 0xC0),
       Fields{3, 64, 44100, 1}},
      {"a run of FF bytes syncs on the last", "\xFF\xFF\xFF"_ba + mono128.mid(1),
       Fields{3, 128, 44100, 1}},
      // The first candidate decides even when it is bad and good frames follow.
      {"free format", Header(0xFB, 0x00, 0xC0) + good, std::nullopt},
      {"reserved rate", Header(0xFB, 0x9C, 0xC0) + good, std::nullopt},
      {"FF FB inside leading tag data is taken",
       "ID3\x03\0\0\0\0\0\x10"_ba + "\xFF\xFB\x50\x00"_ba + QByteArray(12, '\0') + good,
       Fields{3, 64, 44100, 0}},
      // Only the first 32761 bytes are searched.
      {"header ending at 32761", QByteArray(32757, '\0') + mono128, Fields{3, 128, 44100, 1}},
      {"header ending at 32762", QByteArray(32758, '\0') + mono128, std::nullopt},
      {"cut off inside a header", QByteArray(3, '\xFF'), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<SoundInfo> info = ScanMp3Header(c.bytes);
    ASSERT_EQ(info.has_value(), c.fields.has_value());
    if (info) {
      EXPECT_EQ((Fields{info->MpegVersion, info->BitsPerSample, static_cast<int>(info->SampleRate),
                        info->Channels}),
                *c.fields);
      EXPECT_EQ(info->MpegLayer, 1);
    }
  }
}

// What the reader tells the operator, and where the decoder overrules the scan.
TEST(Mp3Reader, TheDecoderDecidesWhetherTheStreamIsOneTheDevicesPlay) {
  QTemporaryDir dir;
  const auto read = [&dir](const QString& name, const QByteArray& bytes, SoundInfo& info) {
    const CheckResult read = ReadMp3Header(ProbeMp3File(testing::FileIn(dir, name, bytes)), info);
    return std::make_pair(read.passed,
                          read.reason ? std::vector{read.reason->number} : std::vector<int>{});
  };
  using Verdict = std::pair<bool, std::vector<int>>;
  const Verdict accepted{true, {}}, unplayable{false, {2603}};
  SoundInfo info;
  EXPECT_EQ(ReadMp3Header(ProbeMp3File(dir.filePath(u"missing.mp3"_s)), info).reason.value().number,
            2604);
  EXPECT_EQ(read(u"good.mp3"_s, testing::Mp3Frames(2, {64}, 22050, false), info), accepted);
  // The scan skips the MPEG-2.5 headers and takes the stray bytes for an
  // MPEG-1 header (44.1 kHz, 128 kbit/s, mono); the decoder reads the
  // frames as MPEG-2.5.
  const QByteArray mpeg25 = testing::Mpeg25WithStrayMpeg1Header();
  EXPECT_EQ(ScanMp3Header(mpeg25).value().MpegVersion, 3);
  EXPECT_EQ(read(u"mpeg25.mp3"_s, mpeg25, info), unplayable);
  // Layer II frames with a stray Layer III header inside.
  QByteArray layer2 = testing::Mp3Frames(6, {128});
  for (qsizetype at = 0; at < layer2.size(); at += 417) {
    layer2[at + 1] = static_cast<char>(0xFD);
  }
  layer2.replace(600, 4, QByteArray("\xFF\xFB\x90\xC4", 4));
  EXPECT_EQ(read(u"layer2.mp3"_s, layer2, info), unplayable);
  // Where the decoder agrees, the scan's values stand, even those it read
  // from a header inside leading tag data.
  const QByteArray tagged =
      "ID3\x03\0\0\0\0\0\x08\xFF\xF3\x40\x00\0\0\0\0"_ba + testing::Mp3Frames(20, {128});
  EXPECT_EQ(read(u"tag.mp3"_s, tagged, info), accepted);
  EXPECT_EQ(std::tuple(info.MpegVersion, info.BitsPerSample), std::tuple(2, 32));
}

TEST(VoiceTexts, RatesSecondsAndRecordsForWaveAndMp3) {
  // Only the trailing zeros of three decimals go, keeping one.
  const std::vector<std::pair<uint32_t, QString>> rates = {
      {8000, u"8.0KHz"_s}, {11025, u"11.025KHz"_s}, {22050, u"22.05KHz"_s}, {0, u"0.0KHz"_s}};
  for (const auto& [rate, text] : rates) {
    EXPECT_EQ(SampleRateText(rate), text) << rate;
  }
  // Exactly three decimals; -1 is a length that could not be measured.
  const std::vector<std::pair<int64_t, QString>> seconds = {
      {12345, u"12.345"_s}, {500, u"0.500"_s}, {-1, u"-0.001"_s}};
  for (const auto& [ms, text] : seconds) {
    EXPECT_EQ(SecondsText(ms), text) << ms;
  }
  EXPECT_EQ(
      MakeVoiceRecord(u"/snd/CHIME.wav"_s,
                      SoundInfo{.Channels = 1, .SampleRate = 22050, .BitsPerSample = 8}, 1500,
                      33119, 1),
      (VoiceRecord{u"CHIME.wav"_s, u"22.05KHz"_s, u"8bit"_s, u"Mono"_s, u"1.500"_s, u"33119"_s,
                   u"/snd/CHIME.wav"_s, QString(), QString(), QString(), QStringList()}));
  const SoundInfo mp3{.SampleRate = 44100, .BitsPerSample = 128, .MpegVersion = 3, .MpegLayer = 1};
  EXPECT_EQ(MakeVoiceRecord(u"a.mp3"_s, mp3, -1, 0, 7),
            (VoiceRecord{u"a.mp3"_s, u"44.1KHz"_s, u"128Kbit"_s, u"Stereo"_s, u"-0.001"_s, u"0"_s,
                         u"a.mp3"_s, QString(), u"1.0"_s, u"3"_s, QStringList()}));
  EXPECT_TRUE(MpegText(0).isEmpty());
}

}  // namespace
}  // namespace parlatone
