#include "gui/frm_card_write.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/messages.h"
#include "core/operator.h"
#include "gui/choosers.h"
#include "gui/gui_operator.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr int kBarSteps = 1000;

}  // namespace

FrmCardWrite::FrmCardWrite(QString card_folder, VolumeProbe& probe, Operator& op,
                           Choosers& choosers, QWidget* parent)
    : QDialog(parent),
      card_folder_(std::move(card_folder)),
      probe_(probe),
      op_(op),
      choosers_(choosers) {
  setObjectName(u"FrmCardWrite"_s);
  setWindowTitle(u"カードへ書込み"_s);
  setModal(true);
  for (const QFileInfo& file : QDir(card_folder_).entryInfoList(QDir::Files)) {
    card_bytes_ += file.size();
  }
  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel(
      u"書き込むカードデータ: "_s + QDir::toNativeSeparators(card_folder_) +
          u"\r\n書き込むカードを選んでください。使えるのは[FAT16]でフォーマットしたカードだけです。"_s,
      this);
  heading->setWordWrap(true);
  layout->addWidget(heading);

  grid_ = new QTableWidget(0, 5, this);
  grid_->setObjectName(u"GrdVolumes"_s);
  grid_->setHorizontalHeaderLabels(
      {u"カード"_s, u"場所"_s, u"容量 / 空き"_s, u"形式"_s, u"状態"_s});
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setMinimumSize(640, 160);
  layout->addWidget(grid_, 1);

  auto* list_buttons = new QHBoxLayout();
  auto* refresh = new QPushButton(u"更新(&R)"_s, this);
  refresh->setObjectName(u"CmdRefresh"_s);
  auto* folder = new QPushButton(u"フォルダを指定...(&F)"_s, this);
  folder->setObjectName(u"CmdFolder"_s);
  list_buttons->addWidget(refresh);
  list_buttons->addWidget(folder);
  list_buttons->addStretch(1);
  layout->addLayout(list_buttons);
  connect(refresh, &QPushButton::clicked, this, &FrmCardWrite::Refresh);
  connect(folder, &QPushButton::clicked, this, &FrmCardWrite::AddFolder);

  bar_ = new QProgressBar(this);
  bar_->setObjectName(u"PrgWrite"_s);
  bar_->setRange(0, kBarSteps);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  layout->addWidget(bar_);
  result_ = new QLabel(this);
  result_->setObjectName(u"LblResult"_s);
  result_->setWordWrap(true);
  result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(result_);

  auto* buttons = new QHBoxLayout();
  write_ = new QPushButton(u"書込み(&W)"_s, this);
  write_->setObjectName(u"CmdWrite"_s);
  stop_button_ = new QPushButton(u"中止"_s, this);
  stop_button_->setObjectName(u"CmdStop"_s);
  stop_button_->setEnabled(false);
  eject_ = new QPushButton(u"取り外し(&E)"_s, this);
  eject_->setObjectName(u"CmdEject"_s);
  eject_->setEnabled(false);
  close_ = new QPushButton(u"閉じる(&C)"_s, this);
  close_->setObjectName(u"CmdClose"_s);
  buttons->addStretch(1);
  for (QPushButton* button : {write_, stop_button_, eject_, close_}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
  connect(write_, &QPushButton::clicked, this, &FrmCardWrite::Write);
  connect(stop_button_, &QPushButton::clicked, this, [this] { stop_ = true; });
  connect(eject_, &QPushButton::clicked, this, &FrmCardWrite::Eject);
  connect(close_, &QPushButton::clicked, this, &FrmCardWrite::reject);
  connect(grid_, &QTableWidget::itemSelectionChanged, this, [this] {
    const int row = grid_->currentRow();
    write_->setEnabled(!running_ && row >= 0 && row < volumes_.size() &&
                       Refusal(volumes_[row]).isEmpty());
  });
  idle_only_ = {refresh, folder, grid_, close_};
  Refresh();
}

QString FrmCardWrite::Refusal(const VolumeInfo& volume) const {
  return VolumeRefusals(volume, card_bytes_).join(u"、"_s);
}

void FrmCardWrite::Refresh() {
  volumes_ = probe_.RemovableVolumes();
  for (const VolumeInfo& volume : added_) {
    volumes_ << probe_.Probe(volume.mount_point);
  }
  ShowVolumes();
}

void FrmCardWrite::AddFolder() {
  const QString folder = choosers_.ChooseFolder(this, u"書き込むカードのフォルダ"_s, {});
  if (folder.isEmpty()) {
    return;
  }
  VolumeInfo volume = probe_.Probe(folder);
  volume.mount_point = folder;
  added_ << volume;
  Refresh();
  grid_->selectRow(static_cast<int>(volumes_.size()) - 1);
}

void FrmCardWrite::ShowVolumes() {
  grid_->setRowCount(static_cast<int>(volumes_.size()));
  int first_usable = -1;
  for (int row = 0; row < volumes_.size(); ++row) {
    const VolumeInfo& volume = volumes_[row];
    const QString refusal = Refusal(volume);
    const QStringList cells = {
        volume.label.isEmpty() ? QFileInfo(volume.mount_point).fileName() : volume.label,
        QDir::toNativeSeparators(volume.mount_point),
        MegabytesText(volume.total_bytes) + u" / "_s + MegabytesText(volume.free_bytes),
        volume.filesystem.isEmpty() ? u"不明"_s : volume.filesystem,
        refusal.isEmpty() ? u"書込みできます"_s : refusal};
    for (int column = 0; column < cells.size(); ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      if (!refusal.isEmpty()) {
        item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
      }
      grid_->setItem(row, column, item);
    }
    if (refusal.isEmpty() && first_usable < 0) {
      first_usable = row;
    }
  }
  grid_->resizeColumnsToContents();
  if (first_usable >= 0) {
    grid_->selectRow(first_usable);
  }
  write_->setEnabled(!running_ && first_usable >= 0 && grid_->currentRow() >= 0 &&
                     Refusal(volumes_[grid_->currentRow()]).isEmpty());
  // Only while no card at all is listed: refused cards are cards found.
  const QString none_found =
      u"カードが見つかりません。カードを差し込んでから［更新］を押してください。"_s;
  if (volumes_.isEmpty()) {
    result_->setText(none_found);
  } else if (result_->text() == none_found) {
    result_->clear();
  }
}

void FrmCardWrite::SetRunning(bool running) {
  running_ = running;
  for (QWidget* widget : idle_only_) {
    widget->setEnabled(!running);
  }
  write_->setEnabled(!running);
  stop_button_->setEnabled(running);
}

void FrmCardWrite::Write() {
  const int row = grid_->currentRow();
  if (running_ || row < 0 || row >= volumes_.size()) {
    return;
  }
  written_volume_ = volumes_[row];
  stop_ = false;
  eject_->setEnabled(false);
  result_->clear();
  SetRunning(true);
  report_ =
      WriteCard(card_folder_, written_volume_.mount_point, probe_, {}, op_, &stop_, BarSink(*bar_));
  SetRunning(false);
  const QString text = CardReportText(report_);
  result_->setText(text);
  ShowText(op_, text, report_.ok ? msg::kTitleConfirm : msg::kTitleError,
           report_.ok ? MessageIcon::kInformation : MessageIcon::kExclamation);
  eject_->setEnabled(report_.ok && written_volume_.removable);
  Refresh();
}

void FrmCardWrite::Eject() {
  QString error;
  if (probe_.Eject(written_volume_, &error)) {
    result_->setText(u"カードを取り外せます。"_s);
    eject_->setEnabled(false);
    Refresh();
  } else {
    ShowText(op_, u"カードを取り外せませんでした。\r\n"_s + error, msg::kTitleError,
             MessageIcon::kExclamation);
  }
}

void FrmCardWrite::reject() {
  if (running_) {
    stop_ = true;  // the window closes once the write has stopped
    return;
  }
  QDialog::reject();
}

}  // namespace parlatone
