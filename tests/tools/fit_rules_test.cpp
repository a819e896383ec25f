// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/fit_rules.h"

#include <optional>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

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

}  // namespace
}  // namespace parlatone
