#pragma once

#include <QTextStream>

#include <functional>

#include "core/operator.h"

namespace parlatone::cli {

// The operator on a terminal: messages go to standard error with their
// title; questions are asked on the terminal when there is one, and
// otherwise take the safe answer (No, Cancel), so that a script never
// replaces or deletes anything it was not told to.
class TerminalOperator : public Operator {
 public:
  // interactive: questions may be asked on the terminal; progress_bar: a
  // progress bar may be drawn on standard error.
  TerminalOperator(QTextStream& err, bool interactive, bool progress_bar);

  // A command that answers its questions itself (from its options) sets
  // this; the question and the answer taken are still printed.
  void AnswerQuestionsWith(std::function<MessageAnswer(const MessageRequest&)> policy) {
    policy_ = std::move(policy);
  }
  // Commands that run unattended skip the pauses meant for the eye.
  void SkipPauses(bool skip) { skip_pauses_ = skip; }

  MessageAnswer ShowMessage(const MessageRequest& request) override;
  void SetBusy(bool) override {}
  void SetProgress(const QString& caption, int value, int maximum) override;
  void Pause(int milliseconds) override;
  void ProcessPendingEvents() override {}

 private:
  QTextStream& err_;
  bool interactive_;
  bool progress_bar_;
  bool skip_pauses_ = false;
  bool progress_shown_ = false;
  std::function<MessageAnswer(const MessageRequest&)> policy_;
};

}  // namespace parlatone::cli
