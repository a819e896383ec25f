// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/table_history.h"

#include <QUndoCommand>

#include <array>
#include <utility>
#include <vector>

#include "core/project.h"

namespace parlatone {

namespace {

// The rows a step touches and the edited flags, as they are at one moment.
struct TableState {
  std::vector<std::pair<int, ProgramRecord>> rows;
  std::array<bool, kMaxPageCount> page_edited{};

  static TableState Of(const Project& project, const QList<int>& channels) {
    TableState state;
    for (const int channel : channels) {
      state.rows.emplace_back(channel, project.programs[static_cast<size_t>(channel)]);
    }
    for (int page = 0; page < kMaxPageCount; ++page) {
      state.page_edited[static_cast<size_t>(page)] = project.PageEdited[static_cast<size_t>(page)];
    }
    return state;
  }

  void ApplyTo(Project& project) const {
    for (const auto& [channel, record] : rows) {
      project.programs[static_cast<size_t>(channel)] = record;
    }
    for (int page = 0; page < kMaxPageCount; ++page) {
      project.PageEdited[static_cast<size_t>(page)] = page_edited[static_cast<size_t>(page)];
    }
  }

  bool operator==(const TableState& other) const {
    return rows == other.rows && page_edited == other.page_edited;
  }
};

}  // namespace

class TableStep : public QUndoCommand {
 public:
  TableStep(TableHistory& history, const QString& text, QList<int> channels, TableState before,
            TableState after)
      : QUndoCommand(text),
        history_(history),
        channels_(std::move(channels)),
        before_(std::move(before)),
        after_(std::move(after)) {}

  // The change itself has run already when the step is pushed.
  void redo() override {
    if (std::exchange(pushed_, true)) {
      Restore(after_);
    }
  }
  void undo() override { Restore(before_); }

 private:
  void Restore(const TableState& state) {
    state.ApplyTo(history_.project_);
    Q_EMIT history_.Changed(channels_);
    Q_EMIT history_.Restored();
  }

  TableHistory& history_;
  QList<int> channels_;
  TableState before_;
  TableState after_;
  bool pushed_ = false;
};

TableHistory::TableHistory(Project& project, QObject* parent)
    : QObject(parent), project_(project) {}

bool TableHistory::Record(const QString& text, const QList<int>& channels,
                          const std::function<bool()>& change) {
  QList<int> touched;
  if (channels.isEmpty()) {
    for (int channel = 0; channel < project_.ChannelCount; ++channel) {
      touched << channel;
    }
  } else {
    for (const int channel : channels) {
      if (channel >= 0 && channel < project_.ChannelCount && !touched.contains(channel)) {
        touched << channel;
      }
    }
  }
  TableState before = TableState::Of(project_, touched);
  if (!change()) {
    return false;
  }
  TableState after = TableState::Of(project_, touched);
  if (!(before == after)) {
    stack_.push(new TableStep(*this, text, touched, std::move(before), std::move(after)));
  }
  Q_EMIT Changed(touched);
  return true;
}

}  // namespace parlatone
