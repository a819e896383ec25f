#include "gui/frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "controlfile/control_file_loader.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "editor/program_table.h"
#include "gui/choosers.h"
#include "gui/frm_card_make.h"
#include "gui/frm_print.h"
#include "gui/frm_seting.h"
#include "gui/frm_wave_add.h"
#include "gui/program_grid.h"
#include "gui/program_table_model.h"
#include "sound/media.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

struct ToolbarEntry {
  const char* key;
  const char16_t* text;
  const char16_t* tip;  // what the command does, not its caption again
};
constexpr ToolbarEntry kToolbar[] = {
    {"LOAD", u"ファイル読込", u"コントロールファイルか一時保存ファイルを読み込みます"},
    {"NEW", u"データ初期化", u"編集中のSound、チャンネル、カード情報をすべて消去します"},
    {"WAVE", u"Sound登録", u"使用するSoundファイルを登録・削除します"},
    {"SETING", u"詳細設定", u"シリーズ、ステレオの可否、カードデータの保存先を設定します"},
    {"CARD", u" ｶｰﾄﾞﾃﾞｰﾀ作成 ", u"カード情報を入力し、一時保存やカードデータの作成をします"},
    {"PRINT", u"印刷", u"編集情報・コントロールデータ情報・Sound登録情報を印刷します"},
    {"APPEND", u"編集画面を閉じる", u"エディタを終了します"}};

constexpr const char16_t* kCommandCaptions[] = {u"試聴",   u"上移動",  u"下移動", u"左移動",
                                                u"右移動", u"削除",    u"全試聴", u"一括登録",
                                                u"全削除", u"一時停止"};
constexpr const char16_t* kCommandTips[] = {u"選択したチャンネルを試聴します",
                                            u"選択したSoundを前のチャンネルの同じ列へ移します",
                                            u"選択したSoundを次のチャンネルの同じ列へ移します",
                                            u"選択したSoundを同じチャンネルの左へ移します",
                                            u"選択したSoundを同じチャンネルの右へ移します",
                                            u"選択したSoundをチャンネルから外します",
                                            u"すべてのチャンネルを順に試聴します",
                                            u"登録したSoundを1チャンネルに1つずつ順に割り当てます",
                                            u"すべてのチャンネルの割り当てを消去します",
                                            u"全試聴を一時停止・再開します"};

}  // namespace

FrmMain::FrmMain(Project& project, AppPaths paths, Operator& op, Choosers& choosers,
                 QWidget* parent)
    : QMainWindow(parent),
      project_(project),
      paths_(std::move(paths)),
      op_(op),
      choosers_(choosers) {
  setObjectName(u"FrmMain"_s);
  UpdateTitle();
  model_ = new ProgramTableModel(project_, ReadElementList(paths_.element_file, u"Sp"_s),
                                 ReadElementList(paths_.element_file, u"Repeat"_s), this);
  BuildWindow();
  RebuildTabs();
  sim_timer_ = new QTimer(this);
  sim_timer_->setObjectName(u"TmrSim"_s);
  sim_timer_->setInterval(50);
  audition_ = std::make_unique<Audition>(
      project_, *this, [](const QString& command) { return SendMediaCommand(command); },
      [this](const QString& path) { return FileInfoLine(path, project_.Mode(), op_); });
  connect(sim_timer_, &QTimer::timeout, this, [this] { audition_->Tick(); });
  project_.ResetPrograms();
  cleared_listener_ = project_.AddClearedListener([this] {
    status_panel_->clear();
    model_->Refresh();
  });
  SetButtonState(1);
  connect(model_, &ProgramTableModel::CellEdited, this,
          [this] { UpdateButtonsForCell(grid_->currentIndex()); });
}

FrmMain::~FrmMain() {
  project_.RemoveClearedListener(cleared_listener_);
}

void FrmMain::BuildWindow() {
  auto* toolbar = addToolBar(u"Toolbar1"_s);
  toolbar->setObjectName(u"Toolbar1"_s);
  // Every command lives on it: it can be neither hidden nor moved away.
  toolbar->setMovable(false);
  toolbar->setFloatable(false);
  toolbar->toggleViewAction()->setVisible(false);
  toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (int i = 0; i < 7; ++i) {
    if (i == 4) {
      auto* gap = new QWidget(toolbar);
      gap->setFixedWidth(24);
      toolbar->addWidget(gap);
    }
    QAction* action = toolbar->addAction(QString::fromUtf16(kToolbar[i].text));
    action->setObjectName(QString::fromLatin1(kToolbar[i].key));
    action->setToolTip(QString::fromUtf16(kToolbar[i].tip));
    toolbar_actions_[i] = action;
  }
  connect(toolbar_actions_[2], &QAction::triggered, this, &FrmMain::OnWave);
  connect(toolbar_actions_[3], &QAction::triggered, this, &FrmMain::OnSeting);
  connect(toolbar_actions_[4], &QAction::triggered, this, &FrmMain::OnCard);
  connect(toolbar_actions_[0], &QAction::triggered, this, &FrmMain::OnLoad);
  connect(toolbar_actions_[1], &QAction::triggered, this, &FrmMain::OnNew);
  connect(toolbar_actions_[5], &QAction::triggered, this, &FrmMain::OnPrint);
  connect(toolbar_actions_[6], &QAction::triggered, this, [this] {
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

  auto* bottom = new QHBoxLayout();
  auto* tools = new QGroupBox(central);
  tools->setObjectName(u"FrmTool"_s);
  auto* buttons = new QGridLayout(tools);
  for (int i = 0; i < 10; ++i) {
    commands_[i] = new QPushButton(QString::fromUtf16(kCommandCaptions[i]), tools);
    commands_[i]->setObjectName(u"Command%1"_s.arg(i));
    commands_[i]->setToolTip(QString::fromUtf16(kCommandTips[i]));
    buttons->addWidget(commands_[i], i / 5, i % 5);
    connect(commands_[i], &QPushButton::clicked, this, [this, i] { OnCommand(i); });
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
      SetButtonState(1);
    }
  });
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { UpdateButtonsForCell(current); });
  connect(grid_, &ProgramGrid::DeletePressed, this, &FrmMain::DeleteCell);

  // The screen's work area, at most 1024 x 768.
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    resize(std::min(area.width(), 1024), std::min(area.height(), 768));
  }
}

void FrmMain::UpdateTitle() {
  // The series in the title: series 1 and 7 look alike until a window opens.
  setWindowTitle(GetMessage(1000) + u" - "_s + SeriesLabel(project_.Mode()).simplified());
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
  model_->Refresh();
  grid_->ApplyColumnLayout();
}

void FrmMain::ShowPage(int page) {
  project_.CurrentPage = page;
  if (tabs_->currentIndex() != page) {
    switching_tabs_ = true;
    tabs_->setCurrentIndex(page);
    switching_tabs_ = false;
  }
  model_->Refresh();
}

void FrmMain::SetButtonState(int state) {
  for (int i = 0; i <= 6; ++i) {
    commands_[i]->setEnabled(false);
  }
  switch (state) {
    case 0:
      for (int i = 0; i <= 6; ++i) {
        commands_[i]->setEnabled(true);
      }
      break;
    case 1:
      for (int i : {6, 7, 8}) {
        commands_[i]->setEnabled(true);
      }
      commands_[9]->setEnabled(false);
      break;
    case 2:
      commands_[0]->setEnabled(true);
      for (int i : {7, 8, 9}) {
        commands_[i]->setEnabled(false);
      }
      commands_[0]->setText(u"停止"_s);
      break;
    default:
      commands_[6]->setEnabled(true);
      commands_[9]->setEnabled(true);
      commands_[7]->setEnabled(false);
      commands_[8]->setEnabled(false);
      commands_[6]->setText(u"停止"_s);
      commands_[9]->setText(u"一時停止"_s);
      break;
  }
}

void FrmMain::SetToolbarBusy(bool busy) {
  for (int i = 0; i < 7; ++i) {
    toolbar_actions_[i]->setEnabled(!busy);
  }
  if (!busy) {
    commands_[0]->setText(QString::fromUtf16(kCommandCaptions[0]));
    commands_[6]->setText(QString::fromUtf16(kCommandCaptions[6]));
    commands_[9]->setText(QString::fromUtf16(kCommandCaptions[9]));
  }
}

void FrmMain::UpdateButtonsForCell(const QModelIndex& index) {
  if (!index.isValid() || index.column() < kSpColumn) {
    return;
  }
  const bool voice = model_->VoiceSlotAt(index.column()) >= 0;
  SetButtonState(voice && !IsEmptyVoice(index.data(Qt::EditRole).toString()) ? 0 : 1);
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

void FrmMain::OnLoad() {
  CommitPendingEdit();
  SetButtonState(1);
  if (FirstEditedPage() >= 0 && AskBeforeDiscarding(op_, 2020) != MessageAnswer::kYes) {
    return;
  }
  const QString path = choosers_.ChooseOpenFile(this, false, ProjectOpenFilter(project_.Mode()),
                                                project_.settings.CardPath, u"ファイルを開く"_s);
  if (path.isEmpty()) {
    return;
  }
  project_.ClearProject();
  project_.ResetPrograms();
  project_.ClearPageEdited();
  if (!SoundFolderFor(project_, path)) {
    // The loader refuses another series' file without a word; the operator
    // must learn why nothing happened.
    ShowText(op_, ExtensionRefusalText(project_.Mode()), msg::kTitleConfirm,
             MessageIcon::kExclamation);
    ShowPage(0);
    return;
  }
  const bool loaded = LoadWpjFile(project_, path, op_);
  ShowPage(0);
  if (loaded) {
    grid_->scrollToTop();
    grid_->setCurrentIndex(model_->index(0, kSpColumn));
    status_panel_->setText(path);
  }
}

void FrmMain::OnWave() {
  CommitPendingEdit();
  SetButtonState(1);
  FrmWaveAdd window(project_, paths_, op_, choosers_, this);
  window.exec();
  // Channels refer to voices by name: those no longer registered leave them.
  model_->Table().PurgeUnregisteredVoices();
  model_->Refresh();
}

void FrmMain::OnCard() {
  audition_->Stop();
  CommitPendingEdit();  // the grid's last edit belongs in the saved data
  FrmCardMake window(project_, paths_, op_, choosers_, this);
  window.exec();
}

void FrmMain::OnSeting() {
  CommitPendingEdit();
  SetButtonState(1);
  project_.ModeChanged = false;
  {
    FrmSeting dialog(project_, paths_, op_, choosers_, this);
    dialog.exec();
  }
  UpdateTitle();
  if (project_.ModeChanged) {
    ApplyModeChange();
    SetButtonState(1);
    project_.ModeChanged = false;
  }
}

void FrmMain::OnPrint() {
  CommitPendingEdit();
  SetButtonState(1);
  FrmPrint window(project_, paths_, op_, choosers_, this);
  window.exec();
}

void FrmMain::OnNew() {
  CommitPendingEdit();
  SetButtonState(1);
  if (AskBeforeDiscarding(op_, 2052) != MessageAnswer::kYes) {
    return;
  }
  grid_->scrollToTop();
  project_.ClearProject();
  project_.ResetPrograms();
  project_.ClearPageEdited();
  project_.VoicesRegistered = false;
  ShowPage(0);
  SetButtonState(1);
}

void FrmMain::ApplyModeChange() {
  UpdateTitle();
  DeriveSeriesLimits(project_);
  project_.ClearPageEdited();
  project_.ResetPrograms();
  project_.ClearProject();
  project_.CurrentPage = 0;
  RebuildTabs();
  grid_->scrollToTop();
  SetButtonState(1);
}

void FrmMain::OnCommand(int index) {
  CommitPendingEdit();
  switch (index) {
    case 1:
      MoveVertically(-1);
      break;
    case 2:
      MoveVertically(+1);
      break;
    case 3:
      MoveSideways(-1);
      break;
    case 4:
      MoveSideways(+1);
      break;
    case 5:
      DeleteCell();
      break;
    case 7:
      if (model_->Table().BulkAssign(op_)) {
        ShowPage(0);
        SetButtonState(1);
        grid_->scrollToTop();
      }
      break;
    case 8:
      if (model_->Table().DeleteAll(op_)) {
        model_->Refresh();
        SetButtonState(1);
      }
      break;
    case 0:
      StartSingleAudition();
      break;
    case 6:
      audition_->StartAll();
      break;
    case 9:
      audition_->PauseResume();
      break;
    default:
      break;
  }
}

void FrmMain::StartSingleAudition() {
  if (audition_->Running()) {
    audition_->Stop();  // the button reads "停止"
    return;
  }
  const QModelIndex current = grid_->currentIndex();
  if (!current.isValid() || !audition_->StartSingle(model_->ChannelAt(current.row()))) {
    SetButtonState(1);
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
    SetToolbarBusy(false);
    SetButtonState(1);
    tabs_->setEnabled(true);
    grid_->viewport()->update();
    return;
  }
  // Starting parks the cursor, so that the cell under it does not open.
  grid_->clearSelection();
  grid_->setCurrentIndex(QModelIndex());
  SetToolbarBusy(true);
  SetButtonState(*running == AuditionKind::kAll ? 3 : 2);
  if (*running == AuditionKind::kAll) {
    tabs_->setEnabled(false);
  }
}

void FrmMain::SetPaused(bool paused) {
  commands_[9]->setText(paused ? u"再開"_s : QString::fromUtf16(kCommandCaptions[9]));
}

void FrmMain::SetTimer(bool enabled) {
  if (enabled) {
    sim_timer_->start();
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
  const auto moved = direction < 0 ? model_->Table().MoveUp(channel, slot, op_)
                                   : model_->Table().MoveDown(channel, slot, op_);
  if (!moved) {
    SelectCell(current);
    return;
  }
  const int target_page = PageOfChannel(project_, moved->channel);
  if (target_page != project_.CurrentPage) {
    ShowPage(target_page);
  } else {
    model_->RefreshChannel(channel);
    model_->RefreshChannel(moved->channel);
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
  const int to = direction < 0 ? model_->Table().MoveLeft(channel, slot)
                               : model_->Table().MoveRight(channel, slot);
  model_->RefreshChannel(channel);
  SelectCell(model_->IndexOf(channel, to));
}

void FrmMain::DeleteCell() {
  const QModelIndex current = grid_->currentIndex();
  const int slot = current.isValid() ? model_->VoiceSlotAt(current.column()) : -1;
  if (slot < 0) {
    return;
  }
  const int channel = model_->ChannelAt(current.row());
  model_->Table().Delete(channel, slot);
  model_->RefreshChannel(channel);
  SelectCell(current);
}

QMenu* FrmMain::createPopupMenu() {
  return nullptr;  // no menu of bars to hide: the toolbar carries every command
}

void FrmMain::closeEvent(QCloseEvent* event) {
  audition_->Stop();
  CommitPendingEdit();
  if (FirstEditedPage() >= 0) {
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
        event->accept();
        return;
      case MessageAnswer::kYes:
        // The card data window is where the operator saves; the editor
        // stays open.
        event->ignore();
        // Once the close has been refused, not from inside it.
        QTimer::singleShot(0, this, &FrmMain::OnCard);
        return;
      default:
        event->ignore();
        return;
    }
  }
  if (ShowMessage(op_, 2025, msg::kTitleConfirm, MessageIcon::kQuestion, MessageButtons::kYesNo) ==
      MessageAnswer::kYes) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace parlatone
