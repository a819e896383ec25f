// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

namespace parlatone {

class Project;

// Undo and redo of the changes to the program table: each change (a cell, a
// delete, a move, delete all, a bulk assignment, the purge after the voice
// list changed) is one step that puts back the rows it touched, their times
// and the pages' edited flags exactly as they were.
class TableHistory : public QObject {
  Q_OBJECT

 public:
  TableHistory(Project& project, QObject* parent = nullptr);

  QUndoStack& Stack() { return stack_; }

  // Runs `change` as one step. `channels` are those it may change; empty
  // means every channel of the series. Nothing is recorded when the change
  // reports false or changed nothing.
  bool Record(const QString& text, const QList<int>& channels, const std::function<bool()>& change);

  // A new project (LOAD, データ初期化, another series): nothing to go back to.
  void Clear() { stack_.clear(); }

 Q_SIGNALS:
  // The records of these channels may have changed: a change ran (whether
  // or not it changed anything), or undo or redo put records back.
  void Changed(const QList<int>& channels);
  // Undo or redo put records back behind the views.
  void Restored();

 private:
  friend class TableStep;
  Project& project_;
  QUndoStack stack_;
};

}  // namespace parlatone
