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

  // Commits and closes an open drop-down, as a button press must before it acts.
  void CommitOpenEditor();

 private:
  ProgramTableModel& model_;
  mutable QPointer<QWidget> open_editor_;
};

// The program grid (FgProgram): one click opens a cell's drop-down; arrows
// move, Enter or F2 open the drop-down, Delete empties a voice cell. The
// channel number column stays in place when the voices scroll sideways.
class ProgramGrid : public QTableView {
  Q_OBJECT

 public:
  explicit ProgramGrid(QWidget* parent = nullptr);
  void SetModel(ProgramTableModel* model);
  ChoiceDelegate* Delegate() const { return delegate_; }
  // Widths of the columns for the series in use (twips at 96 dots per inch).
  void ApplyColumnLayout();
  // Mouse and edits are ignored while an audition runs.
  void SetLocked(bool locked) { locked_ = locked; }

 Q_SIGNALS:
  void DeletePressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void updateGeometries() override;

 private:
  void PlaceFrozenColumn();

  QTableView* frozen_ = nullptr;  // column 0 over the scrolling grid
  ProgramTableModel* model_ = nullptr;
  ChoiceDelegate* delegate_ = nullptr;
  bool locked_ = false;
};

}  // namespace parlatone
