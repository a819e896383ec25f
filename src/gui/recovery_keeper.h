// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace parlatone {

class Project;

// Keeps a recovery file of the project while it has unsaved changes: within
// a few seconds of the last change (not on every keystroke) and at least
// every half minute. A project with nothing unsaved has none.
class RecoveryKeeper : public QObject {
  Q_OBJECT

 public:
  static constexpr int kAfterChangeMs = 2000;
  static constexpr int kEveryMs = 30000;

  // `base` is the recovery file's path without its extension, which follows
  // the series.
  RecoveryKeeper(Project& project, QString base, QObject* parent = nullptr);

  // Something changed: the file is written once the changes pause.
  void Touch();
  // Writes now when there is something unsaved, removes the file otherwise.
  void Keep();
  // The project is saved or gone (a clean exit, LOAD, データ初期化, a card
  // made): no recovery file.
  void Discard();
  // A recovery file restored at start is this run's own from then on.
  void Adopt(const QString& path);
  // The file the project came from or was last saved to, kept in the
  // recovery file so that a restored project still knows it.
  void SetProjectFile(const QString& path) { project_file_ = path; }

  QString Path() const;

 private:
  Project& project_;
  QString base_;
  QString written_;  // the file this run wrote, if any
  QString project_file_;
  QTimer after_change_;
  QTimer every_;
};

}  // namespace parlatone
