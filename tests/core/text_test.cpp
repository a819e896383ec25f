#include "core/text.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(NameTests, ByteLengthFullWidthAndForbiddenCharacters) {
  EXPECT_EQ(AnsiByteLength(QString()), 0);
  EXPECT_EQ(AnsiByteLength(u"abc.wav"_s), 7);
  EXPECT_EQ(AnsiByteLength(u"ｱｲｳ"_s), 3);
  EXPECT_EQ(AnsiByteLength(u"①"_s), 2);
  EXPECT_EQ(AnsiByteLength(u"案内１.wav"_s), 10);
  // Twenty full-width characters are the 40-byte comment limit.
  EXPECT_EQ(AnsiByteLength(QString(20, QChar(u'あ'))), 40);
  EXPECT_FALSE(HasFullWidth(u"ABC_1.wav"_s));
  EXPECT_FALSE(HasFullWidth(u"ｱﾅｳﾝｽ.wav"_s));  // half-width katakana are one byte
  EXPECT_TRUE(HasFullWidth(u"１.wav"_s));      // full-width digit
  EXPECT_TRUE(HasFullWidth(u"あ"_s));
  // Characters the code page cannot hold would reach the card as "?", so a
  // name holding one is refused like a full-width name.
  EXPECT_TRUE(HasFullWidth(u"caf\u00e9.wav"_s));
  EXPECT_TRUE(HasFullWidth(u"\u00a5.wav"_s));
  for (QChar c : u":?*|/\\><][)(-"_s) {
    EXPECT_TRUE(HasForbiddenChar(u"name"_s + c + u".wav"_s)) << int(c.unicode());
  }
  EXPECT_FALSE(HasForbiddenChar(u"a_b,c d.wav"_s));
  const QString expected = uR"x("-","(",")","[","]","<",">","\","/","|","*","?",":")x"_s;
  EXPECT_EQ(ForbiddenCharList(), expected);
}

TEST(TextHelpers, FolderFileNameRightBytesCutAtNulAndDefaults) {
  EXPECT_EQ(FolderOf(u"/home/op/voice/a.wav"_s), u"/home/op/voice"_s);
  EXPECT_EQ(FileNameOf(u"/home/op/voice/a.wav"_s), u"a.wav"_s);
  // A bare name is its own folder for FolderOf, but has no folder for FileNameOf.
  EXPECT_EQ(FolderOf(u"a.wav"_s), u"a.wav"_s);
  QString folder = u"untouched"_s;
  EXPECT_EQ(FileNameOf(u"a.wav"_s, &folder), u"a.wav"_s);
  EXPECT_TRUE(folder.isEmpty());
  EXPECT_EQ(FileNameOf(u"/card/x/"_s, &folder), QString());
  EXPECT_EQ(folder, u"/card/x"_s);
  // RightBytes counts code page bytes.
  EXPECT_EQ(RightBytes(u"ANNOUNCE.WAV"_s, 3), u"WAV"_s);
  EXPECT_EQ(RightBytes(u"ab"_s, 3), u"ab"_s);
  EXPECT_EQ(RightBytes(u"x.ｗａｖ"_s, 4), u"ａｖ"_s);
  EXPECT_EQ(RightBytes(u"abc"_s, 0), QString());
  EXPECT_EQ(CutAtNul(QString(u"abc\0def"_s)), u"abc"_s);
  EXPECT_EQ(CutAtNul(u"abc"_s), u"abc"_s);
  EXPECT_EQ(TextOrDefault(QString(), u"0"_s), u"0"_s);
  EXPECT_EQ(TextOrDefault(u" "_s, u"0"_s), u"0"_s);
  EXPECT_EQ(TextOrDefault(u"  "_s, u"0"_s), u"  "_s);
  EXPECT_EQ(TextOrDefault(u"1.500"_s, u"0"_s), u"1.500"_s);
}

}  // namespace
}  // namespace parlatone
