// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

class QUndoCommand;

namespace parlatone {
class FrmMain;
class Project;
}  // namespace parlatone

namespace parlatone::monkey {

// Why the operator may have lost or kept work since the ledger last looked.
struct Allowances {
  bool confirmed = false;    // a question answered Yes, a window's OK, a save
  bool new_project = false;  // a load that succeeded, a restart
};

// Keeps the books on the project: every change must be an undo step, or
// the operator must have allowed it. The state is the project as the
// control-file writer writes it (with the sound paths). Undoing every step must give back the
// baseline: the project as last loaded, or as it stood after the operator last confirmed a change
// the undo stack does not hold.
class Ledger {
 public:
  Ledger(Project& project, FrmMain& window);

  // The project as it is now, in the writer's words.
  QString State() const;

  // Starts the books over: the project as it stands is the baseline.
  void Reset();

  // Looks at the project after an action; the fault found, if any.
  // `round_trip` also undoes every step and redoes them.
  std::optional<QString> Check(const Allowances& allowances, bool round_trip);

  // Undoes every step, compares with the baseline, redoes them all and
  // compares with the project as it was.
  std::optional<QString> RoundTrip();

  // The recovery file against the project, once the changes have paused.
  std::optional<QString> CheckRecoveryFile() const;

  // Milliseconds since the project last changed.
  qint64 QuietFor() const { return since_change_.elapsed(); }
  void Touch() { since_change_.restart(); }

  int StackIndex() const;

 private:
  // The project with every step undone, and again with them all redone.
  std::pair<QString, QString> WalkToTheBottomAndBack();

  Project& project_;
  FrmMain& window_;
  QString baseline_;
  QString last_state_;
  int last_index_ = 0;
  int last_count_ = 0;
  std::vector<const QUndoCommand*> last_commands_;
  // What the project looked like at each index of the undo stack, where
  // known: what undo and redo must give back.
  std::vector<std::optional<QString>> at_index_;
  QElapsedTimer since_change_;
};

}  // namespace parlatone::monkey
