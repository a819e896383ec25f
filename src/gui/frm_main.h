// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/editor_state.h"
#include "core/paths.h"
#include "editor/audition.h"
#include "gui/window_context.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTabBar;
class QTimer;

namespace parlatone {

class ChannelTimeline;

class Choosers;
class Operator;
class Project;
class ProgramGrid;
class ProgramTableModel;
class RecoveryKeeper;
class TableHistory;

// The editor's main window: the program grid under its page tabs, the ten
// command buttons, the toolbar, the legend, the file information line and
// the status bar.
class FrmMain : public QMainWindow, public AuditionView {
  Q_OBJECT

 public:
  explicit FrmMain(const WindowContext& context, QWidget* parent = nullptr);
  ~FrmMain() override;

  // Rebuilds tabs and grid after a confirmed change of series and clears the
  // project.
  void ApplyModeChange();

  // The command buttons under the grid, in the order they stand (their
  // objectNames are Command0 to Command9).
  enum class Command {
    kAudition,
    kMoveUp,
    kMoveDown,
    kMoveLeft,
    kMoveRight,
    kDelete,
    kAuditionAll,
    kBulkAssign,
    kDeleteAll,
    kPause,
  };
  static constexpr int kCommandCount = 10;
  // What the command buttons offer: a voice cell is selected, a cell of the
  // channel itself (No., SP, RP, 時間) of a channel with voices is, nothing
  // is, one channel is playing, all channels are.
  enum class ButtonState { kVoiceCell, kChannelCell, kIdle, kAuditionOne, kAuditionAll };
  void SetButtonState(ButtonState state);
  void SetToolbarBusy(bool busy);

  // No menu of bars to hide: the toolbar carries every command.
  QMenu* createPopupMenu() override;

  ProgramGrid* Grid() const { return grid_; }
  ProgramTableModel* Model() const { return model_; }
  TableHistory& History() const { return *history_; }
  RecoveryKeeper& Recovery() const { return *recovery_; }
  const EditorState& State() const { return state_; }

  // Loads a control file with the checks of LOAD, without its chooser: a
  // recent file, a file given at start or handed over by a second start.
  // False when it was not loaded (the operator has been told why).
  bool OpenFile(const QString& path);
  // At start: a recovery file left by a run that did not end cleanly is
  // offered for restoring.
  void OfferRecovery();
  // A second start wants the editor seen, with its file when it has one.
  // While a command of this window runs (its questions turn the event loop)
  // the file waits for the command's end: loaded in between, the rest of
  // the command would act on another project.
  void TakeHandedOverFile(const QString& path);

 Q_SIGNALS:
  // A file was loaded and is the project now.
  void ProjectLoaded(const QString& path);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void AcceptClose(QCloseEvent* event);

 private:
  // Runs `work` once no command runs (at once, on the next turn, when none does).
  void WhenIdle(std::function<void()> work);
  void RunIdleWork();
  // Held by every command for as long as it runs, questions included.
  class CommandScope {
   public:
    explicit CommandScope(FrmMain& window);
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

   private:
    FrmMain& window_;
  };

  WindowContext Context() const { return {project_, paths_, op_, choosers_}; }
  void BuildWindow();
  void UpdateTitle();
  void RebuildTabs();
  void ShowPage(int page);
  // The tab of the page in view, without the page change a click makes.
  void SelectTab(int page);
  // One way to start over (a new project, a loaded file, another series):
  // `clear` empties what the project held; then no page counts as edited,
  // nothing can be undone or recovered, the first page shows from its top.
  void StartFresh(const std::function<void()>& clear = {});
  // The settings dialog, open on `page` (a FrmSeting::Page).
  void ShowSettings(int page);
  void SelectCell(const QModelIndex& index);
  void UpdateTimeline();
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

  void BuildMenus();
  void UpdateUndoActions();
  void RebuildRecentMenu();
  void RememberFile(const QString& path);
  // The file the project now stands for (loaded, saved or restored from the
  // recovery file's note of it): the status bar and the recovery file say it.
  void SetProjectFile(const QString& path, bool restored = false);
  // A temporary save or a made card: the project is that file now.
  void TakeSavedFile(const QString& path);
  void SaveState();
  // The title's mark of unsaved changes: set while a page counts as edited.
  void UpdateModified();
  // Asks 2020 when a page was edited; false when the operator keeps the edits.
  bool MayDiscardEdits();
  void OnLoad();
  void OnTemporarySave();
  void OnPdf();
  void OnTools();
  void OnGuide();
  void OnVersion();
  void OnWave();
  void OnCard();
  void OnSeting();
  void OnNew();
  void OnPrint();
  // Each command button's work, after the cell being edited is taken.
  void RunCommand(Command command);
  QAction* CommandAction(Command command) const {
    return command_actions_[static_cast<size_t>(command)];
  }
  void BulkAssign();
  void DeleteAll();
  void MoveVertically(int direction);
  void MoveSideways(int direction);
  void DeleteCell();
  // 削除: the selected voice, or on a cell of the channel itself all its voices.
  void DeleteCommand();
  // The timeline follows the channel being played, with the play position.
  void ShowPlayPosition();

  Project& project_;
  AppPaths paths_;
  Operator& op_;
  Choosers& choosers_;
  ProgramTableModel* model_ = nullptr;
  ProgramGrid* grid_ = nullptr;
  ChannelTimeline* timeline_ = nullptr;
  QTabBar* tabs_ = nullptr;
  QLabel* status_panel_ = nullptr;
  QLabel* state_label_ = nullptr;
  // One action per command, shared by button, menu and shortcut: the buttons
  // follow their action's state and caption.
  std::array<QAction*, kCommandCount> command_actions_ = {};
  // The toolbar's commands, which wait while an audition plays.
  QAction* load_action_ = nullptr;
  QAction* clear_action_ = nullptr;
  QAction* wave_action_ = nullptr;
  QAction* seting_action_ = nullptr;
  QAction* card_action_ = nullptr;
  QAction* print_action_ = nullptr;
  QAction* quit_action_ = nullptr;
  QList<QAction*> toolbar_actions_;
  QAction* undo_action_ = nullptr;
  QAction* redo_action_ = nullptr;
  QAction* temporary_save_action_ = nullptr;
  QAction* pdf_action_ = nullptr;
  QAction* tools_action_ = nullptr;
  QAction* version_action_ = nullptr;
  QMenu* recent_menu_ = nullptr;
  QMenu* view_menu_ = nullptr;
  TableHistory* history_ = nullptr;
  bool busy_ = false;  // an audition runs
  RecoveryKeeper* recovery_ = nullptr;
  EditorState state_;
  QTimer* sim_timer_ = nullptr;
  std::unique_ptr<Audition> audition_;
  bool switching_tabs_ = false;
  int commands_running_ = 0;
  // What waits for the command in progress to end, in order.
  std::vector<std::function<void()>> when_idle_;
  int cleared_listener_ = 0;
};

}  // namespace parlatone
