// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <atomic>

#include "core/progress_sink.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace parlatone {

// The small window that shows how far card making got. The operator cannot
// close it: it goes when the work is done.
class FrmProgress : public QDialog {
  Q_OBJECT

 public:
  explicit FrmProgress(QWidget* parent = nullptr);

  // A maximum of 0 closes the window; anything else shows it with the bar
  // at the value and the caption in the label.
  void Show(const QString& caption, int value, int maximum);
  // Long work's progress into this window.
  ProgressSink Sink();

  // Work that may stop half-way gets a 中止 button (and Escape) that sets
  // the flag; the work stops at its next check and closes the window.
  void AllowStop(std::atomic<bool>* stop);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  QProgressBar* bar_ = nullptr;
  QLabel* label_ = nullptr;
  QPushButton* stop_button_ = nullptr;
  std::atomic<bool>* stop_ = nullptr;
  bool finishing_ = false;
};

}  // namespace parlatone
