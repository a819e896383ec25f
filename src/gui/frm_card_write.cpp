// SPDX-License-Identifier: GPL-3.0-or-later
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
  setWindowTitle(tr("カードへ書込み"));
  setModal(true);
  for (const QFileInfo& file : QDir(card_folder_).entryInfoList(QDir::Files)) {
    card_bytes_ += file.size();
  }
  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel(
      tr("書き込むカードデータ: %1\r\n"
         "書き込むカードを選んでください。使えるのは[FAT16]でフォーマットしたカードだけです。")
          .arg(QDir::toNativeSeparators(card_folder_)),
      this);
  heading->setWordWrap(true);
  layout->addWidget(heading);

  grid_ = new QTableWidget(0, 5, this);
  grid_->setObjectName(u"GrdVolumes"_s);
  grid_->setHorizontalHeaderLabels(
      {tr("カード"), tr("場所"), tr("容量 / 空き"), tr("形式"), tr("状態")});
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setMinimumSize(760, 160);
  layout->addWidget(grid_, 1);

  auto* list_buttons = new QHBoxLayout();
  auto* refresh = new QPushButton(tr("更新(&R)"), this);
  refresh->setObjectName(u"CmdRefresh"_s);
  auto* folder = new QPushButton(tr("フォルダを指定...(&F)"), this);
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
  write_ = new QPushButton(tr("書込み(&W)"), this);
  write_->setObjectName(u"CmdWrite"_s);
  stop_button_ = new QPushButton(tr("中止"), this);
  stop_button_->setObjectName(u"CmdStop"_s);
  stop_button_->setEnabled(false);
  eject_ = new QPushButton(tr("取り外し(&E)"), this);
  eject_->setObjectName(u"CmdEject"_s);
  eject_->setEnabled(false);
  close_ = new QPushButton(tr("閉じる(&C)"), this);
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
  return VolumeRefusals(volume, card_bytes_).join(tr("、"));
}

void FrmCardWrite::Refresh() {
  volumes_ = probe_.RemovableVolumes();
  for (const VolumeInfo& volume : added_) {
    volumes_ << probe_.Probe(volume.mount_point);
  }
  ShowVolumes();
}

void FrmCardWrite::AddFolder() {
  const QString folder = choosers_.ChooseFolder(this, tr("書き込むカードのフォルダ"), {});
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
        volume.filesystem.isEmpty() ? tr("不明") : volume.filesystem,
        refusal.isEmpty() ? tr("書込みできます") : refusal};
    for (int column = 0; column < cells.size(); ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      // A long path or reason may not fit its column; the whole text is a
      // hover away.
      item->setToolTip(cells[column]);
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
      tr("カードが見つかりません。カードを差し込んでから［更新］を押してください。");
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
    result_->setText(tr("カードを取り外せます。"));
    eject_->setEnabled(false);
    Refresh();
  } else {
    ShowText(op_, tr("カードを取り外せませんでした。\r\n%1").arg(error), msg::kTitleError,
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
