// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/program_table_model.h"

#include <QColor>

#include <algorithm>

#include "core/project.h"
#include "core/series.h"
#include "gui/table_history.h"

namespace parlatone {

using namespace Qt::StringLiterals;

ProgramTableModel::ProgramTableModel(Project& project, QStringList sp_texts, QStringList rp_texts,
                                     QObject* parent)
    : QAbstractTableModel(parent),
      project_(project),
      table_(project),
      sp_texts_(std::move(sp_texts)),
      rp_texts_(std::move(rp_texts)) {
  // A project cleared or loaded from elsewhere (a load, the recovery file)
  // is new content throughout.
  cleared_listener_ = project_.AddClearedListener([this] {
    if (!replacing_) {
      beginResetModel();
      endResetModel();
    }
  });
}

ProgramTableModel::~ProgramTableModel() {
  project_.RemoveClearedListener(cleared_listener_);
}

void ProgramTableModel::SetHistory(TableHistory* history) {
  if (history_ != nullptr) {
    disconnect(history_, nullptr, this, nullptr);
  }
  history_ = history;
  if (history_ != nullptr) {
    connect(history_, &TableHistory::Changed, this, &ProgramTableModel::AnnounceChannels);
  }
}

int ProgramTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : project_.ChannelsPerPage;
}

int ProgramTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : project_.GridColumns;
}

int ProgramTableModel::ChannelAt(int row) const {
  return ChannelOfRow(project_, project_.CurrentPage, row + kHeaderRows);
}

int ProgramTableModel::VoiceSlotAt(int column) const {
  const int slot = column - kFirstVoiceColumn;
  return slot >= 0 && slot <= MaxVoiceIndex(project_.Mode()) ? slot : -1;
}

QModelIndex ProgramTableModel::IndexOf(int channel, int slot) const {
  return index(RowOfChannel(project_, channel) - kHeaderRows, kFirstVoiceColumn + slot);
}

QStringList ProgramTableModel::VoiceChoices() const {
  QStringList choices{u" "_s};
  for (const VoiceRecord& voice : project_.voices) {
    choices << voice.NAME;
  }
  return choices;
}

QVariant ProgramTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) {
    return {};
  }
  if (role == Qt::TextAlignmentRole) {
    return int(Qt::AlignCenter);
  }
  const int channel = ChannelAt(index.row());
  if (role == Qt::BackgroundRole) {
    // Columns 1 to the last shown one; the channel number keeps its look.
    const bool playing = channel == highlighted_channel_ && index.column() >= kSpColumn &&
                         index.column() <= columnCount() - 2;
    return playing ? QVariant(QColor(210, 225, 240)) : QVariant();
  }
  if (role != Qt::DisplayRole && role != Qt::EditRole) {
    return {};
  }
  if (channel < 0 || channel >= kProgramRecordCount) {
    return {};
  }
  const ProgramRecord& record = project_.programs[static_cast<size_t>(channel)];
  const int column = index.column();
  const bool display = role == Qt::DisplayRole;
  switch (column) {
    case kChannelColumn:
      return ChannelNumberText(channel);
    case kSpColumn:
      return display ? ItemText(sp_texts_, record.SP) : record.SP;
    case kRpColumn:
      return display ? ItemText(rp_texts_, record.RP) : record.RP;
    case kTimeColumn:
      return ChannelTenths{SecondsTextToTenths(record.Time)}.OneDecimalText();
    default:
      break;
  }
  const int slot = VoiceSlotAt(column);
  return slot < 0 ? QVariant() : QVariant(record.Voice[static_cast<size_t>(slot)]);
}

bool ProgramTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) {
    return false;
  }
  const int channel = ChannelAt(index.row());
  const QString text = value.toString();
  const QVariant before = data(index, Qt::EditRole);
  if (before.toString() == text || (IsEmptyVoice(before.toString()) && IsEmptyVoice(text))) {
    return false;  // choosing what is there is no edit
  }
  const auto edit = [&] {
    switch (index.column()) {
      case kSpColumn:
        table_.EditSp(channel, text);
        break;
      case kRpColumn:
        table_.EditRp(channel, text);
        break;
      default:
        table_.EditVoice(channel, VoiceSlotAt(index.column()), text);
        break;
    }
    return true;
  };
  if (history_ != nullptr) {
    history_->Record(tr("セルの変更"), {channel}, edit);  // announced by the history
  } else {
    edit();
    AnnounceChannels({channel});
  }
  Q_EMIT CellEdited();
  return true;
}

Qt::ItemFlags ProgramTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) {
    return Qt::NoItemFlags;
  }
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  const int column = index.column();
  if (column == kSpColumn || column == kRpColumn ||
      (VoiceSlotAt(column) >= 0 && project_.VoicesRegistered)) {
    flags |= Qt::ItemIsEditable;
  }
  return flags;
}

QVariant ProgramTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) {
    return {};
  }
  if (role == Qt::TextAlignmentRole) {
    return int(Qt::AlignCenter);
  }
  if (role != Qt::DisplayRole && role != kUpperHeaderRole) {
    return {};
  }
  switch (section) {
    case kChannelColumn:
      return tr("No.");
    case kSpColumn:
      return tr("SP");
    case kRpColumn:
      return tr("RP");
    case kTimeColumn:
      return tr("時間");
    default:
      break;
  }
  const int slot = VoiceSlotAt(section);
  if (slot < 0) {
    return QString();
  }
  return role == kUpperHeaderRole ? tr("VOICE") : u" %1 "_s.arg(slot + 1);
}

void ProgramTableModel::SetHighlightedChannel(int channel) {
  const int previous = highlighted_channel_;
  highlighted_channel_ = channel;
  // Apart: the two rows may be a page apart.
  AnnounceChannels({previous});
  AnnounceChannels({channel});
}

void ProgramTableModel::Replace(const std::function<void()>& change) {
  beginResetModel();
  replacing_ = true;
  change();
  replacing_ = false;
  endResetModel();
}

void ProgramTableModel::ShowPage(int page) {
  Replace([this, page] { project_.CurrentPage = page; });
}

void ProgramTableModel::AnnounceChannels(const QList<int>& channels) {
  // One notice for the span of rows the page shows of them.
  int first = rowCount();
  int last = -1;
  for (const int channel : channels) {
    if (channel < 0 || PageOfChannel(project_, channel) != project_.CurrentPage) {
      continue;
    }
    const int row = RowOfChannel(project_, channel) - kHeaderRows;
    first = std::min(first, row);
    last = std::max(last, row);
  }
  if (last >= 0) {
    Q_EMIT dataChanged(index(first, 0), index(last, columnCount() - 1));
  }
}

}  // namespace parlatone
