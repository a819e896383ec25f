// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <functional>

#include "editor/program_table.h"

namespace parlatone {

class Project;
class TableHistory;

// The program grid's model: a view of the project's program records for the
// page in view, never a copy. Edits go through the program table's
// operations, which keep every channel packed and timed. The model announces
// every change itself: the steps of the table history name the channels they
// touched, a cleared or loaded project and another page or series reset it.
class ProgramTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Role of the upper header text (the lower one is the display role).
  static constexpr int kUpperHeaderRole = Qt::UserRole + 1;

  ProgramTableModel(Project& project, QStringList sp_texts, QStringList rp_texts,
                    QObject* parent = nullptr);
  ~ProgramTableModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The channel shown in a model row of the current page.
  int ChannelAt(int row) const;
  int VoiceSlotAt(int column) const;  // -1 outside the voice columns
  QModelIndex IndexOf(int channel, int slot) const;

  const QStringList& SpTexts() const { return sp_texts_; }
  const QStringList& RpTexts() const { return rp_texts_; }
  QStringList VoiceChoices() const;  // " " first, then the registered names

  // The channel being played is painted in the playing colour; -1 for none.
  void SetHighlightedChannel(int channel);

  // Runs a change that replaces what the model shows as a whole (another
  // page, another series, a new project), announced as one reset.
  void Replace(const std::function<void()>& change);
  // The page in view.
  void ShowPage(int page);

  ProgramTable& Table() { return table_; }
  // Cell edits become steps of the undo history, and every step of the
  // history is announced as a change of the channels it touched.
  void SetHistory(TableHistory* history);
  Project& project() { return project_; }

 Q_SIGNALS:
  // The operator changed a cell.
  void CellEdited();

 private:
  // The rows of these channels that the current page shows changed.
  void AnnounceChannels(const QList<int>& channels);

  Project& project_;
  ProgramTable table_;
  QStringList sp_texts_;
  QStringList rp_texts_;
  int highlighted_channel_ = -1;
  TableHistory* history_ = nullptr;
  int cleared_listener_ = 0;
  bool replacing_ = false;
};

}  // namespace parlatone
