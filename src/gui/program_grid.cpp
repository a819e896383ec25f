#include "gui/program_grid.h"

#include <QComboBox>
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

int Pixels(int twips) {
  return static_cast<int>(twips / kTwipsPerPixel + 0.5);
}

}  // namespace

TwoRowHeader::TwoRowHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setSectionsClickable(false);
  setDefaultAlignment(Qt::AlignCenter);
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
  connect(combo, &QComboBox::activated, this, [this, combo] {
    auto* self = const_cast<ChoiceDelegate*>(this);
    Q_EMIT self->commitData(combo);
    Q_EMIT self->closeEditor(combo);
  });
  QTimer::singleShot(0, combo, [combo] {
    if (combo->isVisible()) {
      combo->showPopup();
    }
  });
  open_editor_ = combo;
  return combo;
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

ProgramGrid::ProgramGrid(QWidget* parent) : QTableView(parent) {
  setObjectName(u"FgProgram"_s);
  setHorizontalHeader(new TwoRowHeader(this));
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setTabKeyNavigation(true);
}

void ProgramGrid::SetModel(ProgramTableModel* model) {
  model_ = model;
  setModel(model);
  delegate_ = new ChoiceDelegate(*model, this);
  setItemDelegate(delegate_);

  frozen_ = new QTableView(this);
  frozen_->setObjectName(u"FgProgramNumbers"_s);
  frozen_->setModel(model);
  frozen_->setSelectionModel(selectionModel());
  frozen_->setHorizontalHeader(new TwoRowHeader(frozen_));
  frozen_->verticalHeader()->hide();
  frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
  frozen_->setFocusPolicy(Qt::NoFocus);
  frozen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  frozen_->setSelectionMode(QAbstractItemView::NoSelection);
  frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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

void ProgramGrid::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  PlaceFrozenColumn();
}

void ProgramGrid::updateGeometries() {
  QTableView::updateGeometries();
  PlaceFrozenColumn();
}

void ProgramGrid::PlaceFrozenColumn() {
  if (frozen_ == nullptr) {
    return;
  }
  frozen_->setGeometry(frameWidth(), frameWidth(), columnWidth(kChannelColumn),
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
    setColumnWidth(column, Pixels(column < 4 ? widths[column] : 1450));
    if (frozen_ != nullptr) {
      frozen_->setColumnHidden(column, column != kChannelColumn);
      frozen_->setColumnWidth(column, columnWidth(column));
    }
  }
  PlaceFrozenColumn();
}

void ProgramGrid::keyPressEvent(QKeyEvent* event) {
  if (locked_) {
    return;
  }
  const QModelIndex current = currentIndex();
  if (event->key() == Qt::Key_Delete && current.isValid()) {
    Q_EMIT DeletePressed();
    return;
  }
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && current.isValid() &&
      state() != QAbstractItemView::EditingState) {
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
