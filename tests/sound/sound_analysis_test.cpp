// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_analysis.h"
#include "sound/levels_cache.h"
#include "sound/levels_text.h"
#include "sound/loudness.h"

#include <QDir>
#include <QTemporaryDir>

#include <ebur128.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include "support/qt_printers.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

using testing::Sound;

class SoundAnalysisTest : public ::testing::Test {
 protected:
  QString Write(const QString& name, const Sound& sound,
                int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(testing::WriteSound(path, sound, format)) << name.toStdString();
    return path;
  }
  // The levels of a sound written here; one that cannot be measured fails the test (the
  // optional's access throws).
  SoundLevels Analyse(const QString& name, const Sound& sound,
                      int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16) {
    return AnalyseSound(Write(name, sound, format)).value();
  }
  QTemporaryDir dir_;
};

// A sine's peak is its amplitude and its loudness, by the measurement's own
// definition, the amplitude less 3.01 dB per channel summed; the silence
// around it is what was put there.
TEST_F(SoundAnalysisTest, SineLevelsAndSilenceMatchHowTheyWereMade) {
  // What, rate, channels, amplitude, seconds of silence, tone and silence, the file format.
  const std::tuple<const char*, int, int, double, double, double, double, int> cases[] = {
      {"mono 22k", 22050, 1, 0.25, 0.3, 3.0, 0.25, SF_FORMAT_WAV | SF_FORMAT_PCM_16},
      {"stereo 48k, read in parts", 48000, 2, 0.5, 1.0, 40.0, 0.5,
       SF_FORMAT_WAV | SF_FORMAT_PCM_16},
      {"mono 16k float", 16000, 1, 0.1, 0.0, 2.0, 0.0, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
      {"stereo 44.1k FLAC", 44100, 2, 0.7, 0.125, 2.5, 1.0, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
      {"mono 11k 8-bit", 11025, 1, 0.5, 0.2, 2.0, 0.2, SF_FORMAT_WAV | SF_FORMAT_PCM_U8},
  };
  for (const auto& [name, rate, channels, amplitude, lead, tone, tail, format] : cases) {
    SCOPED_TRACE(name);
    const SoundLevels levels = Analyse(
        QString::fromLatin1(name) + u".snd"_s,
        Sound{rate, channels, {}}.Silence(lead).Sine(tone, amplitude).Silence(tail), format);
    const double amplitude_db = 20.0 * std::log10(amplitude);
    // 8-bit samples are coarse: the peak may land a step away.
    EXPECT_NEAR(*levels.peak_db, amplitude_db, format & SF_FORMAT_PCM_U8 ? 0.2 : 0.1);
    // The gate keeps only whole blocks of tone; the silence around it
    // lowers the blocks at its edges, so the tone alone is measured here
    // when it is short.
    if (lead + tail < 0.01 || tone > 30) {
      EXPECT_NEAR(*levels.loudness_lufs, amplitude_db - 3.0103 + 10.0 * std::log10(channels), 0.1);
    }
    EXPECT_NEAR(static_cast<double>(levels.leading_silence_ms), lead * 1000.0, 5.0);
    EXPECT_NEAR(static_cast<double>(levels.trailing_silence_ms), tail * 1000.0, 5.0);
    EXPECT_NEAR(static_cast<double>(levels.length_ms), (lead + tone + tail) * 1000.0, 1.0);
  }
}

// The live meter: the last 400 ms, K-weighted; nothing until 400 ms have
// come, nothing once the sound has fallen silent.
TEST(MomentaryLoudnessTest, FollowsTheLastFourHundredMilliseconds) {
  // What, channels, seconds of a -20 dBFS sine and of silence after it, the loudness.
  const std::tuple<const char*, int, double, double, std::optional<double>> cases[] = {
      {"too short to say", 1, 0.3, 0.0, std::nullopt},
      {"mono sine", 1, 1.0, 0.0, -20.0 - 3.0103},
      {"stereo sine", 2, 1.0, 0.0, -20.0 - 3.0103 + 3.0103},
      {"fallen silent", 1, 1.0, 1.0, std::nullopt},
  };
  for (const auto& [name, channels, tone, silence, lufs] : cases) {
    const Sound sound = Sound{48000, channels, {}}.Sine(tone, 0.1).Silence(silence);
    MomentaryLoudness meter(sound.rate, sound.channels);
    meter.Add(sound.samples.data(), sound.Frames());
    EXPECT_NEAR(meter.Value().value_or(99.0), lufs.value_or(99.0), 0.1) << name;  // 99: none
  }
}

// Real material is gated: quiet passages and pauses must be left out as the
// reference meter leaves them out, in parts or in one reading.
TEST_F(SoundAnalysisTest, LoudnessAgreesWithTheReferenceMeterOnGatedMaterial) {
  for (const double seconds : {6.0, 45.0}) {
    Sound sound{44100, 2, {}};
    for (int i = 0; seconds * i < seconds * 6; ++i) {
      std::mt19937 random(static_cast<unsigned>(i));
      const float level = i % 2 == 0 ? 0.3F : 0.01F;
      std::uniform_real_distribution<float> noise(-level, level);
      sound.Add(seconds / 6, [&](double, int) { return noise(random); }).Silence(seconds / 12);
    }
    // libebur128 over the same samples is the reference.
    ebur128_state* state = ebur128_init(2, 44100, EBUR128_MODE_I);
    ebur128_add_frames_float(state, sound.samples.data(), static_cast<size_t>(sound.Frames()));
    double reference = 0.0;
    ebur128_loudness_global(state, &reference);
    ebur128_destroy(&state);
    const SoundLevels levels = Analyse(u"noise.wav"_s, sound, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_NEAR(*levels.loudness_lufs, reference, 0.05) << seconds << " s";
  }
}

TEST_F(SoundAnalysisTest, SilenceClippingAndShortSounds) {
  const SoundLevels quiet = Analyse(u"silent.wav"_s, Sound{22050, 1, {}}.Silence(1.0));
  EXPECT_EQ(std::pair(quiet.leading_silence_ms, quiet.trailing_silence_ms),
            std::pair(int64_t{1000}, int64_t{1000}));
  EXPECT_EQ(LevelsText(quiet), u"\u2014 LUFS / \u2212\u221e dBFS"_s);

  // What, amplitude, file format, clipped.
  const std::tuple<const char*, double, int, bool> cases[] = {
      {"16-bit at full scale", 1.0, SF_FORMAT_WAV | SF_FORMAT_PCM_16, true},
      {"16-bit a step below", 32766.0 / 32768.0, SF_FORMAT_WAV | SF_FORMAT_PCM_16, false},
      {"8-bit at full scale", 1.0, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, true},
      {"float over full scale", 1.2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, true},
      {"float under", 0.9, SF_FORMAT_WAV | SF_FORMAT_FLOAT, false},
  };
  for (const auto& [name, amplitude, format, clipped] : cases) {
    // Peaks land on samples.
    const Sound sound = Sound{22050, 1, {}}.Sine(0.5, amplitude, 22050.0 / 4);
    EXPECT_EQ(Analyse(QString::fromLatin1(name) + u".wav"_s, sound, format).clipped, clipped)
        << name;
  }

  // Shorter than one measuring block: a peak but no loudness.
  const SoundLevels short_one = Analyse(u"blip.wav"_s, Sound{22050, 1, {}}.Sine(0.2, 0.5));
  EXPECT_EQ(LevelsText(short_one), u"\u2014 LUFS / \u22126.0 dBFS"_s);
  // Fewer samples a second than measuring steps.
  const SoundLevels slow = Analyse(u"slow.wav"_s, Sound{4, 1, {}}.Sine(2.0, 0.5, 1.0));
  EXPECT_EQ(slow.length_ms, 2000);
  EXPECT_NEAR(*slow.peak_db, -6.0, 0.1);

  EXPECT_FALSE(AnalyseSound(dir_.filePath(u"missing.wav"_s)));
  ASSERT_TRUE(testing::WriteBytes(dir_.filePath(u"junk.wav"_s), QByteArray(500, 'x')));
  EXPECT_FALSE(AnalyseSound(dir_.filePath(u"junk.wav"_s)));
}

TEST_F(SoundAnalysisTest, OutlineFollowsTheSoundAtAnyWidth) {
  const SoundLevels levels =
      Analyse(u"half.wav"_s, Sound{8000, 1, {}}.Silence(1.0).Sine(1.0, 0.5, 1000.0));
  for (const int width : {1, 10, 333, 5000}) {
    const std::vector<OutlineColumn> columns = OutlineFor(levels, width);
    ASSERT_EQ(columns.size(), static_cast<size_t>(width));
    EXPECT_NEAR(columns.back().high, 0.5, 0.01) << width;
    EXPECT_NEAR(columns.back().low, -0.5, 0.01) << width;
    EXPECT_TRUE(width == 1 || (columns.front().high == 0.0F && columns.front().low == 0.0F))
        << width;
  }
  // A sound shorter than the outline keeps a column a frame.
  EXPECT_EQ(Analyse(u"tiny.wav"_s, Sound{8000, 1, {0.5F, -0.25F, 0.0F}}).outline_max,
            (std::vector<float>{0.5F, -0.25F, 0.0F}));
}

TEST_F(SoundAnalysisTest, CacheServesAnUnchangedFileAndForgetsAChangedOne) {
  const LevelsCache cache(dir_.filePath(u"cache"_s));
  const QString path = Write(u"voice.wav"_s, Sound{22050, 1, {}}.Sine(1.0, 0.5));
  EXPECT_FALSE(cache.Find(path));
  const std::optional<SoundLevels> first = LevelsOf(path, &cache);
  ASSERT_TRUE(first);
  EXPECT_EQ(cache.Find(path), first);

  // Another recording under the same name: size and time differ.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Write(u"voice.wav"_s, Sound{22050, 1, {}}.Sine(1.5, 0.9));
  EXPECT_FALSE(cache.Find(path));
  const std::optional<SoundLevels> second = LevelsOf(path, &cache);
  ASSERT_TRUE(second);
  EXPECT_NEAR(*second->peak_db, 20.0 * std::log10(0.9), 0.1);
  EXPECT_EQ(cache.Find(path), second);
  // One entry a file, replaced rather than added to.
  EXPECT_EQ(QDir(cache.Folder()).entryList(QDir::Files).size(), 1);

  // Many files on every core: each reported once, in its own place.
  QStringList paths;
  for (int i = 0; i < 12; ++i) {
    paths << Write(u"v%1.wav"_s.arg(i), Sound{22050, 1, {}}.Sine(0.5 + 0.1 * i, 0.5));
  }
  paths << dir_.filePath(u"missing.wav"_s);
  std::vector<int> seen(static_cast<size_t>(paths.size()), 0);
  std::vector<int64_t> lengths(static_cast<size_t>(paths.size()), -1);
  std::mutex mutex;
  AnalyseSounds(paths, &cache, [&](int i, const std::optional<SoundLevels>& levels) {
    std::lock_guard lock(mutex);
    ++seen[static_cast<size_t>(i)];
    lengths[static_cast<size_t>(i)] = levels ? levels->length_ms : -1;
  });
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(lengths[static_cast<size_t>(i)], 500 + 100 * i);
  }
  EXPECT_EQ(lengths.back(), -1);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), paths.size());
}

}  // namespace
}  // namespace parlatone
