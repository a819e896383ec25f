// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QWidget>

#include "core/operator.h"
#include "core/progress_sink.h"

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

// Progress onto a window's own bar; the caption is the window's to show, and
// the bar keeps where it got when the work is done.
ProgressSink BarSink(QProgressBar& bar);

// The window that owns dialogs opened now: the active modal window, else the
// active window.
QWidget* DialogOwner();

}  // namespace parlatone
