#include "sound/mp3_header.h"
#include "sound/sound_probe.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

QByteArray Header(unsigned char b1, unsigned char b2, unsigned char b3) {
  QByteArray bytes(4, '\0');
  bytes[0] = static_cast<char>(0xFF);
  bytes[1] = static_cast<char>(b1);
  bytes[2] = static_cast<char>(b2);
  bytes[3] = static_cast<char>(b3);
  return bytes;
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
      {"MPEG-2 bit rate index 11", Header(0xF3, 0xB0, 0x00), Fields{2, 112, 22050, 0}},
      {"MPEG-1 320 kbit/s 48 kHz", Header(0xFB, 0xE4, 0x00), Fields{3, 320, 48000, 0}},
      {"MPEG-1 32 kHz", Header(0xFB, 0x18, 0x00), Fields{3, 32, 32000, 0}},
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
      {"bit rate index 15", Header(0xFB, 0xF0, 0xC0) + good, std::nullopt},
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
      EXPECT_EQ(info->FormatTag, 0);
      EXPECT_EQ(info->ByteRate, 0u);
    }
  }
}

// What the reader tells the operator, and where the decoder overrules the scan.
TEST(Mp3Reader, TheDecoderDecidesWhetherTheStreamIsOneTheDevicesPlay) {
  QTemporaryDir dir;
  const auto read = [&dir](const QString& name, const QByteArray& bytes, SoundInfo& info) {
    testing::ScriptedOperator op;
    EXPECT_TRUE(testing::WriteBytes(dir.filePath(name), bytes));
    const bool ok = ReadMp3Header(ProbeMp3File(dir.filePath(name)), op, info);
    return std::make_pair(ok, op.Numbers());
  };
  using Verdict = std::pair<bool, std::vector<int>>;
  const Verdict refused_silently{false, {}}, accepted{true, {}}, unplayable{false, {2603}};
  SoundInfo info;
  EXPECT_EQ(read(u"empty.mp3"_s, QByteArray(), info), refused_silently);
  EXPECT_EQ(read(u"text.mp3"_s, "not an mp3"_ba, info), unplayable);
  testing::ScriptedOperator op;
  EXPECT_FALSE(ReadMp3Header(ProbeMp3File(dir.filePath(u"missing.mp3"_s)), op, info));
  EXPECT_EQ(op.Numbers(), std::vector<int>{2604});
  EXPECT_EQ(read(u"good.mp3"_s, testing::Mp3Frames(2, {64}, 22050, false), info), accepted);
  EXPECT_EQ(info.MpegVersion, 2);
  EXPECT_EQ(info.SampleRate, 22050u);
  // The scan skips the MPEG-2.5 headers and takes the stray bytes for an
  // MPEG-1 header (44.1 kHz, 128 kbit/s, mono); the decoder reads the
  // frames as MPEG-2.5.
  const QByteArray mpeg25 = testing::Mpeg25WithStrayMpeg1Header();
  ASSERT_TRUE(ScanMp3Header(mpeg25));
  EXPECT_EQ(ScanMp3Header(mpeg25)->MpegVersion, 3);
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
  EXPECT_EQ(info.MpegVersion, 2);
  EXPECT_EQ(info.BitsPerSample, 32);
}

}  // namespace
}  // namespace parlatone
