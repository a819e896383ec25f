#include "core/text.h"
#include "core/cp932.h"
#include "core/ini_file.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/qt_printers.h"
#include "support/temp_env.h"

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

QByteArray Bytes(std::initializer_list<unsigned char> values) {
  return QByteArray(reinterpret_cast<const char*>(values.begin()), std::ssize(values));
}

struct TextBytes {
  QString text;
  QByteArray bytes;
};

TEST(Cp932, WindowsTableBothWaysQuestionMarksAndReplacementCharacters) {
  // Valid text, both ways. ASCII stays itself, backslash and tilde included (SHIFT_JIS would
  // turn them into ¥ and ‾); NEC special characters exist only in the Windows table; half-width
  // kana are single bytes; trail bytes may be the backslash.
  for (const TextBytes& c :
       {TextBytes{u"C:\\a~b"_s, "C:\\a~b"},
        {u"あ～①Ⅰｱ"_s, Bytes({0x82, 0xA0, 0x81, 0x60, 0x87, 0x40, 0x87, 0x54, 0xB1})},
        {u"ソ表\\"_s, Bytes({0x83, 0x5C, 0x95, 0x5C, 0x5C})},
        {QString(u"a\0b"_s), QByteArray("a\0b", 3)},
        {QString(), QByteArray()}}) {
    EXPECT_EQ(cp932::Encode(c.text), c.bytes) << c.text.toStdString();
    EXPECT_EQ(cp932::Decode(c.bytes), c.text) << c.text.toStdString();
  }
  // One "?" per character that cannot be encoded: outside the BMP too, and an unpaired surrogate.
  const QString unpaired = u"a"_s + QChar(0xD800) + u"b"_s;
  for (const TextBytes& c : {TextBytes{u"caf\u00e9"_s, "caf?"},
                             {u"a한b"_s, "a?b"},
                             {QString::fromUcs4(U"x\U0001F600y"), "x?y"},
                             {unpaired, "a?b"}}) {
    EXPECT_EQ(cp932::Encode(c.text), c.bytes) << c.bytes.toStdString();
  }
  // A bad lead or trail byte becomes U+FFFD and the ASCII next to it survives.
  const QString fffd(QChar(QChar::ReplacementCharacter));
  for (const TextBytes& c : {TextBytes{u"a"_s + fffd, Bytes({'a', 0x82})},
                             {fffd + u" b"_s, Bytes({0x82, 0x20, 'b'})},
                             {fffd + u"x"_s + fffd, Bytes({0xFF, 'x', 0xFF})}}) {
    EXPECT_EQ(cp932::Decode(c.bytes), c.text) << c.bytes.toHex().toStdString();
  }
}

TEST(Cp932, RandomBytesAlwaysDecodeAndDecodedTextIsStable) {
  QRandomGenerator random(932);
  for (int round = 0; round < 200; ++round) {
    QByteArray bytes(static_cast<qsizetype>(random.bounded(1, 600)), '\0');
    for (char& byte : bytes) {
      byte = static_cast<char>(random.bounded(256));
    }
    const QString text = cp932::Decode(bytes);
    // Never more characters than bytes, and never silently shorter than a
    // character per two bytes.
    ASSERT_LE(text.size(), bytes.size());
    ASSERT_GE(text.size() * 2, bytes.size());
    // Re-encoding what was decoded and decoding again changes nothing but the
    // replacement characters, which become "?".
    QString expected = text;
    expected.replace(QChar(QChar::ReplacementCharacter), u'?');
    ASSERT_EQ(cp932::Decode(cp932::Encode(text)), expected);
  }
}

TEST(Cp932, EveryDoubleByteCharacterRoundTripsToTheSameText) {
  int decoded = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead <= 0xDF) {
      continue;
    }
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const QByteArray pair =
          Bytes({static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)});
      const QString text = cp932::Decode(pair);
      if (text.contains(QChar(QChar::ReplacementCharacter))) {
        continue;
      }
      ++decoded;
      // The table has duplicates (NEC and IBM rows), so the bytes may differ;
      // the character must not.
      const QByteArray encoded = cp932::Encode(text);
      ASSERT_EQ(encoded.size(), 2) << std::hex << lead << ' ' << trail;
      ASSERT_EQ(cp932::Decode(encoded), text) << std::hex << lead << ' ' << trail;
    }
  }
  // JIS X 0208 alone has 6879 characters; the Windows table has more.
  EXPECT_GT(decoded, 7000);
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
  struct Case {
    const char* what;
    QByteArray before;
    const char* section;
    const char* key;
    QString value;
    QByteArray after;
  } cases[] = {
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
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QByteArray after = IniFile::SetValue(c.before, QString::fromLatin1(c.section),
                                               QString::fromLatin1(c.key), c.value);
    EXPECT_EQ(after, c.after);
    EXPECT_EQ(IniFile::FindValue(after, QString::fromLatin1(c.section), QString::fromLatin1(c.key)),
              QString(c.value).replace(u"\r\n"_s, u"  "_s));
  }
  // The line break of a value does not make a key of its second line.
  EXPECT_FALSE(IniFile::FindValue(std::end(cases)[-1].after, u"S"_s, u"X"_s).has_value());
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
  ASSERT_TRUE(IniFile::Write(path, u"UserData"_s, u"Company"_s, u"新会社"_s));
  QByteArray expected = cp932::Encode(kHandWritten);
  expected.replace(cp932::Encode(u"Company=株式会社テスト"_s), cp932::Encode(u"Company=新会社"_s));
  EXPECT_EQ(testing::ReadFileBytes(path), expected);
  EXPECT_EQ(IniFile::Read(path, u"USERDATA"_s, u"company"_s), u"新会社"_s);
  ASSERT_TRUE(IniFile::Write(path, {{u"SYSTEM"_s, u"Mode"_s, u"7"_s},
                                    {u"UserData"_s, u"Tel"_s, u"03-0000"_s},
                                    {u"SYSTEM"_s, u"CardName"_s, u"A1"_s}}));
  const QByteArray after = testing::ReadFileBytes(path);
  EXPECT_EQ(IniFile::FindValue(after, u"SYSTEM"_s, u"Mode"_s), u"7"_s);
  EXPECT_EQ(IniFile::FindValue(after, u"UserData"_s, u"Tel"_s), u"03-0000"_s);
  EXPECT_EQ(IniFile::FindValue(after, u"SYSTEM"_s, u"CardName"_s), u"A1"_s);
  EXPECT_TRUE(
      after.startsWith(cp932::Encode(u"; settings for the shop floor PC\r\n[system]\r\n"_s)));
  testing::WriteFileBytes(dir.filePath(u"blocker"_s), "x");
  EXPECT_FALSE(IniFile::Write(dir.filePath(u"blocker/settings.ini"_s), u"S"_s, u"k"_s, u"v"_s));
}

}  // namespace
}  // namespace parlatone
