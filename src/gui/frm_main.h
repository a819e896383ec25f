#pragma once

#include <QMainWindow>

#include <memory>

#include "core/paths.h"
#include "editor/audition.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTabBar;
class QTimer;

namespace parlatone {

class Choosers;
class Operator;
class Project;
class ProgramGrid;
class ProgramTableModel;

// The editor's main window: the program grid under its page tabs, the ten
// command buttons, the toolbar, the legend, the file information line and
// the status bar.
class FrmMain : public QMainWindow, public AuditionView {
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

  // No menu of bars to hide: the toolbar carries every command.
  QMenu* createPopupMenu() override;

  ProgramGrid* Grid() const { return grid_; }
  ProgramTableModel* Model() const { return model_; }
  const Audition& CurrentAudition() const { return *audition_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildWindow();
  void UpdateTitle();
  void RebuildTabs();
  void ShowPage(int page);
  void SelectCell(const QModelIndex& index);
  void UpdateButtonsForCell(const QModelIndex& index);
  // Closes an open drop-down with its choice, as every button press does first.
  void CommitPendingEdit();
  int FirstEditedPage() const;

  // What the audition shows.
  void Highlight(int channel, bool on) override;
  void ShowChannel(int channel) override;
  void SetFileInfo(const QString& text) override;
  void SetAuditionLook(std::optional<AuditionKind> running) override;
  void SetPaused(bool paused) override;
  void SetTimer(bool enabled) override;
  void StartSingleAudition();

  void OnLoad();
  void OnWave();
  void OnCard();
  void OnSeting();
  void OnNew();
  void OnPrint();
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
  QTimer* sim_timer_ = nullptr;
  std::unique_ptr<Audition> audition_;
  bool switching_tabs_ = false;
  int cleared_listener_ = 0;
};

}  // namespace parlatone
