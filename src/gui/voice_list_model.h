#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStyledItemDelegate>

namespace parlatone {

class RegistrationSession;

// The registration grid's model: one page of the session's working list,
// read in place. A page is redrawn with one change notice, however many
// voices a run registered.
class VoiceListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int kCommentColumn = 2;

  VoiceListModel(RegistrationSession& session, int rows_per_page, bool mp3,
                 QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Column widths in twips; 0 for the hidden columns.
  int ColumnTwips(int column) const;

  int SlotOfRow(int row) const { return page_ * rows_per_page_ + row; }
  int Page() const { return page_; }
  // The page in view and the highlighted slot (-1 for none); the rows are
  // redrawn whether or not either changed, since the list may have.
  void Show(int page, int selected_slot);

 private:
  bool Registered(int slot) const;

  RegistrationSession& session_;
  int rows_per_page_;
  bool mp3_;
  int page_ = 0;
  int selected_slot_ = -1;
};

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

 private:
  mutable QPointer<QWidget> open_editor_;
};

}  // namespace parlatone
