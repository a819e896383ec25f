#include "settings/text_document.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "core/paths.h"
#include "support/qt_printers.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

TEST(TextDocument, LinesAreReadInShiftJisAndJoinedWithCrLf) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"doc.txt"_s);
  // "ソ" and "表" end in 0x5C, the byte of "\": still one character each.
  WriteFileBytes(path, cp932::Encode(u"第1条\r\nソ表\r\n\r\n以上\r\n"_s));
  EXPECT_EQ(ReadTextDocument(path), u"第1条\r\nソ表\r\n\r\n以上"_s);
  // Any line end reads as one; a last line without one is still a line.
  WriteFileBytes(path, "a\nb\rc\r\nd");
  EXPECT_EQ(ReadTextDocument(path), u"a\r\nb\r\nc\r\nd"_s);
  WriteFileBytes(path, QByteArray());
  EXPECT_EQ(ReadTextDocument(path), QString());
  EXPECT_EQ(ReadTextDocument(dir.filePath(u"missing.txt"_s)), QString());
  EXPECT_EQ(ReadTextDocument(dir.path()), QString());  // a folder is no document
}

// The two documents the program ships: Shift-JIS that decodes cleanly, CR LF
// line ends only, and found where the program looks for them.
TEST(TextDocument, ShippedDocumentsAreCleanShiftJis) {
  const struct {
    const char* name;
    QString first_line;
  } documents[] = {{"kyodaku.txt", u"Parlatone Editor 使用許諾契約書"_s},
                   {"Release.txt", u"Parlatone Editor 更新履歴"_s}};
  for (const auto& document : documents) {
    const QString name = QString::fromLatin1(document.name);
    const QByteArray bytes =
        ReadFileBytes(QStringLiteral(PARLATONE_SOURCE_DIR) + u"/resources/"_s + name);
    ASSERT_FALSE(bytes.isEmpty()) << document.name;
    const QString text = cp932::Decode(bytes);
    EXPECT_FALSE(text.contains(QChar(0xFFFD))) << document.name;
    EXPECT_EQ(cp932::Encode(text), bytes) << document.name;
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n')) << document.name;
    EXPECT_EQ(bytes.count('\r'), bytes.count('\n')) << document.name;
    EXPECT_TRUE(bytes.endsWith("\r\n")) << document.name;

    const QString shipped = ShippedFilePath(name);
    EXPECT_EQ(ReadFileBytes(shipped), bytes) << shipped.toStdString();
    EXPECT_TRUE(ReadTextDocument(shipped).startsWith(document.first_line + u"\r\n"_s));
  }
  EXPECT_TRUE(ReadTextDocument(ShippedFilePath(u"Release.txt"_s)).contains(u"3.0.1"_s));
}

}  // namespace
}  // namespace parlatone
