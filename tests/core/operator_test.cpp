// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/operator.h"
#include "core/messages.h"

#include <stdexcept>

#include <gtest/gtest.h>

#include "support/qt_printers.h"
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
  EXPECT_EQ(std::tuple(op.shown[0].text, op.shown[0].title, op.shown[0].title_number),
            std::tuple(GetMessage(2021), u"確認"_s, 2002));
  // Enter keeps the voice.
  EXPECT_EQ(std::tuple(op.shown[1].buttons, op.shown[1].icon, op.shown[1].default_answer,
                       op.shown[2].icon),
            std::tuple(MessageButtons::kYesNo, MessageIcon::kQuestion,
                       std::optional(MessageAnswer::kNo), MessageIcon::kExclamation));
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
  EXPECT_EQ(std::pair(op.busy_depth, op.max_busy_depth), std::pair(0, 2));
}

}  // namespace
}  // namespace parlatone
