// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

#include "core/progress_sink.h"

namespace parlatone {

class VolumeProbe;

// The last step of making a card: the card data folder written onto the
// card in name order (the players read the root directory in the order its
// entries were written), then read back and compared, so that a card that
// would fail in the field fails here.

struct CardFileResult {
  QString name;
  qint64 bytes = 0;
  bool verified = false;
};

struct CardReport {
  QString target;
  QString filesystem;
  qint64 cluster_bytes = 0;
  qint64 free_bytes = 0;
  qint64 needed_bytes = 0;
  QList<CardFileResult> files;  // in the order written
  bool order_ok = false;
  bool ok = false;       // written (or found) complete and equal to the folder
  bool written = false;  // the card was changed
  bool cancelled = false;
  bool pulled = false;  // the card went away before the write was done
  QStringList messages;
};

struct CardWriteOptions {
  // A folder that is not a card: no FAT16 requirement.
  bool any_filesystem = false;
};

// Checks, then writes and verifies. Refusals (a folder that is not card
// data, a card that is not FAT16 or too small, a read-only card) leave the
// card untouched; files already on the card go only when the operator says
// so. Questions go through the operator, progress to `progress` when given,
// else to the operator too; `cancel` stops between two blocks, removing the
// file being written.
CardReport WriteCard(const QString& card_folder, const QString& target, VolumeProbe& probe,
                     const CardWriteOptions& options, Operator& op,
                     const std::atomic<bool>* cancel = nullptr, const ProgressSink& progress = {});

// Compares a card written earlier with the card data folder.
CardReport VerifyCard(const QString& card_folder, const QString& target, VolumeProbe& probe,
                      Operator& op);

// The report for the operator: the verdict, then each message.
QString CardReportText(const CardReport& report);

// A size in megabytes to one decimal ("3.5 MB"): how a card's capacity and
// free room are shown.
QString MegabytesText(qint64 bytes);

}  // namespace parlatone
