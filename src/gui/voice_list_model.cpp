#include "gui/voice_list_model.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>

#include <array>
#include <cmath>

#include "core/project.h"
#include "voices/registration_session.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

using Field = QString VoiceRecord::*;
struct Column {
  const char16_t* heading;
  Field field;
  int twips;
};

// The MP3 series adds "MPEG" and "Layer" after the comment, which is
// narrower there to leave them room.
constexpr std::array<Column, 10> kWaveColumns = {{{u"No.", nullptr, 450},
                                                  {u"NAME", &VoiceRecord::NAME, 1500},
                                                  {u"COMENTS", &VoiceRecord::COMENTS, 3000},
                                                  {u"SampleRate", &VoiceRecord::SampleRate, 1200},
                                                  {u"BitRate", &VoiceRecord::BitRate, 1000},
                                                  {u"TYPE", &VoiceRecord::TYPE, 1000},
                                                  {u"SEC", &VoiceRecord::SEC, 1200},
                                                  {u"BYTES", &VoiceRecord::BYTES, 1200},
                                                  {u"", &VoiceRecord::FilePath, 0},
                                                  {u"", nullptr, 0}}};
constexpr std::array<Column, 12> kMp3Columns = {{{u"No.", nullptr, 450},
                                                 {u"NAME", &VoiceRecord::NAME, 1500},
                                                 {u"COMENTS", &VoiceRecord::COMENTS, 1500},
                                                 {u"MPEG", &VoiceRecord::MPEG, 750},
                                                 {u"Layer", &VoiceRecord::Layer, 750},
                                                 {u"SampleRate", &VoiceRecord::SampleRate, 1200},
                                                 {u"BitRate", &VoiceRecord::BitRate, 1000},
                                                 {u"TYPE", &VoiceRecord::TYPE, 1000},
                                                 {u"SEC", &VoiceRecord::SEC, 1200},
                                                 {u"BYTES", &VoiceRecord::BYTES, 1200},
                                                 {u"", &VoiceRecord::FilePath, 0},
                                                 {u"", nullptr, 0}}};

// A sample rate that is a plain number (as an old project file may hold) is
// shown with two integer and three decimal digits; the usual "22.05KHz"
// stays as it is.
QString SampleRateCell(const QString& text) {
  bool numeric = false;
  const double value = text.trimmed().toDouble(&numeric);
  if (!numeric) {
    return text;
  }
  QString digits = QString::number(std::abs(value), 'f', 3).rightJustified(6, QChar(u'0'));
  return value < 0 ? u'-' + digits : digits;
}

const Column& ColumnAt(bool mp3, int column) {
  return mp3 ? kMp3Columns[static_cast<size_t>(column)] : kWaveColumns[static_cast<size_t>(column)];
}

}  // namespace

VoiceListModel::VoiceListModel(RegistrationSession& session, int rows_per_page, bool mp3,
                               QObject* parent)
    : QAbstractTableModel(parent), session_(session), rows_per_page_(rows_per_page), mp3_(mp3) {}

int VoiceListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_per_page_;
}

int VoiceListModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) {
    return 0;
  }
  return mp3_ ? static_cast<int>(kMp3Columns.size()) : static_cast<int>(kWaveColumns.size());
}

int VoiceListModel::ColumnTwips(int column) const {
  return ColumnAt(mp3_, column).twips;
}

bool VoiceListModel::Registered(int slot) const {
  const WorkingVoiceList& list = session_.List();
  return slot >= 0 && slot < list.size() && !list[slot].NAME.isEmpty();
}

QVariant VoiceListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) {
    return {};
  }
  const int slot = SlotOfRow(index.row());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
      if (!Registered(slot)) {
        return QString();
      }
      if (index.column() == 0) {
        return u"%1"_s.arg(slot + 1, 3, 10, QChar(u'0'));
      }
      const Field field = ColumnAt(mp3_, index.column()).field;
      if (field == nullptr) {
        return QString();
      }
      const QString& text = session_.List()[slot].*field;
      return field == &VoiceRecord::SampleRate ? SampleRateCell(text) : text;
    }
    case Qt::TextAlignmentRole:
      // A comment reads from its start; a centred one is cut at both ends
      // when it is wider than its cell.
      return QVariant::fromValue(Qt::Alignment(
          index.column() == kCommentColumn ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter));
    case Qt::BackgroundRole:
      if (slot == selected_slot_) {
        return QBrush(QColor(210, 225, 240));
      }
      return {};
    default:
      return {};
  }
}

bool VoiceListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || index.column() != kCommentColumn ||
      !Registered(SlotOfRow(index.row()))) {
    return false;
  }
  session_.EditComment(SlotOfRow(index.row()), value.toString());
  Q_EMIT dataChanged(index, index);
  return true;
}

Qt::ItemFlags VoiceListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.isValid() && index.column() == kCommentColumn && Registered(SlotOfRow(index.row()))) {
    flags |= Qt::ItemIsEditable;
  }
  return flags;
}

QVariant VoiceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) {
    return QString::fromUtf16(ColumnAt(mp3_, section).heading);
  }
  return {};
}

void VoiceListModel::Show(int page, int selected_slot) {
  page_ = page;
  selected_slot_ = selected_slot;
  Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

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
    painter->setPen(option.palette.color(QPalette::Normal,
                                         selected ? QPalette::HighlightedText : QPalette::Text));
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

QWidget* CommentDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
  QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
  // Qt cannot pick the input method's mode (hiragana) on every platform;
  // it can make sure the editor takes composed text and asks for no
  // Latin-only keyboard.
  editor->setAttribute(Qt::WA_InputMethodEnabled, true);
  editor->setInputMethodHints(Qt::ImhNone);
  open_editor_ = editor;
  return editor;
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
