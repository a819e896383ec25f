#include "support/scripted_operator.h"

#include <gtest/gtest.h>

namespace parlatone::testing {

MessageAnswer ScriptedOperator::ShowMessage(const MessageRequest& request) {
  shown.push_back({request.number, request.text, request.title_number, request.title, request.icon,
                   request.buttons});
  if (request.buttons == MessageButtons::kOk) {
    return MessageAnswer::kOk;  // a notice: nothing to choose
  }
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected question " << request.number << ": " << request.text.toStdString();
    return request.buttons == MessageButtons::kOkCancel ? MessageAnswer::kCancel
                                                        : MessageAnswer::kNo;
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
  std::vector<int> numbers;
  for (const ShownMessage& message : shown) {
    numbers.push_back(message.number);
  }
  return numbers;
}

}  // namespace parlatone::testing
