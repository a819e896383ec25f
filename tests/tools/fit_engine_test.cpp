// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fit_engine.h"

#include <QDir>
#include <QTemporaryDir>

#include <sndfile.h>

#include <atomic>
#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <tuple>

#include <gtest/gtest.h>

#include "sound/sound_analysis.h"
#include "support/full_device.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"
#include "voices/registration.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

using testing::Sound;

float Sine(double amplitude, double hz, double t) {
  return static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * t));
}

constexpr int kPcm16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kPcm24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
constexpr int kFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

class FitTest : public ::testing::Test {
 protected:
  QString Source(const QString& name, const Sound& sound, int format = kPcm24) {
    const QString path = QDir(dir_.path()).filePath(u"in/"_s + name);
    EXPECT_TRUE(testing::WriteSound(path, sound, format)) << path.toStdString();
    return path;
  }
  FitRunResult Fit(const QStringList& sources, int mode, const FitOptions& options = {}) {
    return FitFiles(sources, Out(), {mode, false}, options, op_,
                    cancel_.load() ? &cancel_ : nullptr);
  }
  QString Out() const { return QDir(dir_.path()).filePath(u"out"_s); }
  QTemporaryDir dir_;
  testing::ScriptedOperator op_;
  std::atomic<bool> cancel_ = false;
};

// What each series' output holds of its source's sound; every output registers.
TEST_F(FitTest, EachSourceBecomesWhatItsSeriesTakes) {
  FitOptions plain, to_target, to_ceiling, trimmed;
  to_target.normalize_lufs = -16.0;
  to_ceiling.normalize_lufs = 0.0;  // far above what the peak allows
  trimmed.trim = true;
  // The source's name, sound and file format, the series, the options.
  const std::tuple<QString, Sound, int, int, FitOptions> cases[] = {
      {u"studio.wav"_s, Sound{48000, 2, {}}.Sine(2.0, 0.5, 1000), kPcm24, 1, plain},
      {u"tone20k.wav"_s, Sound{48000, 1, {}}.Sine(1.0, 0.5, 20000), kFloat, 6, plain},
      {u"phase.wav"_s,
       Sound{44100, 2, {}}.Add(
           1.0, [](double t, int c) { return (c == 0 ? 1 : -1) * Sine(0.5, 440, t); }),
       kPcm24, 1, plain},
      {u"quiet.wav"_s, Sound{22050, 1, {}}.Sine(0.5, 0.002, 440), kPcm16, 0, plain},
      {u"loud.wav"_s, Sound{22050, 1, {}}.Sine(0.5, 1.5, 100), kFloat, 0, plain},
      {u"speech.wav"_s, Sound{48000, 2, {}}.Sine(4.0, 0.05, 1000), kPcm24, 1, to_target},
      {u"sine.wav"_s, Sound{44100, 1, {}}.Sine(3.0, 0.5, 1000), kPcm24, 1, to_ceiling},
      {u"pause.wav"_s,
       Sound{22050, 1, {}}.Add(
           2.2, [](double t, int) { return t >= 0.5 && t < 1.5 ? Sine(0.3, 440, t) : 0.001F; }),
       kPcm24, 2, trimmed},
      {u"music.flac"_s,
       Sound{48000, 2, {}}.Add(2.5,
                               [](double t, int c) { return Sine(0.3, c == 0 ? 440 : 660, t); }),
       SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 7, to_target},
  };
  struct Result {
    Sound in;
    FitFileResult file;
    Sound out{};  // as libsndfile reads it
    int out_format = 0;
  };
  std::map<QString, Result> r;
  for (const auto& [name, sound, format, mode, options] : cases) {
    SCOPED_TRACE(name.toStdString());
    const FitRunResult run = Fit({Source(name, sound, format)}, mode, options);
    ASSERT_EQ(run.Written(), 1);
    AcceptanceRules rules;  // the output passes the very checks registration makes
    rules.mode = mode;
    EXPECT_TRUE(ExamineForRegistration(run.files[0].output, rules).accepted());
    Result& result = r[name] = {sound, run.files[0]};
    result.out = testing::ReadSound(run.files[0].output, &result.out_format);
  }
  // 16 bits at the same level (rate and channels are what registration checks).
  const Result& studio = r[u"studio.wav"_s];
  EXPECT_EQ(studio.out_format, kPcm16);
  EXPECT_NEAR(testing::RmsDb(studio.out.samples, 2000), testing::RmsDb(studio.in.samples, 2000),
              0.1);
  // Resampling removes a tone above the new Nyquist frequency.
  const Result& tone = r[u"tone20k.wav"_s];
  EXPECT_LE(testing::RmsDb(tone.out.samples, 1000) - testing::RmsDb(tone.in.samples), -80.0);
  // Channels are averaged, not dropped: R = -L gives silence.
  EXPECT_LE(testing::RmsDb(r[u"phase.wav"_s].out.samples), -85.0);
  // 8-bit output is dithered (a quiet tone keeps more than two values), clamped, never wrapped.
  const Sound& quiet = r[u"quiet.wav"_s].out;
  EXPECT_GT(std::set<float>(quiet.samples.begin(), quiet.samples.end()).size(), 2U);
  const Result& loud = r[u"loud.wav"_s];
  int wrapped = 0;
  for (size_t i = 0; i < loud.in.samples.size(); ++i) {
    const float in = loud.in.samples[i];
    wrapped += std::abs(in) > 1.0F && std::copysign(1.0F, in) * loud.out.samples[i] <= 0.98F;
  }
  EXPECT_EQ(wrapped, 0);
  // Loudness (by the analysis's own meter, not fit's library) reaches the target under -1 dBFS.
  const FitFileResult& speech = r[u"speech.wav"_s].file;
  const FitFileResult& sine = r[u"sine.wav"_s].file;
  EXPECT_NEAR(AnalyseSound(speech.output).value_or(SoundLevels{}).loudness_lufs.value_or(0.0),
              -16.0, 0.5);
  const SoundLevels sine_levels = AnalyseSound(sine.output).value_or(SoundLevels{});
  EXPECT_NEAR(sine.gain_db, -1.0 - 20 * std::log10(0.5), 0.05);
  EXPECT_LE(sine_levels.peak_db.value_or(0.0), -0.99);
  // What each reached is reported, and that the peak held the sine short of its target.
  EXPECT_TRUE(!speech.limited_by_peak && sine.limited_by_peak);
  EXPECT_NEAR(speech.loudness_lufs.value_or(0.0), -16.0, 0.05);
  EXPECT_NEAR(sine.loudness_lufs.value_or(0.0), sine_levels.loudness_lufs.value_or(0.0), 0.3);
  EXPECT_FALSE(studio.file.loudness_lufs.has_value());
  // An MP3's is measured on the file, which the encoder moved a little off the gain's.
  const FitFileResult& music = r[u"music.flac"_s].file;
  EXPECT_NEAR(music.loudness_lufs.value_or(0.0),
              AnalyseSound(music.output).value_or(SoundLevels{}).loudness_lufs.value_or(1.0), 0.01);
  // Trimming keeps 20 ms around the sound; the MP3 series gets an MP3 of the exact length.
  EXPECT_NEAR(static_cast<double>(r[u"pause.wav"_s].out.Frames()) / 22050, 1.04, 0.002);
  EXPECT_NEAR(static_cast<double>(r[u"music.flac"_s].file.length_ms), 2500.0, 30.0);
}

// Each file reported, twins numbered; an output replaced only on Yes, never over its source.
TEST_F(FitTest, MixedRunReportsEachFileAndWritesTheGoodOnes) {
  const Sound tone = Sound{44100, 1, {}}.Sine(0.5, 0.3, 440);
  const QString flac = Source(u"お知らせ.flac"_s, tone, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  const QString ogg = Source(u"chime.ogg"_s, tone, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
  const QString twin = Source(u"sub/chime.wav"_s, tone, kPcm16);
  const QString bad = QDir(dir_.path()).filePath(u"in/broken.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(bad, "RIFF nonsense"));
  const FitRunResult run = Fit({flac, ogg, bad, twin}, 1);
  ASSERT_EQ(run.files.size(), 4);
  EXPECT_EQ(
      (QStringList{run.files[0].name, run.files[0].comment, run.files[1].name, run.files[3].name}),
      (QStringList{u"VOICE001.wav"_s, u"お知らせ"_s, u"chime.wav"_s, u"chime1.wav"_s}));
  EXPECT_EQ(run.files[2].messages, QStringList{FitText(fit_text::kUnreadable)});
  EXPECT_EQ(run.Written(), 3);

  op_.Answer(MessageAnswer::kNo);
  EXPECT_EQ(Fit({twin}, 1).files[0].messages, QStringList{FitText(fit_text::kNotReplaced)});
  op_.Answer(MessageAnswer::kYes);
  EXPECT_EQ(Fit({twin}, 1).Written(), 1);
  EXPECT_TRUE(op_.AllAnswersUsed());
  const QString output = QDir(Out()).filePath(u"chime.wav"_s);
  const QByteArray before = testing::ReadFileBytes(output);
  EXPECT_EQ(Fit({output}, 1).files[0].messages, QStringList{FitText(fit_text::kSameAsSource)});
  EXPECT_EQ(testing::ReadFileBytes(output), before);
}

TEST_F(FitTest, CancelAndWriteFailureLeaveNoPartialFile) {
  const QString source = Source(u"tone.wav"_s, Sound{44100, 1, {}}.Sine(1.0, 0.3, 440));
  cancel_ = true;
  FitRunResult run = Fit({source}, 1);
  EXPECT_TRUE(run.cancelled && run.Written() == 0);
  EXPECT_TRUE(QDir(Out()).entryList(QDir::Files | QDir::Hidden).isEmpty());

  cancel_ = false;
  testing::FailWritesAfter(10000);
  run = Fit({source}, 1);
  testing::RestoreWrites();
  EXPECT_EQ(run.files[0].messages, QStringList{FitText(fit_text::kWriteFailed)});
  EXPECT_TRUE(QDir(Out()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

}  // namespace
}  // namespace parlatone
