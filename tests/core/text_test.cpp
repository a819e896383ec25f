// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/text.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(NameTests, ByteLengthFullWidthAndForbiddenCharacters) {
  // Half-width kana are one byte; twenty full-width characters are the 40-byte comment limit.
  EXPECT_EQ(AnsiByteLength(u"ｱｲｳ.wav"_s), 7);
  EXPECT_EQ(AnsiByteLength(QString(20, QChar(u'あ'))), 40);
  // Characters the code page cannot hold would reach the card as "?", so a name holding one
  // is refused like a full-width name.
  const std::pair<QString, bool> widths[] = {{u"ABC_1.wav"_s, false},
                                             {u"ｱﾅｳﾝｽ.wav"_s, false},
                                             {u"１.wav"_s, true},
                                             {u"caf\u00e9.wav"_s, true}};
  for (const auto& [text, full] : widths) {
    EXPECT_EQ(HasFullWidth(text), full) << text.toStdString();
  }
  for (QChar c : u":?*|/\\><][)(-"_s) {
    EXPECT_TRUE(HasForbiddenChar(u"name"_s + c + u".wav"_s)) << int(c.unicode());
  }
  EXPECT_FALSE(HasForbiddenChar(u"a_b,c d.wav"_s));
  EXPECT_EQ(ForbiddenCharList(), uR"x("-","(",")","[","]","<",">","\","/","|","*","?",":")x"_s);
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
  for (const auto& [text, bytes, right] :
       {std::tuple{u"ANNOUNCE.WAV"_s, 3, u"WAV"_s}, std::tuple{u"ab"_s, 3, u"ab"_s},
        std::tuple{u"x.ｗａｖ"_s, 4, u"ａｖ"_s}, std::tuple{u"abc"_s, 0, QString()}}) {
    EXPECT_EQ(RightBytes(text, bytes), right) << text.toStdString();
  }
  EXPECT_EQ(CutAtNul(QString(u"abc\0def"_s)), u"abc"_s);
  // "" and one blank are missing; two blanks are a text.
  for (const QString& text : {QString(), u" "_s, u"  "_s, u"1.500"_s}) {
    EXPECT_EQ(TextOrDefault(text, u"0"_s), text.size() < 2 ? u"0"_s : text);
  }
}

}  // namespace
}  // namespace parlatone
