#include "sound/voice_record_text.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(VoiceTexts, SampleRates) {
  const std::vector<std::pair<uint32_t, QString>> cases = {
      {8000, u"8.0KHz"_s},   {11025, u"11.025KHz"_s}, {12800, u"12.8KHz"_s},
      {16000, u"16.0KHz"_s}, {22050, u"22.05KHz"_s},  {32000, u"32.0KHz"_s},
      {44100, u"44.1KHz"_s}, {48000, u"48.0KHz"_s},   {6400, u"6.4KHz"_s},
      {10600, u"10.6KHz"_s}, {0, u"0.0KHz"_s},        {7333, u"7.333KHz"_s}};
  for (const auto& [rate, text] : cases) {
    EXPECT_EQ(SampleRateText(rate), text) << rate;
  }
}

TEST(VoiceTexts, SecondsHaveExactlyThreeDecimals) {
  EXPECT_EQ(SecondsText(12345), u"12.345"_s);
  EXPECT_EQ(SecondsText(500), u"0.500"_s);
  EXPECT_EQ(SecondsText(0), u"0.000"_s);
  EXPECT_EQ(SecondsText(-1), u"-0.001"_s);  // the length could not be measured
}

TEST(VoiceTexts, RecordForWaveAndMp3) {
  SoundInfo wave;
  wave.Channels = 1;
  wave.SampleRate = 22050;
  wave.BitsPerSample = 8;
  const VoiceRecord w = MakeVoiceRecord(u"/snd/CHIME.wav"_s, wave, 1500, 33119, 1);
  EXPECT_EQ(w.NAME, u"CHIME.wav"_s);
  EXPECT_EQ(w.SampleRate, u"22.05KHz"_s);
  EXPECT_EQ(w.BitRate, u"8bit"_s);
  EXPECT_EQ(w.TYPE, u"Mono"_s);
  EXPECT_EQ(w.SEC, u"1.500"_s);
  EXPECT_EQ(w.BYTES, u"33119"_s);
  EXPECT_EQ(w.FilePath, u"/snd/CHIME.wav"_s);
  EXPECT_TRUE(w.MPEG.isEmpty());
  EXPECT_TRUE(w.Layer.isEmpty());
  EXPECT_TRUE(w.COMENTS.isEmpty());

  SoundInfo mp3;
  mp3.SampleRate = 44100;
  mp3.BitsPerSample = 128;
  mp3.MpegVersion = 3;
  mp3.MpegLayer = 1;
  const VoiceRecord m = MakeVoiceRecord(u"a.mp3"_s, mp3, -1, 0, 7);
  EXPECT_EQ(m.BitRate, u"128Kbit"_s);
  EXPECT_EQ(m.TYPE, u"Stereo"_s);
  EXPECT_EQ(m.SEC, u"-0.001"_s);
  EXPECT_EQ(m.MPEG, u"1.0"_s);
  EXPECT_EQ(m.Layer, u"3"_s);
  EXPECT_EQ(MpegText(2), u"2.0"_s);
  EXPECT_EQ(LayerText(3), u"1"_s);
  EXPECT_TRUE(MpegText(0).isEmpty());
}

}  // namespace
}  // namespace parlatone
