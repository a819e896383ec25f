// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ini_file.h"
#include "core/cp932.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

#include "support/qt_printers.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// A file as people really leave them: comments, a line without "=", blank
// lines, odd spacing and case, a duplicate key and a duplicate section.
const QString kHandWritten =
    u"; settings for the shop floor PC\r\n"
    u"[system]\r\n"
    u"  CardPath = D:\\カード\\データ  \r\n"
    u"mode=4\r\n"
    u"stray line without equals\r\n"
    u"Mode=2\r\n"
    u"\r\n"
    u"[UserData]\r\n"
    u"Company=株式会社テスト\r\n"
    u"\r\n"
    u"[SYSTEM]\r\n"
    u"WavePath=/ignored/second/section\r\n"_s;

TEST(IniRead, NamesIgnoreCaseAndBlanksAndFirstDuplicateWins) {
  const QByteArray content = cp932::Encode(kHandWritten);
  EXPECT_EQ(IniFile::FindValue(content, u"SYSTEM"_s, u"cardpath"_s), u"D:\\カード\\データ"_s);
  EXPECT_EQ(IniFile::FindValue(content, u"System"_s, u"MODE"_s), u"4"_s);
  EXPECT_EQ(IniFile::FindValue(content, u"userdata"_s, u"Company"_s), u"株式会社テスト"_s);
  // Only the first section of a name counts.
  EXPECT_FALSE(IniFile::FindValue(content, u"SYSTEM"_s, u"WavePath"_s).has_value());
  EXPECT_FALSE(IniFile::FindValue(content, u"SYSTEM"_s, u"stray line without equals"_s));
  EXPECT_FALSE(IniFile::FindValue(content, u"Missing"_s, u"Mode"_s).has_value());
  // A key present with nothing after "=" is present and empty.
  EXPECT_EQ(IniFile::FindValue("[A]\nk=\n", u"A"_s, u"k"_s), QString());
}

TEST(IniRead, ShiftJisTrailBytesAreNotTakenForLetters) {
  // "ア" is 83 41 and "ヂ" 83 61: a byte-wise case-insensitive reader folds them into one key.
  const QByteArray content = cp932::Encode(u"[E]\r\nア=first\r\nヂ=second\r\n"_s);
  EXPECT_EQ(IniFile::FindValue(content, u"E"_s, u"ヂ"_s), u"second"_s);
  EXPECT_EQ(IniFile::FindValue(content, u"E"_s, u"ア"_s), u"first"_s);
  // "ゼ" (83 5B) and "ゾ" (83 5D) carry "[" and "]" as trail bytes.
  const QByteArray brackets = cp932::Encode(u"[E]\r\nk=ゼゾ\r\nnext=1\r\n"_s);
  EXPECT_EQ(IniFile::FindValue(brackets, u"E"_s, u"k"_s), u"ゼゾ"_s);
  EXPECT_EQ(IniFile::FindValue(brackets, u"E"_s, u"next"_s), u"1"_s);
}

TEST(IniWrite, SetChangesOnlyWhatItMust) {
  const QByteArray hand = cp932::Encode(kHandWritten);
  const auto with = [](const QString& from, const QString& to) {
    return cp932::Encode(QString(kHandWritten).replace(from, to));
  };
  const QString company = u"Company=株式会社テスト\r\n"_s;
  const QByteArray cut("[A]\r\nx=1\r");  // cut between the CR and the LF of its last line
  // What, the file before, section, key, value; the file after.
  const std::tuple<const char*, QByteArray, const char*, const char*, QString, QByteArray> cases[] =
      {
          {"the key's line, keeping its spelling", hand, "SYSTEM", "MODE", u"7"_s,
           with(u"mode=4\r\n"_s, u"mode=7\r\n"_s)},
          {"blanks around go", hand, "system", "CardPath", u"E:\\新"_s,
           with(u"  CardPath = D:\\カード\\データ  \r\n"_s, u"CardPath=E:\\新\r\n"_s)},
          {"a key that holds the value", hand, "SYSTEM", "CardPath", u"D:\\カード\\データ"_s, hand},
          {"an empty value is a value", hand, "UserData", "Fax", QString(),
           with(company, company + u"Fax=\r\n"_s)},
          {"after the section's last line, before its blank line", hand, "SYSTEM", "PrtSheet",
           u"1,0,1"_s, with(u"Mode=2\r\n"_s, u"Mode=2\r\nPrtSheet=1,0,1\r\n"_s)},
          {"a new section at the end", hand, "Other", "Key", u"v"_s, hand + "[Other]\r\nKey=v\r\n"},
          {"a last line gets its line end", "[A]\r\nx=1", "B", "y", u"2"_s,
           "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
          {"also in its own section", "[A]\r\nx=1", "A", "y", u"2"_s, "[A]\r\nx=1\r\ny=2\r\n"},
          {"cut between CR and LF", cut, "B", "y", u"2"_s, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
          {"cut, nothing to change", cut, "A", "x", u"1"_s, cut},
          {"a lone CR, the only line end", "[A]\r", "A", "x", u"1"_s, "[A]\r\nx=1\r\n"},
          {"LF files stay LF", "[A]\nx=1\n", "A", "y", u"2"_s, "[A]\nx=1\ny=2\n"},
          {"an empty file", "", "SYSTEM", "Mode", u"1"_s, "[SYSTEM]\r\nMode=1\r\n"},
          {"Shift-JIS, on one line", "", "S", "k", u"ソ表①\r\nX=1"_s,
           cp932::Encode(u"[S]\r\nk=ソ表①  X=1\r\n"_s)},
      };
  for (const auto& [what, before, section_name, key_name, value, expected] : cases) {
    SCOPED_TRACE(what);
    const QString section = QString::fromLatin1(section_name), key = QString::fromLatin1(key_name);
    const QByteArray after = IniFile::SetValue(before, section, key, value);
    EXPECT_EQ(after, expected);
    EXPECT_EQ(IniFile::FindValue(after, section, key), QString(value).replace(u"\r\n"_s, u"  "_s));
  }
  // The line break of a value does not make a key of its second line.
  EXPECT_FALSE(IniFile::FindValue(std::get<5>(std::end(cases)[-1]), u"S"_s, u"X"_s).has_value());
  // After a last line whose value ends in a CR of its own, a bare LF would take that CR away
  // from the value (found by fuzzing).
  const QByteArray own_cr("[A]\nx=1\r\r");
  const std::optional<QString> read = IniFile::FindValue(own_cr, u"A"_s, u"x"_s);
  for (const QString& section : {u"A"_s, u"B"_s}) {
    const QByteArray added = IniFile::SetValue(own_cr, section, u"y"_s, u"2"_s);
    EXPECT_EQ(IniFile::FindValue(added, u"A"_s, u"x"_s), read) << section.toStdString();
    EXPECT_EQ(IniFile::FindValue(added, section, u"y"_s), u"2"_s);
  }
}

// A write creates the folders and keeps every other byte of a hand-written file; several keys
// go in one write; a plain file where the folder should be makes the write fail.
TEST(IniFileOnDisk, WritesKeepTheRestOfAHandWrittenFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"sub/dir/settings.ini"_s);
  EXPECT_FALSE(IniFile::Read(path, u"SYSTEM"_s, u"Mode"_s).has_value());
  ASSERT_TRUE(IniFile::Write(path, u"SYSTEM"_s, u"Mode"_s, u"1"_s));
  EXPECT_EQ(testing::ReadFileBytes(path), QByteArray("[SYSTEM]\r\nMode=1\r\n"));
  testing::WriteFileBytes(path, cp932::Encode(kHandWritten));
  EXPECT_EQ(IniFile::Read(path, u"USERDATA"_s, u"company"_s), u"株式会社テスト"_s);
  ASSERT_TRUE(IniFile::Write(path, {{u"SYSTEM"_s, u"Mode"_s, u"7"_s},
                                    {u"UserData"_s, u"Tel"_s, u"03-0000"_s},
                                    {u"SYSTEM"_s, u"CardName"_s, u"A1"_s}}));
  const QByteArray after = testing::ReadFileBytes(path);
  EXPECT_EQ((QStringList{*IniFile::FindValue(after, u"SYSTEM"_s, u"Mode"_s),
                         *IniFile::FindValue(after, u"UserData"_s, u"Tel"_s),
                         *IniFile::FindValue(after, u"SYSTEM"_s, u"CardName"_s)}),
            (QStringList{u"7"_s, u"03-0000"_s, u"A1"_s}));
  EXPECT_TRUE(
      after.startsWith(cp932::Encode(u"; settings for the shop floor PC\r\n[system]\r\n"_s)));
  testing::WriteFileBytes(dir.filePath(u"blocker"_s), "x");
  EXPECT_FALSE(IniFile::Write(dir.filePath(u"blocker/settings.ini"_s), u"S"_s, u"k"_s, u"v"_s));
}

}  // namespace
}  // namespace parlatone
