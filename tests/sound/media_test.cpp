// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/media.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "sound/sdl_backend.h"
#include "support/qt_printers.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
namespace err = media_error;

// The real backend; ctest runs it on SDL's dummy driver, which consumes
// sound at real-time pace without a sound card.
class MediaTest : public ::testing::Test {
 protected:
  void SetUp() override { UseSoundBackend(MakeSdlSoundBackend()); }
  void TearDown() override {
    EXPECT_EQ(TheMediaLayer().OpenCount(), 0) << "an alias was left open";
  }

  QString Write(const QString& name, const QByteArray& bytes) {
    return testing::FileIn(dir_, name, bytes);
  }

  static QString OpenCommand(const QString& path, const QString& tail) {
    return u"open \""_s + path + u"\""_s + tail;
  }

  QTemporaryDir dir_;
};

TEST_F(MediaTest, LengthsComeFromTheWaveHeaderOrFromDecodingTheMp3) {
  EXPECT_EQ(GetSoundLength(Write(u"c.wav"_s, testing::WaveOfLength(8000, 1, 8, 3333)), 1), 3333);
  // A data chunk that claims more than the file holds measures what is there.
  // Half a second at 22050 Hz, 16 bit.
  const testing::WaveShape cut{.data_bytes = 22050, .data_size_field = 441000};
  EXPECT_EQ(GetSoundLength(Write(u"cut.wav"_s, testing::WaveBytes(cut)), 1), 500);
  // No data chunk, not a WAVE file, no file: cannot be measured.
  const QByteArray no_data = testing::WaveBytes({.with_data = false});
  EXPECT_EQ(GetSoundLength(Write(u"nodata.wav"_s, no_data), 1), -1);
  EXPECT_EQ(GetSoundLength(Write(u"text.wav"_s, "hello"_ba), 1), -1);
  EXPECT_EQ(GetSoundLength(dir_.filePath(u"missing.wav"_s), 1), -1);
  // The MP3 length is the decoded length, also for untagged VBR.
  const qint64 hundred_frames = 100 * 1152 * 1000 / 44100;
  EXPECT_EQ(GetSoundLength(Write(u"cbr.mp3"_s, testing::Mp3Frames(100, {128})), 7), hundred_frames);
  // The first frame's bit rate says nothing about the others.
  EXPECT_EQ(GetSoundLength(Write(u"vbr.mp3"_s, testing::Mp3Frames(100, {32, 320, 64})), 7),
            hundred_frames);
  // A tagged file: the decoder also drops the encoder delay it announces.
  const qint64 tagged = GetSoundLength(Write(u"tag.mp3"_s, testing::TaggedMp3(100, {32, 320})), 7);
  EXPECT_GT(tagged, hundred_frames - 20);
  EXPECT_LE(tagged, hundred_frames);
  EXPECT_EQ(GetSoundLength(Write(u"m2.mp3"_s, testing::Mp3Frames(50, {64}, 22050, false)), 7),
            50 * 576 * 1000 / 22050);
  // The MP3 device type does not play WAVE files here.
  EXPECT_EQ(GetSoundLength(Write(u"w.wav"_s, testing::WaveOfLength(22050, 1, 16, 100)), 7), -1);
}

TEST_F(MediaTest, ShortSoundPlaysToStoppedAtRealTimePace) {
  for (const auto& [name, bytes, type] :
       {std::tuple{u"short.wav"_s, testing::WaveOfLength(22050, 1, 16, 300), u"waveaudio"_s},
        std::tuple{u"short.mp3"_s, testing::Mp3Frames(12, {128}), u"mpegvideo"_s}}) {
    const QString path = Write(name, bytes);
    // The editor's exact strings: blanks after the type and at the end.
    ASSERT_EQ(
        SendMediaCommand(OpenCommand(path, u" type "_s + type + u"  alias *1 notify "_s)).code,
        err::kNone);
    EXPECT_EQ(SendMediaCommand(u"status *1 mode"_s).text, u"stopped"_s);  // opened, not playing
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(SendMediaCommand(u"Play *1 from 0"_s).code, err::kNone);
    EXPECT_EQ(SendMediaCommand(u"status *1 mode"_s).text, u"playing"_s);
    while (SendMediaCommand(u"status *1 mode"_s).text != u"stopped"_s && timer.elapsed() < 10000) {
      QThread::msleep(20);
    }
    EXPECT_GE(timer.elapsed(), 250) << name.toStdString();
    EXPECT_LT(timer.elapsed(), 3000) << name.toStdString();
    EXPECT_EQ(SendMediaCommand(u"Close *1"_s).code, err::kNone);
  }
}

TEST_F(MediaTest, AliasesHoldOneFileEach) {
  const QString path = Write(u"with blanks/a b c.wav"_s, testing::WaveOfLength(22050, 1, 16, 700));
  ASSERT_EQ(SendMediaCommand(OpenCommand(path, u" type waveaudio alias *2 notify "_s)).code,
            err::kNone);
  const MediaReply busy = SendMediaCommand(OpenCommand(path, u" type waveaudio alias *2"_s));
  EXPECT_EQ(busy.code, err::kDuplicateAlias);
  // A double quote in a folder name is doubled inside the quotes.
  const QString quoted = Write(u"say \"hi\"/a.wav"_s, testing::WaveOfLength(22050, 1, 16, 300));
  EXPECT_EQ(QuotedPath(quoted), u"\""_s + dir_.path() + u"/say \"\"hi\"\"/a.wav\""_s);
  EXPECT_EQ(GetSoundLength(quoted, 1), 300);
  // Another alias is free; aliases and verbs ignore letter case.
  ASSERT_EQ(SendMediaCommand(OpenCommand(path, u" TYPE WaveAudio ALIAS *4"_s)).code, err::kNone);
  EXPECT_EQ(SendMediaCommand(u"STATUS *4 LENGTH"_s).text, u"700"_s);
  EXPECT_EQ(SendMediaCommand(u"status *2 length"_s).text, u"700"_s);
  EXPECT_EQ(SendMediaCommand(u"close *4"_s).code, err::kNone);
  EXPECT_EQ(SendMediaCommand(u"Close *2"_s).code, err::kNone);
  // Closed means closed.
  EXPECT_EQ(SendMediaCommand(u"Close *2"_s).code, err::kDeviceNotOpen);
  ASSERT_EQ(SendMediaCommand(OpenCommand(path, u" type waveaudio alias *2"_s)).code, err::kNone);
  EXPECT_EQ(SendMediaCommand(u"close *2"_s).code, err::kNone);
}

TEST_F(MediaTest, BadCommandsGetErrorCodesAndTexts) {
  const QString path = Write(u"a.wav"_s, testing::WaveOfLength(22050, 1, 16, 100));
  const std::vector<std::pair<QString, int>> cases = {
      {u"status *9 mode"_s, err::kDeviceNotOpen},
      {u"rewind *1"_s, err::kUnrecognizedCommand},
      {QString(), err::kUnrecognizedCommand},
      {u"open \"unterminated type waveaudio alias *1"_s, err::kBadQuotes},
      {OpenCommand(path, u" type cdaudio alias *1"_s), err::kUnknownDeviceType},
      {OpenCommand(path, u" type waveaudio alias"_s), err::kMissingParameter},
      {OpenCommand(path, u" type waveaudio alias *1 loudly"_s), err::kUnrecognizedKeyword},
      {OpenCommand(dir_.filePath(u"none.wav"_s), u" type waveaudio alias *1"_s),
       err::kFileNotFound},
      {OpenCommand(dir_.path(), u" type waveaudio alias *1"_s), err::kFileNotFound},
  };
  for (const auto& [command, code] : cases) {
    const MediaReply reply = SendMediaCommand(command);
    EXPECT_EQ(reply.code, code) << command.toStdString();
    EXPECT_EQ(reply.text, MediaErrorText(code)) << command.toStdString();
  }
}

// Stands for a machine without an audio output.
class NoOutputBackend : public SoundBackend {
 public:
  class Measured : public SoundSource {
   public:
    qint64 LengthMs() const override { return 1234; }
    int Play(qint64) override { return err::kNoOutput; }
    bool IsPlaying() override { return false; }
  };
  int Open(const QString&, DeviceType, OpenPurpose purpose,
           std::unique_ptr<SoundSource>& source) override {
    if (purpose == OpenPurpose::kPlay) {
      return err::kNoOutput;
    }
    source = std::make_unique<Measured>();
    return err::kNone;
  }
};

TEST_F(MediaTest, WithoutAnOutputPlayingOpensFailButLengthsAreMeasured) {
  UseSoundBackend(std::make_unique<NoOutputBackend>());
  const QString path = Write(u"a.wav"_s, "RIFF"_ba);
  const MediaReply open = SendMediaCommand(OpenCommand(path, u" type waveaudio alias *1"_s));
  EXPECT_EQ(open.code, err::kNoOutput);  // its text as every error's
  EXPECT_EQ(SendMediaCommand(u"Close *1"_s).code, err::kDeviceNotOpen);
  EXPECT_EQ(GetSoundLength(path, 1), 1234);
}

}  // namespace
}  // namespace parlatone
