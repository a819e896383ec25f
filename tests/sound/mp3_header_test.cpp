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

TEST(Mp3Scan, ReadsVersionBitRateRateAndMono) {
  // MPEG-1 Layer III, 128 kbit/s, 44.1 kHz, mono.
  const auto mono = ScanMp3Header(Header(0xFB, 0x90, 0xC0));
  ASSERT_TRUE(mono);
  EXPECT_EQ(mono->MpegVersion, 3);
  EXPECT_EQ(mono->MpegLayer, 1);
  EXPECT_EQ(mono->BitsPerSample, 128);
  EXPECT_EQ(mono->SampleRate, 44100u);
  EXPECT_EQ(mono->Channels, 1);
  EXPECT_EQ(mono->FormatTag, 0);
  EXPECT_EQ(mono->ByteRate, 0u);
  // MPEG-2 Layer III, 64 kbit/s, 22.05 kHz, joint stereo.
  const auto joint = ScanMp3Header(Header(0xF3, 0x80, 0x40));
  ASSERT_TRUE(joint);
  EXPECT_EQ(joint->MpegVersion, 2);
  EXPECT_EQ(joint->BitsPerSample, 64);
  EXPECT_EQ(joint->SampleRate, 22050u);
  EXPECT_EQ(joint->Channels, 0);
  // MPEG-2 bit rate index 11; MPEG-1 at 48 and 32 kHz; MPEG-2 at 16 kHz.
  EXPECT_EQ(ScanMp3Header(Header(0xF3, 0xB0, 0x00))->BitsPerSample, 112);
  EXPECT_EQ(ScanMp3Header(Header(0xFB, 0xE4, 0x00))->BitsPerSample, 320);
  EXPECT_EQ(ScanMp3Header(Header(0xFB, 0x14, 0x00))->SampleRate, 48000u);
  EXPECT_EQ(ScanMp3Header(Header(0xFB, 0x18, 0x00))->SampleRate, 32000u);
  EXPECT_EQ(ScanMp3Header(Header(0xF2, 0x18, 0x00))->SampleRate, 16000u);  // with CRC bit
}

TEST(Mp3Scan, OtherVersionsAndLayersAreSkipped) {
  // MPEG-2.5 (version bits 00) and Layer II never match...
  EXPECT_FALSE(ScanMp3Header(Header(0xE3, 0x90, 0xC0)));
  EXPECT_FALSE(ScanMp3Header(Header(0xFD, 0x90, 0xC0)));
  // ...so the scan goes on to a Layer III header after them.
  const auto later =
      ScanMp3Header(Header(0xE3, 0x90, 0xC0) + Header(0xFD, 0x90, 0xC0) + Header(0xFB, 0x50, 0xC0));
  ASSERT_TRUE(later);
  EXPECT_EQ(later->BitsPerSample, 64);
  // A run of FF bytes still syncs on the last.
  EXPECT_TRUE(ScanMp3Header("\xFF\xFF\xFF"_ba + Header(0xFB, 0x90, 0xC0).mid(1)));
}

TEST(Mp3Scan, TheFirstCandidateDecidesEvenWhenItIsBad) {
  const QByteArray good = testing::Mp3Frames(3, {128});
  // Free format (index 0), index 15 and the reserved rate refuse the file
  // although good frames follow.
  EXPECT_FALSE(ScanMp3Header(Header(0xFB, 0x00, 0xC0) + good));
  EXPECT_FALSE(ScanMp3Header(Header(0xFB, 0xF0, 0xC0) + good));
  EXPECT_FALSE(ScanMp3Header(Header(0xFB, 0x9C, 0xC0) + good));
  // FF FB inside leading tag data is taken as the header.
  const QByteArray tag = "ID3\x03\0\0\0\0\0\x10"_ba + "\xFF\xFB\x50\x00"_ba + QByteArray(12, '\0');
  const auto from_tag = ScanMp3Header(tag + good);
  ASSERT_TRUE(from_tag);
  EXPECT_EQ(from_tag->BitsPerSample, 64);
  EXPECT_EQ(from_tag->Channels, 0);
}

TEST(Mp3Scan, OnlyTheFirst32761BytesAreSearched) {
  const QByteArray header = Header(0xFB, 0x90, 0xC0);
  EXPECT_TRUE(ScanMp3Header(QByteArray(32757, '\0') + header));
  EXPECT_FALSE(ScanMp3Header(QByteArray(32758, '\0') + header));
  EXPECT_FALSE(ScanMp3Header(QByteArray(3, '\xFF')));  // cut off inside a header
}

TEST(Mp3Reader, MessagesForFiles) {
  QTemporaryDir dir;
  testing::ScriptedOperator op;
  SoundInfo info;
  const QString empty = dir.filePath(u"empty.mp3"_s);
  ASSERT_TRUE(testing::WriteBytes(empty, QByteArray()));
  EXPECT_FALSE(ReadMp3Header(ProbeMp3File(empty), op, info));
  EXPECT_TRUE(op.shown.empty());  // an empty file is refused silently

  EXPECT_FALSE(ReadMp3Header(ProbeMp3File(dir.filePath(u"missing.mp3"_s)), op, info));
  const QString text = dir.filePath(u"text.mp3"_s);
  ASSERT_TRUE(testing::WriteBytes(text, "not an mp3"_ba));
  EXPECT_FALSE(ReadMp3Header(ProbeMp3File(text), op, info));
  EXPECT_EQ(op.Numbers(), (std::vector<int>{2604, 2603}));

  const QString good = dir.filePath(u"good.mp3"_s);
  ASSERT_TRUE(testing::WriteBytes(good, testing::Mp3Frames(2, {64}, 22050, false)));
  EXPECT_TRUE(ReadMp3Header(ProbeMp3File(good), op, info));
  EXPECT_EQ(info.MpegVersion, 2);
  EXPECT_EQ(info.SampleRate, 22050u);
}

TEST(Mp3Reader, TheDecoderDecidesWhetherTheStreamIsOneTheDevicesPlay) {
  QTemporaryDir dir;
  const auto read = [&dir](const QString& name, const QByteArray& bytes, SoundInfo& info) {
    testing::ScriptedOperator op;
    EXPECT_TRUE(testing::WriteBytes(dir.filePath(name), bytes));
    const bool ok = ReadMp3Header(ProbeMp3File(dir.filePath(name)), op, info);
    return std::make_pair(ok, op.Numbers());
  };
  SoundInfo info;
  // The scan skips the MPEG-2.5 headers and takes the stray bytes for an
  // MPEG-1 header (44.1 kHz, 128 kbit/s, mono); the decoder reads the
  // frames as MPEG-2.5.
  const QByteArray mpeg25 = testing::Mpeg25WithStrayMpeg1Header();
  ASSERT_TRUE(ScanMp3Header(mpeg25));
  EXPECT_EQ(ScanMp3Header(mpeg25)->MpegVersion, 3);
  EXPECT_EQ(read(u"mpeg25.mp3"_s, mpeg25, info), std::make_pair(false, std::vector<int>{2603}));
  // Layer II frames with a stray Layer III header inside.
  QByteArray layer2 = testing::Mp3Frames(6, {128});
  for (qsizetype at = 0; at < layer2.size(); at += 417) {
    layer2[at + 1] = static_cast<char>(0xFD);
  }
  layer2.replace(600, 4, QByteArray("\xFF\xFB\x90\xC4", 4));
  EXPECT_EQ(read(u"layer2.mp3"_s, layer2, info), std::make_pair(false, std::vector<int>{2603}));
  // Where the decoder agrees, the scan's values stand, even those it read
  // from a header inside leading tag data.
  const QByteArray tagged =
      "ID3\x03\0\0\0\0\0\x08\xFF\xF3\x40\x00\0\0\0\0"_ba + testing::Mp3Frames(20, {128});
  EXPECT_EQ(read(u"tag.mp3"_s, tagged, info), std::make_pair(true, std::vector<int>{}));
  EXPECT_EQ(info.MpegVersion, 2);
  EXPECT_EQ(info.BitsPerSample, 32);
}

}  // namespace
}  // namespace parlatone
