#include "sound/voice_record_text.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(VoiceTexts, RatesSecondsAndRecordsForWaveAndMp3) {
  const std::vector<std::pair<uint32_t, QString>> rates = {
      {8000, u"8.0KHz"_s},   {11025, u"11.025KHz"_s}, {12800, u"12.8KHz"_s},
      {16000, u"16.0KHz"_s}, {22050, u"22.05KHz"_s},  {32000, u"32.0KHz"_s},
      {44100, u"44.1KHz"_s}, {48000, u"48.0KHz"_s},   {6400, u"6.4KHz"_s},
      {10600, u"10.6KHz"_s}, {0, u"0.0KHz"_s},        {7333, u"7.333KHz"_s}};
  for (const auto& [rate, text] : rates) {
    EXPECT_EQ(SampleRateText(rate), text) << rate;
  }
  // Exactly three decimals; -1 is a length that could not be measured.
  const std::vector<std::pair<int64_t, QString>> seconds = {
      {12345, u"12.345"_s}, {500, u"0.500"_s}, {0, u"0.000"_s}, {-1, u"-0.001"_s}};
  for (const auto& [ms, text] : seconds) {
    EXPECT_EQ(SecondsText(ms), text) << ms;
  }
  EXPECT_EQ(MakeVoiceRecord(u"/snd/CHIME.wav"_s,
                            SoundInfo{.Channels = 1, .SampleRate = 22050, .BitsPerSample = 8}, 1500,
                            33119, 1),
            (VoiceRecord{u"CHIME.wav"_s, u"22.05KHz"_s, u"8bit"_s, u"Mono"_s, u"1.500"_s,
                         u"33119"_s, u"/snd/CHIME.wav"_s, QString(), QString(), QString()}));
  const SoundInfo mp3{.SampleRate = 44100, .BitsPerSample = 128, .MpegVersion = 3, .MpegLayer = 1};
  EXPECT_EQ(MakeVoiceRecord(u"a.mp3"_s, mp3, -1, 0, 7),
            (VoiceRecord{u"a.mp3"_s, u"44.1KHz"_s, u"128Kbit"_s, u"Stereo"_s, u"-0.001"_s, u"0"_s,
                         u"a.mp3"_s, QString(), u"1.0"_s, u"3"_s}));
  EXPECT_EQ(MpegText(2), u"2.0"_s);
  EXPECT_EQ(LayerText(3), u"1"_s);
  EXPECT_TRUE(MpegText(0).isEmpty());
}

}  // namespace
}  // namespace parlatone
