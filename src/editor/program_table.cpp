// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/program_table.h"

#include <algorithm>

#include "core/messages.h"
#include "core/operator.h"
#include "core/project.h"
#include "core/series.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

ProgramRecord& Record(Project& project, int channel) {
  return project.programs[static_cast<size_t>(channel)];
}

// Packs the shown slots to the left: voices keep their order, blanks go.
void Pack(ProgramRecord& record, int last_slot) {
  int to = 0;
  for (int from = 0; from <= last_slot; ++from) {
    QString name = record.Voice[static_cast<size_t>(from)];
    if (IsEmptyVoice(name)) {
      continue;
    }
    record.Voice[static_cast<size_t>(to++)] = name;
  }
  for (; to <= last_slot; ++to) {
    record.Voice[static_cast<size_t>(to)].clear();
  }
}

}  // namespace

int ChannelOfRow(const Project& project, int page, int row) {
  return (row - kHeaderRows) + page * project.ChannelsPerPage;
}

int RowOfChannel(const Project& project, int channel) {
  return channel % project.ChannelsPerPage + kHeaderRows;
}

int PageOfChannel(const Project& project, int channel) {
  return channel / project.ChannelsPerPage;
}

int ProgramTable::LastSlot() const {
  return MaxVoiceIndex(project_.Mode());
}

void ProgramTable::MarkEdited() {
  project_.PageEdited[static_cast<size_t>(std::clamp(project_.CurrentPage, 0, kMaxPageCount - 1))] =
      true;
}

ChannelPlan PlanOfChannel(const Project& project, int channel) {
  ChannelPlan plan;
  if (channel < 0 || channel >= kProgramRecordCount) {
    return plan;
  }
  const ProgramRecord& record = project.programs[static_cast<size_t>(channel)];
  for (int slot = 0; slot <= MaxVoiceIndex(project.Mode()); ++slot) {
    const QString& name = record.Voice[static_cast<size_t>(slot)];
    if (name.isEmpty()) {
      continue;
    }
    ChannelPlan::Voice voice;
    voice.name = name;
    if (const auto found = project.FindVoice(name)) {
      voice.seconds = project.voices.at(*found).SEC;
      voice.tenths = SecondsTextToTenths(voice.seconds);
    }
    plan.pass_tenths += voice.tenths;
    plan.voices.push_back(voice);
  }
  bool ok = false;
  plan.repeat = std::max<qint64>(0, record.RP.trimmed().toLongLong(&ok));
  plan.total_tenths = project.ChannelTime(channel).tenths;
  return plan;
}

QString ProgramTable::TimeText(int channel) const {
  return project_.ChannelTime(channel).OneDecimalText();
}

void ProgramTable::SettleChannel(int channel) {
  ProgramRecord& record = Record(project_, channel);
  Pack(record, LastSlot());
  record.Time = TimeText(channel);
}

void ProgramTable::EditSp(int channel, const QString& item) {
  Record(project_, channel).SP = item;
  MarkEdited();
  SettleChannel(channel);
}

void ProgramTable::EditRp(int channel, const QString& item) {
  Record(project_, channel).RP = item;
  MarkEdited();
  SettleChannel(channel);
}

void ProgramTable::EditVoice(int channel, int slot, const QString& name) {
  if (slot < 0 || slot > LastSlot()) {
    return;
  }
  Record(project_, channel).Voice[static_cast<size_t>(slot)] =
      IsEmptyVoice(name) ? QString() : name;
  MarkEdited();
  SettleChannel(channel);
}

void ProgramTable::Delete(int channel, int slot) {
  if (slot < 0 || slot > LastSlot()) {
    return;
  }
  Record(project_, channel).Voice[static_cast<size_t>(slot)].clear();
  SettleChannel(channel);
  MarkEdited();
}

void ProgramTable::DeleteVoices(int channel) {
  ProgramRecord& record = Record(project_, channel);
  for (int slot = 0; slot <= LastSlot(); ++slot) {
    record.Voice[static_cast<size_t>(slot)].clear();
  }
  SettleChannel(channel);
  MarkEdited();
}

bool ProgramTable::HasVoices(int channel) const {
  // Packed channels: a first slot taken means at least one voice.
  return channel >= 0 && channel < project_.ChannelCount &&
         !IsEmptyVoice(project_.programs[static_cast<size_t>(channel)].Voice[0]);
}

bool ProgramTable::IsEmpty() const {
  const ProgramRecord reset;
  for (int channel = 0; channel < project_.ChannelCount; ++channel) {
    const ProgramRecord& record = project_.programs[static_cast<size_t>(channel)];
    if (record.SP != reset.SP || record.RP != reset.RP) {
      return false;
    }
    for (const QString& name : record.Voice) {
      if (!IsEmptyVoice(name)) {
        return false;
      }
    }
  }
  return true;
}

int ProgramTable::MoveLeft(int channel, int slot) {
  ProgramRecord& record = Record(project_, channel);
  if (slot <= 0 || slot > LastSlot() || IsEmptyVoice(record.Voice[static_cast<size_t>(slot)])) {
    return slot;
  }
  std::swap(record.Voice[static_cast<size_t>(slot)], record.Voice[static_cast<size_t>(slot - 1)]);
  return slot - 1;
}

int ProgramTable::MoveRight(int channel, int slot) {
  ProgramRecord& record = Record(project_, channel);
  if (slot < 0 || slot >= LastSlot() || IsEmptyVoice(record.Voice[static_cast<size_t>(slot)]) ||
      IsEmptyVoice(record.Voice[static_cast<size_t>(slot + 1)])) {
    return slot;
  }
  std::swap(record.Voice[static_cast<size_t>(slot)], record.Voice[static_cast<size_t>(slot + 1)]);
  return slot + 1;
}

std::optional<ProgramTable::Position> ProgramTable::MoveUp(int channel, int slot, Operator& op) {
  return MoveVertically(channel, slot, -1, op);
}

std::optional<ProgramTable::Position> ProgramTable::MoveDown(int channel, int slot, Operator& op) {
  return MoveVertically(channel, slot, +1, op);
}

std::optional<ProgramTable::Position> ProgramTable::MoveVertically(int channel, int slot,
                                                                   int direction, Operator& op) {
  const int last = LastSlot();
  if (channel < 0 || channel >= project_.ChannelCount || slot < 0 || slot > last) {
    return std::nullopt;
  }
  ProgramRecord& source = Record(project_, channel);
  const QString name = source.Voice[static_cast<size_t>(slot)];
  const int target_channel = channel + direction;
  if (IsEmptyVoice(name) || target_channel < 0 || target_channel >= project_.ChannelCount) {
    return std::nullopt;
  }
  ProgramRecord& target = Record(project_, target_channel);
  if (!IsEmptyVoice(target.Voice[static_cast<size_t>(last)])) {
    ShowMessage(op, 2021, msg::kTitleConfirm, MessageIcon::kExclamation);
    return std::nullopt;
  }
  int target_slot = slot;
  if (IsEmptyVoice(target.Voice[static_cast<size_t>(slot)])) {
    target_slot = 0;
    while (!IsEmptyVoice(target.Voice[static_cast<size_t>(target_slot)])) {
      ++target_slot;
    }
  } else {
    for (int s = last; s > slot; --s) {
      target.Voice[static_cast<size_t>(s)] = target.Voice[static_cast<size_t>(s - 1)];
    }
  }
  target.Voice[static_cast<size_t>(target_slot)] = name;
  source.Voice[static_cast<size_t>(slot)].clear();
  Pack(source, last);
  source.Time = project_.ChannelTime(channel).PlainText();
  target.Time = project_.ChannelTime(target_channel).PlainText();
  // The window brings the target's page into view; that page is the edited one.
  project_.PageEdited[static_cast<size_t>(PageOfChannel(project_, target_channel))] = true;
  return Position{target_channel, target_slot};
}

bool ProgramTable::DeleteAll(Operator& op) {
  if (AskBeforeDiscarding(op, 2020) != MessageAnswer::kYes) {
    return false;
  }
  project_.ResetPrograms();
  MarkEdited();
  return true;
}

bool ProgramTable::BulkAssign(Operator& op) {
  if (!project_.VoicesRegistered || project_.voices.isEmpty()) {
    ShowMessage(op, 2501, msg::kTitleConfirm, MessageIcon::kExclamation);
    return false;
  }
  // Asking whether to overwrite an empty table only makes the operator stop
  // and wonder what would be lost.
  if (!IsEmpty() && AskBeforeDiscarding(op, 2022) != MessageAnswer::kYes) {
    return false;
  }
  project_.ResetPrograms();
  const qsizetype count = std::min<qsizetype>(project_.voices.size(), project_.ChannelCount);
  for (qsizetype v = 0; v < count; ++v) {
    ProgramRecord& record = Record(project_, static_cast<int>(v));
    const VoiceRecord& voice = project_.voices.at(v);
    record.Voice[0] = voice.NAME;
    record.Time = ChannelTenths{SecondsTextToTenths(voice.SEC)}.OneDecimalText();
  }
  return true;
}

void ProgramTable::PurgeUnregisteredVoices() {
  const int last = LastSlot();
  for (int channel = 0; channel < project_.ChannelCount; ++channel) {
    ProgramRecord& record = Record(project_, channel);
    for (int slot = 0; slot <= last; ++slot) {
      QString& name = record.Voice[static_cast<size_t>(slot)];
      if (!IsEmptyVoice(name) && (!project_.VoicesRegistered || !project_.FindVoice(name))) {
        name.clear();
      }
    }
    Pack(record, last);
    record.Time = TimeText(channel);
  }
}

}  // namespace parlatone
