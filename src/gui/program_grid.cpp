// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/program_grid.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include "core/project.h"
#include "core/series.h"
#include "editor/program_table.h"
#include "gui/program_table_model.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

constexpr double kTwipsPerPixel = 15.0;  // 1440 twips an inch at 96 dots an inch
constexpr int kVoiceTwips = 1450;        // a voice column's usual width
// The narrowest a voice column gets to spare a scroll bar: a name of twelve
// half-width characters still fits.
constexpr int kNarrowestVoiceTwips = 1300;

int Pixels(int twips) {
  return static_cast<int>(twips / kTwipsPerPixel + 0.5);
}

}  // namespace

TwoRowHeader::TwoRowHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionsClickable(false);
  setDefaultAlignment(Qt::AlignCenter);
  // The columns keep the widths they are given ("No." is narrow); the
  // style's minimum would take room the voice names need.
  setMinimumSectionSize(1);
}

QSize TwoRowHeader::sizeHint() const {
  QSize size = QHeaderView::sizeHint();
  size.setHeight(std::max(Pixels(300 + 290), 2 * fontMetrics().height() + 8));
  return size;
}

void TwoRowHeader::paintSection(QPainter* painter, const QRect& rect, int logical_index) const {
  if (model() == nullptr) {
    return;
  }
  const auto text = [this](int section, int role) {
    return model()->headerData(section, Qt::Horizontal, role).toString();
  };
  const QString upper = text(logical_index, ProgramTableModel::kUpperHeaderRole);
  const QString lower = text(logical_index, Qt::DisplayRole);
  const auto draw = [&](const QRect& cell, const QString& caption) {
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = cell;
    option.text = caption;
    option.textAlignment = Qt::AlignCenter;
    option.section = logical_index;
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
  };
  painter->save();
  painter->setClipRect(rect);
  if (upper == lower) {
    draw(rect, lower);
  } else {
    // The upper caption is drawn over all neighbours that share it; each
    // section paints its own slice of it.
    int first = logical_index;
    while (first > 0 && text(first - 1, ProgramTableModel::kUpperHeaderRole) == upper &&
           text(first - 1, Qt::DisplayRole) != upper) {
      --first;
    }
    int last = logical_index;
    while (last + 1 < count() && text(last + 1, ProgramTableModel::kUpperHeaderRole) == upper &&
           text(last + 1, Qt::DisplayRole) != upper) {
      ++last;
    }
    // Centred over the part of the span in view, so that it stays readable
    // when the span is wider than the window.
    const int left = std::max(sectionViewportPosition(first), 0);
    const int right =
        std::min(sectionViewportPosition(last) + sectionSize(last), viewport()->width());
    const int half = rect.height() / 2;
    draw(QRect(left, rect.top(), right - left, half), upper);
    draw(QRect(rect.left(), rect.top() + half, rect.width(), rect.height() - half), lower);
  }
  painter->restore();
}

ChoiceDelegate::ChoiceDelegate(ProgramTableModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

QWidget* ChoiceDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                      const QModelIndex& index) const {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(u"CellChoice"_s);
  const int column = index.column();
  if (column == kSpColumn || column == kRpColumn) {
    const QStringList& texts = column == kSpColumn ? model_.SpTexts() : model_.RpTexts();
    for (qsizetype k = 0; k < texts.size(); ++k) {
      combo->addItem(texts.at(k), QString::number(k + 1));
    }
  } else {
    for (const QString& name : model_.VoiceChoices()) {
      combo->addItem(name, name);
    }
  }
  // A choice made in the list is the edit: commit it and close at once.
  // A list still showing for an editor its view has already closed (Enter
  // closes the editor before the list) chooses nothing.
  connect(combo, &QComboBox::activated, this, [this, combo] {
    if (open_editor_ != combo) {
      return;
    }
    auto* self = const_cast<ChoiceDelegate*>(this);
    open_editor_ = nullptr;
    Q_EMIT self->commitData(combo);
    Q_EMIT self->closeEditor(combo);
  });
  // The list is as wide as its longest entry, whatever the column's width:
  // a file name is never cut in it.
  combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) +
                                 combo->view()->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                 2 * combo->view()->frameWidth());
  combo->installEventFilter(const_cast<ChoiceDelegate*>(this));
  combo->view()->installEventFilter(const_cast<ChoiceDelegate*>(this));
  // The list's frame, to learn when the list closes.
  combo->view()->parentWidget()->installEventFilter(const_cast<ChoiceDelegate*>(this));
  QTimer::singleShot(0, combo, [combo] {
    if (combo->isVisible()) {
      combo->showPopup();
    }
  });
  open_editor_ = combo;
  return combo;
}

void ChoiceDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
  // However the editor closes (a choice, Escape, another cell), it is no
  // longer open: a later button press must not commit it again.
  if (editor == open_editor_) {
    open_editor_ = nullptr;
  }
  QStyledItemDelegate::destroyEditor(editor, index);
}

bool ChoiceDelegate::eventFilter(QObject* watched, QEvent* event) {
  auto* combo = qobject_cast<QComboBox*>(open_editor_.data());
  const bool in_list = combo != nullptr && watched == combo->view();
  const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
  // Delete empties the cell with its list open too; Ctrl+Tab leaves the
  // grid rather than opening the next cell's list. Either way the list
  // closes unchanged and the grid does what the key does.
  const bool leave = key != nullptr &&
                     (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
                     (key->modifiers() & Qt::ControlModifier);
  if (key != nullptr && (key->key() == Qt::Key_Delete || leave) && combo != nullptr &&
      (watched == combo || in_list)) {
    combo->hidePopup();
    QWidget* editor = open_editor_;
    open_editor_ = nullptr;
    Q_EMIT closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    if (auto* grid = qobject_cast<QWidget*>(parent())) {
      if (leave) {
        grid->setFocus();  // the way out starts from the grid, not from the closed list
      }
      QCoreApplication::postEvent(grid,
                                  new QKeyEvent(QEvent::KeyPress, key->key(), key->modifiers()));
    }
    return true;
  }
  if (event->type() == QEvent::Hide && combo != nullptr &&
      watched == combo->view()->parentWidget()) {
    // The list is the editor: closed without a choice (Escape, a click
    // beside it), the cell closes as it was. Left open, the combo box would
    // keep the keys, and an arrow or Home/End would step through its
    // entries and write one instead of moving the selection. A choice is
    // reported only after the list has closed, so the check waits a turn;
    // a chosen editor is gone by then. The turn is the delegate's: a view
    // closing the editor delivers what is posted to the editor.
    QTimer::singleShot(0, this, [this, combo = QPointer<QComboBox>(combo)] {
      if (combo != nullptr && open_editor_ == combo) {
        open_editor_ = nullptr;
        Q_EMIT closeEditor(combo, QAbstractItemDelegate::RevertModelCache);
      }
    });
  }
  if (qobject_cast<QComboBox*>(watched) == nullptr) {
    return false;  // the list and its frame are no editor: their focus and keys are the combo box's
  }
  if (watched != open_editor_) {
    // An editor already closed (its view moved on to another cell) may
    // still lose its focus on the way out: nothing of it is committed.
    return false;
  }
  if (key != nullptr && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
    // Taken at once: the base class would commit on a later turn, by when a
    // click in the list may already have closed this editor.
    CommitOpenEditor();
    return true;
  }
  return QStyledItemDelegate::eventFilter(watched, event);
}

void ChoiceDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* combo = static_cast<QComboBox*>(editor);
  const QString value = index.data(Qt::EditRole).toString();
  const QString key = value.isEmpty() ? u" "_s : value;
  int found = combo->findData(key);
  if (found < 0) {
    // A value the list does not offer (an item number beyond the element
    // file's list, from a file made elsewhere) stays what it is unless the
    // operator chooses another.
    combo->addItem(key, key);
    found = combo->count() - 1;
  }
  combo->setCurrentIndex(found);
}

void ChoiceDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                  const QModelIndex& index) const {
  auto* combo = static_cast<QComboBox*>(editor);
  model->setData(index, combo->currentData(), Qt::EditRole);
}

void ChoiceDelegate::CommitOpenEditor() {
  if (open_editor_) {
    QWidget* editor = open_editor_;
    open_editor_ = nullptr;
    Q_EMIT commitData(editor);
    Q_EMIT closeEditor(editor);
  }
}

FrozenColumns::FrozenColumns(ProgramGrid& grid) : QTableView(&grid), grid_(grid) {
  setObjectName(u"FgProgramFixed"_s);
  setHorizontalHeader(new TwoRowHeader(this));
  verticalHeader()->hide();
  setFocusPolicy(Qt::NoFocus);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void FrozenColumns::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  const bool had_focus = editor->hasFocus();
  QTableView::closeEditor(editor, hint);
  // These columns take no focus of their own: once their drop-down closes,
  // the keys go back to the grid rather than to no widget at all.
  if (had_focus) {
    grid_.setFocus();
  }
}

void FrozenColumns::mousePressEvent(QMouseEvent* event) {
  if (grid_.Locked()) {
    return;
  }
  QTableView::mousePressEvent(event);
  grid_.setFocus();
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && (index.flags() & Qt::ItemIsEditable) &&
      state() != QAbstractItemView::EditingState) {
    edit(index, QAbstractItemView::AllEditTriggers, event);
  }
}

ProgramGrid::ProgramGrid(QWidget* parent) : QTableView(parent) {
  setObjectName(u"FgProgram"_s);
  setHorizontalHeader(new TwoRowHeader(this));
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setTabKeyNavigation(true);
}

void ProgramGrid::SetModel(ProgramTableModel* model) {
  model_ = model;
  setModel(model);
  delegate_ = new ChoiceDelegate(*model, this);
  setItemDelegate(delegate_);

  frozen_ = new FrozenColumns(*this);
  frozen_->setModel(model);
  frozen_->setSelectionModel(selectionModel());
  // A delegate of its own: a delegate's commit reaches every view it serves.
  frozen_delegate_ = new ChoiceDelegate(*model, this);
  frozen_->setItemDelegate(frozen_delegate_);
  frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
  frozen_->setVerticalScrollMode(verticalScrollMode());
  viewport()->stackUnder(frozen_);
  connect(verticalScrollBar(), &QScrollBar::valueChanged, frozen_->verticalScrollBar(),
          &QScrollBar::setValue);
  connect(frozen_->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(),
          &QScrollBar::setValue);
  connect(model, &QAbstractItemModel::modelReset, this, &ProgramGrid::ApplyColumnLayout);
  ApplyColumnLayout();
  frozen_->show();
}

void ProgramGrid::CommitOpenEditor() {
  if (delegate_ != nullptr) {
    delegate_->CommitOpenEditor();
  }
  if (frozen_delegate_ != nullptr) {
    frozen_delegate_->CommitOpenEditor();
  }
}

void ProgramGrid::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  FitVoiceColumns();
  PlaceFrozenColumns();
}

void ProgramGrid::updateGeometries() {
  QTableView::updateGeometries();
  PlaceFrozenColumns();
}

int ProgramGrid::NumberColumnWidth() const {
  // The widest channel number of any series, in the font in use, with the
  // margins a cell keeps on both sides and the grid line.
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  return fontMetrics().horizontalAdvance(ChannelNumberText(kProgramRecordCount - 1)) + 2 * margin +
         1;
}

void ProgramGrid::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
    ApplyColumnLayout();
  }
}

int ProgramGrid::FrozenWidth() const {
  int width = 0;
  for (int column = kChannelColumn; column < kFirstVoiceColumn; ++column) {
    width += columnWidth(column);
  }
  return width;
}

void ProgramGrid::PlaceFrozenColumns() {
  if (frozen_ == nullptr) {
    return;
  }
  frozen_->setGeometry(frameWidth(), frameWidth(), FrozenWidth(),
                       viewport()->height() + horizontalHeader()->height());
}

void ProgramGrid::ApplyColumnLayout() {
  if (model_ == nullptr) {
    return;
  }
  const int columns = model_->columnCount();
  const int widths[] = {420, 455, 455, 1480};
  for (int column = 0; column < columns; ++column) {
    const bool spare = column == columns - 1;
    setColumnHidden(column, spare);
    setColumnWidth(column, Pixels(column < kFirstVoiceColumn ? widths[column] : kVoiceTwips));
    if (column == kChannelColumn) {
      setColumnWidth(column, std::max(columnWidth(column), NumberColumnWidth()));
    }
    if (frozen_ != nullptr) {
      frozen_->setColumnHidden(column, column >= kFirstVoiceColumn);
      frozen_->setColumnWidth(column, columnWidth(column));
    }
  }
  FitVoiceColumns();
  PlaceFrozenColumns();
}

void ProgramGrid::FitVoiceColumns() {
  if (model_ == nullptr) {
    return;
  }
  // The voice columns share what the fixed ones leave when they all fit at
  // their usual width; otherwise they keep it and scroll.
  const int voices = model_->columnCount() - 1 - kFirstVoiceColumn;
  const int room = viewport()->width() - FrozenWidth();
  if (voices <= 0 || room < voices * Pixels(kNarrowestVoiceTwips)) {
    for (int column = kFirstVoiceColumn; column < kFirstVoiceColumn + voices; ++column) {
      setColumnWidth(column, Pixels(kVoiceTwips));
    }
    return;
  }
  for (int v = 0; v < voices; ++v) {
    // Whole pixels: the last columns take the remainder.
    const int width = room / voices + (v >= voices - room % voices ? 1 : 0);
    setColumnWidth(kFirstVoiceColumn + v, width);
  }
}

void ProgramGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
  QTableView::scrollTo(index, hint);
  // A voice cell scrolled in under the fixed columns comes out beside them.
  if (index.isValid() && index.column() >= kFirstVoiceColumn) {
    const int hidden = FrozenWidth() - visualRect(index).left();
    if (hidden > 0) {
      horizontalScrollBar()->setValue(horizontalScrollBar()->value() - hidden);
    }
  }
}

bool ProgramGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  // The fixed columns' cells are edited where they are seen, on the
  // grid's own triggers (F2, an explicit edit), not on a mere move there.
  if (frozen_ != nullptr && index.isValid() && index.column() < kFirstVoiceColumn) {
    if (trigger != QAbstractItemView::AllEditTriggers && (editTriggers() & trigger) == 0) {
      return false;
    }
    return frozen_->edit(index, QAbstractItemView::AllEditTriggers, event);
  }
  return QTableView::edit(index, trigger, event);
}

bool ProgramGrid::focusNextPrevChild(bool next) {
  // Tab walks the cells; past the last (or before the first) it leaves the
  // grid for the window's buttons.
  const QModelIndex current = currentIndex();
  const int last_column = model_ != nullptr ? model_->columnCount() - 2 : 0;
  const bool at_end =
      !current.isValid() ||
      (next ? current.row() == model()->rowCount() - 1 && current.column() == last_column
            : current.row() == 0 && current.column() <= kSpColumn);
  if (at_end) {
    return QWidget::focusNextPrevChild(next);
  }
  return QTableView::focusNextPrevChild(next);
}

void ProgramGrid::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
      (event->modifiers() & Qt::ControlModifier)) {
    // Ctrl+Tab leaves the grid from any cell.
    QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab &&
                                !(event->modifiers() & Qt::ShiftModifier));
    return;
  }
  if (locked_) {
    return;
  }
  const QModelIndex current = currentIndex();
  if (event->key() == Qt::Key_Delete && current.isValid()) {
    Q_EMIT DeletePressed();
    return;
  }
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && current.isValid() &&
      (current.flags() & Qt::ItemIsEditable) && state() != QAbstractItemView::EditingState) {
    edit(current);
    return;
  }
  QTableView::keyPressEvent(event);
}

void ProgramGrid::mousePressEvent(QMouseEvent* event) {
  if (locked_) {
    return;
  }
  QTableView::mousePressEvent(event);
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid() && (index.flags() & Qt::ItemIsEditable) &&
      state() != QAbstractItemView::EditingState) {
    edit(index);
  }
}

}  // namespace parlatone
