#include "tools/fit.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sndfile.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "core/file_io.h"
#include "support/full_device.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "voices/registration.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// ------------------------------------------------------------------ rules

TEST(FitRules, OutputFormatFollowsTheSeries) {
  struct Case {
    int mode;
    bool stereo;
    FitSourceFormat source;
    int asked_rate;
    FitTarget expected;  // rate, channels, bits, dither
  };
  const Case cases[] = {
      {1, false, {48000, 2, 24}, 0, {false, 44100, 1, 16, 0, true}},
      {1, true, {48000, 2, 16}, 0, {false, 44100, 2, 16, 0, false}},
      {1, true, {48000, 3, 16}, 0, {false, 44100, 1, 16, 0, false}},
      {1, false, {11025, 1, 16}, 0, {false, 22050, 1, 16, 0, false}},  // none below: lowest above
      {6, false, {48000, 1, 16}, 0, {false, 32000, 1, 16, 0, false}},
      {2, false, {6400, 1, 8}, 0, {false, 8000, 1, 8, 0, false}},
      {2, false, {22050, 1, 8}, 0, {false, 22050, 1, 8, 0, false}},  // 8 bits stay
      {0, false, {44100, 1, 16}, 0, {false, 44100, 1, 8, 0, true}},
      {0, false, {48000, 1, 32}, 16000, {false, 16000, 1, 8, 0, true}},
      {7, false, {48000, 2, 24}, 0, {true, 44100, 1, 16, 128, false}},
      {7, true, {48000, 2, 24}, 22050, {true, 22050, 2, 16, 128, false}},
  };
  for (const Case& c : cases) {
    FitOptions options;
    options.rate = c.asked_rate;
    const FitTarget t = PlanFit({c.mode, c.stereo}, c.source, options);
    SCOPED_TRACE(u"mode %1 source %2 Hz"_s.arg(c.mode).arg(c.source.rate).toStdString());
    EXPECT_EQ(t.mp3, c.expected.mp3);
    EXPECT_EQ(t.rate, c.expected.rate);
    EXPECT_EQ(t.channels, c.expected.channels);
    EXPECT_EQ(t.bits, c.expected.bits);
    EXPECT_EQ(t.dither, c.expected.dither);
  }
}

TEST(FitRules, OptionsTheSeriesCannotTakeAreUsageErrors) {
  struct Case {
    int mode;
    int rate;
    int bitrate;
    std::optional<double> lufs;
    bool fine;
  };
  const Case cases[] = {
      {1, 44100, 128, -16.0, true}, {1, 32000, 128, {}, false}, {1, 48000, 128, {}, false},
      {6, 32000, 128, {}, true},    {7, 0, 320, {}, true},      {7, 22050, 320, {}, false},
      {7, 22050, 144, {}, true},    {7, 0, 144, {}, false},     {7, 32000, 128, {}, false},
      {1, 0, 128, 3.0, false},
  };
  for (const Case& c : cases) {
    FitOptions options;
    options.rate = c.rate;
    options.bitrate = c.bitrate;
    options.normalize_lufs = c.lufs;
    EXPECT_EQ(!FitOptionsProblem(c.mode, options).has_value(), c.fine)
        << "mode " << c.mode << " rate " << c.rate << " bitrate " << c.bitrate;
  }
}

TEST(FitRules, NamesPassTheRulesAndStayTheSameFromRunToRun) {
  const std::vector<std::pair<QString, std::pair<QString, QString>>> cases = {
      {u"/a/sine48.wav"_s, {u"sine48.wav"_s, u""_s}},
      {u"/a/閉店案内.wav"_s, {u"VOICE001.wav"_s, u"閉店案内"_s}},
      {u"/b/SINE48.flac"_s, {u"SINE481.wav"_s, u"SINE48"_s}},
      {u"/a/an-nounce(1).wav"_s, {u"an_nounc.wav"_s, u"an-nounce(1)"_s}},
      {u"/a/ｱﾅｳﾝｽ1.ogg"_s, {u"ｱﾅｳﾝｽ1.wav"_s, u""_s}},
      {u"/a/開店のご案内.wav"_s, {u"VOICE002.wav"_s, u"開店のご案内"_s}},
      {u"/a/announcement.aiff"_s, {u"announce.wav"_s, u"announcement"_s}},
      {u"/a/announcement2.wav"_s, {u"announc1.wav"_s, u"announcement2"_s}},
      {u"/a/.hidden.wav"_s, {u"hidden.wav"_s, u".hidden"_s}},
  };
  for (int run = 0; run < 2; ++run) {
    FitNamer namer(u"wav"_s);
    for (const auto& [source, expected] : cases) {
      const FitNamer::Name name = namer.NameFor(source);
      EXPECT_EQ(name.file, expected.first) << source.toStdString();
      EXPECT_EQ(name.comment, expected.second) << source.toStdString();
    }
  }
  FitNamer namer(u"mp3"_s);
  EXPECT_EQ(namer.NameFor(u"x/voice.wav"_s).file, u"voice.mp3"_s);
}

// ------------------------------------------------------------------ audio

struct Audio {
  int rate = 0;
  int channels = 0;
  std::vector<float> samples;  // interleaved
  int64_t Frames() const { return static_cast<int64_t>(samples.size()) / channels; }
};

Audio Make(int rate, int channels, double seconds,
           const std::function<std::vector<float>(double t)>& frame) {
  Audio audio{rate, channels, {}};
  const auto frames = static_cast<int64_t>(seconds * rate);
  for (int64_t f = 0; f < frames; ++f) {
    for (const float v : frame(static_cast<double>(f) / rate)) {
      audio.samples.push_back(v);
    }
  }
  return audio;
}

float Sine(double amplitude, double hz, double t) {
  return static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * t));
}

bool Save(const QString& path, const Audio& audio, int format) {
  SF_INFO info{};
  info.samplerate = audio.rate;
  info.channels = audio.channels;
  info.format = format;
  SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
  if (file == nullptr) {
    return false;
  }
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_FALSE);
  const sf_count_t written = sf_writef_float(file, audio.samples.data(), audio.Frames());
  sf_close(file);
  return written == audio.Frames();
}

struct Loaded {
  Audio audio;
  int format = 0;
};
Loaded Load(const QString& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
  Loaded loaded;
  if (file == nullptr) {
    return loaded;
  }
  loaded.format = info.format;
  loaded.audio.rate = info.samplerate;
  loaded.audio.channels = info.channels;
  loaded.audio.samples.resize(static_cast<size_t>(info.frames * info.channels));
  sf_readf_float(file, loaded.audio.samples.data(), info.frames);
  sf_close(file);
  return loaded;
}

double RmsDb(const std::vector<float>& samples, size_t skip = 0) {
  double sum = 0.0;
  for (size_t i = skip; i + skip < samples.size(); ++i) {
    sum += static_cast<double>(samples[i]) * samples[i];
  }
  return 10.0 * std::log10(sum / static_cast<double>(samples.size() - 2 * skip) + 1e-30);
}

// An integrated loudness meter of our own, from the published K-weighting
// (high shelf +4 dB at 1500 Hz, high pass at 38 Hz) and the two gates, so
// that the normaliser is not judged by the library it uses.
double MeasureLufs(const Audio& audio) {
  struct Biquad {
    double b0, b1, b2, a1, a2;
    std::vector<double> z1, z2;
    double Step(int c, double x) {
      const double y = b0 * x + z1[c];
      z1[c] = b1 * x - a1 * y + z2[c];
      z2[c] = b2 * x - a2 * y;
      return y;
    }
  };
  const double fs = audio.rate;
  const double pi = std::numbers::pi;
  const auto channels = static_cast<size_t>(audio.channels);
  double w0 = 2 * pi * 1500 / fs;
  double alpha = std::sin(w0) / (2 * (1 / std::sqrt(2.0)));
  const double a = std::pow(10.0, 4.0 / 40.0);
  double a0 = (a + 1) - (a - 1) * std::cos(w0) + 2 * std::sqrt(a) * alpha;
  Biquad shelf{a * ((a + 1) + (a - 1) * std::cos(w0) + 2 * std::sqrt(a) * alpha) / a0,
               -2 * a * ((a - 1) + (a + 1) * std::cos(w0)) / a0,
               a * ((a + 1) + (a - 1) * std::cos(w0) - 2 * std::sqrt(a) * alpha) / a0,
               2 * ((a - 1) - (a + 1) * std::cos(w0)) / a0,
               ((a + 1) - (a - 1) * std::cos(w0) - 2 * std::sqrt(a) * alpha) / a0,
               std::vector<double>(channels),
               std::vector<double>(channels)};
  w0 = 2 * pi * 38 / fs;
  alpha = std::sin(w0) / (2 * 0.5);
  a0 = 1 + alpha;
  Biquad high_pass{
      (1 + std::cos(w0)) / 2 / a0,  -(1 + std::cos(w0)) / a0, (1 + std::cos(w0)) / 2 / a0,
      -2 * std::cos(w0) / a0,       (1 - alpha) / a0,         std::vector<double>(channels),
      std::vector<double>(channels)};
  std::vector<double> power;  // per 100 ms step, summed over channels
  const auto step = static_cast<int64_t>(fs / 10);
  double sum = 0;
  for (int64_t f = 0; f < audio.Frames(); ++f) {
    for (size_t c = 0; c < channels; ++c) {
      const double y = high_pass.Step(
          static_cast<int>(c), shelf.Step(static_cast<int>(c), audio.samples[f * channels + c]));
      sum += y * y;
    }
    if ((f + 1) % step == 0) {
      power.push_back(sum / static_cast<double>(step));
      sum = 0;
    }
  }
  std::vector<double> blocks;  // 400 ms, 75 % overlap
  for (size_t i = 3; i < power.size(); ++i) {
    blocks.push_back((power[i] + power[i - 1] + power[i - 2] + power[i - 3]) / 4);
  }
  auto loudness = [](double p) { return -0.691 + 10 * std::log10(p); };
  auto gated_mean = [&](double threshold) {
    double total = 0;
    int count = 0;
    for (const double p : blocks) {
      if (loudness(p) > threshold) {
        total += p;
        ++count;
      }
    }
    return count > 0 ? total / count : 0.0;
  };
  return loudness(gated_mean(loudness(gated_mean(-70.0)) - 10.0));
}

class FitTest : public ::testing::Test {
 protected:
  QString Source(const QString& name, const Audio& audio,
                 int format = SF_FORMAT_WAV | SF_FORMAT_PCM_24) {
    const QString path = QDir(dir_.path()).filePath(u"in/"_s + name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    EXPECT_TRUE(Save(path, audio, format)) << path.toStdString();
    return path;
  }
  FitRunResult Fit(const QStringList& sources, int mode, const FitOptions& options = {},
                   bool stereo = false) {
    return FitFiles(sources, Out(), {mode, stereo}, options, op_,
                    cancel_.load() ? &cancel_ : nullptr);
  }
  QString Out() const { return QDir(dir_.path()).filePath(u"out"_s); }
  // The output passes the very checks registration makes.
  bool Registers(const QString& path, int mode, bool stereo = false) {
    AcceptanceRules rules;
    rules.mode = mode;
    rules.add_function = stereo ? 1 : 0;
    testing::ScriptedOperator quiet;
    return ExamineForRegistration(path, rules, quiet).accepted();
  }

  QTemporaryDir dir_;
  testing::ScriptedOperator op_;
  std::atomic<bool> cancel_ = false;
};

TEST_F(FitTest, StudioSineBecomesSeriesOneWaveAtTheSameLevel) {
  const Audio source = Make(48000, 2, 2.0, [](double t) {
    const float v = Sine(0.5, 1000, t);
    return std::vector<float>{v, v};
  });
  const FitRunResult run = Fit({Source(u"studio.wav"_s, source)}, 1);
  ASSERT_EQ(run.Written(), 1);
  const Loaded out = Load(run.files[0].output);
  EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  EXPECT_EQ(out.audio.rate, 44100);
  EXPECT_EQ(out.audio.channels, 1);
  EXPECT_NEAR(RmsDb(out.audio.samples, 2000), RmsDb(source.samples, 2000), 0.1);
  EXPECT_EQ(run.files[0].length_ms, 2000);
  EXPECT_TRUE(Registers(run.files[0].output, 1));
}

TEST_F(FitTest, ToneAboveTheNewNyquistIsRemoved) {
  const Audio source =
      Make(48000, 1, 1.0, [](double t) { return std::vector<float>{Sine(0.5, 20000, t)}; });
  const FitRunResult run =
      Fit({Source(u"tone20k.wav"_s, source, SF_FORMAT_WAV | SF_FORMAT_FLOAT)}, 6);
  ASSERT_EQ(run.Written(), 1);
  const Loaded out = Load(run.files[0].output);
  EXPECT_EQ(out.audio.rate, 32000);
  EXPECT_LE(RmsDb(out.audio.samples, 1000) - RmsDb(source.samples), -80.0);
}

TEST_F(FitTest, ChannelsAreAveragedNotDropped) {
  const Audio source = Make(44100, 2, 1.0, [](double t) {
    const float v = Sine(0.5, 440, t);
    return std::vector<float>{v, -v};
  });
  const FitRunResult run = Fit({Source(u"phase.wav"_s, source)}, 1);
  ASSERT_EQ(run.Written(), 1);
  EXPECT_LE(RmsDb(Load(run.files[0].output).audio.samples), -85.0);
}

TEST_F(FitTest, EightBitOutputIsDitheredAndClampedNeverWrapped) {
  const Audio quiet =
      Make(22050, 1, 0.5, [](double t) { return std::vector<float>{Sine(0.002, 440, t)}; });
  const Audio loud =
      Make(22050, 1, 0.5, [](double t) { return std::vector<float>{Sine(1.5, 100, t)}; });
  const FitRunResult run = Fit({Source(u"quiet.wav"_s, quiet, SF_FORMAT_WAV | SF_FORMAT_PCM_16),
                                Source(u"loud.wav"_s, loud, SF_FORMAT_WAV | SF_FORMAT_FLOAT)},
                               0);
  ASSERT_EQ(run.Written(), 2);
  const Loaded q = Load(run.files[0].output);
  EXPECT_EQ(q.format, SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
  EXPECT_GT(std::set<float>(q.audio.samples.begin(), q.audio.samples.end()).size(), 2U);
  const Loaded l = Load(run.files[1].output);
  for (int64_t i = 0; i < loud.Frames(); ++i) {
    if (loud.samples[i] > 1.0F) {
      ASSERT_GT(l.audio.samples[i], 0.98F) << "wrapped at " << i;
    } else if (loud.samples[i] < -1.0F) {
      ASSERT_LT(l.audio.samples[i], -0.98F) << "wrapped at " << i;
    }
  }
  EXPECT_TRUE(Registers(run.files[0].output, 0));
}

TEST_F(FitTest, LoudnessIsBroughtToTheTargetUnderThePeakCeiling) {
  const Audio speech_like = Make(48000, 2, 6.0, [](double t) {
    const float v =
        Sine(0.05, 300, t) * static_cast<float>(0.6 + 0.4 * std::sin(3 * t)) + Sine(0.02, 2500, t);
    return std::vector<float>{v, v * 0.8F};
  });
  const Audio sine =
      Make(44100, 1, 3.0, [](double t) { return std::vector<float>{Sine(0.5, 1000, t)}; });
  FitOptions options;
  options.normalize_lufs = -16.0;
  FitRunResult run = Fit({Source(u"speech.wav"_s, speech_like)}, 1, options);
  ASSERT_EQ(run.Written(), 1);
  EXPECT_NEAR(MeasureLufs(Load(run.files[0].output).audio), -16.0, 0.5);
  EXPECT_GT(run.files[0].gain_db, 0.0);

  options.normalize_lufs = 0.0;  // far above what the peak allows
  run = Fit({Source(u"sine.wav"_s, sine)}, 1, options);
  ASSERT_EQ(run.Written(), 1);
  EXPECT_NEAR(run.files[0].gain_db, -1.0 - 20 * std::log10(0.5), 0.05);
  float peak = 0;
  for (const float v : Load(run.files[0].output).audio.samples) {
    peak = std::max(peak, std::fabs(v));
  }
  EXPECT_LE(20 * std::log10(peak), -1.0 + 0.01);
}

TEST_F(FitTest, TrimKeepsTwentyMillisecondsAroundTheSound) {
  const Audio source = Make(22050, 1, 2.2, [](double t) {
    return std::vector<float>{t >= 0.5 && t < 1.5 ? Sine(0.3, 440, t) : 0.001F};
  });
  FitOptions options;
  options.trim = true;
  const FitRunResult run = Fit({Source(u"pause.wav"_s, source)}, 2, options);
  ASSERT_EQ(run.Written(), 1);
  EXPECT_NEAR(static_cast<double>(Load(run.files[0].output).audio.Frames()) / 22050, 1.04, 0.002);
}

TEST_F(FitTest, Mp3SeriesGetsAnMp3OfExactLength) {
  const Audio source = Make(48000, 2, 2.5, [](double t) {
    return std::vector<float>{Sine(0.3, 440, t), Sine(0.3, 660, t)};
  });
  const FitRunResult run =
      Fit({Source(u"music.flac"_s, source, SF_FORMAT_FLAC | SF_FORMAT_PCM_24)}, 7);
  ASSERT_EQ(run.Written(), 1);
  EXPECT_EQ(run.files[0].name, u"music.mp3"_s);
  EXPECT_EQ(run.files[0].target.rate, 44100);
  EXPECT_NEAR(static_cast<double>(run.files[0].length_ms), 2500.0, 30.0);
  EXPECT_TRUE(Registers(run.files[0].output, 7));
}

TEST_F(FitTest, MixedRunReportsEachFileAndWritesTheGoodOnes) {
  const Audio tone =
      Make(44100, 1, 0.5, [](double t) { return std::vector<float>{Sine(0.3, 440, t)}; });
  const QString flac = Source(u"お知らせ.flac"_s, tone, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  const QString ogg = Source(u"chime.ogg"_s, tone, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
  const QString twin = Source(u"sub/chime.wav"_s, tone);
  const QString bad = QDir(dir_.path()).filePath(u"in/broken.wav"_s);
  ASSERT_TRUE(WriteFileAtomically(bad, "RIFF nonsense"));
  const FitRunResult run = Fit({flac, ogg, bad, twin}, 1);
  ASSERT_EQ(run.files.size(), 4);
  EXPECT_EQ(run.files[0].name, u"VOICE001.wav"_s);
  EXPECT_EQ(run.files[0].comment, u"お知らせ"_s);
  EXPECT_EQ(run.files[1].name, u"chime.wav"_s);
  EXPECT_FALSE(run.files[2].written());
  EXPECT_EQ(run.files[2].messages, QStringList{QString::fromUtf16(fit_text::kUnreadable)});
  EXPECT_EQ(run.files[3].name, u"chime1.wav"_s);
  EXPECT_EQ(run.Written(), 3);
  for (const FitFileResult& file : run.files) {
    if (file.written()) {
      EXPECT_TRUE(Registers(file.output, 1)) << file.output.toStdString();
    }
  }
}

TEST_F(FitTest, OutputsAreReplacedOnlyOnYesAndNeverOverTheSource) {
  const Audio tone =
      Make(22050, 1, 0.3, [](double t) { return std::vector<float>{Sine(0.3, 440, t)}; });
  const QString source = Source(u"chime.wav"_s, tone, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  ASSERT_EQ(Fit({source}, 1).Written(), 1);
  const QString output = QDir(Out()).filePath(u"chime.wav"_s);

  op_.Answer(MessageAnswer::kNo);
  FitRunResult run = Fit({source}, 1);
  EXPECT_EQ(run.files[0].messages, QStringList{QString::fromUtf16(fit_text::kNotReplaced)});
  op_.Answer(MessageAnswer::kYes);
  EXPECT_EQ(Fit({source}, 1).Written(), 1);
  EXPECT_TRUE(op_.AllAnswersUsed());

  // A source inside the output folder is never written over.
  const qint64 size = QFileInfo(output).size();
  run = FitFiles({output}, Out(), {1, false}, {}, op_);
  EXPECT_EQ(run.files[0].messages, QStringList{QString::fromUtf16(fit_text::kSameAsSource)});
  EXPECT_EQ(QFileInfo(output).size(), size);
}

TEST_F(FitTest, CancelAndWriteFailureLeaveNoPartialFile) {
  const Audio tone =
      Make(44100, 1, 1.0, [](double t) { return std::vector<float>{Sine(0.3, 440, t)}; });
  const QString source = Source(u"tone.wav"_s, tone);
  cancel_ = true;
  FitRunResult run = Fit({source}, 1);
  EXPECT_TRUE(run.cancelled);
  EXPECT_EQ(run.Written(), 0);
  EXPECT_TRUE(QDir(Out()).entryList(QDir::Files | QDir::Hidden).isEmpty());

  cancel_ = false;
  testing::FailWritesAfter(10000);
  run = Fit({source}, 1);
  testing::RestoreWrites();
  EXPECT_EQ(run.files[0].messages, QStringList{QString::fromUtf16(fit_text::kWriteFailed)});
  EXPECT_TRUE(QDir(Out()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

}  // namespace
}  // namespace parlatone
