// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

namespace parlatone {

// Paints the registration grid's cells as plain one-line text: a run shows
// a page of new names at once, and the style's general item painting (text
// layout, eliding, icons) is most of the cost of that repaint.
class VoiceCellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

// The comment cell's editor: a line edit open to the platform's input
// method, since comments are mostly written in Japanese.
class CommentDelegate : public VoiceCellDelegate {
  Q_OBJECT

 public:
  using VoiceCellDelegate::VoiceCellDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  // Takes the text of a comment still being typed into the list: every
  // command works on the comments as the operator sees them.
  void CommitOpenEditor();
  void destroyEditor(QWidget* editor, const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  mutable QPointer<QWidget> open_editor_;
};

// Paints a voice's outline in the registration grid.
class OutlineDelegate : public VoiceCellDelegate {
  Q_OBJECT

 public:
  using VoiceCellDelegate::VoiceCellDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

// Paints a voice's levels on two lines, loudness over peak, so that the
// column stays narrow enough for the grid to fit a small screen.
class LevelsDelegate : public VoiceCellDelegate {
  Q_OBJECT

 public:
  using VoiceCellDelegate::VoiceCellDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

}  // namespace parlatone
