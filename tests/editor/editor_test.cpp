// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/program_table.h"

#include <functional>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "support/card_project.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class ProgramTableTest : public ::testing::Test {
 protected:
  void UseMode(int mode, int voices = 30) {
    testing::UseSeries(project_, mode);
    project_.voices.clear();
    testing::AddVoices(project_, voices, u"1.000"_s, {});
  }
  void Fill(int channel, const QStringList& names) {
    testing::FillChannel(project_, channel, names);
  }
  QStringList Voices(int channel) const {
    const auto& cells = project_.programs[static_cast<size_t>(channel)].Voice;
    QStringList names(cells.begin(), cells.end());
    while (!names.isEmpty() && names.back().isEmpty()) {
      names.removeLast();
    }
    return names;
  }
  const ProgramRecord& Record(int channel) const {
    return project_.programs[static_cast<size_t>(channel)];
  }
  // Where a move took the voice, as channel and slot; {-1, -1} when it did not move.
  static std::pair<int, int> At(const std::optional<ProgramTable::Position>& to) {
    return to ? std::pair{to->channel, to->slot} : std::pair{-1, -1};
  }

  Project project_;
  ProgramTable table_{project_};
  testing::ScriptedOperator op_;
};

TEST_F(ProgramTableTest, RowsPagesAndNumbers) {
  UseMode(4);
  // Page, grid row (the first data row is 2) and channel.
  const std::array<int, 3> places[] = {{0, 251, 249}, {1, 2, 250}, {3, 251, 999}};
  for (const auto& [page, row, channel] : places) {
    EXPECT_EQ(ChannelOfRow(project_, page, row), channel);
    EXPECT_EQ(RowOfChannel(project_, channel), row);
    EXPECT_EQ(PageOfChannel(project_, channel), page);
  }
  EXPECT_EQ(ChannelNumberText(0) + ChannelNumberText(999), u"011000"_s);
  UseMode(1);
  EXPECT_EQ(ChannelOfRow(project_, 0, 256), 254);
}

TEST_F(ProgramTableTest, EditingAVoiceCellPacksAndRetimesAsDoRpAndSp) {
  UseMode(1);
  Fill(0, {u"v1.wav"_s});
  // Chosen in the column headed " 5 ": lands in " 2 ".
  table_.EditVoice(0, 4, u"v2.wav"_s);
  EXPECT_EQ(Voices(0), (QStringList{u"v1.wav"_s, u"v2.wav"_s}));
  EXPECT_EQ(Record(0).Time, u"2.0"_s);
  EXPECT_TRUE(project_.PageEdited[0]);
  // " " between two voices closes the gap.
  table_.EditVoice(0, 2, u"v3.wav"_s);
  table_.EditVoice(0, 1, u" "_s);
  EXPECT_EQ(Voices(0), (QStringList{u"v1.wav"_s, u"v3.wav"_s}));
  // Beyond the series' last slot nothing is written.
  table_.EditVoice(0, 8, u"v4.wav"_s);
  EXPECT_EQ(Voices(0).size(), 2);
  // An RP edit retimes the channel.
  Fill(3, {u"v0.wav"_s});
  table_.EditRp(3, u"3"_s);
  table_.EditSp(3, u"2"_s);
  EXPECT_EQ(Record(3).SP + Record(3).RP + Record(3).Time, u"233.0"_s);
  EXPECT_EQ(table_.TimeText(4), u"0.0"_s);
}

TEST_F(ProgramTableTest, MovesSidewaysInTheChannelAndUpAndDownUnlessTheTargetIsFull) {
  UseMode(1);
  Fill(10, {u"a"_s, u"b"_s, u"c"_s});
  EXPECT_EQ(table_.MoveLeft(10, 1), 0);
  EXPECT_EQ(Voices(10), (QStringList{u"b"_s, u"a"_s, u"c"_s}));
  EXPECT_EQ(table_.MoveLeft(10, 0), 0);   // first column: nothing
  EXPECT_EQ(table_.MoveRight(10, 2), 2);  // last voice: nothing
  EXPECT_EQ(table_.MoveRight(10, 3), 3);  // empty cell: nothing
  EXPECT_EQ(table_.MoveRight(10, 0), 1);
  EXPECT_EQ(Voices(10), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
  Fill(4, {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s});
  EXPECT_EQ(table_.MoveRight(4, 7), 7);  // last shown column
  EXPECT_FALSE(project_.IsEdited());     // moves sideways change no flag
  // Up and down between channels.
  Fill(1, {u"v1.wav"_s, u"v2.wav"_s, u"v3.wav"_s});
  Fill(0, {u"v4.wav"_s, u"v5.wav"_s});
  // Into an occupied position: inserted there, the rest shifts right.
  EXPECT_EQ(At(table_.MoveUp(1, 1, op_)), std::pair(0, 1));
  EXPECT_EQ(Voices(0), (QStringList{u"v4.wav"_s, u"v2.wav"_s, u"v5.wav"_s}));
  EXPECT_EQ(Voices(1), (QStringList{u"v1.wav"_s, u"v3.wav"_s}));
  EXPECT_EQ(Record(0).Time, u"3"_s);  // plain decimal after a move
  EXPECT_TRUE(project_.PageEdited[0]);
  // Into an empty position: the target's first free slot.
  EXPECT_EQ(At(table_.MoveDown(0, 2, op_)), std::pair(1, 2));
  EXPECT_EQ(Voices(1), (QStringList{u"v1.wav"_s, u"v3.wav"_s, u"v5.wav"_s}));
  EXPECT_EQ(At(table_.MoveDown(1, 1, op_)), std::pair(2, 0));
  // Up from the first channel, down from the last, or an empty cell: nothing.
  EXPECT_FALSE(table_.MoveUp(0, 0, op_));
  Fill(254, {u"v9.wav"_s});
  EXPECT_FALSE(table_.MoveDown(254, 0, op_) || table_.MoveDown(100, 0, op_));
  // A full target channel (4, filled above): 2021 alone, and nothing changes.
  Fill(5, {u"v1.wav"_s});
  EXPECT_FALSE(table_.MoveUp(5, 0, op_));
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2021});
  EXPECT_EQ(op_.shown[0].title_number, msg::kTitleConfirm);
  EXPECT_EQ(Voices(5), QStringList{u"v1.wav"_s});
  // In the 24-voice series the same channel has room.
  UseMode(3);
  EXPECT_TRUE(table_.MoveUp(5, 0, op_));
}

// In the big series: a delete closes the gap and marks the page shown; delete all asks once and
// resets every page; moves cross page boundaries and mark both pages.
TEST_F(ProgramTableTest, DeletesAndMovesAcrossPagesInTheBigSeries) {
  UseMode(4);
  project_.CurrentPage = 2;
  Fill(600, {u"v1.wav"_s, u"v2.wav"_s, u"v3.wav"_s});
  table_.Delete(600, 0);
  EXPECT_EQ(Voices(600), (QStringList{u"v2.wav"_s, u"v3.wav"_s}));
  EXPECT_EQ(Record(600).Time, u"2.0"_s);
  EXPECT_EQ(project_.PageEdited, (std::array{false, false, true, false}));
  project_.PageEdited.fill(false);
  project_.CurrentPage = 1;
  Fill(3, {u"v1.wav"_s});
  Fill(900, {u"v2.wav"_s});
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(table_.DeleteAll(op_));
  EXPECT_EQ(Voices(900).size(), 1);
  op_.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(table_.DeleteAll(op_));
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2020, 2020}));
  EXPECT_TRUE(Record(3) == ProgramRecord() && Record(900) == ProgramRecord() &&
              project_.PageEdited[1]);
  project_.PageEdited.fill(false);
  Fill(250, {u"v1.wav"_s});
  EXPECT_EQ(At(table_.MoveUp(250, 0, op_)), std::pair(249, 0));  // the first page's last channel
  EXPECT_TRUE(project_.PageEdited[0]);
  EXPECT_EQ(At(table_.MoveDown(249, 0, op_)), std::pair(250, 0));
  EXPECT_TRUE(project_.PageEdited[1]);
  Fill(999, {u"v2.wav"_s});
  EXPECT_FALSE(table_.MoveDown(999, 0, op_));
  // A whole channel's voices go at once; its SP and RP stay.
  project_.PageEdited.fill(false);
  project_.CurrentPage = 3;
  Fill(800, {u"v1.wav"_s, u"v2.wav"_s});
  project_.programs[800].SP = project_.programs[800].RP = u"2"_s;
  table_.DeleteVoices(800);
  EXPECT_TRUE(Voices(800).isEmpty());
  EXPECT_EQ(Record(800).SP + Record(800).RP + Record(800).Time, u"220.0"_s);
  EXPECT_TRUE(project_.PageEdited[3] && !table_.HasVoices(800) && table_.HasVoices(999));
}

// The overwrite question comes only when something would be overwritten;
// without voices the operator is told why nothing happens.
TEST_F(ProgramTableTest, BulkAssignmentAsksOnlyWhenItOverwrites) {
  const struct {
    const char* what;
    int voices;
    std::function<void(Project&)> before;
    std::vector<int> shown;
    bool assigned;
  } cases[] = {
      {"empty table", 3, [](Project&) {}, {}, true},
      {"an RP only", 3, [](Project& p) { p.programs[7].RP = u"3"_s; }, {2022}, true},
      {"no voices", 0, [](Project&) {}, {2501}, false},
      {"registered, list empty", 0, [](Project& p) { p.VoicesRegistered = true; }, {2501}, false},
  };
  for (const auto& c : cases) {
    UseMode(3, c.voices);
    project_.ResetPrograms();
    c.before(project_);
    op_ = {};
    op_.Answer(MessageAnswer::kYes);
    EXPECT_EQ(table_.BulkAssign(op_), c.assigned) << c.what;
    EXPECT_EQ(op_.Numbers(), c.shown) << c.what;
  }
}

TEST_F(ProgramTableTest, BulkAssignmentAndPurgeOfUnregisteredNames) {
  UseMode(1, 12);
  project_.voices[11].SEC = u"2.45"_s;
  Fill(40, {u"v3.wav"_s});
  op_.Answer(MessageAnswer::kYes);
  ASSERT_TRUE(table_.BulkAssign(op_));
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2022});
  for (int channel = 0; channel < 12; ++channel) {
    EXPECT_EQ(Voices(channel), QStringList{u"v%1.wav"_s.arg(channel)});
    EXPECT_EQ(Record(channel).SP, u"1"_s);
  }
  EXPECT_EQ(Record(11).Time, u"2.5"_s);
  EXPECT_TRUE(Record(12) == ProgramRecord() && Record(40) == ProgramRecord());
  EXPECT_FALSE(project_.IsEdited());
  op_ = {};
  op_.Answer(MessageAnswer::kNo);
  Fill(40, {u"v3.wav"_s});
  EXPECT_FALSE(table_.BulkAssign(op_));
  EXPECT_EQ(Voices(40).size(), 1);
  // The purge removes unregistered names everywhere and retimes every channel.
  project_.ResetPrograms();
  project_.VoicesRegistered = true;
  Fill(0, {u"v0.wav"_s, u"gone.wav"_s, u"v2.wav"_s});
  Fill(200, {u"gone.wav"_s});
  project_.programs[7].Time = u"9.9"_s;
  table_.PurgeUnregisteredVoices();
  EXPECT_EQ(Voices(0), (QStringList{u"v0.wav"_s, u"v2.wav"_s}));
  EXPECT_EQ(Record(0).Time, u"2.0"_s);
  EXPECT_TRUE(Voices(200).isEmpty());
  EXPECT_EQ(Record(7).Time, u"0.0"_s);  // every channel re-timed
  EXPECT_FALSE(project_.IsEdited());
  project_.VoicesRegistered = false;
  table_.PurgeUnregisteredVoices();
  EXPECT_TRUE(Voices(0).isEmpty());
}

}  // namespace
}  // namespace parlatone
