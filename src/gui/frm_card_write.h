// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>

#include <atomic>

#include "card/card_volume.h"
#include "card/card_writer.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace parlatone {

class Choosers;
class Operator;

// Writes a card data folder onto a card: the removable volumes mounted now
// (those the devices cannot read shown with the reason), the write with a
// bar and a stop, the verification result, and taking the card out.
class FrmCardWrite : public QDialog {
  Q_OBJECT

 public:
  FrmCardWrite(QString card_folder, VolumeProbe& probe, Operator& op, Choosers& choosers,
               QWidget* parent = nullptr);

  // Lists the volumes again.
  void Refresh();
  // Writes onto the chosen volume and verifies it.
  void Write();

 protected:
  void reject() override;

 private:
  // Why the devices cannot use a volume; empty when they can.
  QString Refusal(const VolumeInfo& volume) const;
  void AddFolder();
  void ShowVolumes();
  void SetRunning(bool running);
  void Eject();

  QString card_folder_;
  qint64 card_bytes_ = 0;
  VolumeProbe& probe_;
  Operator& op_;
  Choosers& choosers_;
  QList<VolumeInfo> volumes_;
  QList<VolumeInfo> added_;  // folders the operator chose by hand
  QTableWidget* grid_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QLabel* result_ = nullptr;
  QPushButton* write_ = nullptr;
  QPushButton* stop_button_ = nullptr;
  QPushButton* eject_ = nullptr;
  QPushButton* close_ = nullptr;
  QList<QWidget*> idle_only_;
  std::atomic<bool> stop_ = false;
  bool running_ = false;
  CardReport report_;
  VolumeInfo written_volume_;
};

}  // namespace parlatone
