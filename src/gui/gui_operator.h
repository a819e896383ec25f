#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QWidget>

#include "core/operator.h"

namespace parlatone {

// The operator interface of the editor: Qt message boxes owned by the
// window in front, the wait cursor, a progress window, pauses that keep the
// windows painted.
class GuiOperator : public Operator {
 public:
  MessageAnswer ShowMessage(const MessageRequest& request) override;
  void SetBusy(bool busy) override;
  void SetProgress(const QString& caption, int value, int maximum) override;
  void Pause(int milliseconds) override;
  void ProcessPendingEvents() override;

 private:
  QPointer<QProgressDialog> progress_;
  int busy_depth_ = 0;
};

// An operator for work shown on a window's own bar: the progress goes to
// the bar, questions, notices and pauses to the operator underneath.
class BarOperator : public Operator {
 public:
  BarOperator(Operator& inner, QProgressBar& bar) : inner_(inner), bar_(bar) {}
  MessageAnswer ShowMessage(const MessageRequest& request) override {
    return inner_.ShowMessage(request);
  }
  void SetBusy(bool busy) override { inner_.SetBusy(busy); }
  void SetProgress(const QString& caption, int value, int maximum) override;
  void Pause(int milliseconds) override { inner_.Pause(milliseconds); }
  void ProcessPendingEvents() override { inner_.ProcessPendingEvents(); }

 private:
  Operator& inner_;
  QProgressBar& bar_;
};

// The window that owns dialogs opened now: the active modal window, else the
// active window.
QWidget* DialogOwner();

}  // namespace parlatone
