#include "core/cp932.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

QByteArray Bytes(std::initializer_list<unsigned char> values) {
  QByteArray bytes;
  for (unsigned char value : values) {
    bytes.append(static_cast<char>(value));
  }
  return bytes;
}

TEST(Cp932, EncodesWindowsTableCharacters) {
  // ASCII stays itself, backslash and tilde included (SHIFT_JIS would turn them into ¥ and ‾).
  EXPECT_EQ(cp932::Encode(u"C:\\a~b"_s), QByteArray("C:\\a~b"));
  EXPECT_EQ(cp932::Encode(u"あ"_s), Bytes({0x82, 0xA0}));
  // NEC special characters exist only in the Windows table.
  EXPECT_EQ(cp932::Encode(u"①"_s), Bytes({0x87, 0x40}));
  EXPECT_EQ(cp932::Encode(u"Ⅰ"_s), Bytes({0x87, 0x54}));
  // Half-width katakana are single bytes.
  EXPECT_EQ(cp932::Encode(u"ｱｲｳ"_s), Bytes({0xB1, 0xB2, 0xB3}));
  // Characters whose trail byte is the backslash.
  EXPECT_EQ(cp932::Encode(u"ソ表"_s), Bytes({0x83, 0x5C, 0x95, 0x5C}));
  EXPECT_EQ(cp932::Encode(u"～"_s), Bytes({0x81, 0x60}));
}

TEST(Cp932, WritesOneQuestionMarkPerUnencodableCharacter) {
  EXPECT_EQ(cp932::Encode(u"caf\u00e9"_s), QByteArray("caf?"));
  EXPECT_EQ(cp932::Encode(u"a한b"_s), QByteArray("a?b"));
  // A character outside the BMP is one character, so one "?", not two.
  EXPECT_EQ(cp932::Encode(QString::fromUcs4(U"x\U0001F600y")), QByteArray("x?y"));
  // An unpaired surrogate cannot be encoded either.
  QString broken = u"a"_s;
  broken += QChar(0xD800);
  broken += u'b';
  EXPECT_EQ(cp932::Encode(broken), QByteArray("a?b"));
}

TEST(Cp932, DecodesValidText) {
  EXPECT_EQ(cp932::Decode(Bytes({0x83, 0x5C, 0x95, 0x5C, 0x5C})), u"ソ表\\"_s);
  EXPECT_EQ(cp932::Decode(Bytes({0x87, 0x40, 0xB1})), u"①ｱ"_s);
  EXPECT_EQ(cp932::Decode(QByteArray("a\0b", 3)), QString(u"a\0b"_s));
  EXPECT_TRUE(cp932::Decode(QByteArray()).isEmpty());
}

TEST(Cp932, InvalidBytesBecomeReplacementCharactersWithoutEatingNeighbours) {
  const QString fffd(QChar(QChar::ReplacementCharacter));
  // A lead byte cut off at the end.
  EXPECT_EQ(cp932::Decode(Bytes({'a', 0x82})), u"a"_s + fffd);
  // A lead byte followed by a byte that cannot trail: the ASCII after it survives.
  EXPECT_EQ(cp932::Decode(Bytes({0x82, 0x20, 'b'})), fffd + u" b"_s);
  // Bytes that are never valid.
  EXPECT_EQ(cp932::Decode(Bytes({0xFF, 'x', 0xFF})), fffd + u"x"_s + fffd);
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

}  // namespace
}  // namespace parlatone
