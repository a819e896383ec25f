// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

#include "tools/fit_rules.h"
#include "tools/tools_session.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;

namespace parlatone {

class Choosers;
class FitPage;
class Operator;

// The sound tools window: stereo-to-mono conversion of a file or of a
// folder's WAVE files on the first page, a silent WAVE file of a chosen
// length on the second, any sound files made fit for the series on the
// third. The work and its rules are the session's; the window shows its
// state.
class FrmTools : public QDialog, public ToolsView {
  Q_OBJECT

 public:
  FrmTools(Operator& op, Choosers& choosers, const FitSeries& series = {},
           QWidget* parent = nullptr);
  ~FrmTools() override;

  void ShowBusy(bool busy) override;
  void ShowBar(ToolRun run, int value, int maximum) override;
  void SelectField(ToolField field) override;
  void CloseWindow() override;

 protected:
  void reject() override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildConversionPage();
  QWidget* BuildSilentPage();
  void ChooseUnit(bool folder_unit);
  void Browse(int index);
  void BrowseSilentFile();
  void StepTime(QLineEdit* box, int step);
  int MaximumOf(const QLineEdit* box) const;
  void OnConvert();
  void OnSilentFile();

  Operator& op_;
  Choosers& choosers_;
  std::unique_ptr<ToolsSession> session_;
  QTabBar* tabs_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  QRadioButton* units_[2] = {};
  QLabel* box_labels_[2] = {};
  QLineEdit* boxes_[2] = {};
  QPushButton* convert_ = nullptr;
  QProgressBar* convert_bar_ = nullptr;
  QLineEdit* minutes_ = nullptr;
  QLineEdit* seconds_ = nullptr;
  QComboBox* bits_ = nullptr;
  QComboBox* rate_ = nullptr;
  QLineEdit* silent_file_ = nullptr;
  QPushButton* make_silent_ = nullptr;
  QProgressBar* silent_bar_ = nullptr;
  FitPage* fit_page_ = nullptr;
};

}  // namespace parlatone
