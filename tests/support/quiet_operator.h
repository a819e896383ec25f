// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/operator.h"

namespace parlatone::testing {

// An operator nobody watches, for the programs that run the code without a
// test looking on (benchmarks, fuzzers, the editing child): every question
// given the answer that changes nothing, nothing shown.
class QuietOperator : public Operator {
 public:
  MessageAnswer ShowMessage(const MessageRequest& request) override {
    return SafeAnswer(request.buttons);
  }
  void SetBusy(bool) override {}
  void SetProgress(const QString&, int, int) override {}
  void Pause(int) override {}
  void ProcessPendingEvents() override {}
};

}  // namespace parlatone::testing
