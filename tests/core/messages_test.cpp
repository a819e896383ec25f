// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/messages.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// No shipped text holds "$", so the insert rule is checked on texts of our own.
TEST(Messages, InsertGoesAtTheDollarOrAtTheEndOrAlone) {
  EXPECT_EQ(InsertIntoMessage(u"a $ b $"_s, u"X"_s), u"a X b $"_s);
  EXPECT_EQ(InsertIntoMessage(u"plain"_s, u"X"_s), u"plainX"_s);
  // The duplicate-name notice puts the file name after its text.
  EXPECT_EQ(GetMessage(2042, u"a.wav"_s), u" は既に登録されています。　　a.wav"_s);
  // An unknown number gives the insert alone.
  EXPECT_FALSE(HasMessage(1999));
  EXPECT_EQ(GetMessage(1999, u"x"_s), u"x"_s);
}

TEST(Messages, ShippedTableIsWhole) {
  const auto table = MessageTable();
  for (const auto& [number, text] : table) {
    EXPECT_TRUE(number >= 1000 && number <= 3007 && !text.isEmpty()) << number;
  }
}

}  // namespace
}  // namespace parlatone
