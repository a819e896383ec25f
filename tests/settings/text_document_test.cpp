// SPDX-License-Identifier: GPL-3.0-or-later
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
  EXPECT_EQ(ReadTextDocument(dir.filePath(u"missing.txt"_s)), QString());
  EXPECT_EQ(ReadTextDocument(dir.path()), QString());  // a folder is no document
}

// The shipped documents: clean Shift-JIS, CR LF only, found where the program looks.
TEST(TextDocument, ShippedDocumentsAreCleanShiftJis) {
  for (const QString& name : {u"kyodaku.txt"_s, u"Release.txt"_s}) {
    SCOPED_TRACE(name.toStdString());
    const QByteArray bytes =
        ReadFileBytes(QStringLiteral(PARLATONE_SOURCE_DIR) + u"/resources/"_s + name);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_FALSE(cp932::Decode(bytes).contains(QChar(0xFFFD)));
    EXPECT_TRUE(bytes.count("\r\n") == bytes.count('\n') && bytes.count('\r') == bytes.count('\n'));
    EXPECT_EQ(ReadFileBytes(ShippedFilePath(name)), bytes);
    EXPECT_TRUE(ReadTextDocument(ShippedFilePath(name)).startsWith(u"Parlatone Editor "_s));
  }
}

}  // namespace
}  // namespace parlatone
