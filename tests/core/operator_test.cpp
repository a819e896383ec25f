// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/operator.h"
#include "core/messages.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "support/scripted_operator.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(OperatorHelpers, NumberedMessagesCarryNumberTextAndTitleAndBusyScopesBalance) {
  testing::ScriptedOperator op;
  op.Answer(MessageAnswer::kNo);
  EXPECT_EQ(ShowMessage(op, 2021, msg::kTitleConfirm, MessageIcon::kExclamation),
            MessageAnswer::kOk);
  EXPECT_EQ(AskBeforeDiscarding(op, 2028), MessageAnswer::kNo);
  EXPECT_EQ(ShowText(op, u"指定のファイルa.wav は既に存在します。"_s, msg::kTitleConfirm,
                     MessageIcon::kExclamation),
            MessageAnswer::kOk);
  ASSERT_EQ(op.Numbers(), (std::vector<int>{2021, 2028, 0}));
  EXPECT_EQ(op.shown[0].text, GetMessage(2021));
  EXPECT_EQ(op.shown[0].title, u"確認"_s);
  EXPECT_EQ(op.shown[0].title_number, 2002);
  EXPECT_EQ(op.shown[1].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(op.shown[1].icon, MessageIcon::kQuestion);
  EXPECT_EQ(op.shown[1].default_answer, MessageAnswer::kNo);  // Enter keeps the voice
  EXPECT_EQ(op.shown[2].icon, MessageIcon::kExclamation);
  // BusyScope restores the pointer on every way out, an exception included.
  auto work = [&](bool fail) {
    BusyScope busy(op);
    BusyScope nested(op);
    if (fail) {
      throw std::runtime_error("disk gone");
    }
  };
  work(false);
  EXPECT_THROW(work(true), std::runtime_error);
  EXPECT_EQ(op.busy_depth, 0);
  EXPECT_EQ(op.max_busy_depth, 2);
}

}  // namespace
}  // namespace parlatone
