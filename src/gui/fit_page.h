// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

#include <atomic>
#include <functional>

#include "tools/fit_engine.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace parlatone {

class Choosers;
class Operator;

// The sound tools' page that makes any sound files fit the series: the
// files or folders to read, the options, the output folder, a bar, a run
// button that stops the run while it goes, and a closing summary.
class FitPage : public QFrame {
  Q_OBJECT

 public:
  // `busy` is told when a run starts and ends, so that the window can lock
  // what must not change meanwhile.
  FitPage(const FitSeries& series, Operator& op, Choosers& choosers, std::function<void(bool)> busy,
          QWidget* parent = nullptr);

  bool Running() const { return running_; }
  // Asks a run going on to stop at its next block.
  void RequestStop() { stop_ = true; }

  // The run with the page's settings; the summary when it has ended.
  FitRunResult Run();

 private:
  void AddFiles();
  void AddFolder();
  void ChooseOutput();
  void SetRunning(bool running);
  FitOptions Options() const;

  FitSeries series_;
  Operator& op_;
  Choosers& choosers_;
  std::function<void(bool)> busy_;
  QListWidget* sources_ = nullptr;
  QComboBox* rate_ = nullptr;
  QComboBox* bitrate_ = nullptr;
  QCheckBox* normalize_ = nullptr;
  QDoubleSpinBox* lufs_ = nullptr;
  QCheckBox* trim_ = nullptr;
  QLineEdit* output_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPushButton* run_ = nullptr;
  QListWidget* results_ = nullptr;
  QList<QWidget*> idle_only_;
  std::atomic<bool> stop_ = false;
  bool running_ = false;
  QString last_folder_;
};

}  // namespace parlatone
