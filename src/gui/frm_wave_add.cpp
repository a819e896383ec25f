// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frm_wave_add.h"

#include <algorithm>
#include <atomic>

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

#include "core/element_lists.h"
#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "core/text.h"
#include "gui/choosers.h"
#include "gui/frm_play.h"
#include "gui/frm_progress.h"
#include "gui/frm_record.h"
#include "gui/frm_tools.h"
#include "gui/levels_feeder.h"
#include "gui/voice_cell_delegates.h"
#include "gui/voice_list_model.h"
#include "tools/fit_engine.h"
#include "voices/copies_registration.h"
#include "voices/registration_session.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr int kCommentColumn = VoiceListModel::kCommentColumn;

}  // namespace

FrmWaveAdd::FrmWaveAdd(const WindowContext& context, QWidget* parent)
    : QDialog(parent),
      project_(context.project),
      paths_(context.paths),
      op_(context.op),
      choosers_(context.choosers) {
  setObjectName(u"FrmWaveAdd"_s);
  setWindowTitle(GetMessage(1004));
  setModal(true);
  setAcceptDrops(true);
  session_ = std::make_unique<RegistrationSession>(project_, paths_.settings_file);
  const int mode = project_.Mode();
  const bool mp3 = IsMp3Series(mode);

  auto* layout = new QVBoxLayout(this);
  auto* frame =
      new QGroupBox(GetMessage(SeriesMessage(SeriesText::kRegistrationHeading, mode)), this);
  frame->setObjectName(u"FrameWave"_s);
  auto* frame_layout = new QVBoxLayout(frame);
  tabs_ = new QTabBar(frame);
  tabs_->setObjectName(u"TabStrip"_s);
  tabs_->setExpanding(false);  // compact, as the main window's
  for (int page = 0; page < PageCount(mode); ++page) {
    tabs_->addTab(PageCaption(mode, page));
  }
  tabs_->setVisible(PageCount(mode) > 1);
  frame_layout->addWidget(tabs_);

  model_ = new VoiceListModel(*session_, project_.ChannelsPerPage, mp3, this);
  grid_ = new QTableView(frame);
  grid_->setObjectName(u"FgWave"_s);
  grid_->setModel(model_);
  grid_->setItemDelegate(new VoiceCellDelegate(grid_));
  comment_delegate_ = new CommentDelegate(grid_);
  grid_->setItemDelegateForColumn(kCommentColumn, comment_delegate_);
  grid_->setItemDelegateForColumn(model_->OutlineColumn(), new OutlineDelegate(grid_));
  grid_->setItemDelegateForColumn(model_->LevelsColumn(), new LevelsDelegate(grid_));
  // The outlines and levels fill in as the files are read, after the grid
  // is on screen.
  feeder_ = new LevelsFeeder(paths_.levels_folder, this);
  model_->SetFeeder(feeder_);
  grid_->verticalHeader()->hide();
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setWordWrap(false);
  grid_->setTextElideMode(Qt::ElideNone);
  for (int c = 0; c < model_->columnCount(); ++c) {
    const int twips = model_->ColumnTwips(c);
    if (twips > 0) {
      // No narrower than its caption, which runs longer in English.
      grid_->setColumnWidth(c, std::max(twips / 15, grid_->horizontalHeader()->sectionSizeHint(c)));
    } else {
      grid_->setColumnHidden(c, true);
    }
  }
  // The comment column follows the grid's width (its viewport's, once the
  // scroll bars are placed).
  grid_->viewport()->installEventFilter(this);
  connect(model_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& top_left, const QModelIndex& bottom_right) {
            if (top_left.column() <= kCommentColumn && kCommentColumn <= bottom_right.column()) {
              FitCommentColumn();
            }
          });
  grid_->setEditTriggers(QAbstractItemView::AllEditTriggers);
  // No row is selected until the operator picks one: the grid does not take
  // the focus (and a current cell) by itself when the window opens.
  grid_->setFocusPolicy(Qt::ClickFocus);
  frame_layout->addWidget(grid_, 1);

  auto* buttons = new QGridLayout();
  struct Command {
    const char* caption;
    void (FrmWaveAdd::*run)();
    QPushButton* FrmWaveAdd::*kept;  // the selection commands, enabled with a selection
  };
  const Command commands[] = {
      {QT_TRANSLATE_NOOP("parlatone::FrmWaveAdd", "ファイル選択"), &FrmWaveAdd::ChooseFiles,
       nullptr},
      {QT_TRANSLATE_NOOP("parlatone::FrmWaveAdd", "削除"), &FrmWaveAdd::DeleteSelected,
       &FrmWaveAdd::delete_button_},
      {QT_TRANSLATE_NOOP("parlatone::FrmWaveAdd", "全削除"), &FrmWaveAdd::DeleteAllVoices, nullptr},
      {QT_TRANSLATE_NOOP("parlatone::FrmWaveAdd", "試聴"), &FrmWaveAdd::PlaySelected,
       &FrmWaveAdd::play_button_},
      {QT_TRANSLATE_NOOP("parlatone::FrmWaveAdd", "全試聴"), &FrmWaveAdd::PlayAll, nullptr},
      {QT_TRANSLATE_NOOP("parlatone::FrmWaveAdd", "上へ移動"), &FrmWaveAdd::MoveSelectedUp,
       &FrmWaveAdd::up_button_},
      {QT_TRANSLATE_NOOP("parlatone::FrmWaveAdd", "下へ移動"), &FrmWaveAdd::MoveSelectedDown,
       &FrmWaveAdd::down_button_},
      {QT_TRANSLATE_NOOP("parlatone::FrmWaveAdd", "フォルダ選択"), &FrmWaveAdd::ChooseFolderOfFiles,
       nullptr}};
  for (int i = 0; i < static_cast<int>(std::size(commands)); ++i) {
    auto* button = new QPushButton(tr(commands[i].caption), frame);
    button->setObjectName(u"CmdWave%1"_s.arg(i));
    buttons->addWidget(button, i / 4, i % 4);
    if (commands[i].kept != nullptr) {
      this->*commands[i].kept = button;
    }
    const auto run = commands[i].run;
    connect(button, &QPushButton::clicked, this, [this, run] {
      comment_delegate_->CommitOpenEditor();
      (this->*run)();
    });
  }
  frame_layout->addLayout(buttons);

  auto* bottom = new QHBoxLayout();
  auto* tools = new QGroupBox(mp3 ? tr("mp3変換") : tr("Wave変換"), this);
  auto* tools_layout = new QHBoxLayout(tools);
  // In the MP3 series the tools offer only their page that makes MP3 files.
  tools_layout->addWidget(new QLabel(mp3 ? tr("各種音声ファイルからmp3ファイルへの変換等")
                                         : tr("ステレオ/モノラル変換、無音データの作成等"),
                                     tools));
  auto* tool_button = new QPushButton(tr("変換ﾂｰﾙ"), tools);
  tool_button->setObjectName(u"CmdTool"_s);
  connect(tool_button, &QPushButton::clicked, this, &FrmWaveAdd::OpenTools);
  tools_layout->addWidget(tool_button);
  auto* record_button = new QPushButton(tr("録音"), tools);
  record_button->setObjectName(u"CmdRecord"_s);
  if (const QString reason = FrmRecord::NoInputReason(); !reason.isEmpty()) {
    record_button->setEnabled(false);
    record_button->setToolTip(reason);
  } else {
    record_button->setToolTip(tr("マイクから録音して登録します"));
  }
  connect(record_button, &QPushButton::clicked, this, &FrmWaveAdd::RecordVoice);
  tools_layout->addWidget(record_button);
  bottom->addWidget(tools);
  auto* capacity_label = new QLabel(tr("登録容量制限"), this);
  capacity_label->setObjectName(u"lblSize"_s);
  capacity_ = new QComboBox(this);
  capacity_->setObjectName(u"cmbSize"_s);
  capacity_->addItems(DisplayedElementList(paths_.element_file, u"Capacity"_s));
  capacity_->setCurrentIndex(project_.settings.FileCapacity);
  capacity_label->setVisible(mp3);
  capacity_->setVisible(mp3);
  // The limit stands over the totals it limits, in their columns: beside
  // them it made the MP3 series' window wider than a 1024-pixel screen.
  auto* totals = new QGridLayout();
  totals->addWidget(capacity_label, 0, 0);
  totals->addWidget(capacity_, 0, 1);
  totals->addWidget(new QLabel(tr("積算時間 ："), this), 1, 0);
  time_total_ = new QLabel(this);
  time_total_->setObjectName(u"LblTime"_s);
  totals->addWidget(time_total_, 1, 1);
  totals->addWidget(new QLabel(tr("積算容量 ："), this), 2, 0);
  bytes_total_ = new QLabel(this);
  bytes_total_->setObjectName(u"LblByte"_s);
  totals->addWidget(bytes_total_, 2, 1);
  // Wide enough for the largest totals from the start, so that a new total
  // does not shift (and repaint) the rest of the window.
  const QFontMetrics metrics(bytes_total_->font());
  time_total_->setMinimumWidth(metrics.horizontalAdvance(tr("%1秒").arg(u"99999.99"_s)));
  bytes_total_->setMinimumWidth(metrics.horizontalAdvance(tr("%1バイト").arg(u"9999999999"_s)));
  bottom->addLayout(totals);
  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName(u"CmdOk"_s);
  auto* cancel = new QPushButton(tr("ｷｬﾝｾﾙ"), this);
  cancel->setObjectName(u"CmdCancel"_s);
  bottom->addWidget(ok);
  bottom->addWidget(cancel);
  layout->addWidget(frame, 1);
  layout->addLayout(bottom);
  connect(ok, &QPushButton::clicked, this, &FrmWaveAdd::OnOk);
  connect(cancel, &QPushButton::clicked, this, &FrmWaveAdd::reject);

  connect(tabs_, &QTabBar::currentChanged, this, [this](int page) {
    if (!filling_ && page >= 0 && page != page_) {
      comment_delegate_->CommitOpenEditor();
      ShowPage(page);
    }
  });
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (filling_ || !current.isValid()) {
              return;
            }
            Select(current.column() == kCommentColumn ? -1 : SlotOfRow(current.row()));
          });
  connect(capacity_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (filling_ || index < 0) {
      return;
    }
    if (!session_->ChangeCapacity(index, op_)) {
      filling_ = true;
      capacity_->setCurrentIndex(session_->Capacity());
      filling_ = false;
    }
    ShowPage(page_);
  });
  resize(960, 640);
  ShowPage(0);
  SetSelectionButtons(false);
}

FrmWaveAdd::~FrmWaveAdd() {
  // The grid reads the session through its model while the dialog hides its
  // children on the way out (an open comment editor is laid out once more),
  // so it must go before the session does.
  grid_->viewport()->removeEventFilter(this);
  delete grid_;
}

bool FrmWaveAdd::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_->viewport() && event->type() == QEvent::Resize) {
    FitCommentColumn();
  }
  return QDialog::eventFilter(watched, event);
}

void FrmWaveAdd::FitCommentColumn() {
  // The comment takes what the other columns leave, and never less than the
  // longest comment of the list needs (at most twenty full-width
  // characters, at least eight), so that every comment reads whole.
  constexpr int kShortestRoom = 8;
  const QFontMetrics metrics = grid_->fontMetrics();
  // untranslated: a wide character that measures the column, never shown
  int widest = metrics.horizontalAdvance(QString(kShortestRoom, QChar(u'漢')));
  const WorkingVoiceList& list = session_->List();
  for (int slot = 0; slot < list.size(); ++slot) {
    if (!list[slot].COMENTS.isEmpty()) {
      widest = std::max(widest, metrics.horizontalAdvance(list[slot].COMENTS));
    }
  }
  const int needed = widest + 12;
  int others = 0;
  for (int c = 0; c < model_->columnCount(); ++c) {
    if (c != VoiceListModel::kCommentColumn && !grid_->isColumnHidden(c)) {
      others += grid_->columnWidth(c);
    }
  }
  grid_->setColumnWidth(VoiceListModel::kCommentColumn,
                        std::max(needed, grid_->viewport()->width() - others));
}

int FrmWaveAdd::SlotOfRow(int row) const {
  return page_ * project_.ChannelsPerPage + row;
}

void FrmWaveAdd::ShowPage(int page) {
  filling_ = true;
  page_ = page;
  if (tabs_->currentIndex() != page) {
    tabs_->setCurrentIndex(page);
  }
  model_->SetPage(page);
  model_->SetSelectedSlot(selected_slot_);
  time_total_->setText(session_->TotalTimeText());
  bytes_total_->setText(session_->TotalBytesText());
  filling_ = false;
}

void FrmWaveAdd::Select(int slot) {
  selected_slot_ = slot;
  SetSelectionButtons(slot >= 0);
  ShowPage(page_);
}

void FrmWaveAdd::SetSelectionButtons(bool enabled) {
  for (QPushButton* button : {delete_button_, play_button_, up_button_, down_button_}) {
    button->setEnabled(enabled);
  }
}

void FrmWaveAdd::RegisterPaths(const QStringList& paths) {
  if (paths.isEmpty()) {
    return;
  }
  selected_slot_ = -1;
  const QString sound_folder = project_.settings.WavePath;
  RegistrationResult result = session_->Register(paths, op_);
  if (result.conversion_wanted) {
    const int last_slot = ConvertAndRegister(result.ConvertiblePaths(), sound_folder);
    if (last_slot >= 0) {
      result.last_slot = last_slot;
    }
  }
  ShowPage(result.last_slot >= 0 ? session_->PageOfSlot(result.last_slot) : page_);
  time_total_->setText(session_->TotalTimeText(true));
  SetSelectionButtons(true);
}

int FrmWaveAdd::ConvertAndRegister(const QStringList& sources, const QString& sound_folder) {
  const std::optional<CopiesRegistration> copies =
      CopiesRegistration::Start(sources, sound_folder, op_, [this](const QString& start) {
        return choosers_.ChooseFolder(this, tr("変換したファイルの保存先"), start);
      });
  if (!copies) {
    return -1;
  }
  FitSeries series;
  series.mode = project_.Mode();
  series.stereo = project_.settings.StereoAccepted();
  std::atomic<bool> stop = false;
  FitRunResult run;
  {
    FrmProgress progress(this);
    progress.AllowStop(&stop);
    run = FitFiles(sources, copies->Folder(), series, FitOptions{}, op_, &stop, progress.Sink());
  }
  QList<ConvertedCopy> written;
  for (const FitFileResult& file : run.files) {
    if (file.written()) {
      written << ConvertedCopy{file.output, file.name, file.comment};
    }
  }
  if (written.size() < run.files.size()) {
    ShowText(op_, FitSummaryText(run), msg::kTitleConfirm, MessageIcon::kExclamation);
  }
  return copies->Register(*session_, written, op_);
}

bool FrmWaveAdd::SelectedIsRegistered() const {
  return selected_slot_ >= 0 && !session_->List()[selected_slot_].NAME.isEmpty();
}

void FrmWaveAdd::ChooseFiles() {
  // Every sound file the program reads: what the series does not take is
  // refused with the offer to convert it.
  const FileFilter filter{tr("音声ファイル"), FitSourcePatterns().join(u';')};
  RegisterPaths(
      choosers_.ChooseOpenFiles(this, filter, project_.settings.WavePath, GetMessage(2040)));
}

void FrmWaveAdd::ChooseFolderOfFiles() {
  const QString folder = choosers_.ChooseFolder(this, GetMessage(2040), project_.settings.WavePath);
  if (folder.isEmpty()) {
    return;
  }
  QStringList files;
  QDir dir(folder);
  for (const QString& name : dir.entryList(FitSourcePatterns(), QDir::Files, QDir::Name)) {
    files << dir.filePath(name);
  }
  RegisterPaths(files);
}

void FrmWaveAdd::DeleteSelected() {
  const int slot = selected_slot_;
  if (SelectedIsRegistered() && session_->Delete(slot, op_)) {
    selected_slot_ = -1;
    ShowPage(session_->PageOfSlot(slot));
  }
}

void FrmWaveAdd::DeleteAllVoices() {
  if (session_->DeleteAll(op_)) {
    selected_slot_ = -1;
    SetSelectionButtons(false);
    ShowPage(page_);
  }
}

void FrmWaveAdd::PlaySelected() {
  if (SelectedIsRegistered()) {
    Audition(selected_slot_, false);
  }
}

void FrmWaveAdd::PlayAll() {
  if (!session_->List()[0].NAME.isEmpty()) {
    Audition(0, true);
  }
}

void FrmWaveAdd::MoveSelected(int direction) {
  if (!SelectedIsRegistered()) {
    return;
  }
  const std::optional<int> moved =
      direction < 0 ? session_->MoveUp(selected_slot_) : session_->MoveDown(selected_slot_);
  if (moved) {
    selected_slot_ = *moved;
    ShowPage(session_->PageOfSlot(*moved));
    grid_->scrollTo(model_->index(*moved % project_.ChannelsPerPage, 1));
  }
}

void FrmWaveAdd::OpenTools() {
  comment_delegate_->CommitOpenEditor();
  // No row stays highlighted behind the tools; the grid forgets its cell
  // too, so that clicking the same row afterwards selects it again.
  filling_ = true;
  grid_->setCurrentIndex(QModelIndex());
  filling_ = false;
  Select(-1);
  FrmTools tools(op_, choosers_, FitSeries{project_.Mode(), project_.settings.StereoAccepted()},
                 this);
  tools.exec();
}

void FrmWaveAdd::RecordVoice() {
  comment_delegate_->CommitOpenEditor();
  // Recordings go where the sound files were last taken from.
  const QString folder = project_.settings.WavePath.isEmpty()
                             ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                             : project_.settings.WavePath;
  FrmRecord recording(op_, FitSeries{project_.Mode(), project_.settings.StereoAccepted()}, folder,
                      session_->List(), this);
  if (recording.exec() != QDialog::Accepted) {
    return;
  }
  const QString file = recording.RecordedFile();
  RegisterPaths({file});
  const WorkingVoiceList& list = session_->List();
  for (int slot = 0; slot < list.size(); ++slot) {
    if (list[slot].FilePath == file) {
      session_->EditComment(slot, recording.Comment());
      ShowPage(session_->PageOfSlot(slot));
      OfferRecordingDate(project_, op_);
      break;
    }
  }
}

void FrmWaveAdd::Audition(int slot, bool all) {
  FrmPlay player(session_->List(), project_.Mode(), this, feeder_);
  player.Play(slot, true, all);
}

void FrmWaveAdd::OnOk() {
  comment_delegate_->CommitOpenEditor();
  SetSelectionButtons(false);
  selected_slot_ = -1;
  const RegistrationSession::OkResult result = session_->Ok(op_);
  if (!result.closed) {
    ShowPage(session_->PageOfSlot(result.long_comment_slot));
    const int row = result.long_comment_slot % project_.ChannelsPerPage;
    filling_ = true;
    grid_->setCurrentIndex(model_->index(row, kCommentColumn));
    filling_ = false;
    grid_->scrollTo(model_->index(row, kCommentColumn));
    return;
  }
  accept();
}

void FrmWaveAdd::reject() {
  comment_delegate_->CommitOpenEditor();
  selected_slot_ = -1;
  if (session_->Cancel(op_)) {
    QDialog::reject();
  }
}

void FrmWaveAdd::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) {
    event->acceptProposedAction();
  }
}

// Files and folders dropped from a file manager register as if chosen.
void FrmWaveAdd::dropEvent(QDropEvent* event) {
  QStringList files;
  for (const QUrl& url : event->mimeData()->urls()) {
    const QString path = url.toLocalFile();
    if (QFileInfo(path).isDir()) {
      QDir dir(path);
      for (const QString& name : dir.entryList(FitSourcePatterns(), QDir::Files, QDir::Name)) {
        files << dir.filePath(name);
      }
    } else if (!path.isEmpty()) {
      files << path;
    }
  }
  event->acceptProposedAction();
  RegisterPaths(files);
}

}  // namespace parlatone
