// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/scripted_operator.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace parlatone::testing {

namespace {

// Questions whose Yes throws work away: discard edits (2020), assign all
// voices anew (2022), discard voice changes (2026), delete one or all voices
// (2028, 2029), replace a card folder (2031), change the series (2048),
// clear the editor (2052), leave the settings unsaved (2074). Whatever test
// meets one checks that Enter would keep the work.
constexpr int kDiscardingQuestions[] = {2020, 2022, 2026, 2028, 2029, 2031, 2048, 2052, 2074};

}  // namespace

MessageAnswer ScriptedOperator::ShowMessage(const MessageRequest& request) {
  if (std::ranges::count(kDiscardingQuestions, request.number) > 0) {
    EXPECT_EQ(request.default_answer, MessageAnswer::kNo)
        << "question " << request.number << " must default to No";
  }
  shown.push_back({request.number, request.text, request.title_number, request.title, request.icon,
                   request.buttons, request.default_answer});
  if (request.buttons == MessageButtons::kOk) {
    return MessageAnswer::kOk;  // a notice: nothing to choose
  }
  if (while_asking) {
    while_asking();
  }
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected question " << request.number << ": " << request.text.toStdString();
    return SafeAnswer(request.buttons);
  }
  const MessageAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedOperator::SetBusy(bool busy) {
  busy_depth += busy ? 1 : -1;
  EXPECT_GE(busy_depth, 0) << "busy pointer switched off more often than on";
  max_busy_depth = std::max(max_busy_depth, busy_depth);
}

void ScriptedOperator::SetProgress(const QString& caption, int value, int maximum) {
  progress.push_back({caption, value, maximum});
}

std::vector<int> ScriptedOperator::Numbers() const {
  std::vector<int> numbers(shown.size());
  std::ranges::transform(shown, numbers.begin(), &ShownMessage::number);
  return numbers;
}

}  // namespace parlatone::testing
