#include "tools/tool_runs.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class ToolRunsTest : public ::testing::Test {
 protected:
  QString Wave(const QString& name, uint16_t channels) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(testing::WriteBytes(path, testing::WaveOfLength(22050, channels, 16, 200)));
    return path;
  }
  QStringList Texts() const {
    QStringList texts;
    for (const auto& shown : op_.shown) {
      texts << shown.text;
    }
    return texts;
  }
  ToolRunResult Convert(const ConversionRequest& request) {
    op_ = {};
    ConversionProgress progress;
    return RunConversion(request, op_, progress);
  }

  QTemporaryDir dir_;
  testing::ScriptedOperator op_;
};

TEST_F(ToolRunsTest, FileUnitChecksInOrder) {
  const QString stereo = Wave(u"st.wav"_s, 2);
  const QString out = dir_.filePath(u"mono.wav"_s);
  const std::vector<std::tuple<ConversionRequest, ToolField, QString>> cases = {
      {{false, {}, out}, ToolField::kSource, u"変換対象のファイルが指定されていません。"_s},
      {{false, dir_.filePath(u"none.wav"_s), out},
       ToolField::kSource,
       u"指定されたファイルが存在しません。"_s},
      {{false, stereo, {}}, ToolField::kOutput, u"出力ファイル名が指定されていません。"_s},
      {{false, stereo, stereo},
       ToolField::kOutput,
       u"変換するファイルと出力ファイル名が同じです。\r\n出力ファイル名は異なる場所または名前を指定してください。　　"_s},
      {{false, stereo, u"mono.wav"_s}, ToolField::kOutput, u"出力ファイル名が正しくありません。"_s},
  };
  for (const auto& [request, field, text] : cases) {
    const ToolRunResult result = Convert(request);
    EXPECT_FALSE(result.checked);
    EXPECT_EQ(result.field, field);
    EXPECT_EQ(Texts(), QStringList{text});
    EXPECT_EQ(op_.shown.at(0).title_number, msg::kTitleConfirm);
  }
  EXPECT_FALSE(QFile::exists(out));
}

TEST_F(ToolRunsTest, FileUnitRun) {
  const QString out = dir_.filePath(u"mono.wav"_s);
  const ToolRunResult result = Convert({false, Wave(u"st.wav"_s, 2), out});
  EXPECT_TRUE(result.checked);
  EXPECT_EQ(result.converted, 1);
  EXPECT_TRUE(op_.shown.empty());
  EXPECT_EQ(op_.progress.back().value, 100);
  EXPECT_EQ(op_.busy_depth, 0);
  EXPECT_EQ(testing::ReadFileBytes(out).size(), 44 + 8820);
  // An existing output asks first; No leaves it.
  ASSERT_TRUE(testing::WriteBytes(out, "keep"_ba));
  op_ = {};
  op_.Answer(MessageAnswer::kNo);
  ConversionProgress progress;
  EXPECT_FALSE(RunConversion({false, dir_.filePath(u"st.wav"_s), out}, op_, progress).checked);
  EXPECT_EQ(Texts(), QStringList{QString::fromUtf16(tool_text::kOverwrite)});
  EXPECT_EQ(testing::ReadFileBytes(out), "keep"_ba);
  // A mono source is refused by name and nothing is written.
  const ToolRunResult mono = Convert({false, Wave(u"mo.wav"_s, 1), dir_.filePath(u"x.wav"_s)});
  EXPECT_TRUE(mono.failed);
  EXPECT_EQ(Texts(), QStringList{u"mo.wav はステレオではありません。"_s});
  EXPECT_EQ(op_.shown.at(0).icon, MessageIcon::kInformation);
  EXPECT_FALSE(QFile::exists(dir_.filePath(u"x.wav"_s)));
  // A source that is not a WAVE file.
  ASSERT_TRUE(testing::WriteBytes(dir_.filePath(u"t.wav"_s), "text"_ba));
  Convert({false, dir_.filePath(u"t.wav"_s), dir_.filePath(u"y.wav"_s)});
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2601, 0}));
  EXPECT_EQ(op_.shown.back().text, u"情報の取得に失敗しました。処理を中止します。"_s);
}

TEST_F(ToolRunsTest, FolderUnitSkipsMonoFilesOnRequest) {
  Wave(u"in/a.wav"_s, 2);
  Wave(u"in/b.wav"_s, 1);
  Wave(u"in/c.wav"_s, 2);
  const QString in = dir_.filePath(u"in"_s);
  const QString out = dir_.filePath(u"out/deep"_s);
  op_ = {};
  op_.Answer(MessageAnswer::kYes);  // create the output folder
  op_.Answer(MessageAnswer::kYes);  // skip b.wav
  ConversionProgress progress;
  const ToolRunResult yes = RunConversion({true, in, out}, op_, progress);
  EXPECT_EQ(yes.converted, 2);
  EXPECT_EQ(yes.skipped, 1);
  EXPECT_EQ(
      Texts(),
      (QStringList{
          GetMessage(2045) + u"\r\n"_s + GetMessage(2046),
          u"b.wav はステレオではありません。\r\nこのファイルをスキップして処理を続けますか？　　"_s}));
  EXPECT_EQ(QDir(out).entryList(QDir::Files), (QStringList{u"a.wav"_s, u"c.wav"_s}));

  ASSERT_TRUE(QDir(out).removeRecursively());
  ASSERT_TRUE(QDir().mkpath(out));
  op_ = {};
  op_.Answer(MessageAnswer::kNo);  // do not skip: the run stops
  const ToolRunResult no = RunConversion({true, in, out}, op_, progress);
  EXPECT_EQ(no.converted, 0);
  EXPECT_TRUE(QDir(out).entryList(QDir::Files).isEmpty());

  // Only mono files: nothing to convert.
  Wave(u"mono/x.wav"_s, 1);
  op_ = {};
  op_.Answer(MessageAnswer::kYes);
  const ToolRunResult none = RunConversion({true, dir_.filePath(u"mono"_s), out}, op_, progress);
  EXPECT_TRUE(none.stereo_missing);
  EXPECT_EQ(Texts().back(), u"変換対象のファイルが見つかりません。処理を終了します。　"_s);
}

TEST_F(ToolRunsTest, FolderUnitChecks) {
  Wave(u"in/a.wav"_s, 2);
  const QString in = dir_.filePath(u"in"_s);
  Convert({true, in, in});
  EXPECT_EQ(
      Texts(),
      QStringList{
          u"変換対象フォルダと出力先フォルダが同じです。\r\n出力先フォルダは異なる場所を指定してください。　　"_s});
  Convert({true, dir_.filePath(u"none"_s), in});
  EXPECT_EQ(Texts(), QStringList{u"指定されたフォルダが存在しません。"_s});
  ASSERT_TRUE(QDir().mkpath(dir_.filePath(u"empty"_s)));
  Convert({true, dir_.filePath(u"empty"_s), in});
  EXPECT_EQ(Texts(), QStringList{u"フォルダ内に変換できるファイルがありません。"_s});
  op_ = {};
  op_.Answer(MessageAnswer::kNo);
  ConversionProgress progress;
  EXPECT_FALSE(RunConversion({true, in, dir_.filePath(u"new"_s)}, op_, progress).checked);
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath(u"new"_s)));
  // A folder that cannot be made.
  ASSERT_TRUE(testing::WriteBytes(dir_.filePath(u"blocker"_s), "x"_ba));
  op_ = {};
  op_.Answer(MessageAnswer::kYes);
  EXPECT_FALSE(RunConversion({true, in, dir_.filePath(u"blocker/sub"_s)}, op_, progress).checked);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{0, 2047}));
}

// The texts differ, the folder is the same: the identity test lets it
// through, and the engine must then refuse to write over the sources.
TEST_F(ToolRunsTest, SameFolderUnderAnotherNameLeavesTheSourcesAlone) {
  const QString a = Wave(u"in/a.wav"_s, 2);
  const QByteArray original = testing::ReadFileBytes(a);
  const QString in = dir_.filePath(u"in"_s);
  const ToolRunResult result = Convert({true, in, in + u"/"_s});
  EXPECT_TRUE(result.checked);
  EXPECT_TRUE(result.failed);
  EXPECT_EQ(Texts(), QStringList{QString::fromUtf16(tool_text::kEngineFailed)});
  EXPECT_EQ(testing::ReadFileBytes(a), original);
  EXPECT_EQ(QDir(in).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.wav"_s});
  EXPECT_EQ(op_.busy_depth, 0);
}

TEST_F(ToolRunsTest, SilentFileChecksAndRun) {
  const QString out = dir_.filePath(u"s.wav"_s);
  const std::vector<std::tuple<SilentFileRequest, ToolField, QString>> cases = {
      {{{}, u"05"_s, 16, 22050, out}, ToolField::kMinutes, u"時間（分）が入力されていません。"_s},
      {{u"00"_s, {}, 16, 22050, out}, ToolField::kSeconds, u"時間（秒）が入力されていません。"_s},
      {{u"00"_s, u"00"_s, 16, 22050, out},
       ToolField::kMinutes,
       u"０秒以上の時間を指定してください。"_s},
      {{u"00"_s, u"01"_s, 16, 22050, {}},
       ToolField::kSilentFile,
       u"出力ファイル名が指定されていません。"_s},
      {{u"00"_s, u"01"_s, 16, 22050, u"s.wav"_s},
       ToolField::kSilentFile,
       u"出力ファイル名が正しくありません。"_s},
  };
  for (const auto& [request, field, text] : cases) {
    op_ = {};
    ToolField failed = ToolField::kNone;
    EXPECT_FALSE(CheckSilentFile(request, op_, &failed));
    EXPECT_EQ(failed, field);
    EXPECT_EQ(Texts(), QStringList{text});
  }
  op_ = {};
  ConversionProgress progress;
  const ToolRunResult made = RunSilentFile({u"00"_s, u"02"_s, 8, 22050, out}, op_, progress);
  EXPECT_EQ(made.converted, 1);
  EXPECT_EQ(testing::ReadFileBytes(out).size(), 44 + 44100);
  EXPECT_EQ(op_.progress.back().value, 100);
  EXPECT_EQ(op_.busy_depth, 0);
  // Cancelled while it runs: the message, and no file.
  op_ = {};
  op_.Answer(MessageAnswer::kYes);  // overwrite
  progress.Cancel = 0;
  const QString big = dir_.filePath(u"big.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(big, "old"_ba));
  struct CancellingOperator : testing::ScriptedOperator {
    ConversionProgress* progress = nullptr;
    void SetProgress(const QString& caption, int value, int maximum) override {
      ScriptedOperator::SetProgress(caption, value, maximum);
      if (value == 1) {
        progress->Cancel = ConversionProgress::kCancelRequest;
      }
    }
  } cancelling;
  cancelling.progress = &progress;
  cancelling.Answer(MessageAnswer::kYes);
  const ToolRunResult stopped =
      RunSilentFile({u"10"_s, u"00"_s, 16, 44100, big}, cancelling, progress);
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_EQ(cancelling.shown.back().text, QString::fromUtf16(tool_text::kCancelled));
  EXPECT_EQ(testing::ReadFileBytes(big), "old"_ba);
}

}  // namespace
}  // namespace parlatone
