// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cp932.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

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

}  // namespace
}  // namespace parlatone
