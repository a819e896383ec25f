// SPDX-License-Identifier: GPL-3.0-or-later
// An operator that answers every question "no" and shows nothing, for
// fuzz targets that reach code which talks to the operator.
#pragma once

#include "core/operator.h"

namespace parlatone::fuzz {

class QuietOperator : public Operator {
 public:
  MessageAnswer ShowMessage(const MessageRequest&) override { return MessageAnswer::kNo; }
  void SetBusy(bool) override {}
  void SetProgress(const QString&, int, int) override {}
  void Pause(int) override {}
  void ProcessPendingEvents() override {}
};

}  // namespace parlatone::fuzz
