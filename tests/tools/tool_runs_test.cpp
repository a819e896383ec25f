#include "tools/tool_runs.h"

#include <QDir>
#include <QTemporaryDir>

#include <variant>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using Request = std::variant<ConversionRequest, SilentFileRequest>;

Request File(const QString& source, const QString& output) {
  return ConversionRequest{false, source, output};
}
Request Folder(const QString& source, const QString& output) {
  return ConversionRequest{true, source, output};
}
Request Silent(const QString& minutes, const QString& seconds, const QString& output) {
  return SilentFileRequest{minutes, seconds, 16, 22050, output};
}

// The checks of both pages in their order: the field a refusal points at and
// what the operator was shown (title "確認"; questions answered as the row
// says). The runs themselves are held in tools_session_test.cpp.
TEST(ToolChecks, RefusalsPointAtTheirFieldInOrder) {
  QTemporaryDir dir;
  const auto path = [&](const QString& name) { return dir.filePath(name); };
  const QString in = path(u"in"_s), out = path(u"mono.wav"_s), st = path(u"in/st.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(st, testing::WaveOfLength(22050, 2, 16, 200)));
  ASSERT_TRUE(QDir().mkpath(path(u"empty"_s)));
  ASSERT_TRUE(testing::WriteBytes(path(u"blocker"_s), "x"_ba));
  const QString ask_folder = GetMessage(2045) + u"\r\n"_s + GetMessage(2046);
  const auto kSource = ToolField::kSource, kOutput = ToolField::kOutput;
  const auto kMinutes = ToolField::kMinutes, kFile = ToolField::kSilentFile;
  struct Case {
    Request request;
    ToolField field;  // kNone: the check passes
    QString shown;    // the texts shown, joined by " | "
    std::optional<MessageAnswer> answer = std::nullopt;
  };
  const Case cases[] = {
      {File(QString(), out), kSource, u"変換対象のファイルが指定されていません。"_s},
      {File(path(u"none.wav"_s), out), kSource, u"指定されたファイルが存在しません。"_s},
      {File(st, QString()), kOutput, u"出力ファイル名が指定されていません。"_s},
      {File(st, st), kOutput,
       u"変換するファイルと出力ファイル名が同じです。\r\n"
       u"出力ファイル名は異なる場所または名前を指定してください。　　"_s},
      {File(st, u"mono.wav"_s), kOutput, u"出力ファイル名が正しくありません。"_s},
      // No to replacing or to making a folder ends the check without a message.
      {File(st, path(u"blocker"_s)), kOutput, QString::fromUtf16(tool_text::kOverwrite),
       MessageAnswer::kNo},
      {Folder(in, in), kOutput,
       u"変換対象フォルダと出力先フォルダが同じです。\r\n"
       u"出力先フォルダは異なる場所を指定してください。　　"_s},
      {Folder(path(u"none"_s), in), kSource, u"指定されたフォルダが存在しません。"_s},
      {Folder(path(u"empty"_s), in), kSource, u"フォルダ内に変換できるファイルがありません。"_s},
      {Folder(in, path(u"new"_s)), kOutput, ask_folder, MessageAnswer::kNo},
      {Folder(in, path(u"blocker/sub"_s)), kOutput, ask_folder + u" | "_s + GetMessage(2047),
       MessageAnswer::kYes},
      {Silent(QString(), u"05"_s, out), kMinutes, u"時間（分）が入力されていません。"_s},
      {Silent(u"00"_s, QString(), out), ToolField::kSeconds, u"時間（秒）が入力されていません。"_s},
      {Silent(u"00"_s, u"00"_s, out), kMinutes, u"０秒以上の時間を指定してください。"_s},
      {Silent(u"00"_s, u"01"_s, QString()), kFile, u"出力ファイル名が指定されていません。"_s},
      {Silent(u"00"_s, u"01"_s, u"s.wav"_s), kFile, u"出力ファイル名が正しくありません。"_s},
      {Silent(u"60"_s, u"59"_s, out), ToolField::kNone, QString()},  // the longest time
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown.toStdString());
    testing::ScriptedOperator op;
    if (c.answer) {
      op.Answer(*c.answer);
    }
    ToolField field = ToolField::kNone;
    const bool passed = std::holds_alternative<ConversionRequest>(c.request)
                            ? CheckConversion(std::get<ConversionRequest>(c.request), op, &field)
                            : CheckSilentFile(std::get<SilentFileRequest>(c.request), op, &field);
    EXPECT_EQ(passed, c.field == ToolField::kNone);
    EXPECT_EQ(field, c.field);
    QStringList shown;
    for (const auto& message : op.shown) {
      shown << message.text;
      EXPECT_EQ(message.title_number, msg::kTitleConfirm);
    }
    EXPECT_EQ(shown.join(u" | "_s), c.shown);
    EXPECT_TRUE(op.AllAnswersUsed());
  }
  EXPECT_FALSE(QFileInfo::exists(out));
  EXPECT_FALSE(QFileInfo::exists(path(u"new"_s)));
  EXPECT_EQ(testing::ReadFileBytes(path(u"blocker"_s)), "x"_ba);
}

}  // namespace
}  // namespace parlatone
