#include "core/messages.h"

#include <QFile>

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// No shipped text holds "$", so the insert rule is checked on a table of our own, which also
// holds every escape and every kind of broken line.
TEST(Messages, InsertGoesAtTheDollarOrAtTheEndOrAloneAndTheSourceFormat) {
  int bad = 0;
  const auto table = ParseMessageTable(
      u"# comment\n1\t\"a $ b $\"\n2\t\"plain\"\n10\t\"a\\r\\nb\\n\\t\\\"q\\\" \\\\ \"\r\n"
      u"11\tno quotes\n12\t\"unknown \\x escape\"\n13\t\"ok\"\n13\t\"duplicate\"\nx\t\"bad number\"\n"_s,
      &bad);
  EXPECT_EQ(table.size(), 4u);
  EXPECT_EQ(table.at(10), u"a\r\nb\n\t\"q\" \\ "_s);
  EXPECT_EQ(table.at(13), u"ok"_s);
  EXPECT_EQ(bad, 4);
  EXPECT_EQ(InsertIntoMessage(table.at(1), u"X"_s), u"a X b $"_s);
  EXPECT_EQ(InsertIntoMessage(table.at(2), u"X"_s), u"plainX"_s);
  // The duplicate-name notice puts the file name after its text.
  EXPECT_EQ(GetMessage(2042, u"a.wav"_s), u" は既に登録されています。　　a.wav"_s);
  // An unknown number gives the insert alone.
  EXPECT_FALSE(HasMessage(1999));
  EXPECT_EQ(GetMessage(1999, u"x"_s), u"x"_s);
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

}  // namespace
}  // namespace parlatone
