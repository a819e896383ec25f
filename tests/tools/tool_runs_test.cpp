#include "tools/tool_runs.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// Without a window (the command line), a run's bar and busy pointer are the
// operator's. The checks and runs as the window makes them are held, with
// their texts, in tools_session_test.cpp.
TEST(ToolRuns, WithoutAWindowTheOperatorShowsTheBarAndThePointer) {
  QTemporaryDir dir;
  const QString stereo = dir.filePath(u"st.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(stereo, testing::WaveOfLength(22050, 2, 16, 200)));
  for (const bool silent : {false, true}) {
    testing::ScriptedOperator op;
    ConversionProgress progress;
    const QString out = dir.filePath(silent ? u"s.wav"_s : u"m.wav"_s);
    const ToolRunResult result =
        silent ? RunSilentFile({u"00"_s, u"02"_s, 8, 22050, out}, op, progress)
               : RunConversion({false, stereo, out}, op, progress);
    EXPECT_EQ(result.converted, 1);
    EXPECT_EQ(testing::ReadFileBytes(out).size(), silent ? 44 + 44100 : 44 + 8820);
    ASSERT_FALSE(op.progress.empty());
    EXPECT_EQ(op.progress.front().value, 0);
    EXPECT_EQ(op.progress.back().value, 100);
    EXPECT_EQ(op.busy_depth, 0);
    EXPECT_EQ(op.max_busy_depth, 1);
    EXPECT_TRUE(op.shown.empty());
  }
}

}  // namespace
}  // namespace parlatone
