// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "core/operator.h"

namespace parlatone::testing {

// What the operator was shown, as a test asserts on it.
struct ShownMessage {
  int number = 0;
  QString text;
  int title_number = 0;
  QString title;
  MessageIcon icon = MessageIcon::kNone;
  MessageButtons buttons = MessageButtons::kOk;
  std::optional<MessageAnswer> default_answer;
};

struct ProgressStep {
  QString caption;
  int value = 0;
  int maximum = 0;
};

// The operator of the tests: answers questions from a script, acknowledges
// plain notices by itself, and remembers everything it was shown. A question
// the script did not expect fails the test instead of hanging it.
class ScriptedOperator : public Operator {
 public:
  // Queue the answers to the next questions, in order.
  void Answer(MessageAnswer answer) { answers_.push_back(answer); }

  MessageAnswer ShowMessage(const MessageRequest& request) override;
  void SetBusy(bool busy) override;
  void SetProgress(const QString& caption, int value, int maximum) override;
  void Pause(int milliseconds) override { pauses.push_back(milliseconds); }
  void ProcessPendingEvents() override {}

  // Numbers of the messages shown, in order (0 for composed texts).
  std::vector<int> Numbers() const;
  bool AllAnswersUsed() const { return answers_.empty(); }

  // Runs while a question is open, as the event loop of a real message box
  // runs: whatever the window's signals do meanwhile happens under the question.
  std::function<void()> while_asking;

  std::vector<ShownMessage> shown;
  std::vector<ProgressStep> progress;
  std::vector<int> pauses;
  int busy_depth = 0;
  int max_busy_depth = 0;

 private:
  std::deque<MessageAnswer> answers_;
};

}  // namespace parlatone::testing
