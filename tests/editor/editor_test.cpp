#include "editor/audition.h"
#include "editor/program_table.h"

#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "sound/sdl_backend.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class ProgramTableTest : public ::testing::Test {
 protected:
  void UseMode(int mode, int voices = 30) {
    project_.settings.Mode = mode;
    DeriveSeriesLimits(project_);
    project_.voices.clear();
    for (int v = 0; v < voices; ++v) {
      VoiceRecord voice;
      voice.NAME = u"v%1.wav"_s.arg(v);
      voice.SEC = u"1.000"_s;
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = voices > 0;
  }
  void Fill(int channel, QStringList names) {
    for (qsizetype s = 0; s < names.size(); ++s) {
      project_.programs[static_cast<size_t>(channel)].Voice[static_cast<size_t>(s)] = names[s];
    }
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
  EXPECT_EQ(ChannelNumberText(0), u"01"_s);
  EXPECT_EQ(ChannelNumberText(999), u"1000"_s);
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
  // An RP edit retimes with each voice rounded first.
  project_.voices[0].SEC = u"2.460"_s;
  Fill(3, {u"v0.wav"_s});
  table_.EditRp(3, u"3"_s);
  EXPECT_EQ(Record(3).Time, u"7.5"_s);  // 2.5 x 3, not 7.38
  EXPECT_EQ(Record(3).RP, u"3"_s);
  table_.EditSp(3, u"2"_s);
  EXPECT_EQ(Record(3).SP, u"2"_s);
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
  EXPECT_FALSE(table_.MoveDown(254, 0, op_));
  EXPECT_FALSE(table_.MoveDown(100, 0, op_));
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
  EXPECT_TRUE(project_.PageEdited[2]);
  EXPECT_FALSE(project_.PageEdited[0]);
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
  EXPECT_EQ(Record(3), ProgramRecord());
  EXPECT_EQ(Record(900), ProgramRecord());
  EXPECT_TRUE(project_.PageEdited[1]);
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
  EXPECT_TRUE(project_.PageEdited[3]);
  EXPECT_FALSE(table_.HasVoices(800));
  EXPECT_TRUE(table_.HasVoices(999));
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
      {"a voice in a channel",
       3,
       [](Project& p) { p.programs[40].Voice[0] = u"v1.wav"_s; },
       {2022},
       true},
      {"an RP only", 3, [](Project& p) { p.programs[7].RP = u"3"_s; }, {2022}, true},
      {"no voices", 0, [](Project&) {}, {2501}, false},
      {"registered, but the list is empty",
       0,
       [](Project& p) { p.VoicesRegistered = true; },
       {2501},
       false},
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
  EXPECT_EQ(Record(12), ProgramRecord());
  EXPECT_EQ(Record(40), ProgramRecord());
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

// Records what the window was told, in order.
class RecordingView : public AuditionView {
 public:
  void Highlight(int channel, bool on) override {
    events << (on ? u"highlight %1"_s : u"white %1"_s).arg(channel);
  }
  void ShowChannel(int channel) override { events << u"show %1"_s.arg(channel); }
  void SetFileInfo(const QString& text) override { info = text; }
  void SetAuditionLook(std::optional<AuditionKind> running) override {
    events << (running ? (*running == AuditionKind::kAll ? u"look all"_s : u"look single"_s)
                       : u"look idle"_s);
  }
  void SetPaused(bool paused) override { this->paused = paused; }
  void SetTimer(bool enabled) override { timer = enabled; }

  QStringList events;
  QString info;
  bool paused = false;
  bool timer = false;
};

// The sound layer as a script: a sound plays `ticks_per_sound` polls; commands are kept.
class ScriptedLayer {
 public:
  MediaReply Send(const QString& command) {
    commands << command;
    if (command.startsWith(u"open"_s)) {
      if (fail_opens) {
        return {media_error::kFileNotFound, u"no"_s};
      }
      polls_left = ticks_per_sound;
    }
    if (command == u"status *1 mode"_s) {
      return {media_error::kNone, --polls_left > 0 ? u"playing"_s : u"stopped"_s};
    }
    if (command == u"status *1 position"_s) {
      return {media_error::kNone, u"120"_s};
    }
    return {};
  }
  // The voices played, in order, by their one-letter names ("/snd/A.wav" is "A").
  QString Played() const {
    QString played;
    for (const QString& command : commands) {
      if (command.startsWith(u"open \"/snd/"_s)) {
        played += command.at(11);
      }
    }
    return played;
  }

  QStringList commands;
  int ticks_per_sound = 2;
  int polls_left = 0;
  bool fail_opens = false;
};

class AuditionTest : public ::testing::Test {
 protected:
  // The series, and channels whose slots hold the voices named by the letters of a text.
  void UseMode(int mode, std::initializer_list<std::pair<int, QString>> channels = {}) {
    project_.settings.Mode = mode;
    DeriveSeriesLimits(project_);
    project_.voices.clear();
    for (const QString& name : {u"A"_s, u"B"_s, u"C"_s}) {
      VoiceRecord voice;
      voice.NAME = name;
      voice.FilePath = u"/snd/"_s + name + u".wav"_s;
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = true;
    for (const auto& [channel, letters] : channels) {
      for (qsizetype slot = 0; slot < letters.size(); ++slot) {
        project_.programs[static_cast<size_t>(channel)].Voice[static_cast<size_t>(slot)] =
            letters.at(slot);
      }
    }
  }
  void RunToEnd(int limit = 500) {
    for (int tick = 0; tick < limit && audition_.Running(); ++tick) {
      audition_.Tick();
    }
    EXPECT_FALSE(audition_.Running()) << "still running";
  }

  Project project_;
  RecordingView view_;
  ScriptedLayer layer_;
  testing::ScriptedOperator op_;
  Audition audition_{project_, view_, [this](const QString& c) { return layer_.Send(c); },
                     [](const QString& path) { return std::optional<QString>(u"info "_s + path); },
                     op_};
};

TEST_F(AuditionTest, ChannelPlaysItsSequenceRpTimes) {
  UseMode(1, {{4, u"AB"_s}});
  project_.programs[4].RP = u"2"_s;
  ASSERT_TRUE(audition_.StartSingle(4));
  EXPECT_TRUE(view_.timer);
  RunToEnd();
  EXPECT_EQ(layer_.Played(), u"ABAB"_s);
  // The exact strings, each sound closed before the next opens.
  EXPECT_EQ(
      layer_.commands.mid(0, 5),
      (QStringList{u"open \"/snd/A.wav\" type waveaudio alias *1 notify "_s, u"Play *1 from 0"_s,
                   u"status *1 mode"_s, u"status *1 mode"_s, u"Close *1"_s}));
  EXPECT_EQ(view_.events,
            (QStringList{u"look single"_s, u"highlight 4"_s, u"white 4"_s, u"look idle"_s}));
  EXPECT_FALSE(view_.timer);
  // Where it has got to, as slot/pass, voice by voice.
  EXPECT_FALSE(audition_.Where());
  ASSERT_TRUE(audition_.StartSingle(4));
  QStringList points;
  for (int tick = 0; tick < 500 && audition_.Running(); ++tick) {
    audition_.Tick();
    if (const auto at = audition_.Where()) {
      EXPECT_EQ(at->channel, 4);
      EXPECT_EQ(at->position_ms, 120);
      const QString point = u"%1/%2"_s.arg(at->slot).arg(at->pass);
      if (points.isEmpty() || points.back() != point) {
        points << point;
      }
    }
  }
  EXPECT_EQ(points, (QStringList{u"0/0"_s, u"1/0"_s, u"0/1"_s, u"1/1"_s}));
}

// A blank first slot starts nothing; a failed open and a stop end at once and close the device.
TEST_F(AuditionTest, BlankFirstSlotFailedOpenAndStop) {
  UseMode(1, {{2, u" A"_s}, {0, u"A"_s}});
  EXPECT_FALSE(audition_.StartSingle(2));
  EXPECT_TRUE(layer_.commands.isEmpty());
  EXPECT_TRUE(view_.events.isEmpty());
  for (const bool fail : {true, false}) {
    layer_.fail_opens = fail;
    layer_.ticks_per_sound = 100;
    view_.events.clear();
    ASSERT_TRUE(audition_.StartSingle(0));
    audition_.Tick();
    EXPECT_EQ(audition_.Running(), !fail);
    audition_.Tick();
    audition_.Stop();
    EXPECT_FALSE(audition_.Running());
    EXPECT_EQ(layer_.commands.back(), u"Close *1"_s);
    EXPECT_TRUE(view_.info.isEmpty());
    EXPECT_EQ(view_.events.mid(view_.events.size() - 2),
              (QStringList{u"white 0"_s, u"look idle"_s}));
  }
}

// A voice kept without its file: what would play it is refused, naming it;
// a channel without it still plays.
TEST_F(AuditionTest, VoiceWithoutItsFileIsNamedAndNotPlayed) {
  UseMode(1, {{0, u"ABB"_s}, {1, u"C"_s}});
  project_.voices[1].missing_from = QStringList{u"/cards"_s};
  const std::pair<std::function<bool()>, bool> cases[] = {
      {[this] { return audition_.StartSingle(0); }, false},
      {[this] { return audition_.StartAll(); }, false},
      {[this] { return audition_.StartSingle(1); }, true}};
  for (const auto& [start, plays] : cases) {
    op_ = {};
    EXPECT_EQ(start(), plays);
    if (!plays) {
      ASSERT_EQ(op_.shown.size(), 1u);
      EXPECT_TRUE(op_.shown[0].text.startsWith(u"試聴できません。"_s));
      EXPECT_TRUE(op_.shown[0].text.contains(u"\r\nB\r\n\r\n"_s));  // once
    }
  }
  RunToEnd();
  EXPECT_EQ(layer_.Played(), u"C"_s);
}

TEST_F(AuditionTest, PauseReplaysTheVoiceFromItsBeginning) {
  UseMode(1, {{0, u"AB"_s}});
  layer_.ticks_per_sound = 3;
  ASSERT_TRUE(audition_.StartAll());
  audition_.Tick();  // A starts
  audition_.Tick();
  audition_.PauseResume();
  EXPECT_TRUE(audition_.Paused());
  EXPECT_TRUE(view_.paused);
  EXPECT_EQ(layer_.commands.back(), u"Close *1"_s);
  audition_.Tick();  // nothing happens while paused
  audition_.PauseResume();
  EXPECT_FALSE(view_.paused);
  RunToEnd();
  EXPECT_EQ(layer_.Played(), u"AAB"_s);
}

TEST_F(AuditionTest, PauseBetweenChannelsGoesOnWithTheNextChannel) {
  UseMode(1, {{0, u"AB"_s}, {1, u"C"_s}});
  layer_.ticks_per_sound = 1;
  ASSERT_TRUE(audition_.StartAll());
  // Paused before the first tick, and again right after channel 0 ended.
  audition_.PauseResume();
  audition_.PauseResume();
  while (audition_.Running() && layer_.Played().size() < 2) {
    audition_.Tick();
  }
  audition_.Tick();  // B ends: channel 1 is next
  audition_.PauseResume();
  audition_.PauseResume();
  RunToEnd();
  EXPECT_EQ(layer_.Played(), u"ABC"_s);
}

// The MP3 open string has two blanks; a full channel plays all 24 slots.
TEST_F(AuditionTest, Mp3OpenAndFullChannel) {
  UseMode(7, {{0, u"A"_s}});
  ASSERT_TRUE(audition_.StartSingle(0));
  audition_.Tick();
  EXPECT_EQ(layer_.commands.front(), u"open \"/snd/A.wav\" type mpegvideo  alias *1 notify "_s);
  EXPECT_EQ(view_.info, u"info /snd/A.wav"_s);
  audition_.Stop();
  UseMode(3, {{1, u"AB"_s.repeated(12)}});
  layer_.commands.clear();
  layer_.ticks_per_sound = 1;
  ASSERT_TRUE(audition_.StartSingle(1));
  RunToEnd();
  EXPECT_EQ(layer_.Played(), u"AB"_s.repeated(12));
}

TEST_F(AuditionTest, AllAuditionWalksThePages) {
  UseMode(4, {{3, u"A"_s}, {600, u"C"_s}});
  ASSERT_TRUE(audition_.StartAll());
  RunToEnd();
  EXPECT_EQ(layer_.Played(), u"AC"_s);
  EXPECT_EQ(view_.events,
            (QStringList{u"look all"_s, u"show 0"_s, u"show 3"_s, u"highlight 3"_s, u"white 3"_s,
                         u"show 600"_s, u"highlight 600"_s, u"white 600"_s, u"look idle"_s}));
  // Pressed again while running, the all audition stops.
  ASSERT_TRUE(audition_.StartAll());
  EXPECT_FALSE(audition_.StartAll());
  EXPECT_FALSE(audition_.Running());
}

TEST(FileInfo, LineForWaveFiles) {
  UseSoundBackend(MakeSdlSoundBackend());
  QTemporaryDir dir;
  testing::ScriptedOperator op;
  // 1500 ms of 8-bit mono, rounded up to a whole sample, after a 44-byte header.
  testing::WaveShape wave;
  wave.sample_rate = 11025;
  wave.bits = 8;
  wave.data_bytes = 16538;
  const QString path = dir.filePath(u"a.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(path, testing::WaveBytes(wave)));
  EXPECT_EQ(FileInfoLine(path, 1, op), u"a.wav  PCM 11.025KHz 8Bit Mono 1.500秒 16582バイト "_s);
  EXPECT_FALSE(FileInfoLine(dir.filePath(u"none.wav"_s), 1, op));
  EXPECT_EQ(op.Numbers(), std::vector<int>{2600});
}

}  // namespace
}  // namespace parlatone
