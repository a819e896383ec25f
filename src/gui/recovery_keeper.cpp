// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/recovery_keeper.h"

#include <QFile>

#include "controlfile/recovery_file.h"
#include "core/project.h"

namespace parlatone {

RecoveryKeeper::RecoveryKeeper(Project& project, QString base, QObject* parent)
    : QObject(parent), project_(project), base_(std::move(base)) {
  after_change_.setSingleShot(true);
  after_change_.setInterval(kAfterChangeMs);
  connect(&after_change_, &QTimer::timeout, this, &RecoveryKeeper::Keep);
  every_.setInterval(kEveryMs);
  connect(&every_, &QTimer::timeout, this, &RecoveryKeeper::Keep);
  every_.start();
}

QString RecoveryKeeper::Path() const {
  return RecoveryFilePath(base_, project_.Mode());
}

void RecoveryKeeper::Touch() {
  after_change_.start();  // restarted by every change: written once they pause
}

void RecoveryKeeper::Keep() {
  if (project_.IsEdited()) {
    if (WriteRecoveryFile(project_, Path(), project_file_)) {
      written_ = Path();
    }
    return;
  }
  Discard();
}

void RecoveryKeeper::Discard() {
  after_change_.stop();
  // Only what this run wrote: a recovery file of another series, left for
  // the operator to restore in that series, stays.
  if (!written_.isEmpty()) {
    QFile::remove(written_);
    written_.clear();
  }
}

void RecoveryKeeper::Adopt(const QString& path) {
  written_ = path;
}

}  // namespace parlatone
