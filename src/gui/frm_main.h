#pragma once

#include <QMainWindow>

#include "core/paths.h"

class QAction;
class QLabel;
class QPushButton;
class QTabBar;

namespace parlatone {

class Choosers;
class Operator;
class Project;
class ProgramGrid;
class ProgramTableModel;

// The editor's main window: the program grid under its page tabs, the ten
// command buttons, the toolbar, the legend, the file information line and
// the status bar.
class FrmMain : public QMainWindow {
  Q_OBJECT

 public:
  FrmMain(Project& project, AppPaths paths, Operator& op, Choosers& choosers,
          QWidget* parent = nullptr);
  ~FrmMain() override;

  // Rebuilds tabs and grid after a confirmed change of series and clears the
  // project.
  void ApplyModeChange();

  // Button states: 0 a voice cell selected, 1 idle, 2 single audition, 3 all audition.
  void SetButtonState(int state);
  void SetToolbarBusy(bool busy);

  ProgramGrid* Grid() const { return grid_; }
  ProgramTableModel* Model() const { return model_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildWindow();
  void RebuildTabs();
  void ShowPage(int page);
  void SelectCell(const QModelIndex& index);
  void UpdateButtonsForCell(const QModelIndex& index);
  // Closes an open drop-down with its choice, as every button press does first.
  void CommitPendingEdit();
  int FirstEditedPage() const;

  void OnLoad();
  void OnNew();
  void OnCommand(int index);
  void MoveVertically(int direction);
  void MoveSideways(int direction);
  void DeleteCell();

  Project& project_;
  AppPaths paths_;
  Operator& op_;
  Choosers& choosers_;
  ProgramTableModel* model_ = nullptr;
  ProgramGrid* grid_ = nullptr;
  QTabBar* tabs_ = nullptr;
  QLabel* status_panel_ = nullptr;
  QLabel* state_label_ = nullptr;
  QPushButton* commands_[10] = {};
  QAction* toolbar_actions_[7] = {};
  bool switching_tabs_ = false;
  int cleared_listener_ = 0;
};

}  // namespace parlatone
