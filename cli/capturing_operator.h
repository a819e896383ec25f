#pragma once

#include <QStringList>

#include "core/operator.h"

namespace parlatone::cli {

// Passes everything on to the terminal and keeps the texts shown, for the
// JSON reports.
class CapturingOperator : public Operator {
 public:
  explicit CapturingOperator(Operator& inner) : inner_(inner) {}
  MessageAnswer ShowMessage(const MessageRequest& request) override {
    texts << request.text;
    return inner_.ShowMessage(request);
  }
  void SetBusy(bool busy) override { inner_.SetBusy(busy); }
  void SetProgress(const QString& caption, int value, int maximum) override {
    inner_.SetProgress(caption, value, maximum);
  }
  void Pause(int milliseconds) override { inner_.Pause(milliseconds); }
  void ProcessPendingEvents() override { inner_.ProcessPendingEvents(); }

  QStringList texts;

 private:
  Operator& inner_;
};

}  // namespace parlatone::cli
