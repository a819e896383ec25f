// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frm_card_make.h"

#include "card/card_volume.h"
#include "gui/frm_card_write.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "card/card_info.h"
#include "card/card_maker.h"
#include "core/card_data.h"
#include "core/element_lists.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "gui/choosers.h"
#include "gui/frm_progress.h"
#include "gui/window_helpers.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// Positions of the fields in the card information.
enum FieldIndex {
  kCardName = 0,
  kForder = 1,
  kModel = 3,
  kMaisuu = 4,
  kRecStdio = 5,
  kRecAna = 6,
  kRecDate = 7,
  kRecKankyou = 8,
  kWaveCom = 9,
  kWavePerson = 10,
  kWaveDate = 11,
  kWaveKankyou = 12,
  kCardCom = 13,
  kCardPerson = 14,
  kCardDate = 15,
  kCardKankyou = 16,
  kCardSize = 17,
  kTpMd = 18,
  kTpMdName = 19,
  kRecBaitai = 20,
  kWaveBaitai = 21,
  kCardBaitai = 22,
  kCardBaitaiName = 23,
  kMemo1 = 24,
};

// The limit the card check holds the field to, as a note beside it.
QString LimitHint(const char* control) {
  const CardFieldRule* rule = CardFieldRuleOf(QLatin1StringView(control));
  if (rule == nullptr) {
    return {};
  }
  QString hint;
  switch (rule->max_bytes) {
    case kCardNameMaxBytes:
      hint = FrmCardMake::tr("半角8文字以内");
      break;
    default:
      hint = FrmCardMake::tr("全角%1文字以内").arg(rule->max_bytes / 2);
      break;
  }
  return rule->empty_message != 0 ? FrmCardMake::tr("%1（必須）").arg(hint) : hint;
}

void SelectStoredIndex(QComboBox* list, const QString& stored) {
  bool numeric = false;
  const int index = stored.toInt(&numeric);
  // An index the list does not hold (an element file that changed, or a
  // file from elsewhere) leaves the list without a selection.
  list->setCurrentIndex(numeric && index >= 0 && index < list->count() ? index : -1);
}

}  // namespace

FrmCardMake::FrmCardMake(const WindowContext& context, QWidget* parent)
    : QDialog(parent),
      probe_(std::make_unique<SystemVolumeProbe>()),
      project_(context.project),
      paths_(context.paths),
      op_(context.op),
      choosers_(context.choosers) {
  setObjectName(u"FrmCardMake"_s);
  setWindowTitle(GetMessage(1001));
  setModal(true);
  BuildWindow();
  FillFields();
  ShowPage(0);
  // Typing starts in the first field.
  fields_[kCardName]->setFocus(Qt::OtherFocusReason);
}

FrmCardMake::~FrmCardMake() = default;

QLineEdit* FrmCardMake::AddField(QWidget* page, QGridLayout* grid, int row, const QString& label,
                                 const char* name, int field, const QString& hint) {
  auto* caption = new QLabel(label, page);
  auto* edit = new QLineEdit(page);
  edit->setObjectName(QString::fromLatin1(name));
  caption->setBuddy(edit);
  grid->addWidget(caption, row, 0);
  grid->addWidget(edit, row, 1);
  if (!hint.isEmpty()) {
    auto* note = new QLabel(hint, page);
    note->setForegroundRole(QPalette::PlaceholderText);
    grid->addWidget(note, row, 2);
  }
  TrackField(edit, field);
  return edit;
}

void FrmCardMake::TrackField(QLineEdit* edit, int field) {
  SelectAllOnEntry(edit);
  connect(edit, &QLineEdit::textChanged, this, [this] {
    if (!loading_) {
      project_
          .PageEdited[static_cast<size_t>(std::clamp(project_.CurrentPage, 0, kMaxPageCount - 1))] =
          true;
    }
  });
  fields_[field] = edit;
}

void FrmCardMake::BuildWindow() {
  const int mode = project_.Mode();
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabWidget(this);
  // Found by the name its tab strip has always had.
  tabs_->tabBar()->setObjectName(u"TabStrip1"_s);
  layout->addWidget(tabs_, 1);
  const char* page_names[] = {"FrameBase", "FrameSakusei", "FrameKomento"};
  const QString page_captions[] = {tr("基本情報"), tr("作成情報"), tr("媒体・コメント")};
  for (int p = 0; p < 3; ++p) {
    pages_[p] = new QGroupBox(tabs_);
    pages_[p]->setObjectName(QString::fromLatin1(page_names[p]));
    tabs_->addTab(pages_[p], page_captions[p]);
  }

  // Page 1: the card data set, the card, and who made the card data.
  {
    QGroupBox* page = pages_[0];
    auto* grid = new QGridLayout(page);
    QLineEdit* name = AddField(page, grid, 0, tr("カードデータファイル名"), "TxtCardName",
                               kCardName, LimitHint("TxtCardName"));
    // Half-width only: the name goes on the card as a file name.
    name->setAttribute(Qt::WA_InputMethodEnabled, false);
    name->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    AddField(page, grid, 1, tr("作成フォルダ名"), "TxtForder", kForder, LimitHint("TxtForder"));
    AddField(page, grid, 2, tr("使用機種"), "TxtModel", kModel, LimitHint("TxtModel"));
    AddField(page, grid, 3, tr("作成枚数"), "TxtMaisuu", kMaisuu, QString());
    grid->addWidget(new QLabel(tr("枚　（コピー枚数含）"), page), 3, 2);
    auto* size_caption = new QLabel(tr("使用カード容量"), page);
    card_size_ = new QComboBox(page);
    card_size_->setObjectName(u"CmbCardSize"_s);
    size_caption->setBuddy(card_size_);
    grid->addWidget(size_caption, 4, 0);
    grid->addWidget(card_size_, 4, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(tr("積算カード容量"), page), 5, 0);
    use_size_ = new QLabel(page);
    use_size_->setObjectName(u"LblUseSize"_s);
    grid->addWidget(use_size_, 5, 1);
    grid->addWidget(new QLabel(tr("積算メモリ容量"), page), 6, 0);
    memory_size_ = new QLabel(page);
    memory_size_->setObjectName(u"LblMemorySize"_s);
    grid->addWidget(memory_size_, 6, 1);
    auto* maker = new QGroupBox(tr("カードデータ情報"), page);
    auto* maker_grid = new QGridLayout(maker);
    AddField(maker, maker_grid, 0, tr("作成会社"), "TxtCardCom", kCardCom, LimitHint("TxtCardCom"));
    AddField(maker, maker_grid, 1, tr("作成者"), "TxtCardPerson", kCardPerson,
             LimitHint("TxtCardPerson"));
    AddField(maker, maker_grid, 2, tr("作成日"), "TxtCardDate", kCardDate,
             LimitHint("TxtCardDate"));
    AddField(maker, maker_grid, 3, tr("作成環境"), "TxtCardKankyou", kCardKankyou,
             LimitHint("TxtCardKankyou"));
    grid->addWidget(maker, 7, 0, 1, 3);
    grid->setRowStretch(8, 1);
    grid->setColumnStretch(1, 1);
  }

  // Page 2: the recording, and who made the sound files.
  {
    QGroupBox* page = pages_[1];
    auto* grid = new QGridLayout(page);
    AddField(page, grid, 0, tr("録音スタジオ"), "TxtRecStdio", kRecStdio, LimitHint("TxtRecStdio"));
    AddField(page, grid, 1, tr("アナウンサー"), "TxtRecAna", kRecAna, LimitHint("TxtRecAna"));
    AddField(page, grid, 2, tr("録音日"), "TxtRecDate", kRecDate, LimitHint("TxtRecDate"));
    AddField(page, grid, 3, tr("録音環境"), "TxtRecKankyou", kRecKankyou,
             LimitHint("TxtRecKankyou"));
    auto* wave = new QGroupBox(GetMessage(SeriesMessage(SeriesText::kCardInfoFrame, mode)), page);
    wave->setObjectName(u"FrameWave"_s);
    auto* wave_grid = new QGridLayout(wave);
    AddField(wave, wave_grid, 0, tr("制作会社"), "TxtWaveCom", kWaveCom, LimitHint("TxtWaveCom"));
    AddField(wave, wave_grid, 1, tr("作成者"), "TxtWavePerson", kWavePerson,
             LimitHint("TxtWavePerson"));
    AddField(wave, wave_grid, 2, tr("作成日"), "TxtWaveDate", kWaveDate, LimitHint("TxtWaveDate"));
    AddField(wave, wave_grid, 3, tr("作成環境"), "TxtWaveKankyou", kWaveKankyou,
             LimitHint("TxtWaveKankyou"));
    grid->addWidget(wave, 4, 0, 1, 3);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(1, 1);
  }

  // Page 3: the media the recording and the data are kept on, and comments.
  {
    QGroupBox* page = pages_[2];
    auto* grid = new QGridLayout(page);
    const auto medium_row = [&](int row, QLabel* caption, const char* list_name,
                                const char* edit_name, int field) {
      auto* list = new QComboBox(page);
      list->setObjectName(QString::fromLatin1(list_name));
      caption->setBuddy(list);
      auto* edit = new QLineEdit(page);
      edit->setObjectName(QString::fromLatin1(edit_name));
      TrackField(edit, field);
      auto* row_layout = new QHBoxLayout();
      row_layout->addWidget(list);
      row_layout->addWidget(edit, 1);
      grid->addWidget(caption, row, 0);
      grid->addLayout(row_layout, row, 1);
      auto* note = new QLabel(LimitHint(edit_name), page);
      note->setForegroundRole(QPalette::PlaceholderText);
      grid->addWidget(note, row, 2);
      return list;
    };
    tape_ = medium_row(0, new QLabel(tr("テープ・ＭＤ名"), page), "CmbTpMd", "TxtTpMd", kTpMdName);
    auto* wave_caption =
        new QLabel(GetMessage(SeriesMessage(SeriesText::kSoundMediumLabel, mode)), page);
    wave_caption->setObjectName(u"lblWave"_s);
    wave_medium_ = medium_row(1, wave_caption, "CmbRecBaitai", "TxtWaveBaitai", kWaveBaitai);
    card_medium_ = medium_row(2, new QLabel(tr("カードデータ記録媒体名"), page), "CmbCardBaitai",
                              "TxtCardBaitai", kCardBaitaiName);
    const QString memo_captions[] = {tr("コメント①"), tr("コメント②"), tr("コメント③")};
    for (int i = 0; i < 3; ++i) {
      const QByteArray name = "TxtMemo" + QByteArray::number(i + 1);
      AddField(page, grid, 3 + i, memo_captions[i], name.constData(), kMemo1 + i,
               LimitHint(name.constData()));
    }
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);
  }

  auto* buttons = new QHBoxLayout();
  auto* save = new QPushButton(tr("一時保存(&S)"), this);
  save->setObjectName(u"CmdSave"_s);
  auto* make = new QPushButton(tr("作成(&M)"), this);
  make->setObjectName(u"CmdCardMake"_s);
  write_card_ = new QPushButton(tr("カードへ書込み(&W)"), this);
  write_card_->setObjectName(u"CmdCardWrite"_s);
  write_card_->setToolTip(tr("作成したカードデータをカードに書き込み、読み戻して確認します。"));
  write_card_->setEnabled(false);
  auto* close_button = new QPushButton(tr("閉じる(&C)"), this);
  close_button->setObjectName(u"CmdClose"_s);
  for (QPushButton* button : {save, make, write_card_, close_button}) {
    button->setAutoDefault(false);
  }
  buttons->addStretch(1);
  buttons->addWidget(save);
  buttons->addWidget(make);
  buttons->addWidget(write_card_);
  buttons->addWidget(close_button);
  connect(write_card_, &QPushButton::clicked, this, &FrmCardMake::WriteToCard);
  layout->addLayout(buttons);
  connect(save, &QPushButton::clicked, this, &FrmCardMake::TemporarySave);
  connect(make, &QPushButton::clicked, this, &FrmCardMake::MakeCard);
  connect(close_button, &QPushButton::clicked, this, &QDialog::reject);
  resize(760, 520);
}

void FrmCardMake::FillFields() {
  loading_ = true;
  card_size_->addItems(DisplayedElementList(paths_.element_file, u"Card"_s));
  tape_->addItems(DisplayedElementList(paths_.element_file, u"Tape"_s));
  const QStringList media = DisplayedElementList(paths_.element_file, u"Baitai"_s);
  wave_medium_->addItems(media);
  card_medium_->addItems(media);

  // Wide enough for the longest entry, so that the lists line up whatever
  // is chosen.
  for (QComboBox* list : {card_size_, tape_, wave_medium_, card_medium_}) {
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    list->setMinimumWidth(120);
  }

  const CardInfo form = CardFormFromProject(project_);
  for (int i = 0; i < CardInfo::kFieldCount; ++i) {
    if (fields_[i] != nullptr) {
      fields_[i]->setText(form.Field(i));
    }
  }
  const std::pair<QComboBox*, const QString*> lists[] = {{card_size_, &form.CardSize},
                                                         {tape_, &form.TpMd},
                                                         {wave_medium_, &form.RecBaitai},
                                                         {card_medium_, &form.CardBaitai}};
  for (const auto& [list, stored] : lists) {
    SelectStoredIndex(list, *stored);
  }
  use_size_->setText(form.UseSize);
  const qint64 total = TotalSoundSize(project_).bytes;
  memory_size_->setText(total == 0 ? QString() : tr("%1バイト").arg(total));
  loading_ = false;
}

int FrmCardMake::CurrentPage() const {
  return tabs_->currentIndex();
}

void FrmCardMake::ShowPage(int page) {
  tabs_->setCurrentIndex(page);
}

void FrmCardMake::StoreFields() {
  CardInfo& card = project_.card;
  for (int i = 0; i < CardInfo::kFieldCount; ++i) {
    if (fields_[i] != nullptr) {
      card.Field(i) = fields_[i]->text();
    }
  }
  card.UseSize = use_size_->text();
  card.CardSize = QString::number(card_size_->currentIndex());
  card.TpMd = QString::number(tape_->currentIndex());
  card.RecBaitai = QString::number(wave_medium_->currentIndex());
  card.CardBaitai = QString::number(card_medium_->currentIndex());
}

void FrmCardMake::closeEvent(QCloseEvent* event) {
  if (making_) {
    event->ignore();  // the window closes once the card making has finished
    return;
  }
  QDialog::closeEvent(event);
}

void FrmCardMake::PointAt(const CardCheckFailure& failure) {
  ShowPage(std::clamp(failure.page, 1, 3) - 1);
  QWidget* control = findChild<QWidget*>(failure.control);
  if (control == nullptr) {
    return;
  }
  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->selectAll();
  }
  control->setFocus(Qt::OtherFocusReason);
}

void FrmCardMake::TemporarySave() {
  const int mode = project_.Mode();
  // The card data file name as the window shows it names the file too.
  const QString name = fields_[kCardName]->text().trimmed();
  const QString path = choosers_.ChooseSaveFile(
      this, TemporarySaveFilter(mode), project_.settings.CardPath,
      IsPlainFileName(name) ? name + u'.' + TemporaryFileExtension(mode) : QString(),
      TemporaryFileExtension(mode), tr("一時保存ファイルの保存"));
  if (path.isEmpty()) {
    return;
  }
  StoreFields();
  if (parlatone::TemporarySave(project_, path, op_)) {
    Q_EMIT Saved(path);
  }
  repaint();
}

void FrmCardMake::MakeCard() {
  StoreFields();
  CardMakeResult result;
  {
    FrmProgress progress(this);
    setEnabled(false);
    making_ = true;
    result = MakeCardData(project_, paths_.work_folder, op_,
                          tr("カードへの書込みは、この画面の［カードへ書込み］ボタンで行えます。"),
                          progress.Sink());
    making_ = false;
    setEnabled(true);
  }
  repaint();
  if (result.outcome == CardMakeOutcome::kMade) {
    made_folder_ = result.target_folder;
    write_card_->setEnabled(true);
    Q_EMIT CardMade(ControlFilePath(project_));
  }
  if (result.outcome == CardMakeOutcome::kCheckFailed) {
    PointAt(result.failure);
  }
  if (result.close_window) {
    reject();
  }
}

void FrmCardMake::SetVolumeProbe(std::unique_ptr<VolumeProbe> probe) {
  probe_ = std::move(probe);
}

void FrmCardMake::WriteToCard() {
  if (made_folder_.isEmpty()) {
    return;
  }
  FrmCardWrite window(made_folder_, *probe_, op_, choosers_, this);
  window.exec();
}

}  // namespace parlatone
