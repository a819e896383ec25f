// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
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

  MessageAnswer ShowMessage(const MessageRequest& request) override;
  // Every text shown so far, in order, for the JSON reports.
  const QStringList& ShownTexts() const { return shown_texts_; }
  void SetBusy(bool) override {}
  void SetProgress(const QString& caption, int value, int maximum) override;
  // The pauses of the procedures are there for the eye, to let a window
  // show its last step: without a window nothing waits.
  void Pause(int) override {}
  void ProcessPendingEvents() override {}

 private:
  QTextStream& err_;
  bool interactive_;
  bool progress_bar_;
  bool progress_shown_ = false;
  std::function<MessageAnswer(const MessageRequest&)> policy_;
  QStringList shown_texts_;
};

}  // namespace parlatone::cli
