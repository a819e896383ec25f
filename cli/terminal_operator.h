#pragma once

#include <QTextStream>

#include "core/operator.h"

namespace parlatone::cli {

// The operator on a terminal: messages go to standard error with their
// title; questions are asked on the terminal when there is one, and
// otherwise take the safe answer (No, Cancel), so that a script never
// replaces or deletes anything it was not told to.
class TerminalOperator : public Operator {
 public:
  TerminalOperator(QTextStream& err, bool interactive);

  MessageAnswer ShowMessage(const MessageRequest& request) override;
  void SetBusy(bool) override {}
  void SetProgress(const QString& caption, int value, int maximum) override;
  void Pause(int milliseconds) override;
  void ProcessPendingEvents() override {}

 private:
  QTextStream& err_;
  bool interactive_;
};

}  // namespace parlatone::cli
