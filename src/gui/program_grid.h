// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHeaderView>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

namespace parlatone {

class ProgramTableModel;

// Two header rows in one: "No.", "SP", "RP" and "時間" span both rows,
// "VOICE" spans the voice columns above " 1 " … " 24 ".
class TwoRowHeader : public QHeaderView {
 public:
  explicit TwoRowHeader(QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logical_index) const override;
};

// The drop-downs of the program grid: SP and RP show the element file's texts
// and store item numbers; voice cells offer " " and the registered names.
// The list opens as soon as the cell's editor does.
class ChoiceDelegate : public QStyledItemDelegate {
 public:
  ChoiceDelegate(ProgramTableModel& model, QObject* parent);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;

  void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
  bool eventFilter(QObject* watched, QEvent* event) override;

  // Commits and closes an open drop-down, as a button press must before it acts.
  void CommitOpenEditor();

 private:
  ProgramTableModel& model_;
  mutable QPointer<QWidget> open_editor_;
};

class ProgramGrid;

// The columns that stay in place (No., SP, RP, 時間) when the voices scroll
// sideways: a view of the same model over the grid's left edge, sharing its
// selection, in which SP and RP open their drop-downs as in the grid.
class FrozenColumns : public QTableView {
 public:
  explicit FrozenColumns(ProgramGrid& grid);
  using QTableView::edit;

 protected:
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  ProgramGrid& grid_;
};

// The program grid (FgProgram): one click opens a cell's drop-down; arrows
// move, Enter or F2 open the drop-down, Delete empties a voice cell; Tab
// moves from cell to cell and, from the last one (or with Ctrl), on to the
// window's buttons. No., SP, RP and 時間 stay in place when the voices
// scroll sideways; where the voices fit, they share the width and nothing
// scrolls.
class ProgramGrid : public QTableView {
  Q_OBJECT

 public:
  explicit ProgramGrid(QWidget* parent = nullptr);
  using QTableView::edit;
  void SetModel(ProgramTableModel* model);
  // Commits and closes an open drop-down, wherever it is open.
  void CommitOpenEditor();
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
  // Widths of the columns for the series in use (twips at 96 dots per inch).
  void ApplyColumnLayout();
  // Mouse and edits are ignored while an audition runs.
  void SetLocked(bool locked) { locked_ = locked; }
  bool Locked() const { return locked_; }

 Q_SIGNALS:
  void DeletePressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void updateGeometries() override;
  void changeEvent(QEvent* event) override;
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void PlaceFrozenColumns();
  void FitVoiceColumns();
  int FrozenWidth() const;
  // Wide enough for "1000" in the grid's font.
  int NumberColumnWidth() const;

  FrozenColumns* frozen_ = nullptr;
  ChoiceDelegate* frozen_delegate_ = nullptr;
  ProgramTableModel* model_ = nullptr;
  ChoiceDelegate* delegate_ = nullptr;
  bool locked_ = false;
};

}  // namespace parlatone
