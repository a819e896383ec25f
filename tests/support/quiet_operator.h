// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/operator.h"

namespace parlatone::testing {

// An operator nobody watches, for the programs that run the code without a
// test looking on (benchmarks, fuzzers, the editing child): every question
// answered `answer`, notices acknowledged and counted, nothing shown.
class QuietOperator : public Operator {
 public:
  explicit QuietOperator(MessageAnswer answer = MessageAnswer::kNo) : answer_(answer) {}
  MessageAnswer ShowMessage(const MessageRequest& request) override {
    ++messages;
    return request.buttons == MessageButtons::kOk ? MessageAnswer::kOk : answer_;
  }
  void SetBusy(bool) override {}
  void SetProgress(const QString&, int, int) override {}
  void Pause(int) override {}
  void ProcessPendingEvents() override {}
  int messages = 0;

 private:
  MessageAnswer answer_;
};

}  // namespace parlatone::testing
