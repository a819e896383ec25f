// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/voice_list_model.h"

#include <QBrush>
#include <QColor>

#include <algorithm>
#include <array>
#include <cmath>

#include "core/project.h"
#include "gui/levels_feeder.h"
#include "gui/waveform_view.h"
#include "sound/levels_text.h"
#include "voices/registration_session.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

using Field = QString VoiceRecord::*;
struct Column {
  const char* heading;
  Field field;
  int twips;
};

// The MP3 series adds "MPEG" and "Layer" after the comment, which is
// narrower there to leave them room.
constexpr std::array<Column, 12> kWaveColumns = {
    {{QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "No."), nullptr, 450},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "NAME"), &VoiceRecord::NAME, 1500},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "COMENTS"), &VoiceRecord::COMENTS, 3000},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "SampleRate"), &VoiceRecord::SampleRate, 1200},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "BitRate"), &VoiceRecord::BitRate, 1000},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "TYPE"), &VoiceRecord::TYPE, 1000},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "SEC"), &VoiceRecord::SEC, 1200},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "BYTES"), &VoiceRecord::BYTES, 1200},
     {"", &VoiceRecord::FilePath, 0},
     {"", nullptr, 0},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "波形"), nullptr, 900},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "レベル"), nullptr, 1100}}};
constexpr std::array<Column, 14> kMp3Columns = {
    {{QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "No."), nullptr, 450},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "NAME"), &VoiceRecord::NAME, 1500},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "COMENTS"), &VoiceRecord::COMENTS, 1500},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "MPEG"), &VoiceRecord::MPEG, 750},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "Layer"), &VoiceRecord::Layer, 750},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "SampleRate"), &VoiceRecord::SampleRate, 1200},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "BitRate"), &VoiceRecord::BitRate, 1000},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "TYPE"), &VoiceRecord::TYPE, 1000},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "SEC"), &VoiceRecord::SEC, 1200},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "BYTES"), &VoiceRecord::BYTES, 1200},
     {"", &VoiceRecord::FilePath, 0},
     {"", nullptr, 0},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "波形"), nullptr, 900},
     {QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "レベル"), nullptr, 1100}}};

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

// A voice kept without its file says so where its format would stand, in red.
constexpr char kMissingText[] =
    QT_TRANSLATE_NOOP("parlatone::VoiceListModel", "ファイルが見つかりません");
const QColor kMissingInk(190, 0, 0);
const QColor kMissingPaper(255, 228, 225);

const Column& ColumnAt(bool mp3, int column) {
  return mp3 ? kMp3Columns[static_cast<size_t>(column)] : kWaveColumns[static_cast<size_t>(column)];
}

}  // namespace

VoiceListModel::VoiceListModel(RegistrationSession& session, int rows_per_page, bool mp3,
                               QObject* parent)
    : QAbstractTableModel(parent), session_(session), rows_per_page_(rows_per_page), mp3_(mp3) {
  connect(&session_, &RegistrationSession::VoicesChanged, this, &VoiceListModel::VoicesChanged);
}

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

QString VoiceListModel::PathOfSlot(int slot) const {
  return Registered(slot) ? session_.List()[slot].FilePath : QString();
}

void VoiceListModel::SetFeeder(LevelsFeeder* feeder) {
  feeder_ = feeder;
  connect(feeder_, &LevelsFeeder::Arrived, this, &VoiceListModel::LevelsArrived);
  RequestLevels();
}

const SoundLevels* VoiceListModel::LevelsAt(int row) const {
  const QString path = PathOfSlot(SlotOfRow(row));
  return feeder_ != nullptr && !path.isEmpty() ? feeder_->Known(path) : nullptr;
}

void VoiceListModel::RequestLevels() {
  if (feeder_ == nullptr) {
    return;
  }
  QStringList paths;
  for (int row = 0; row < rows_per_page_; ++row) {
    if (const QString path = PathOfSlot(SlotOfRow(row)); !path.isEmpty()) {
      paths << path;
    }
  }
  const WorkingVoiceList& list = session_.List();
  for (int slot = 0; slot < list.size(); ++slot) {
    if (const QString path = PathOfSlot(slot); !path.isEmpty()) {
      paths << path;
    }
  }
  feeder_->Request(paths);
  LevelsArrived();
}

void VoiceListModel::LevelsArrived() {
  std::vector<double> loudness;
  const WorkingVoiceList& list = session_.List();
  for (int slot = 0; slot < list.size(); ++slot) {
    const QString path = PathOfSlot(slot);
    const SoundLevels* levels = path.isEmpty() ? nullptr : feeder_->Known(path);
    if (levels != nullptr && levels->loudness_lufs) {
      loudness.push_back(*levels->loudness_lufs);
    }
  }
  median_lufs_.reset();
  if (loudness.size() >= 2) {
    std::sort(loudness.begin(), loudness.end());
    const size_t middle = loudness.size() / 2;
    median_lufs_ = loudness.size() % 2 == 1 ? loudness[middle]
                                            : (loudness[middle - 1] + loudness[middle]) / 2.0;
  }
  // Every row: a new figure may move the median and so another row's mark.
  Q_EMIT dataChanged(index(0, OutlineColumn()), index(rowCount() - 1, LevelsColumn()));
}

QString VoiceListModel::LevelsWarning(const SoundLevels& levels) const {
  QStringList reasons;
  if (levels.clipped) {
    reasons << tr("ピークがフルスケールに達しています（音割れのおそれがあります）。");
  }
  if (median_lufs_ && levels.loudness_lufs) {
    const double difference = *levels.loudness_lufs - *median_lufs_;
    if (std::abs(difference) > kOutlierLu) {
      reasons << (difference > 0 ? tr("登録した音声の中央値（%1 LUFS）より %2 LU 大きい音量です。")
                                 : tr("登録した音声の中央値（%1 LUFS）より %2 LU 小さい音量です。"))
                     .arg(QString::number(*median_lufs_, 'f', 1).replace(u'-', u'\u2212'))
                     .arg(std::abs(difference), 0, 'f', 1);
    }
  }
  return reasons.join(u'\n');
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
  if (index.column() >= OutlineColumn()) {
    return LevelsData(index, role);
  }
  const VoiceRecord* missing =
      Registered(slot) && session_.List()[slot].IsMissing() ? &session_.List()[slot] : nullptr;
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
      if (missing != nullptr && field == &VoiceRecord::SampleRate && role == Qt::DisplayRole) {
        return tr(kMissingText);
      }
      const QString& text = session_.List()[slot].*field;
      return field == &VoiceRecord::SampleRate ? SampleRateCell(text) : text;
    }
    case Qt::ToolTipRole:
      if (missing == nullptr) {
        return {};
      }
      return tr("ファイルが見つかりません\n"
                "探した場所：\n%1\n"
                "ファイルを登録し直すか、削除してください。")
          .arg(missing->missing_from.join(u'\n'));
    case Qt::ForegroundRole:
      return missing != nullptr ? QVariant(QBrush(kMissingInk)) : QVariant();
    case Qt::TextAlignmentRole:
      // A comment reads from its start; a centred one is cut at both ends
      // when it is wider than its cell.
      return QVariant::fromValue(Qt::Alignment(
          index.column() == kCommentColumn ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter));
    case Qt::BackgroundRole:
      if (slot == selected_slot_) {
        return QBrush(QColor(210, 225, 240));
      }
      return missing != nullptr ? QVariant(QBrush(kMissingPaper)) : QVariant();
    default:
      return {};
  }
}

QVariant VoiceListModel::LevelsData(const QModelIndex& index, int role) const {
  const QString path = PathOfSlot(SlotOfRow(index.row()));
  if (path.isEmpty() || feeder_ == nullptr) {
    return {};
  }
  const SoundLevels* levels = feeder_->Known(path);
  const bool levels_column = index.column() == LevelsColumn();
  switch (role) {
    case Qt::DisplayRole:
      if (!levels_column) {
        return {};
      }
      if (levels == nullptr) {
        return feeder_->IsPending(path) ? tr("…") : tr("読めません");
      }
      return LevelsText(*levels);
    case Qt::ToolTipRole: {
      if (levels == nullptr) {
        return {};
      }
      const QString warning = LevelsWarning(*levels);
      const QString figures = tr("%1\n無音：先頭 %2 ms、末尾 %3 ms")
                                  .arg(LevelsText(*levels))
                                  .arg(levels->leading_silence_ms)
                                  .arg(levels->trailing_silence_ms);
      return warning.isEmpty() ? figures : warning + u'\n' + figures;
    }
    case Qt::ForegroundRole:
      if (levels != nullptr && levels_column && !LevelsWarning(*levels).isEmpty()) {
        return QBrush(QColor(190, 0, 0));
      }
      return {};
    case Qt::BackgroundRole:
      if (levels != nullptr && !LevelsWarning(*levels).isEmpty()) {
        return QBrush(QColor(255, 228, 225));
      }
      return SlotOfRow(index.row()) == selected_slot_ ? QBrush(QColor(210, 225, 240)) : QVariant();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    default:
      return {};
  }
}

bool VoiceListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || index.column() != kCommentColumn ||
      !Registered(SlotOfRow(index.row()))) {
    return false;
  }
  // The session announces the change, if it is one.
  session_.EditComment(SlotOfRow(index.row()), value.toString());
  return true;
}

Qt::ItemFlags VoiceListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == kCommentColumn && Registered(SlotOfRow(index.row()))) {
    flags |= Qt::ItemIsEditable;
  }
  return flags;
}

QVariant VoiceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) {
    return tr(ColumnAt(mp3_, section).heading);
  }
  return {};
}

void VoiceListModel::SetPage(int page) {
  if (page == page_) {
    return;
  }
  page_ = page;
  Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  // The new page's files are read first.
  RequestLevels();
}

void VoiceListModel::SetSelectedSlot(int slot) {
  const int before = selected_slot_;
  selected_slot_ = slot;
  if (before != slot) {
    SlotsChanged(before, before);
    SlotsChanged(slot, slot);
  }
}

void VoiceListModel::SlotsChanged(int first_slot, int last_slot) {
  const int first_row = std::max(first_slot - SlotOfRow(0), 0);
  const int last_row = std::min(last_slot - SlotOfRow(0), rowCount() - 1);
  if (first_row <= last_row) {
    Q_EMIT dataChanged(index(first_row, 0), index(last_row, columnCount() - 1));
  }
}

void VoiceListModel::VoicesChanged(int first_slot, int last_slot) {
  SlotsChanged(first_slot, last_slot);
  // Other files, and with them another median.
  RequestLevels();
}

}  // namespace parlatone
