#include "tools/conversion_engine.h"
#include "tools/fit_engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sndfile.h>
#include <sys/stat.h>

#include <cmath>
#include <functional>
#include <map>
#include <numbers>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

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
using testing::Chunk;
using testing::Le16Bytes;
using testing::Le32Bytes;

// A canonical PCM file: format chunk right after "WAVE", then `extra`, then data.
QByteArray Canonical(uint16_t channels, uint16_t bits, const QByteArray& data,
                     const QByteArray& extra = {}, uint32_t rate = 44100) {
  const uint16_t block = static_cast<uint16_t>(channels * bits / 8);
  const QByteArray body =
      "WAVE" +
      Chunk("fmt ", Le16Bytes(1) + Le16Bytes(channels) + Le32Bytes(rate) + Le32Bytes(rate * block) +
                        Le16Bytes(block) + Le16Bytes(bits)) +
      extra + Chunk("data", data);
  return "RIFF" + Le32Bytes(static_cast<uint32_t>(body.size())) + body;
}

// Sample i of channel 1 (left) or 2 is c * 0x1000 + i at 16 bits, 0x10 or 0x80 + i % 100 at 8.
QByteArray Samples(uint16_t bits, int frames, std::initializer_list<int> channels) {
  QByteArray data;
  for (int i = 0; i < frames; ++i) {
    for (const int c : channels) {
      data += bits == 16 ? Le16Bytes(static_cast<uint16_t>(c * 0x1000 + i))
                         : QByteArray(1, static_cast<char>((c == 1 ? 0x10 : 0x80) + i % 100));
    }
  }
  return data;
}
QByteArray Stereo(uint16_t bits, int frames, const QByteArray& extra = {}) {
  return Canonical(2, bits, Samples(bits, frames, {1, 2}), extra);
}

class EngineTest : public ::testing::Test {
 protected:
  QString Out(const QString& name = u"out.wav"_s) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
  ConversionProgress progress_;
};

// The bar steps as if bytes were counted one by one: a step each time more than StepBytes were.
TEST_F(EngineTest, MonoKeepsLeftSixteenBitOrRightEightBitSamplesAndOtherChunks) {
  const QByteArray list = Chunk("LIST", "INFOICMT\x06\0\0\0hello\0"_ba);
  const struct {
    QByteArray source;
    QByteArray expected;
    int64_t header, frames, frame_bytes;  // what the engine counts
  } cases[] = {
      {Stereo(16, 44100), Canonical(1, 16, Samples(16, 44100, {1})), 44, 44100, 4},
      {Stereo(8, 300, list), Canonical(1, 8, Samples(8, 300, {2}), list), 44 + list.size(), 300, 2},
      // Half of the last frame cut off: it is dropped.
      {Canonical(2, 16, Stereo(16, 3).mid(44, 10)), Canonical(1, 16, Samples(16, 2, {1})), 44, 2,
       4},
  };
  for (const auto& c : cases) {
    const QString in = Out(u"in.wav"_s);
    ASSERT_TRUE(testing::WriteBytes(in, c.source));
    ConversionProgress progress;
    int steps = 0, expected = 0;
    progress.Bar = [&] { ++steps; };
    progress.StepBytes = (c.header + c.frames * c.frame_bytes) / 100;
    ASSERT_EQ(ConvertStereoToMono(in, Out(), progress), ConversionResult::kCompleted);
    EXPECT_EQ(testing::ReadFileBytes(Out()), c.expected);
    int64_t counted = c.header;
    for (int f = 0; f < c.frames; ++f) {
      counted += c.frame_bytes;
      if (counted > progress.StepBytes) {
        ++expected;
        counted = 0;
      }
    }
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(progress.CountedBytes, counted);
  }
}

// Only canonical 8/16-bit PCM stereo whose data the devices reach converts, never onto
// itself; fixed offsets would patch a recorder's JUNK chunk and leave a stereo header.
TEST_F(EngineTest, HeadersItWouldGarbleAreRefused) {
  const auto changed = [](QByteArray bytes, int at, const QByteArray& field) {
    return bytes.replace(at, field.size(), field);
  };
  QByteArray junk = Stereo(16, 10);
  junk.insert(12, Chunk("JUNK", QByteArray(28, '\0')));
  const QString in = dir_.filePath(u"in.wav"_s);
  ASSERT_TRUE(QFile::link(in, Out(u"link.wav"_s)));
  const std::pair<QByteArray, QString> cases[] = {
      {changed(junk, 4, Le32Bytes(static_cast<uint32_t>(junk.size() - 8))), Out()},
      {changed(Stereo(16, 10), 20, Le16Bytes(3)), Out()},                  // float
      {changed(Stereo(16, 10), 22, Le16Bytes(1)), Out()},                  // mono
      {changed(Stereo(16, 12), 32, Le16Bytes(6) + Le16Bytes(24)), Out()},  // 24 bits
      {Stereo(16, 10, Chunk("LIST", QByteArray(500, 'x'))), Out()},        // data beyond 512
      {Stereo(16, 10).left(20), Out()},                                    // header cut short
      {changed(Stereo(16, 10), 24, Le32Bytes(0x80000000)), Out()},         // rate over 2^31
      {Stereo(16, 100), in},
      {Stereo(16, 100), Out(u"link.wav"_s)},
  };
  for (const auto& [bytes, output] : cases) {
    ASSERT_TRUE(testing::WriteBytes(in, bytes));
    EXPECT_EQ(ConvertStereoToMono(in, output, progress_), ConversionResult::kFailed)
        << output.toStdString();
    EXPECT_FALSE(QFile::exists(Out()));
    EXPECT_EQ(testing::ReadFileBytes(in), bytes);
  }
  EXPECT_EQ(ConvertStereoToMono(Out(u"missing.wav"_s), Out(), progress_),
            ConversionResult::kFailed);
}

TEST_F(EngineTest, CancelLeavesNoFileAndTheOldOutputIntact) {
  ASSERT_TRUE(testing::WriteBytes(Out(), "an earlier output"_ba));
  const QString in = Out(u"in.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(in, Stereo(16, 1 << 20)));  // 4 MB: several blocks
  progress_.StepBytes = 1000;
  progress_.Bar = [&] { progress_.StopRequested = true; };
  EXPECT_EQ(ConvertStereoToMono(in, Out(), progress_), ConversionResult::kCancelled);
  EXPECT_FALSE(progress_.StopRequested);
  EXPECT_EQ(testing::ReadFileBytes(Out()), "an earlier output"_ba);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2);  // no temporary file left
}

TEST_F(EngineTest, SilentFiles) {
  // 8 bits are 0x80, 16 bits zeros; any rate but 44100 makes 22050 Hz.
  const struct {
    int seconds, rate, bits;
    QByteArray expected;
  } cases[] = {
      {2, 22050, 8, Canonical(1, 8, QByteArray(44100, static_cast<char>(0x80)), {}, 22050)},
      {2, 44100, 16, Canonical(1, 16, QByteArray(176400, '\0'))},
      {1, 48000, 16, Canonical(1, 16, QByteArray(44100, '\0'), {}, 22050)},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(CreateSilentWave(Out(), c.seconds, c.rate, c.bits, progress_),
              ConversionResult::kCompleted);
    EXPECT_EQ(testing::ReadFileBytes(Out()), c.expected) << c.rate << " Hz " << c.bits;
  }
  // Outputs are readable by others like any new file, not private to their maker.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if ((mask & 0004) == 0) {
    EXPECT_TRUE(QFileInfo(Out()).permissions() & QFileDevice::ReadOther);
  }
  EXPECT_EQ(CreateSilentWave(dir_.filePath(u"no/such/dir/s.wav"_s), 1, 22050, 8, progress_),
            ConversionResult::kFailed);
}

TEST(FindTagTest, LowestPositionOrNothing) {
  EXPECT_EQ(FindTag("xxdataxxdata"_ba, 512, "data"), 2);
  EXPECT_EQ(FindTag("xxxxxdata"_ba, 4, "data"), std::nullopt);
  EXPECT_EQ(FindTag("dataxxdata"_ba, 5, "data"), 0);
  EXPECT_EQ(FindTag("dat"_ba, 512, "data"), std::nullopt);
}

TEST(FitRules, OutputFormatFollowsTheSeries) {
  // Mode, stereo taken, source, asked rate; the output format.
  const std::tuple<int, bool, FitSourceFormat, int, FitTarget> cases[] = {
      {1, false, {48000, 2, 24}, 0, {false, 44100, 1, 16, 0, true}},
      {1, true, {48000, 2, 16}, 0, {false, 44100, 2, 16, 0, false}},
      {1, true, {48000, 3, 16}, 0, {false, 44100, 1, 16, 0, false}},
      {1, false, {11025, 1, 16}, 0, {false, 22050, 1, 16, 0, false}},  // none below: lowest above
      {2, false, {22050, 1, 8}, 0, {false, 22050, 1, 8, 0, false}},    // 8 bits stay
      {0, false, {44100, 1, 16}, 0, {false, 44100, 1, 8, 0, true}},
      {0, false, {48000, 1, 32}, 16000, {false, 16000, 1, 8, 0, true}},
      {7, false, {48000, 2, 24}, 0, {true, 44100, 1, 16, 128, false}},
      {7, true, {48000, 2, 24}, 22050, {true, 22050, 2, 16, 128, false}},
  };
  for (const auto& [mode, stereo, source, rate, e] : cases) {
    const FitTarget t = PlanFit({mode, stereo}, source, {rate, 128, {}, false});
    EXPECT_EQ(std::tuple(t.mp3, t.rate, t.channels, t.bits, t.dither),
              std::tuple(e.mp3, e.rate, e.channels, e.bits, e.dither))
        << "mode " << mode << " source " << source.rate << " Hz";
  }
}

TEST(FitRules, OptionsTheSeriesCannotTakeAreUsageErrors) {
  // Mode, rate, bit rate, loudness target; whether the series takes them.
  const std::tuple<int, int, int, std::optional<double>, bool> cases[] = {
      {1, 44100, 128, -16.0, true}, {1, 32000, 128, {}, false}, {6, 32000, 128, {}, true},
      {7, 0, 320, {}, true},        {7, 22050, 320, {}, false}, {7, 22050, 144, {}, true},
      {1, 0, 128, 3.0, false},
  };
  for (const auto& [mode, rate, bitrate, lufs, fine] : cases) {
    EXPECT_EQ(!FitOptionsProblem(mode, {rate, bitrate, lufs, false}).has_value(), fine)
        << "mode " << mode << " rate " << rate << " bitrate " << bitrate;
  }
}

// The loudness reached reads as a number, with the reason when it fell short.
TEST(FitRules, LoudnessReachedAndWhyItFellShort) {
  const std::tuple<std::optional<double>, bool, QString> cases[] = {
      {std::nullopt, false, u""_s},
      {-16.04, false, u"\u221216.0 LUFS"_s},
      {-18.94, true, u"ピーク制限のため \u221218.9 LUFS"_s},
  };
  FitRunResult run;
  for (const auto& [lufs, limited, expected] : cases) {
    FitFileResult file;
    file.source = u"in/v%1.wav"_s.arg(run.files.size());
    file.output = u"out/v.wav"_s;
    file.loudness_lufs = lufs;
    file.limited_by_peak = limited;
    EXPECT_EQ(FitLoudnessText(file), expected);
    run.files << file;
  }
  // Only the file that fell short has a line of its own in the summary.
  EXPECT_EQ(FitSummaryText(run),
            u"3 / 3 ファイルを変換しました。\r\nv2.wav: ピーク制限のため \u221218.9 LUFS"_s);
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
      EXPECT_EQ(std::pair(name.file, name.comment), expected) << source.toStdString();
    }
  }
  EXPECT_EQ(FitNamer(u"mp3"_s).NameFor(u"x/voice.wav"_s).file, u"voice.mp3"_s);
}

struct Audio {
  int rate = 0;
  int channels = 0;
  std::vector<float> samples;  // interleaved
  int format = 0;              // as read back
  int64_t Frames() const { return static_cast<int64_t>(samples.size()) / channels; }
};

using Wave = std::function<float(double t, int c)>;

Audio Make(int rate, int channels, double seconds, const Wave& wave) {
  Audio audio{rate, channels, {}};
  for (int64_t f = 0; f < static_cast<int64_t>(seconds * rate); ++f) {
    for (int c = 0; c < channels; ++c) {
      audio.samples.push_back(wave(static_cast<double>(f) / rate, c));
    }
  }
  return audio;
}

float Sine(double amplitude, double hz, double t) {
  return static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * t));
}
Wave Tone(double amplitude, double hz) {
  return [=](double t, int) { return Sine(amplitude, hz, t); };
}

Audio Load(const QString& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
  if (file == nullptr) {
    return {};
  }
  Audio audio{info.samplerate, info.channels, {}, info.format};
  audio.samples.resize(static_cast<size_t>(info.frames * info.channels));
  sf_readf_float(file, audio.samples.data(), info.frames);
  sf_close(file);
  return audio;
}

double RmsDb(const std::vector<float>& samples, size_t skip = 0) {
  double sum = 0.0;
  for (size_t i = skip; i + skip < samples.size(); ++i) {
    sum += static_cast<double>(samples[i]) * samples[i];
  }
  return 10.0 * std::log10(sum / static_cast<double>(samples.size() - 2 * skip) + 1e-30);
}

constexpr int kPcm16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kPcm24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
constexpr int kFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

class FitTest : public ::testing::Test {
 protected:
  QString Source(const QString& name, const Audio& audio, int format = kPcm24) {
    const QString path = QDir(dir_.path()).filePath(u"in/"_s + name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    SF_INFO info{0, audio.rate, audio.channels, format, 0, 0};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << path.toStdString();
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_FALSE);  // let a loud source go past 1
    EXPECT_EQ(sf_writef_float(file, audio.samples.data(), audio.Frames()), audio.Frames());
    sf_close(file);
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
  const std::tuple<QString, Audio, int, int, FitOptions> cases[] = {
      {u"studio.wav"_s, Make(48000, 2, 2.0, Tone(0.5, 1000)), kPcm24, 1, plain},
      {u"tone20k.wav"_s, Make(48000, 1, 1.0, Tone(0.5, 20000)), kFloat, 6, plain},
      {u"phase.wav"_s,
       Make(44100, 2, 1.0, [](double t, int c) { return (c == 0 ? 1 : -1) * Sine(0.5, 440, t); }),
       kPcm24, 1, plain},
      {u"quiet.wav"_s, Make(22050, 1, 0.5, Tone(0.002, 440)), kPcm16, 0, plain},
      {u"loud.wav"_s, Make(22050, 1, 0.5, Tone(1.5, 100)), kFloat, 0, plain},
      {u"speech.wav"_s, Make(48000, 2, 4.0, Tone(0.05, 1000)), kPcm24, 1, to_target},
      {u"sine.wav"_s, Make(44100, 1, 3.0, Tone(0.5, 1000)), kPcm24, 1, to_ceiling},
      {u"pause.wav"_s,
       Make(22050, 1, 2.2,
            [](double t, int) { return t >= 0.5 && t < 1.5 ? Sine(0.3, 440, t) : 0.001F; }),
       kPcm24, 2, trimmed},
      {u"music.flac"_s,
       Make(48000, 2, 2.5, [](double t, int c) { return Sine(0.3, c == 0 ? 440 : 660, t); }),
       SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 7, to_target},
  };
  struct Result {
    Audio in;
    FitFileResult file;
    Audio out;
  };
  std::map<QString, Result> r;
  for (const auto& [name, sound, format, mode, options] : cases) {
    SCOPED_TRACE(name.toStdString());
    const FitRunResult run = Fit({Source(name, sound, format)}, mode, options);
    ASSERT_EQ(run.Written(), 1);
    AcceptanceRules rules;  // the output passes the very checks registration makes
    rules.mode = mode;
    EXPECT_TRUE(ExamineForRegistration(run.files[0].output, rules).accepted());
    r[name] = {sound, run.files[0], Load(run.files[0].output)};
  }
  // 16 bits at the same level (rate and channels are what registration checks).
  const Result& studio = r[u"studio.wav"_s];
  EXPECT_EQ(studio.out.format, kPcm16);
  EXPECT_NEAR(RmsDb(studio.out.samples, 2000), RmsDb(studio.in.samples, 2000), 0.1);
  // Resampling removes a tone above the new Nyquist frequency.
  const Result& tone = r[u"tone20k.wav"_s];
  EXPECT_LE(RmsDb(tone.out.samples, 1000) - RmsDb(tone.in.samples), -80.0);
  // Channels are averaged, not dropped: R = -L gives silence.
  EXPECT_LE(RmsDb(r[u"phase.wav"_s].out.samples), -85.0);
  // 8-bit output is dithered (a quiet tone keeps more than two values), clamped, never wrapped.
  const Audio& quiet = r[u"quiet.wav"_s].out;
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
  EXPECT_NEAR(sine.gain_db, -1.0 - 20 * std::log10(0.5), 0.05);
  EXPECT_LE(AnalyseSound(sine.output).value_or(SoundLevels{}).peak_db.value_or(0.0), -0.99);
  // What each reached is reported, and that the peak held the sine short of its target.
  const double sine_reached =
      AnalyseSound(sine.output).value_or(SoundLevels{}).loudness_lufs.value_or(0.0);
  EXPECT_TRUE(!speech.limited_by_peak && sine.limited_by_peak);
  EXPECT_NEAR(speech.loudness_lufs.value_or(0.0), -16.0, 0.05);
  EXPECT_NEAR(sine.loudness_lufs.value_or(0.0), sine_reached, 0.3);
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
  const Audio tone = Make(44100, 1, 0.5, Tone(0.3, 440));
  const QString flac = Source(u"お知らせ.flac"_s, tone, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  const QString ogg = Source(u"chime.ogg"_s, tone, SF_FORMAT_OGG | SF_FORMAT_VORBIS);
  const QString twin = Source(u"sub/chime.wav"_s, tone, kPcm16);
  const QString bad = QDir(dir_.path()).filePath(u"in/broken.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(bad, "RIFF nonsense"));
  const FitRunResult run = Fit({flac, ogg, bad, twin}, 1);
  ASSERT_EQ(run.files.size(), 4);
  EXPECT_EQ(std::pair(run.files[0].name, run.files[0].comment),
            std::pair(u"VOICE001.wav"_s, u"お知らせ"_s));
  EXPECT_EQ(run.files[1].name, u"chime.wav"_s);
  EXPECT_EQ(run.files[2].messages, QStringList{FitText(fit_text::kUnreadable)});
  EXPECT_EQ(run.files[3].name, u"chime1.wav"_s);
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
  const QString source = Source(u"tone.wav"_s, Make(44100, 1, 1.0, Tone(0.3, 440)));
  cancel_ = true;
  FitRunResult run = Fit({source}, 1);
  EXPECT_TRUE(run.cancelled);
  EXPECT_EQ(run.Written(), 0);
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
