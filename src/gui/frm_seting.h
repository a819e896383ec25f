// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

#include "core/paths.h"
#include "gui/window_context.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace parlatone {

class Choosers;
class Operator;
class Project;
class SettingsSession;

// The settings dialog: the card folder and file name, the interface
// language, the series, the auxiliary function (stereo files) and the version page with the two
// documents and the web site. It edits the session's copies; OK commits
// them and announces a confirmed series change.
class FrmSeting : public QDialog {
  Q_OBJECT

 public:
  // The pages of the tab strip, in order.
  enum Page { kSystemPage, kModePage, kAddFunctionPage, kVersionPage };

  explicit FrmSeting(const WindowContext& context, QWidget* parent = nullptr);
  ~FrmSeting() override;

  SettingsSession& Session() { return *session_; }
  void ShowPage(Page page);

 Q_SIGNALS:
  // OK committed another series: the project must start over in it.
  void SeriesChanged();

 protected:
  void reject() override;

 private:
  QWidget* BuildSystemPage();
  QWidget* BuildModePage();
  QWidget* BuildAddFunctionPage();
  QWidget* BuildVersionPage();
  void RefreshDescriptions();
  void OnBrowse();
  void OnOk();
  void ShowDocument(int caption_message, const QString& path);

  Project& project_;
  AppPaths paths_;
  Operator& op_;
  Choosers& choosers_;
  std::unique_ptr<SettingsSession> session_;
  QTabWidget* tabs_ = nullptr;
  QLineEdit* card_path_ = nullptr;
  QLineEdit* card_name_ = nullptr;
  QButtonGroup* modes_ = nullptr;
  QButtonGroup* add_function_ = nullptr;
  QButtonGroup* languages_ = nullptr;
  QLabel* descriptions_[8] = {};
};

}  // namespace parlatone
