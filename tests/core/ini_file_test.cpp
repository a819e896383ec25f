#include "core/ini_file.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include "core/cp932.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

QByteArray Sjis(const QString& text) {
  return cp932::Encode(text);
}

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
  const QByteArray content = Sjis(kHandWritten);
  EXPECT_EQ(IniFile::FindValue(content, u"SYSTEM"_s, u"cardpath"_s), u"D:\\カード\\データ"_s);
  EXPECT_EQ(IniFile::FindValue(content, u"System"_s, u"MODE"_s), u"4"_s);
  EXPECT_EQ(IniFile::FindValue(content, u"userdata"_s, u"Company"_s), u"株式会社テスト"_s);
  // Only the first section of a name counts.
  EXPECT_FALSE(IniFile::FindValue(content, u"SYSTEM"_s, u"WavePath"_s).has_value());
  EXPECT_FALSE(IniFile::FindValue(content, u"SYSTEM"_s, u"stray line without equals"_s));
  EXPECT_FALSE(IniFile::FindValue(content, u"Missing"_s, u"Mode"_s).has_value());
  EXPECT_FALSE(IniFile::FindValue(QByteArray(), u"SYSTEM"_s, u"Mode"_s).has_value());
  // A key present with nothing after "=" is present and empty.
  EXPECT_EQ(IniFile::FindValue("[A]\nk=\n", u"A"_s, u"k"_s), QString());
}

TEST(IniRead, ShiftJisTrailBytesAreNotTakenForLetters) {
  // "ア" is 83 41 and "ヂ" 83 61: a byte-wise case-insensitive reader folds them into one key.
  const QByteArray content = Sjis(u"[E]\r\nア=first\r\nヂ=second\r\n"_s);
  EXPECT_EQ(IniFile::FindValue(content, u"E"_s, u"ヂ"_s), u"second"_s);
  EXPECT_EQ(IniFile::FindValue(content, u"E"_s, u"ア"_s), u"first"_s);
  // "ゼ" (83 5B) and "ゾ" (83 5D) carry "[" and "]" as trail bytes.
  const QByteArray brackets = Sjis(u"[E]\r\nk=ゼゾ\r\nnext=1\r\n"_s);
  EXPECT_EQ(IniFile::FindValue(brackets, u"E"_s, u"k"_s), u"ゼゾ"_s);
  EXPECT_EQ(IniFile::FindValue(brackets, u"E"_s, u"next"_s), u"1"_s);
}

TEST(IniWrite, ChangesOnlyTheKeyLine) {
  const QByteArray before = Sjis(kHandWritten);
  const QByteArray after = IniFile::SetValue(before, u"SYSTEM"_s, u"MODE"_s, u"7"_s);
  QByteArray expected = before;
  expected.replace("mode=4\r\n", "mode=7\r\n");  // spelling of the key kept
  EXPECT_EQ(after, expected);

  const QByteArray path_changed =
      IniFile::SetValue(before, u"system"_s, u"CardPath"_s, u"E:\\新"_s);
  QByteArray expected_path = before;
  expected_path.replace(Sjis(u"  CardPath = D:\\カード\\データ  \r\n"_s),
                        Sjis(u"CardPath=E:\\新\r\n"_s));
  EXPECT_EQ(path_changed, expected_path);
}

TEST(IniWrite, AddsKeyAtEndOfSectionAndSectionAtEndOfFile) {
  const QByteArray before = Sjis(kHandWritten);
  const QByteArray added = IniFile::SetValue(before, u"SYSTEM"_s, u"PrtSheet"_s, u"1,0,1"_s);
  // After the section's last line, before its trailing blank line.
  QByteArray expected = before;
  expected.replace("Mode=2\r\n", "Mode=2\r\nPrtSheet=1,0,1\r\n");
  EXPECT_EQ(added, expected);

  const QByteArray new_section = IniFile::SetValue(before, u"Other"_s, u"Key"_s, u"v"_s);
  EXPECT_EQ(new_section, before + "[Other]\r\nKey=v\r\n");

  // A last line without its line end gets one before anything is added.
  EXPECT_EQ(IniFile::SetValue("[A]\r\nx=1", u"B"_s, u"y"_s, u"2"_s),
            QByteArray("[A]\r\nx=1\r\n[B]\r\ny=2\r\n"));
  EXPECT_EQ(IniFile::SetValue("[A]\r\nx=1", u"A"_s, u"y"_s, u"2"_s),
            QByteArray("[A]\r\nx=1\r\ny=2\r\n"));
  // A file cut between the CR and the LF of its last line: the value reads
  // the same before and after a line is added.
  const QByteArray cut("[A]\r\nx=1\r");
  EXPECT_EQ(IniFile::FindValue(cut, u"A"_s, u"x"_s), u"1"_s);
  const QByteArray grown = IniFile::SetValue(cut, u"B"_s, u"y"_s, u"2"_s);
  EXPECT_EQ(grown, QByteArray("[A]\r\nx=1\r\n[B]\r\ny=2\r\n"));
  EXPECT_EQ(IniFile::FindValue(grown, u"A"_s, u"x"_s), u"1"_s);
  EXPECT_EQ(IniFile::SetValue(cut, u"A"_s, u"x"_s, u"1"_s), cut);  // nothing to change
  // ... even when that lone CR is the only line end of the file.
  EXPECT_EQ(IniFile::SetValue("[A]\r", u"A"_s, u"x"_s, u"1"_s), QByteArray("[A]\r\nx=1\r\n"));
  // Files with LF line ends keep them, except after a last line whose value
  // ends in a CR of its own: a bare LF there would take that CR away from
  // the value (found by fuzzing).
  EXPECT_EQ(IniFile::SetValue("[A]\nx=1\n", u"A"_s, u"y"_s, u"2"_s), QByteArray("[A]\nx=1\ny=2\n"));
  const QByteArray own_cr("[A]\nx=1\r\r");
  const std::optional<QString> read = IniFile::FindValue(own_cr, u"A"_s, u"x"_s);
  for (const QString& section : {u"A"_s, u"B"_s}) {
    const QByteArray added = IniFile::SetValue(own_cr, section, u"y"_s, u"2"_s);
    EXPECT_EQ(IniFile::FindValue(added, u"A"_s, u"x"_s), read) << section.toStdString();
    EXPECT_EQ(IniFile::FindValue(added, section, u"y"_s), u"2"_s);
  }
  EXPECT_EQ(IniFile::SetValue(QByteArray(), u"SYSTEM"_s, u"Mode"_s, u"1"_s),
            QByteArray("[SYSTEM]\r\nMode=1\r\n"));
}

TEST(IniWrite, KeyThatHoldsTheValueKeepsItsLine) {
  const QByteArray before = Sjis(kHandWritten);
  EXPECT_EQ(IniFile::SetValue(before, u"SYSTEM"_s, u"CardPath"_s, u"D:\\カード\\データ"_s), before);
  EXPECT_EQ(IniFile::SetValue(before, u"UserData"_s, u"Company"_s, u"株式会社テスト"_s), before);
  // An empty value is a value: the key is added when it is missing.
  EXPECT_EQ(
      IniFile::SetValue(before, u"UserData"_s, u"Fax"_s, QString()),
      Sjis(QString(kHandWritten)
               .replace(u"Company=株式会社テスト\r\n"_s, u"Company=株式会社テスト\r\nFax=\r\n"_s)));
}

TEST(IniWrite, ValuesAreWrittenInShiftJisOnOneLine) {
  const QByteArray written = IniFile::SetValue(QByteArray(), u"S"_s, u"k"_s, u"ソ表①\r\nX=1"_s);
  EXPECT_EQ(written, Sjis(u"[S]\r\nk=ソ表①  X=1\r\n"_s));
  EXPECT_EQ(IniFile::FindValue(written, u"S"_s, u"k"_s), u"ソ表①  X=1"_s);
  EXPECT_FALSE(IniFile::FindValue(written, u"S"_s, u"X"_s).has_value());
}

TEST(IniFileOnDisk, WriteKeepsTheRestOfAHandWrittenFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"sub/dir/settings.ini"_s);
  EXPECT_FALSE(IniFile::Read(path, u"SYSTEM"_s, u"Mode"_s).has_value());
  // Writing creates the folders and the file.
  ASSERT_TRUE(IniFile::Write(path, u"SYSTEM"_s, u"Mode"_s, u"1"_s));
  EXPECT_EQ(testing::ReadFileBytes(path), QByteArray("[SYSTEM]\r\nMode=1\r\n"));

  testing::WriteFileBytes(path, Sjis(kHandWritten));
  ASSERT_TRUE(IniFile::Write(path, u"UserData"_s, u"Company"_s, u"新会社"_s));
  QByteArray expected = Sjis(kHandWritten);
  expected.replace(Sjis(u"Company=株式会社テスト"_s), Sjis(u"Company=新会社"_s));
  EXPECT_EQ(testing::ReadFileBytes(path), expected);
  EXPECT_EQ(IniFile::Read(path, u"USERDATA"_s, u"company"_s), u"新会社"_s);
}

TEST(IniFileOnDisk, SeveralKeysInOneWrite) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"settings.ini"_s);
  testing::WriteFileBytes(path, Sjis(kHandWritten));
  ASSERT_TRUE(IniFile::Write(path, {{u"SYSTEM"_s, u"Mode"_s, u"7"_s},
                                    {u"UserData"_s, u"Tel"_s, u"03-0000"_s},
                                    {u"SYSTEM"_s, u"CardName"_s, u"A1"_s}}));
  const QByteArray after = testing::ReadFileBytes(path);
  EXPECT_EQ(IniFile::FindValue(after, u"SYSTEM"_s, u"Mode"_s), u"7"_s);
  EXPECT_EQ(IniFile::FindValue(after, u"UserData"_s, u"Tel"_s), u"03-0000"_s);
  EXPECT_EQ(IniFile::FindValue(after, u"SYSTEM"_s, u"CardName"_s), u"A1"_s);
  EXPECT_TRUE(after.startsWith(Sjis(u"; settings for the shop floor PC\r\n[system]\r\n"_s)));
  // None reaches a file that cannot be written.
  ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.ini"_s));
  EXPECT_FALSE(IniFile::Write(dir.filePath(u"folder.ini"_s), {{u"S"_s, u"a"_s, u"1"_s}}));
}

TEST(IniFileOnDisk, WriteFailureIsReportedAndLeavesNoFile) {
  QTemporaryDir dir;
  // A plain file where the folder should be: the folder cannot be made.
  testing::WriteFileBytes(dir.filePath(u"blocker"_s), "x");
  EXPECT_FALSE(IniFile::Write(dir.filePath(u"blocker/settings.ini"_s), u"S"_s, u"k"_s, u"v"_s));
  // A folder where the file should be: nothing to read, nothing written.
  ASSERT_TRUE(QDir(dir.path()).mkdir(u"is_a_folder.ini"_s));
  EXPECT_FALSE(IniFile::Write(dir.filePath(u"is_a_folder.ini"_s), u"S"_s, u"k"_s, u"v"_s));
}

}  // namespace
}  // namespace parlatone
