// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "core/project.h"

namespace parlatone {

class Operator;
class Project;

// The grid's fixed columns; voice slot s is shown in column kFirstVoiceColumn + s.
inline constexpr int kChannelColumn = 0;
inline constexpr int kSpColumn = 1;
inline constexpr int kRpColumn = 2;
inline constexpr int kTimeColumn = 3;
inline constexpr int kFirstVoiceColumn = 4;
inline constexpr int kHeaderRows = 2;

// Channel index shown in grid row `row` (header rows included) of `page`.
int ChannelOfRow(const Project& project, int page, int row);
// The grid row and page of a channel.
int RowOfChannel(const Project& project, int channel);
int PageOfChannel(const Project& project, int channel);

// What a channel plays, as its time counts it: its voices in order, each
// with its length (in tenths, as the time adds them, and as registered),
// played `repeat` times. `total` is the channel's time.
struct ChannelPlan {
  struct Voice {
    QString name;
    QString seconds;  // as registered: "2.449"; empty for a name not registered
    qint64 tenths = 0;
  };
  std::vector<Voice> voices;
  qint64 pass_tenths = 0;
  qint64 repeat = 0;
  qint64 total_tenths = 0;
};
ChannelPlan PlanOfChannel(const Project& project, int channel);

// Every operation on the program table, on the project's records. Channels
// and slots are 0-based; a slot is a voice column less kFirstVoiceColumn.
class ProgramTable {
 public:
  explicit ProgramTable(Project& project) : project_(project) {}

  // The operator changed a cell: SP, RP or a voice slot (" " or "" empties
  // it). The channel's voices close up, its time is recomputed, the current
  // page counts as edited.
  void EditSp(int channel, const QString& item);
  void EditRp(int channel, const QString& item);
  void EditVoice(int channel, int slot, const QString& name);

  // Brings a channel back in shape after an edit: voices packed to the
  // left without gaps, blanks stored as empty, the time recomputed.
  void SettleChannel(int channel);

  // Empties a voice cell, closes the gap, marks the page edited.
  void Delete(int channel, int slot);
  // Takes every voice off the channel; its SP and RP stay. Marks the page
  // edited.
  void DeleteVoices(int channel);
  bool HasVoices(int channel) const;

  // Swaps the voice with its neighbour; returns the slot the voice is in
  // afterwards (the same slot when nothing moved). Times and change flags
  // stay as they are.
  int MoveLeft(int channel, int slot);
  int MoveRight(int channel, int slot);

  // Moves the voice to the channel before or after, across pages. Shows
  // 2021 when the target channel is full. Returns the channel and slot the
  // voice went to, or nothing when it did not move.
  struct Position {
    int channel = 0;
    int slot = 0;
  };
  std::optional<Position> MoveUp(int channel, int slot, Operator& op);
  std::optional<Position> MoveDown(int channel, int slot, Operator& op);

  // Asks 2020, then resets every channel of the series; true when done.
  bool DeleteAll(Operator& op);

  // Voice i alone in channel i; true when done. Without voices, 2501 says
  // why nothing happens; the 2022 question comes only when there is
  // something in the table to overwrite.
  bool BulkAssign(Operator& op);
  // No channel of the series holds a voice or an SP or RP other than the first.
  bool IsEmpty() const;

  // After the voice list changed: names no longer registered leave every
  // channel, the rest close up, every channel is re-timed.
  void PurgeUnregisteredVoices();

  // The time text a channel's row shows: one decimal.
  QString TimeText(int channel) const;

 private:
  std::optional<Position> MoveVertically(int channel, int slot, int direction, Operator& op);
  void MarkEdited();
  int LastSlot() const;

  Project& project_;
};

}  // namespace parlatone
