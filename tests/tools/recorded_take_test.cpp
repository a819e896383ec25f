// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/recorded_take.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <tuple>

#include "sound/sound_analysis.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// Silence before and after the voice goes, a tenth of a second of it kept
// on each side; the rest of the take is untouched.
TEST(RecordedTakeTest, TrimLeavesATenthOfASecondAroundTheVoice) {
  QTemporaryDir dir;
  struct Case {
    double lead, tone, tail;
  } cases[] = {{1.0, 1.5, 0.7}, {0.05, 1.0, 2.0}, {0.0, 0.8, 0.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lead);
    // A take as the recorder leaves it: 16-bit mono.
    const QString take = dir.filePath(u"t.take"_s);
    ASSERT_TRUE(testing::WriteSound(
        take,
        testing::Sound{22050, 1, {}}.Silence(c.lead).Sine(c.tone, 0.25, 1000.0).Silence(c.tail),
        SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    const QString out = dir.filePath(u"REC0001.WAV"_s);
    const FinishedTake finished =
        FinishTake(take, 22050, out, FitSeries{1, false}, TakeOptions{true, std::nullopt});
    ASSERT_TRUE(finished.fit.written()) << finished.fit.messages.join(u' ').toStdString();
    const double lead_cut = std::max(0.0, c.lead - 0.1) * 1000.0;
    const double tail_cut = std::max(0.0, c.tail - 0.1) * 1000.0;
    EXPECT_NEAR(static_cast<double>(finished.fit.trimmed_lead_ms), lead_cut, 5.0);
    EXPECT_NEAR(static_cast<double>(finished.fit.trimmed_tail_ms), tail_cut, 5.0);
    const SoundLevels levels = AnalyseSound(out).value();
    EXPECT_NEAR(static_cast<double>(levels.leading_silence_ms), std::min(c.lead, 0.1) * 1000.0,
                5.0);
    EXPECT_NEAR(static_cast<double>(levels.trailing_silence_ms), std::min(c.tail, 0.1) * 1000.0,
                5.0);
    EXPECT_NEAR(static_cast<double>(levels.length_ms),
                (c.lead + c.tone + c.tail) * 1000.0 - lead_cut - tail_cut, 5.0);
    EXPECT_NEAR(*finished.peak_db, 20.0 * std::log10(0.25), 0.1);
  }
}

TEST(RecordedTakeTest, ProposedNamesAreShortFreeAndInTheSeriesFormat) {
  // What, the files in the folder, the names registered, the series; the name proposed.
  const std::tuple<const char*, QStringList, QStringList, int, QString> cases[] = {
      {"empty folder", {}, {}, 1, u"REC0001.WAV"_s},
      {"first taken", {u"REC0001.WAV"_s}, {}, 1, u"REC0002.WAV"_s},
      {"letter case aside", {u"rec0001.wav"_s, u"Rec0002.Wav"_s}, {}, 4, u"REC0003.WAV"_s},
      {"a gap is filled", {u"REC0001.WAV"_s, u"REC0003.WAV"_s}, {}, 1, u"REC0002.WAV"_s},
      {"registered elsewhere", {}, {u"rec0001.wav"_s}, 1, u"REC0002.WAV"_s},
      {"MP3 series", {u"REC0001.WAV"_s}, {}, 7, u"REC0001.MP3"_s},
  };
  for (const auto& [what, in_folder, taken, mode, proposed] : cases) {
    QTemporaryDir dir;
    for (const QString& file : in_folder) {
      testing::WriteFileBytes(dir.filePath(file), "x");
    }
    EXPECT_EQ(ProposeRecordingName(dir.path(), mode, taken), proposed) << what;
  }
}

}  // namespace
}  // namespace parlatone
