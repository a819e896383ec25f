#pragma once

#include <QDialog>

#include <atomic>

#include "core/operator.h"

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

// Passes everything to the operator it wraps, except progress, which goes
// to a progress window of its own.
class ProgressWindowOperator : public Operator {
 public:
  ProgressWindowOperator(Operator& inner, QWidget* owner);
  ~ProgressWindowOperator() override;

  MessageAnswer ShowMessage(const MessageRequest& request) override;
  void SetBusy(bool busy) override;
  void SetProgress(const QString& caption, int value, int maximum) override;
  void Pause(int milliseconds) override;
  void ProcessPendingEvents() override;

  FrmProgress* Window() const { return window_; }

 private:
  Operator& inner_;
  FrmProgress* window_;
};

}  // namespace parlatone
