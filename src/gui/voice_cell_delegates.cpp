// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/voice_cell_delegates.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QValidator>

#include "core/text.h"
#include "gui/voice_list_model.h"
#include "gui/waveform_view.h"
#include "voices/registration_session.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// Stops a comment at its byte limit as it is typed or pasted: what went in
// last (before the cursor) is cut until the text fits, so a paste keeps
// what has room and a key beyond the limit types nothing.
class CommentLimit : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override {
    while (AnsiByteLength(input) > RegistrationSession::kMaxCommentBytes && pos > 0) {
      const int cut =
          pos >= 2 && input.at(pos - 1).isLowSurrogate() && input.at(pos - 2).isHighSurrogate() ? 2
                                                                                                : 1;
      input.remove(pos - cut, cut);
      pos -= cut;
    }
    return AnsiByteLength(input) <= RegistrationSession::kMaxCommentBytes ? Acceptable : Invalid;
  }
};

}  // namespace

void VoiceCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  const bool selected = (option.state & QStyle::State_Selected) != 0;
  if (selected) {
    painter->fillRect(option.rect, option.palette.brush(QPalette::Normal, QPalette::Highlight));
  } else if (const QVariant background = index.data(Qt::BackgroundRole); background.isValid()) {
    painter->fillRect(option.rect, background.value<QBrush>());
  }
  const QString text = index.data(Qt::DisplayRole).toString();
  if (!text.isEmpty()) {
    painter->save();
    const QVariant foreground = index.data(Qt::ForegroundRole);
    painter->setPen(selected ? option.palette.color(QPalette::HighlightedText)
                    : foreground.isValid()
                        ? foreground.value<QBrush>().color()
                        : option.palette.color(QPalette::Normal, QPalette::Text));
    painter->setFont(option.font);
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    painter->drawText(option.rect.adjusted(3, 0, -3, 0),
                      static_cast<int>(alignment.isValid() ? alignment.value<Qt::Alignment>()
                                                           : Qt::Alignment(Qt::AlignCenter)) |
                          Qt::TextSingleLine,
                      text);
    painter->restore();
  }
  if ((option.state & QStyle::State_HasFocus) != 0) {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.backgroundColor = option.palette.color(selected ? QPalette::Highlight : QPalette::Base);
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
  }
}

void OutlineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  VoiceCellDelegate::paint(painter, option, index);
  const auto* model = qobject_cast<const VoiceListModel*>(index.model());
  const SoundLevels* levels = model != nullptr ? model->LevelsAt(index.row()) : nullptr;
  if (levels != nullptr) {
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    PaintOutline(*painter, option.rect.adjusted(2, 2, -2, -2), *levels,
                 selected ? option.palette.color(QPalette::HighlightedText) : QColor(40, 100, 170));
  }
}

void LevelsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
  const QString text = index.data(Qt::DisplayRole).toString();
  const qsizetype split = text.indexOf(u" / "_s);
  if (split < 0) {
    VoiceCellDelegate::paint(painter, option, index);
    return;
  }
  // The background and selection as every cell has them, without the text.
  const bool selected = (option.state & QStyle::State_Selected) != 0;
  if (selected) {
    painter->fillRect(option.rect, option.palette.brush(QPalette::Normal, QPalette::Highlight));
  } else if (const QVariant background = index.data(Qt::BackgroundRole); background.isValid()) {
    painter->fillRect(option.rect, background.value<QBrush>());
  }
  painter->save();
  QFont font = option.font;
  font.setPointSizeF(font.pointSizeF() * 0.85);
  painter->setFont(font);
  const QVariant foreground = index.data(Qt::ForegroundRole);
  painter->setPen(selected               ? option.palette.color(QPalette::HighlightedText)
                  : foreground.isValid() ? foreground.value<QBrush>().color()
                                         : option.palette.color(QPalette::Text));
  const QRect top = option.rect.adjusted(2, 0, -2, -option.rect.height() / 2);
  const QRect bottom = option.rect.adjusted(2, option.rect.height() / 2, -2, 0);
  painter->drawText(top, Qt::AlignRight | Qt::AlignBottom | Qt::TextSingleLine, text.left(split));
  painter->drawText(bottom, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                    text.mid(split + 3));
  painter->restore();
}

bool CommentDelegate::eventFilter(QObject* watched, QEvent* event) {
  // Enter takes the comment at once. Left to the base class, the commit
  // would come a turn later, when a button pressed meanwhile may already
  // have closed the editor.
  if (event->type() == QEvent::KeyPress && watched == open_editor_) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      CommitOpenEditor();
      return true;
    }
  }
  return VoiceCellDelegate::eventFilter(watched, event);
}

QWidget* CommentDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  // Qt cannot pick the input method's mode (hiragana) on every platform;
  // it can make sure the editor takes composed text and asks for no
  // Latin-only keyboard.
  editor->setAttribute(Qt::WA_InputMethodEnabled, true);
  editor->setInputMethodHints(Qt::ImhNone);
  if (auto* line = qobject_cast<QLineEdit*>(editor)) {
    line->setValidator(new CommentLimit(line));
  }
  open_editor_ = editor;
  return editor;
}

void CommentDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
  // Closed by its view (focus gone to a button, say): a command that then
  // takes the open comment finds none, and commits nothing twice.
  if (editor == open_editor_) {
    open_editor_ = nullptr;
  }
  VoiceCellDelegate::destroyEditor(editor, index);
}

void CommentDelegate::CommitOpenEditor() {
  if (open_editor_) {
    QWidget* editor = open_editor_;
    open_editor_ = nullptr;
    Q_EMIT commitData(editor);
    Q_EMIT closeEditor(editor);
  }
}

}  // namespace parlatone
