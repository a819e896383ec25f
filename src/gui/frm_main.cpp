// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>

#include <QToolBar>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

#include "controlfile/control_file_loader.h"
#include "controlfile/recovery_file.h"
#include "core/element_lists.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "editor/program_table.h"
#include "gui/channel_timeline.h"
#include "gui/choosers.h"
#include "gui/frm_card_make.h"
#include "gui/frm_guide.h"
#include "gui/frm_print.h"
#include "gui/frm_seting.h"
#include "gui/frm_tools.h"
#include "gui/frm_wave_add.h"
#include "gui/program_grid.h"
#include "gui/program_table_model.h"
#include "gui/recovery_keeper.h"
#include "gui/table_history.h"
#include "gui/window_helpers.h"
#include "sound/media.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

struct ToolbarEntry {
  const char* key;
  const char* text;
  const char* tip;  // what the command does, not its caption again
  bool gap_before = false;
};
constexpr ToolbarEntry kToolbar[] = {
    {"LOAD", QT_TRANSLATE_NOOP("parlatone::FrmMain", "ファイル読込"),
     QT_TRANSLATE_NOOP("parlatone::FrmMain",
                       "コントロールファイルか一時保存ファイルを読み込みます")},
    {"NEW", QT_TRANSLATE_NOOP("parlatone::FrmMain", "データ初期化"),
     QT_TRANSLATE_NOOP("parlatone::FrmMain",
                       "編集中のSound、チャンネル、カード情報をすべて消去します")},
    {"WAVE", QT_TRANSLATE_NOOP("parlatone::FrmMain", "Sound登録"),
     QT_TRANSLATE_NOOP("parlatone::FrmMain", "使用するSoundファイルを登録・削除します")},
    {"SETING", QT_TRANSLATE_NOOP("parlatone::FrmMain", "詳細設定"),
     QT_TRANSLATE_NOOP("parlatone::FrmMain",
                       "シリーズ、ステレオの可否、カードデータの保存先を設定します")},
    {"CARD", QT_TRANSLATE_NOOP("parlatone::FrmMain", " ｶｰﾄﾞﾃﾞｰﾀ作成 "),
     QT_TRANSLATE_NOOP("parlatone::FrmMain",
                       "カード情報を入力し、一時保存やカードデータの作成をします"),
     true},
    {"PRINT", QT_TRANSLATE_NOOP("parlatone::FrmMain", "印刷"),
     QT_TRANSLATE_NOOP("parlatone::FrmMain",
                       "編集情報・コントロールデータ情報・Sound登録情報を印刷します")},
    {"APPEND", QT_TRANSLATE_NOOP("parlatone::FrmMain", "編集画面を閉じる"),
     QT_TRANSLATE_NOOP("parlatone::FrmMain", "エディタを終了します")}};

constexpr const char* kCommandCaptions[] = {QT_TRANSLATE_NOOP("parlatone::FrmMain", "試聴"),
                                            QT_TRANSLATE_NOOP("parlatone::FrmMain", "上移動"),
                                            QT_TRANSLATE_NOOP("parlatone::FrmMain", "下移動"),
                                            QT_TRANSLATE_NOOP("parlatone::FrmMain", "左移動"),
                                            QT_TRANSLATE_NOOP("parlatone::FrmMain", "右移動"),
                                            QT_TRANSLATE_NOOP("parlatone::FrmMain", "削除"),
                                            QT_TRANSLATE_NOOP("parlatone::FrmMain", "全試聴"),
                                            QT_TRANSLATE_NOOP("parlatone::FrmMain", "一括登録"),
                                            QT_TRANSLATE_NOOP("parlatone::FrmMain", "全削除"),
                                            QT_TRANSLATE_NOOP("parlatone::FrmMain", "一時停止")};
constexpr const char* kCommandTips[] = {
    QT_TRANSLATE_NOOP("parlatone::FrmMain", "選択したチャンネルを試聴します"),
    QT_TRANSLATE_NOOP("parlatone::FrmMain", "選択したSoundを前のチャンネルの同じ列へ移します"),
    QT_TRANSLATE_NOOP("parlatone::FrmMain", "選択したSoundを次のチャンネルの同じ列へ移します"),
    QT_TRANSLATE_NOOP("parlatone::FrmMain", "選択したSoundを同じチャンネルの左へ移します"),
    QT_TRANSLATE_NOOP("parlatone::FrmMain", "選択したSoundを同じチャンネルの右へ移します"),
    QT_TRANSLATE_NOOP("parlatone::FrmMain",
                      "選択したSoundをチャンネルから外します"
                      "（No.・SP・RP・時間の列では、そのチャンネルのSoundをすべて）"),
    QT_TRANSLATE_NOOP("parlatone::FrmMain", "すべてのチャンネルを順に試聴します"),
    QT_TRANSLATE_NOOP("parlatone::FrmMain", "登録したSoundを1チャンネルに1つずつ順に割り当てます"),
    QT_TRANSLATE_NOOP("parlatone::FrmMain", "すべてのチャンネルの割り当てを消去します"),
    QT_TRANSLATE_NOOP("parlatone::FrmMain", "全試聴を一時停止・再開します")};

}  // namespace

FrmMain::FrmMain(const WindowContext& context, QWidget* parent)
    : QMainWindow(parent),
      project_(context.project),
      paths_(context.paths),
      op_(context.op),
      choosers_(context.choosers) {
  setObjectName(u"FrmMain"_s);
  UpdateTitle();
  state_ = ReadEditorState(paths_.state_file);
  history_ = new TableHistory(project_, this);
  recovery_ = new RecoveryKeeper(project_, paths_.recovery_file, this);
  model_ = new ProgramTableModel(project_, DisplayedElementList(paths_.element_file, u"Sp"_s),
                                 DisplayedElementList(paths_.element_file, u"Repeat"_s), this);
  model_->SetHistory(history_);
  BuildWindow();
  BuildMenus();
  RebuildTabs();
  // Brought onto the screens there are now, however they changed.
  restoreGeometry(state_.main_geometry);
  sim_timer_ = new QTimer(this);
  sim_timer_->setObjectName(u"TmrSim"_s);
  sim_timer_->setInterval(50);
  audition_ = std::make_unique<Audition>(
      project_, *this, [](const QString& command) { return SendMediaCommand(command); },
      [this](const QString& path) { return FileInfoLine(path, project_.Mode(), op_); }, op_);
  connect(sim_timer_, &QTimer::timeout, this, [this] {
    audition_->Tick();
    ShowPlayPosition();
  });
  project_.ResetPrograms();
  cleared_listener_ = project_.AddClearedListener([this] { SetProjectFile({}); });
  SetButtonState(ButtonState::kIdle);
  connect(model_, &ProgramTableModel::CellEdited, this,
          [this] { UpdateButtonsForCell(grid_->currentIndex()); });
  // Undo and redo may fill or empty the selected cell.
  connect(history_, &TableHistory::Restored, this,
          [this] { UpdateButtonsForCell(grid_->currentIndex()); });
  connect(history_, &TableHistory::Changed, this, &FrmMain::UpdateModified);
  // Every change of the table is kept for recovery once the changes pause.
  connect(&history_->Stack(), &QUndoStack::indexChanged, recovery_, &RecoveryKeeper::Touch);
}

FrmMain::~FrmMain() {
  project_.RemoveClearedListener(cleared_listener_);
  // The undo stack says it can no longer undo while it is cleared on
  // destruction; by then this window is only a QWidget, so nothing of it
  // may hear that.
  history_->Stack().disconnect();
  model_->SetHistory(nullptr);
  delete history_;
}

FrmMain::CommandScope::CommandScope(FrmMain& window) : window_(window) {
  ++window_.commands_running_;
}

FrmMain::CommandScope::~CommandScope() {
  // Whatever the command changed, the title's mark follows.
  window_.UpdateModified();
  if (--window_.commands_running_ == 0 && !window_.when_idle_.empty()) {
    QTimer::singleShot(0, &window_, &FrmMain::RunIdleWork);
  }
}

void FrmMain::WhenIdle(std::function<void()> work) {
  when_idle_.push_back(std::move(work));
  if (commands_running_ == 0) {
    QTimer::singleShot(0, this, &FrmMain::RunIdleWork);
  }
}

void FrmMain::RunIdleWork() {
  // A command that started meanwhile runs first; its end calls again.
  if (commands_running_ > 0 || when_idle_.empty()) {
    return;
  }
  std::function<void()> work = std::move(when_idle_.front());
  when_idle_.erase(when_idle_.begin());
  if (!when_idle_.empty()) {
    QTimer::singleShot(0, this, &FrmMain::RunIdleWork);
  }
  work();
}

void FrmMain::BuildWindow() {
  auto* toolbar = addToolBar(u"Toolbar1"_s);
  toolbar->setObjectName(u"Toolbar1"_s);
  // Every command lives on it: it can be neither hidden nor moved away.
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  toolbar->toggleViewAction()->setVisible(false);
  toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (const ToolbarEntry& entry : kToolbar) {
    if (entry.gap_before) {
      auto* gap = new QWidget(toolbar);
      gap->setFixedWidth(24);
      toolbar->addWidget(gap);
    }
    QAction* action = toolbar->addAction(tr(entry.text));
    action->setObjectName(QString::fromLatin1(entry.key));
    action->setToolTip(tr(entry.tip));
    toolbar_actions_ << action;
  }
  const auto named = [toolbar](const char* key) {
    return toolbar->findChild<QAction*>(QString::fromLatin1(key), Qt::FindDirectChildrenOnly);
  };
  load_action_ = named("LOAD");
  clear_action_ = named("NEW");
  wave_action_ = named("WAVE");
  seting_action_ = named("SETING");
  card_action_ = named("CARD");
  print_action_ = named("PRINT");
  quit_action_ = named("APPEND");
  connect(wave_action_, &QAction::triggered, this, &FrmMain::OnWave);
  connect(seting_action_, &QAction::triggered, this, &FrmMain::OnSeting);
  connect(card_action_, &QAction::triggered, this, &FrmMain::OnCard);
  connect(load_action_, &QAction::triggered, this, &FrmMain::OnLoad);
  connect(clear_action_, &QAction::triggered, this, &FrmMain::OnNew);
  connect(print_action_, &QAction::triggered, this, &FrmMain::OnPrint);
  connect(quit_action_, &QAction::triggered, this, [this] {
    CommitPendingEdit();
    close();
  });

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  tabs_ = new QTabBar(central);
  tabs_->setObjectName(u"TabStrip"_s);
  tabs_->setExpanding(false);
  layout->addWidget(tabs_);
  grid_ = new ProgramGrid(central);
  grid_->SetModel(model_);
  layout->addWidget(grid_, 1);
  timeline_ = new ChannelTimeline(central);
  layout->addWidget(timeline_);

  auto* bottom = new QHBoxLayout();
  auto* tools = new QGroupBox(central);
  tools->setObjectName(u"FrmTool"_s);
  auto* buttons = new QGridLayout(tools);
  for (int i = 0; i < kCommandCount; ++i) {
    QAction* action = new QAction(tr(kCommandCaptions[i]), this);
    action->setObjectName(u"ActionCommand%1"_s.arg(i));
    action->setToolTip(tr(kCommandTips[i]));
    command_actions_[static_cast<size_t>(i)] = action;
    QPushButton* button = new QPushButton(action->text(), tools);
    button->setObjectName(u"Command%1"_s.arg(i));
    button->setToolTip(action->toolTip());
    buttons->addWidget(button, i / 5, i % 5);
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::changed, button, [action, button] {
      button->setEnabled(action->isEnabled());
      button->setText(action->text());
    });
    connect(action, &QAction::triggered, this, [this, i] { RunCommand(static_cast<Command>(i)); });
  }
  bottom->addWidget(tools, 2);
  auto* legend = new QGroupBox(central);
  legend->setObjectName(u"FrameKomento"_s);
  auto* legend_layout = new QVBoxLayout(legend);
  auto* legend_label = new QLabel(GetMessage(1010) + u"   "_s + GetMessage(1011), legend);
  legend_label->setObjectName(u"Lblkomento"_s);
  legend_layout->addWidget(legend_label);
  bottom->addWidget(legend, 1);
  layout->addLayout(bottom);
  auto* state = new QGroupBox(central);
  state->setObjectName(u"FrameState"_s);
  auto* state_layout = new QVBoxLayout(state);
  state_label_ = new QLabel(state);
  state_label_->setObjectName(u"LblState"_s);
  state_layout->addWidget(state_label_);
  layout->addWidget(state);
  setCentralWidget(central);

  auto* status = new QStatusBar(this);
  status->setObjectName(u"StatusBar1"_s);
  status_panel_ = new QLabel(status);
  status_panel_->setObjectName(u"StatusPanel1"_s);
  status_panel_->setContentsMargins(6, 0, 6, 0);
  status->addWidget(status_panel_, 1);
  setStatusBar(status);

  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    if (switching_tabs_ || index < 0) {
      return;
    }
    CommitPendingEdit();
    if (index != project_.CurrentPage) {
      ShowPage(index);
      SetButtonState(ButtonState::kIdle);
    }
  });
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { UpdateButtonsForCell(current); });
  connect(grid_, &ProgramGrid::DeletePressed, this, &FrmMain::DeleteCell);
  // The timeline follows the selected channel through every edit, undo and
  // page change.
  const auto follow = [this] { UpdateTimeline(); };
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, follow);
  connect(model_, &QAbstractItemModel::dataChanged, this, follow);
  connect(model_, &QAbstractItemModel::modelReset, this, follow);

  // The screen's work area, at most 1024 x 768.
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    resize(std::min(area.width(), 1024), std::min(area.height(), 768));
  }
}

void FrmMain::BuildMenus() {
  const auto action = [this](const QString& text, const char* name, const QString& tip) {
    auto* made = new QAction(text, this);
    made->setObjectName(QString::fromLatin1(name));
    made->setToolTip(tip);
    return made;
  };
  QAction* load = load_action_;
  QAction* clear = clear_action_;
  QAction* wave = wave_action_;
  QAction* seting = seting_action_;
  QAction* card = card_action_;
  QAction* print = print_action_;
  QAction* quit = quit_action_;
  load->setShortcut(QKeySequence::Open);
  clear->setShortcut(QKeySequence::New);
  print->setShortcut(QKeySequence::Print);
  quit->setShortcut(QKeySequence::Quit);
  temporary_save_action_ = action(tr("一時保存..."), "ActionTemporarySave",
                                  tr("編集中の内容を一時保存ファイルに保存します"));
  temporary_save_action_->setShortcut(QKeySequence::Save);
  connect(temporary_save_action_, &QAction::triggered, this, &FrmMain::OnTemporarySave);
  pdf_action_ = action(tr("PDF保存..."), "ActionPdf", tr("印刷する帳票をPDFファイルに保存します"));
  connect(pdf_action_, &QAction::triggered, this, &FrmMain::OnPdf);
  // The menu names the step ("元に戻す: 一括登録"); with none, the bare word.
  // A drop-down still open is committed first: it is the latest step.
  QUndoStack& stack = history_->Stack();
  const auto step_action = [&](QAction* made, const QString& word, const char* name,
                               const QString& tip, const QKeySequence& keys, auto text_changed,
                               void (QUndoStack::*run)()) {
    made->setObjectName(QString::fromLatin1(name));
    made->setToolTip(tip);
    made->setShortcut(keys);
    const auto bare = [made, word] {
      if (made->text() == word + u':') {
        made->setText(word);
      }
    };
    bare();
    connect(&stack, text_changed, made, bare);
    disconnect(made, &QAction::triggered, &stack, run);
    connect(made, &QAction::triggered, this, [this, run] {
      CommitPendingEdit();
      (history_->Stack().*run)();
    });
    return made;
  };
  undo_action_ = step_action(stack.createUndoAction(this, tr("元に戻す:")), tr("元に戻す"),
                             "ActionUndo", tr("チャンネルの最後の変更を取り消します"),
                             QKeySequence::Undo, &QUndoStack::undoTextChanged, &QUndoStack::undo);
  redo_action_ = step_action(stack.createRedoAction(this, tr("やり直し:")), tr("やり直し"),
                             "ActionRedo", tr("取り消した変更をやり直します"), QKeySequence::Redo,
                             &QUndoStack::redoTextChanged, &QUndoStack::redo);
  connect(&history_->Stack(), &QUndoStack::canUndoChanged, this, &FrmMain::UpdateUndoActions);
  connect(&history_->Stack(), &QUndoStack::canRedoChanged, this, &FrmMain::UpdateUndoActions);
  UpdateUndoActions();
  tools_action_ = action(tr("変換ツール"), "ActionTools",
                         tr("ステレオ/モノラル変換と無音データの作成をします"));
  connect(tools_action_, &QAction::triggered, this, &FrmMain::OnTools);
  QAction* guide = action(tr("ユーザーガイド"), "ActionGuide", tr("ユーザーガイドを開きます"));
  guide->setShortcut(QKeySequence::HelpContents);
  connect(guide, &QAction::triggered, this, &FrmMain::OnGuide);
  version_action_ = action(tr("バージョン情報"), "ActionVersion",
                           tr("バージョン、使用許諾契約書、更新履歴を表示します"));
  connect(version_action_, &QAction::triggered, this, &FrmMain::OnVersion);

  QMenuBar* bar = menuBar();
  bar->setObjectName(u"MenuBar"_s);
  QMenu* file = bar->addMenu(tr("ファイル(&F)"));
  file->setObjectName(u"MenuFile"_s);
  file->addAction(load);
  recent_menu_ = file->addMenu(tr("最近使ったファイル"));
  recent_menu_->setObjectName(u"MenuRecent"_s);
  file->addSeparator();
  file->addAction(temporary_save_action_);
  file->addAction(card);
  file->addSeparator();
  file->addAction(print);
  file->addAction(pdf_action_);
  file->addSeparator();
  file->addAction(quit);
  RebuildRecentMenu();

  QMenu* edit = bar->addMenu(tr("編集(&E)"));
  edit->setObjectName(u"MenuEdit"_s);
  edit->addAction(undo_action_);
  edit->addAction(redo_action_);
  edit->addSeparator();
  for (Command command : {Command::kMoveUp, Command::kMoveDown, Command::kMoveLeft,
                          Command::kMoveRight, Command::kDelete}) {
    edit->addAction(CommandAction(command));
  }
  edit->addSeparator();
  edit->addAction(CommandAction(Command::kBulkAssign));
  edit->addAction(CommandAction(Command::kDeleteAll));
  edit->addSeparator();
  edit->addAction(clear);

  view_menu_ = bar->addMenu(tr("表示(&V)"));
  view_menu_->setObjectName(u"MenuView"_s);
  for (Command command : {Command::kAudition, Command::kAuditionAll, Command::kPause}) {
    view_menu_->addAction(CommandAction(command));
  }

  QMenu* tools = bar->addMenu(tr("ツール(&T)"));
  tools->setObjectName(u"MenuTools"_s);
  tools->addAction(wave);
  tools->addAction(tools_action_);
  tools->addAction(seting);

  QMenu* help = bar->addMenu(tr("ヘルプ(&H)"));
  help->setObjectName(u"MenuHelp"_s);
  help->addAction(guide);
  help->addAction(version_action_);
}

void FrmMain::UpdateUndoActions() {
  undo_action_->setEnabled(!busy_ && history_->Stack().canUndo());
  redo_action_->setEnabled(!busy_ && history_->Stack().canRedo());
}

void FrmMain::RebuildRecentMenu() {
  recent_menu_->clear();
  for (const QString& path : state_.recent_files) {
    QAction* entry = recent_menu_->addAction(QDir::toNativeSeparators(path));
    connect(entry, &QAction::triggered, this, [this, path] {
      const CommandScope scope(*this);
      CommitPendingEdit();
      SetButtonState(ButtonState::kIdle);
      if (!QFileInfo(path).isFile()) {
        ShowText(op_,
                 tr("このファイルは見つかりません。最近使ったファイルの一覧から外します。\r\n%1")
                     .arg(QDir::toNativeSeparators(path)),
                 msg::kTitleConfirm, MessageIcon::kExclamation);
        state_.recent_files.removeAll(path);
        SaveState();
        RebuildRecentMenu();
        return;
      }
      if (MayDiscardEdits()) {
        OpenFile(path);
      }
    });
  }
  recent_menu_->setEnabled(!busy_ && !state_.recent_files.isEmpty());
}

void FrmMain::RememberFile(const QString& path) {
  RememberRecentFile(state_, path);
  SaveState();
  RebuildRecentMenu();
}

void FrmMain::SetProjectFile(const QString& path, bool restored) {
  recovery_->SetProjectFile(path);
  if (!restored) {
    status_panel_->setText(path);
  } else if (path.isEmpty()) {
    status_panel_->setText(tr("復元した編集内容（未保存）"));
  } else {
    status_panel_->setText(tr("%1（復元した編集内容・未保存）").arg(path));
  }
}

void FrmMain::TakeSavedFile(const QString& path) {
  RememberFile(path);
  SetProjectFile(path);
}

void FrmMain::SaveState() {
  state_.main_geometry = saveGeometry();
  WriteEditorState(paths_.state_file, state_);
}

void FrmMain::UpdateTitle() {
  // The series in the title: series 1 and 7 look alike until a window opens.
  setWindowTitle(GetMessage(1000) + u" - "_s + SeriesLabel(project_.Mode()).simplified() +
                 u"[*]"_s);
}

void FrmMain::UpdateModified() {
  setWindowModified(FirstEditedPage() >= 0);
}

void FrmMain::RebuildTabs() {
  switching_tabs_ = true;
  while (tabs_->count() > 0) {
    tabs_->removeTab(0);
  }
  const int pages = PageCount(project_.Mode());
  for (int page = 0; page < pages; ++page) {
    tabs_->addTab(PageCaption(project_.Mode(), page));
  }
  tabs_->setVisible(pages > 1);
  tabs_->setCurrentIndex(std::clamp(project_.CurrentPage, 0, pages - 1));
  switching_tabs_ = false;
  grid_->ApplyColumnLayout();
}

void FrmMain::ShowPage(int page) {
  model_->ShowPage(page);
  SelectTab(page);
}

void FrmMain::SelectTab(int page) {
  if (tabs_->currentIndex() != page) {
    switching_tabs_ = true;
    tabs_->setCurrentIndex(page);
    switching_tabs_ = false;
  }
}

void FrmMain::SetButtonState(ButtonState state) {
  const auto enable = [this](std::initializer_list<Command> commands, bool enabled) {
    for (Command command : commands) {
      CommandAction(command)->setEnabled(enabled);
    }
  };
  enable({Command::kAudition, Command::kMoveUp, Command::kMoveDown, Command::kMoveLeft,
          Command::kMoveRight, Command::kDelete, Command::kAuditionAll},
         false);
  switch (state) {
    case ButtonState::kVoiceCell:
      enable({Command::kAudition, Command::kMoveUp, Command::kMoveDown, Command::kMoveLeft,
              Command::kMoveRight, Command::kDelete, Command::kAuditionAll},
             true);
      break;
    case ButtonState::kChannelCell:
      // The channel's own cells stand for the whole channel: it can be
      // played or emptied from any of them.
      enable({Command::kAudition, Command::kDelete}, true);
      [[fallthrough]];
    case ButtonState::kIdle:
      enable({Command::kAuditionAll, Command::kBulkAssign, Command::kDeleteAll}, true);
      enable({Command::kPause}, false);
      break;
    case ButtonState::kAuditionOne:
      enable({Command::kAudition}, true);
      enable({Command::kBulkAssign, Command::kDeleteAll, Command::kPause}, false);
      CommandAction(Command::kAudition)->setText(tr("停止"));
      break;
    case ButtonState::kAuditionAll:
      enable({Command::kAuditionAll, Command::kPause}, true);
      enable({Command::kBulkAssign, Command::kDeleteAll}, false);
      CommandAction(Command::kAuditionAll)->setText(tr("停止"));
      CommandAction(Command::kPause)->setText(tr("一時停止"));
      break;
  }
}

void FrmMain::SetToolbarBusy(bool busy) {
  // The commands that open windows or change the project wait for an
  // audition to end, in the menus as on the toolbar.
  for (QAction* action : toolbar_actions_) {
    action->setEnabled(!busy);
  }
  for (QAction* action : {temporary_save_action_, pdf_action_, tools_action_, version_action_}) {
    if (action != nullptr) {
      action->setEnabled(!busy);
    }
  }
  if (recent_menu_ != nullptr) {
    recent_menu_->setEnabled(!busy);
  }
  busy_ = busy;
  UpdateUndoActions();
  if (!busy) {
    for (Command command : {Command::kAudition, Command::kAuditionAll, Command::kPause}) {
      CommandAction(command)->setText(tr(kCommandCaptions[static_cast<size_t>(command)]));
    }
  }
}

void FrmMain::UpdateTimeline() {
  // While a channel plays, the timeline is that channel's, wherever the
  // cursor is (it is parked while playing).
  if (audition_ != nullptr && audition_->CurrentChannel()) {
    ShowPlayPosition();
    return;
  }
  const QModelIndex current = grid_->currentIndex();
  const int channel = current.isValid() ? model_->ChannelAt(current.row()) : -1;
  timeline_->ShowChannel(project_, channel >= 0 && channel < kProgramRecordCount ? channel : -1);
}

void FrmMain::ShowPlayPosition() {
  const std::optional<Audition::PlayPoint> at = audition_->Where();
  if (!at) {
    timeline_->ClearPlayPoint();
    return;
  }
  if (timeline_->Channel() != at->channel) {
    timeline_->ShowChannel(project_, at->channel);
  }
  timeline_->SetPlayPoint(at->slot, at->pass, at->position_ms);
}

void FrmMain::UpdateButtonsForCell(const QModelIndex& index) {
  if (!index.isValid()) {
    return;
  }
  if (index.column() < kFirstVoiceColumn) {
    SetButtonState(model_->Table().HasVoices(model_->ChannelAt(index.row()))
                       ? ButtonState::kChannelCell
                       : ButtonState::kIdle);
    return;
  }
  const bool voice = model_->VoiceSlotAt(index.column()) >= 0;
  SetButtonState(voice && !IsEmptyVoice(index.data(Qt::EditRole).toString())
                     ? ButtonState::kVoiceCell
                     : ButtonState::kIdle);
}

void FrmMain::SelectCell(const QModelIndex& index) {
  if (!index.isValid()) {
    return;
  }
  grid_->setFocus();
  grid_->setCurrentIndex(index);
  grid_->scrollTo(index);
  UpdateButtonsForCell(index);
}

void FrmMain::CommitPendingEdit() {
  grid_->CommitOpenEditor();
}

int FrmMain::FirstEditedPage() const {
  for (int page = 0; page < kMaxPageCount; ++page) {
    if (project_.PageEdited[static_cast<size_t>(page)]) {
      return page;
    }
  }
  return -1;
}

bool FrmMain::MayDiscardEdits() {
  return FirstEditedPage() < 0 || AskBeforeDiscarding(op_, 2020) == MessageAnswer::kYes;
}

void FrmMain::OnLoad() {
  const CommandScope scope(*this);
  CommitPendingEdit();
  SetButtonState(ButtonState::kIdle);
  if (!MayDiscardEdits()) {
    return;
  }
  const QString path = choosers_.ChooseOpenFile(this, ProjectOpenFilter(project_.Mode()),
                                                project_.settings.CardPath, tr("ファイルを開く"));
  if (path.isEmpty()) {
    return;
  }
  OpenFile(path);
}

bool FrmMain::OpenFile(const QString& path) {
  if (!SoundFolderFor(project_, path)) {
    // The loader refuses another series' file without a word; the operator
    // must learn why nothing happened.
    ShowText(op_, ExtensionRefusalText(project_.Mode()), msg::kTitleConfirm,
             MessageIcon::kExclamation);
    return false;
  }
  // A file that does not load leaves the project as it was: its voices, its
  // undo steps, its recovery file and the file name in the status bar.
  if (!LoadWpjFile(project_, path, op_)) {
    return false;
  }
  StartFresh();
  grid_->setCurrentIndex(model_->index(0, kSpColumn));
  SetProjectFile(path);
  RememberFile(path);
  Q_EMIT ProjectLoaded(path);
  return true;
}

void FrmMain::TakeHandedOverFile(const QString& path) {
  // Seen first, whatever follows.
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  raise();
  activateWindow();
  if (path.isEmpty() || QApplication::activeModalWidget() != nullptr || audition_->Running()) {
    // A window or an audition is busy: the file waits for the operator.
    if (!path.isEmpty()) {
      ShowText(op_,
               tr("編集中の作業があるため、次のファイルは読み込みませんでした。\r\n%1")
                   .arg(QDir::toNativeSeparators(path)),
               msg::kTitleConfirm, MessageIcon::kExclamation);
    }
    return;
  }
  if (commands_running_ > 0) {
    WhenIdle([this, path] { TakeHandedOverFile(path); });
    return;
  }
  const CommandScope scope(*this);
  CommitPendingEdit();
  SetButtonState(ButtonState::kIdle);
  if (MayDiscardEdits()) {
    OpenFile(path);
  }
}

void FrmMain::OfferRecovery() {
  const CommandScope scope(*this);
  for (const int mode : {project_.Mode(), project_.Mode() == kMp3Mode ? 0 : kMp3Mode}) {
    const QString path = RecoveryFilePath(paths_.recovery_file, mode);
    const RecoveryCheck check = CheckRecoveryFile(path, project_.Mode());
    switch (check.state) {
      case RecoveryCheck::State::kNone:
        break;
      case RecoveryCheck::State::kDamaged:
        // Never half a project: it is refused whole.
        ShowText(op_,
                 tr("前回保存されずに終了した編集内容がありますが、"
                    "復元用のファイルが壊れているため復元できません。\r\n%1")
                     .arg(QDir::toNativeSeparators(path)),
                 msg::kTitleError, MessageIcon::kError);
        QFile::remove(path);
        break;
      case RecoveryCheck::State::kOtherSeries:
        ShowText(op_,
                 tr("前回保存されずに終了した編集内容がありますが、%1のものです。"
                    "このシリーズには読み込めません。\r\n"
                    "詳細設定でそのシリーズに切り替えて起動し直すと、復元できます。")
                     .arg(SeriesLabel(check.mode).simplified()),
                 msg::kTitleConfirm, MessageIcon::kExclamation);
        break;
      case RecoveryCheck::State::kUsable:
        if (ShowText(op_,
                     tr("前回保存されずに終了した編集内容があります。復元しますか？\r\n"
                        "「いいえ」を選ぶと、その内容は破棄されます。"),
                     msg::kTitleConfirm, MessageIcon::kQuestion,
                     MessageButtons::kYesNo) != MessageAnswer::kYes) {
          QFile::remove(path);
          break;
        }
        history_->Clear();
        if (RestoreRecoveryFile(project_, path, op_)) {
          recovery_->Adopt(path);
          ShowPage(0);
          SetProjectFile(check.project_file, true);
        } else {
          ShowPage(0);
        }
        break;
    }
  }
}

void FrmMain::OnTemporarySave() {
  const CommandScope scope(*this);
  CommitPendingEdit();
  SetButtonState(ButtonState::kIdle);
  FrmCardMake window(Context(), this);
  connect(&window, &FrmCardMake::Saved, this, &FrmMain::TakeSavedFile);
  window.TemporarySave();
  recovery_->Keep();
}

void FrmMain::OnPdf() {
  const CommandScope scope(*this);
  CommitPendingEdit();
  SetButtonState(ButtonState::kIdle);
  FrmPrint window(Context(), this);
  window.SavePdf();
}

void FrmMain::OnTools() {
  const CommandScope scope(*this);
  CommitPendingEdit();
  FrmTools window(op_, choosers_, FitSeries{project_.Mode(), project_.settings.StereoAccepted()},
                  this);
  window.exec();
}

void FrmMain::OnGuide() {
  ShowGuide(paths_.guide_file, op_, this);
}

void FrmMain::OnVersion() {
  ShowSettings(FrmSeting::kVersionPage);
}

void FrmMain::OnSeting() {
  ShowSettings(FrmSeting::kSystemPage);
}

void FrmMain::ShowSettings(int page) {
  const CommandScope scope(*this);
  CommitPendingEdit();
  SetButtonState(ButtonState::kIdle);
  FrmSeting dialog(Context(), this);
  dialog.ShowPage(static_cast<FrmSeting::Page>(page));
  connect(&dialog, &FrmSeting::SeriesChanged, this, &FrmMain::ApplyModeChange);
  dialog.exec();
}

void FrmMain::OnWave() {
  const CommandScope scope(*this);
  CommitPendingEdit();
  SetButtonState(ButtonState::kIdle);
  FrmWaveAdd window(Context(), this);
  window.restoreGeometry(state_.registration_geometry);
  window.exec();
  state_.registration_geometry = window.saveGeometry();
  SaveState();
  // Channels refer to voices by name: those no longer registered leave them.
  history_->Record(tr("登録されていないSoundの削除"), {}, [this] {
    model_->Table().PurgeUnregisteredVoices();
    return true;
  });
  recovery_->Touch();
}

void FrmMain::OnCard() {
  const CommandScope scope(*this);
  audition_->Stop();
  CommitPendingEdit();  // the grid's last edit belongs in the saved data
  FrmCardMake window(Context(), this);
  connect(&window, &FrmCardMake::Saved, this, &FrmMain::TakeSavedFile);
  connect(&window, &FrmCardMake::CardMade, this, [this](const QString& control_file) {
    TakeSavedFile(control_file);
    recovery_->Discard();  // the card holds the work now
  });
  window.exec();
  recovery_->Keep();
}

void FrmMain::OnPrint() {
  const CommandScope scope(*this);
  CommitPendingEdit();
  SetButtonState(ButtonState::kIdle);
  FrmPrint window(Context(), this);
  window.exec();
}

void FrmMain::OnNew() {
  const CommandScope scope(*this);
  CommitPendingEdit();
  SetButtonState(ButtonState::kIdle);
  if (AskBeforeDiscarding(op_, 2052) != MessageAnswer::kYes) {
    return;
  }
  StartFresh([this] {
    project_.ClearProject();
    project_.ResetPrograms();
  });
}

void FrmMain::ApplyModeChange() {
  UpdateTitle();
  StartFresh([this] {
    DeriveSeriesLimits(project_);
    project_.ResetPrograms();
    project_.ClearProject();
  });
  RebuildTabs();
}

void FrmMain::StartFresh(const std::function<void()>& clear) {
  model_->Replace([&] {
    if (clear) {
      clear();
    }
    project_.ClearPageEdited();
    project_.CurrentPage = 0;
  });
  history_->Clear();
  recovery_->Discard();
  SelectTab(0);
  grid_->scrollToTop();
  SetButtonState(ButtonState::kIdle);
  UpdateModified();
}

void FrmMain::RunCommand(Command command) {
  const CommandScope scope(*this);
  CommitPendingEdit();
  switch (command) {
    case Command::kAudition:
      StartSingleAudition();
      break;
    case Command::kMoveUp:
      MoveVertically(-1);
      break;
    case Command::kMoveDown:
      MoveVertically(+1);
      break;
    case Command::kMoveLeft:
      MoveSideways(-1);
      break;
    case Command::kMoveRight:
      MoveSideways(+1);
      break;
    case Command::kDelete:
      DeleteCommand();
      break;
    case Command::kAuditionAll:
      audition_->StartAll();
      break;
    case Command::kBulkAssign:
      BulkAssign();
      break;
    case Command::kDeleteAll:
      DeleteAll();
      break;
    case Command::kPause:
      audition_->PauseResume();
      break;
  }
}

void FrmMain::BulkAssign() {
  if (history_->Record(tr("一括登録"), {}, [this] { return model_->Table().BulkAssign(op_); })) {
    ShowPage(0);
    SetButtonState(ButtonState::kIdle);
    grid_->scrollToTop();
  }
}

void FrmMain::DeleteAll() {
  if (history_->Record(tr("全削除"), {}, [this] { return model_->Table().DeleteAll(op_); })) {
    SetButtonState(ButtonState::kIdle);
  }
}

void FrmMain::StartSingleAudition() {
  if (audition_->Running()) {
    audition_->Stop();  // the button reads "停止"
    return;
  }
  const QModelIndex current = grid_->currentIndex();
  if (!current.isValid() || !audition_->StartSingle(model_->ChannelAt(current.row()))) {
    SetButtonState(ButtonState::kIdle);
  }
}

void FrmMain::Highlight(int channel, bool on) {
  model_->SetHighlightedChannel(on ? channel : -1);
}

void FrmMain::ShowChannel(int channel) {
  const int page = PageOfChannel(project_, channel);
  if (page != project_.CurrentPage) {
    ShowPage(page);
  }
  grid_->scrollTo(model_->index(RowOfChannel(project_, channel) - kHeaderRows, kSpColumn));
}

void FrmMain::SetFileInfo(const QString& text) {
  state_label_->setText(text);
}

void FrmMain::SetAuditionLook(std::optional<AuditionKind> running) {
  grid_->SetLocked(running.has_value());
  if (!running) {
    // The channel just played stays in the timeline until a cell is chosen.
    timeline_->ClearPlayPoint();
    SetToolbarBusy(false);
    SetButtonState(ButtonState::kIdle);
    tabs_->setEnabled(true);
    grid_->viewport()->update();
    return;
  }
  // Starting parks the cursor, so that the cell under it does not open.
  grid_->clearSelection();
  grid_->setCurrentIndex(QModelIndex());
  SetToolbarBusy(true);
  SetButtonState(*running == AuditionKind::kAll ? ButtonState::kAuditionAll
                                                : ButtonState::kAuditionOne);
  if (*running == AuditionKind::kAll) {
    tabs_->setEnabled(false);
  }
}

void FrmMain::SetPaused(bool paused) {
  CommandAction(Command::kPause)
      ->setText(paused ? tr("再開") : tr(kCommandCaptions[static_cast<size_t>(Command::kPause)]));
}

void FrmMain::SetTimer(bool enabled) {
  if (enabled) {
    sim_timer_->start();
    ShowPlayPosition();
  } else {
    sim_timer_->stop();
  }
}

void FrmMain::MoveVertically(int direction) {
  const QModelIndex current = grid_->currentIndex();
  const int slot = current.isValid() ? model_->VoiceSlotAt(current.column()) : -1;
  if (slot < 0) {
    return;
  }
  const int channel = model_->ChannelAt(current.row());
  std::optional<ProgramTable::Position> moved;
  history_->Record(direction < 0 ? tr("上移動") : tr("下移動"), {channel - 1, channel, channel + 1},
                   [&] {
                     moved = direction < 0 ? model_->Table().MoveUp(channel, slot, op_)
                                           : model_->Table().MoveDown(channel, slot, op_);
                     return moved.has_value();
                   });
  if (!moved) {
    SelectCell(current);
    return;
  }
  const int target_page = PageOfChannel(project_, moved->channel);
  if (target_page != project_.CurrentPage) {
    ShowPage(target_page);
  }
  SelectCell(model_->IndexOf(moved->channel, moved->slot));
}

void FrmMain::MoveSideways(int direction) {
  const QModelIndex current = grid_->currentIndex();
  const int slot = current.isValid() ? model_->VoiceSlotAt(current.column()) : -1;
  if (slot < 0) {
    return;
  }
  const int channel = model_->ChannelAt(current.row());
  int to = slot;
  history_->Record(direction < 0 ? tr("左移動") : tr("右移動"), {channel}, [&] {
    to = direction < 0 ? model_->Table().MoveLeft(channel, slot)
                       : model_->Table().MoveRight(channel, slot);
    return true;
  });
  SelectCell(model_->IndexOf(channel, to));
}

void FrmMain::DeleteCell() {
  const QModelIndex current = grid_->currentIndex();
  const int slot = current.isValid() ? model_->VoiceSlotAt(current.column()) : -1;
  if (slot < 0) {
    return;
  }
  const int channel = model_->ChannelAt(current.row());
  history_->Record(tr("削除"), {channel}, [&] {
    model_->Table().Delete(channel, slot);
    return true;
  });
  SelectCell(current);
}

void FrmMain::DeleteCommand() {
  const QModelIndex current = grid_->currentIndex();
  if (!current.isValid() || current.column() >= kFirstVoiceColumn) {
    DeleteCell();
    return;
  }
  const int channel = model_->ChannelAt(current.row());
  if (!model_->Table().HasVoices(channel)) {
    return;
  }
  history_->Record(tr("チャンネルの削除"), {channel}, [&] {
    model_->Table().DeleteVoices(channel);
    return true;
  });
  SelectCell(current);
}

QMenu* FrmMain::createPopupMenu() {
  return nullptr;  // no menu of bars to hide: the toolbar carries every command
}

void FrmMain::closeEvent(QCloseEvent* event) {
  const CommandScope scope(*this);
  audition_->Stop();
  CommitPendingEdit();
  UpdateModified();
  if (isWindowModified()) {
    // No ends the program without saving: Enter keeps the editor open.
    MessageRequest request;
    request.number = 2024;
    request.text = GetMessage(2024);
    request.title_number = msg::kTitleConfirm;
    request.title = GetMessage(msg::kTitleConfirm);
    request.icon = MessageIcon::kQuestion;
    request.buttons = MessageButtons::kYesNoCancel;
    request.default_answer = MessageAnswer::kCancel;
    switch (op_.ShowMessage(request)) {
      case MessageAnswer::kNo:
        // Ending without saving is the operator's choice: nothing to recover.
        AcceptClose(event);
        return;
      case MessageAnswer::kYes:
        // The card data window is where the operator saves; the editor
        // stays open.
        event->ignore();
        // Once the close has been refused, not from inside it, and not
        // inside another command either.
        WhenIdle([this] { OnCard(); });
        return;
      default:
        event->ignore();
        return;
    }
  }
  if (ShowMessage(op_, 2025, msg::kTitleConfirm, MessageIcon::kQuestion, MessageButtons::kYesNo) ==
      MessageAnswer::kYes) {
    AcceptClose(event);
  } else {
    event->ignore();
  }
}

void FrmMain::AcceptClose(QCloseEvent* event) {
  SaveState();
  recovery_->Discard();
  event->accept();
}

}  // namespace parlatone
