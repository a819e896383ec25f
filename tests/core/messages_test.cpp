#include "core/messages.h"

#include <QFile>

#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include "core/series.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(Messages, InsertGoesAtTheDollarOrAtTheEndOrAlone) {
  // No shipped text holds "$", so the rule is checked on a table of our own.
  const auto table = ParseMessageTable(u"1\t\"a $ b $\"\n2\t\"plain\"\n"_s);
  EXPECT_EQ(InsertIntoMessage(table.at(1), u"X"_s), u"a X b $"_s);
  EXPECT_EQ(InsertIntoMessage(table.at(2), u"X"_s), u"plainX"_s);
  EXPECT_EQ(InsertIntoMessage(table.at(2), QString()), u"plain"_s);
  // The duplicate-name notice puts the file name after its text.
  EXPECT_EQ(GetMessage(2042, u"a.wav"_s), u" は既に登録されています。　　a.wav"_s);
  EXPECT_EQ(GetMessage(2027, u"CARD01.wpj"_s), u"コントロールデータ作成中....CARD01.wpj"_s);
  // An unknown number gives the insert alone.
  EXPECT_FALSE(HasMessage(1999));
  EXPECT_EQ(GetMessage(1999), QString());
  EXPECT_EQ(GetMessage(1999, u"x"_s), u"x"_s);
}

TEST(Messages, SourceFormatEscapesAndRejectsBrokenLines) {
  int bad = 0;
  const auto table = ParseMessageTable(
      u"# comment\n10\t\"a\\r\\nb\\n\\t\\\"q\\\" \\\\ \"\r\n"
      u"11\tno quotes\n12\t\"unknown \\x escape\"\n13\t\"ok\"\n13\t\"duplicate\"\nx\t\"bad number\"\n"_s,
      &bad);
  EXPECT_EQ(table.size(), 2u);
  EXPECT_EQ(table.at(10), u"a\r\nb\n\t\"q\" \\ "_s);
  EXPECT_EQ(table.at(13), u"ok"_s);
  EXPECT_EQ(bad, 4);
}

TEST(Messages, ShippedTableParsesWhole) {
  QFile file(QStringLiteral(PARLATONE_SOURCE_DIR "/resources/messages.txt"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  int bad = -1;
  const auto table = ParseMessageTable(QString::fromUtf8(file.readAll()), &bad);
  EXPECT_EQ(bad, 0);
  EXPECT_EQ(table, MessageTable());
  for (const auto& [number, text] : table) {
    EXPECT_GE(number, 1000);
    EXPECT_LE(number, 3007);
    EXPECT_FALSE(text.isEmpty()) << number;
  }
}

TEST(Messages, ExactTextsKeepTheirBlanksAndLineBreaks) {
  // Blanks and line breaks are part of how the boxes look; they must survive the table.
  EXPECT_EQ(GetMessage(2020), u"編集内容がクリアされますがよろしいですか？　\r\n"_s);
  EXPECT_EQ(GetMessage(2022),
            u"プログラム登録内容を全て上書きします。　　\nよろしいですか？　　"_s);
  EXPECT_EQ(GetMessage(2077), u"ファイル名に "_s);
}

TEST(Messages, EveryNumberTheSeriesTableNamesExists) {
  for (int mode = 0; mode < kSeriesCount; ++mode) {
    const SeriesInfo& series = Series(mode);
    EXPECT_TRUE(HasMessage(msg::kSeriesLabelBase + mode)) << mode;
    EXPECT_TRUE(HasMessage(series.description_message)) << mode;
    EXPECT_TRUE(HasMessage(series.description_message_stereo)) << mode;
    if (series.rate_refusal_message != 0) {
      EXPECT_TRUE(HasMessage(series.rate_refusal_message)) << mode;
    }
    for (int text = 0; text <= static_cast<int>(SeriesText::kForbiddenCharSuffix); ++text) {
      EXPECT_TRUE(HasMessage(SeriesMessage(static_cast<SeriesText>(text), mode)))
          << mode << ' ' << text;
    }
  }
  for (int number : {msg::kTitleConfirm, msg::kTitleCaution, msg::kTitleError}) {
    EXPECT_TRUE(HasMessage(number));
  }
}

}  // namespace
}  // namespace parlatone
