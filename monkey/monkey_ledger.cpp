// SPDX-License-Identifier: GPL-3.0-or-later
#include "monkey/monkey_ledger.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QUndoStack>

#include "controlfile/control_file_writer.h"
#include "core/cp932.h"
#include "core/project.h"
#include "gui/frm_main.h"
#include "gui/recovery_keeper.h"
#include "gui/table_history.h"

namespace parlatone::monkey {

using namespace Qt::StringLiterals;

namespace {

// One date for every text, so that two texts differ only in the project.
const QDateTime kFixedDate(QDate(2026, 1, 1), QTime(0, 0));

QString Clip(const QString& line) {
  return line.size() > 100 ? line.left(100) + u"…"_s : line;
}

// Where two states part: the first line that differs, in both.
QString Difference(const QString& expected, const QString& actual) {
  const QStringList want = expected.split(u"\r\n"_s);
  const QStringList have = actual.split(u"\r\n"_s);
  for (qsizetype i = 0; i < std::max(want.size(), have.size()); ++i) {
    const QString a = i < want.size() ? want[i] : u"(none)"_s;
    const QString b = i < have.size() ? have[i] : u"(none)"_s;
    if (a != b) {
      return u"\n    line %1 should be: %2\n    line %1 is:        %3"_s.arg(i + 1).arg(Clip(a),
                                                                                        Clip(b));
    }
  }
  return {};
}

QByteArray WithoutDate(QByteArray bytes) {
  static const QRegularExpression date(u"\r\nDATE=[0-9.]*\r\n"_s);
  return QString::fromLatin1(bytes).replace(date, u"\r\nDATE=\r\n"_s).toLatin1();
}

}  // namespace

Ledger::Ledger(Project& project, FrmMain& window) : project_(project), window_(window) {
  Reset();
}

QString Ledger::State() const {
  return ControlFileText(project_, true, kFixedDate, true);
}

int Ledger::StackIndex() const {
  return window_.History().Stack().index();
}

std::pair<QString, QString> Ledger::WalkToTheBottomAndBack() {
  QUndoStack& stack = window_.History().Stack();
  const int index = stack.index();
  // The views are not told: the project is back as it was before they
  // next look.
  const QSignalBlocker quiet_stack(&stack);
  const QSignalBlocker quiet_history(&window_.History());
  // Redoing sets the edited flags each step left; after a save they were
  // cleared since. The books' own walk must not mark the project edited
  // behind the recovery keeper's back.
  const auto flags = project_.PageEdited;
  stack.setIndex(0);
  QString bottom = State();
  stack.setIndex(index);
  project_.PageEdited = flags;
  return {std::move(bottom), State()};
}

void Ledger::Reset() {
  const QUndoStack& stack = window_.History().Stack();
  baseline_ = last_state_ = State();
  last_index_ = stack.index();
  last_count_ = stack.count();
  last_commands_.clear();
  for (int i = 0; i < last_count_; ++i) {
    last_commands_.push_back(stack.command(i));
  }
  at_index_.assign(static_cast<size_t>(last_count_) + 1, std::nullopt);
  at_index_[static_cast<size_t>(last_index_)] = last_state_;
  since_change_.restart();
}

std::optional<QString> Ledger::Check(const Allowances& allowances, bool round_trip) {
  const QUndoStack& stack = window_.History().Stack();
  const QString state = State();
  const int index = stack.index();
  const int count = stack.count();
  std::vector<const QUndoCommand*> commands;
  for (int i = 0; i < count; ++i) {
    commands.push_back(stack.command(i));
  }
  // The steps both stacks still share, from the bottom.
  int shared = 0;
  while (shared < count && shared < last_count_ &&
         commands[static_cast<size_t>(shared)] == last_commands_[static_cast<size_t>(shared)]) {
    ++shared;
  }
  const bool stack_moved = index != last_index_ || count != last_count_ || shared != count;
  if (state != last_state_ || stack_moved) {
    since_change_.restart();
  }

  std::optional<QString> fault;
  if (allowances.new_project && count != 0) {
    fault = u"a new project kept %1 undo steps of the one before"_s.arg(count);
  } else if (allowances.confirmed || allowances.new_project) {
    // What the operator allowed is the new starting point: undoing every
    // step from here must come back to it.
    QString again;
    std::tie(baseline_, again) = WalkToTheBottomAndBack();
    at_index_.assign(static_cast<size_t>(count) + 1, std::nullopt);
    at_index_[0] = baseline_;
    if (again != state) {
      fault = u"undoing every step and redoing them all did not give back the project"_s +
              Difference(state, again);
    }
  } else if (shared < last_index_ && index <= shared) {
    fault = u"%1 undo steps vanished without the operator allowing it"_s.arg(last_index_ - shared) +
            Difference(last_state_, state);
  } else if (!stack_moved) {
    if (state != last_state_) {
      fault = u"the project changed without an undo step and without the operator allowing it"_s +
              Difference(last_state_, state);
    }
  } else if (shared == count && count == last_count_) {
    // Only undo or redo: each index has one state.
    const std::optional<QString>& known = at_index_[static_cast<size_t>(index)];
    if (known && *known != state) {
      fault =
          u"going to undo step %1 of %2 did not give back the project as it was there"_s.arg(index)
              .arg(count) +
          Difference(*known, state);
    }
  } else {
    // Steps added: the states below the first new one stand.
    at_index_.resize(static_cast<size_t>(std::min(shared, last_count_)) + 1);
    at_index_.resize(static_cast<size_t>(count) + 1, std::nullopt);
  }
  at_index_.resize(static_cast<size_t>(count) + 1, std::nullopt);
  at_index_[static_cast<size_t>(index)] = state;
  last_state_ = state;
  last_index_ = index;
  last_count_ = count;
  last_commands_ = std::move(commands);
  if (!fault && round_trip) {
    fault = RoundTrip();
  }
  return fault;
}

std::optional<QString> Ledger::RoundTrip() {
  const int index = StackIndex();
  const QString now = State();
  const auto [bottom, again] = WalkToTheBottomAndBack();
  if (bottom != baseline_) {
    return u"undoing all %1 steps did not give back the project as last loaded or confirmed"_s.arg(
               index) +
           Difference(baseline_, bottom);
  }
  if (again != now) {
    return u"redoing all %1 steps did not give back the project"_s.arg(index) +
           Difference(now, again);
  }
  return std::nullopt;
}

std::optional<QString> Ledger::CheckRecoveryFile() const {
  const QString path = window_.Recovery().Path();
  QFile file(path);
  const bool exists = file.exists();
  if (!project_.IsEdited()) {
    if (exists) {
      return u"nothing is unsaved, yet the recovery file is still there: "_s + path;
    }
    return std::nullopt;
  }
  if (!exists) {
    if (project_.voices.isEmpty()) {
      return std::nullopt;  // nothing worth keeping
    }
    return u"unsaved changes, yet no recovery file two seconds after the last: "_s + path;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    return u"the recovery file cannot be read: "_s + path;
  }
  QByteArray bytes = file.readAll();
  // The checksum line at the end, and the series and project file lines
  // among the owner details, are the recovery file's own.
  const qsizetype check = bytes.lastIndexOf("\r\nCHECK=");
  if (check < 0) {
    return u"the recovery file has no checksum line"_s;
  }
  bytes.truncate(check + 2);
  static const QRegularExpression mode(u"\r\nMODE=[0-9]+\r\n(FILE=[^\r]*\r\n)?"_s);
  const QByteArray kept =
      WithoutDate(QString::fromLatin1(bytes).replace(mode, u"\r\n"_s).toLatin1());
  const QByteArray expected =
      WithoutDate(cp932::Encode(ControlFileText(project_, true, kFixedDate, true)));
  if (kept != expected) {
    if (project_.voices.isEmpty()) {
      return u"the recovery file holds an older project than the one edited (which has no "
             u"voices)"_s;
    }
    return u"two seconds after the last change, the recovery file does not hold the project"_s +
           Difference(cp932::Decode(expected), cp932::Decode(kept));
  }
  return std::nullopt;
}

}  // namespace parlatone::monkey
