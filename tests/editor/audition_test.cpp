// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/audition.h"

#include <QTemporaryDir>

#include <functional>
#include <tuple>

#include <gtest/gtest.h>

#include "core/project.h"
#include "core/series.h"
#include "sound/sdl_backend.h"
#include "support/card_project.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

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
    testing::UseSeries(project_, mode);
    project_.voices.clear();
    for (const QString& name : {u"A"_s, u"B"_s, u"C"_s}) {
      VoiceRecord voice;
      voice.NAME = name;
      voice.FilePath = u"/snd/"_s + name + u".wav"_s;
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = true;
    for (const auto& [channel, letters] : channels) {
      testing::FillChannel(project_, channel, letters.split(QString(), Qt::SkipEmptyParts));
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
      EXPECT_EQ(std::tuple(at->channel, at->position_ms), std::tuple(4, 120));
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
  EXPECT_TRUE(layer_.commands.isEmpty() && view_.events.isEmpty());
  for (const bool fail : {true, false}) {
    layer_.fail_opens = fail;
    layer_.ticks_per_sound = 100;
    view_.events.clear();
    ASSERT_TRUE(audition_.StartSingle(0));
    audition_.Tick();
    EXPECT_EQ(audition_.Running(), !fail);
    audition_.Tick();
    audition_.Stop();
    EXPECT_TRUE(!audition_.Running() && view_.info.isEmpty());
    EXPECT_EQ(layer_.commands.back(), u"Close *1"_s);
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
    ASSERT_EQ(op_.shown.size(), plays ? 0u : 1u);
    EXPECT_TRUE(plays || (op_.shown[0].text.startsWith(u"試聴できません。"_s) &&
                          op_.shown[0].text.contains(u"\r\nB\r\n\r\n"_s)));  // B once
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
  EXPECT_TRUE(audition_.Paused() && view_.paused);
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
  EXPECT_FALSE(audition_.StartAll() || audition_.Running());
}

TEST(FileInfo, LineForWaveFiles) {
  UseSoundBackend(MakeSdlSoundBackend());
  QTemporaryDir dir;
  testing::ScriptedOperator op;
  // 1500 ms of 8-bit mono, rounded up to a whole sample, after a 44-byte header.
  const testing::WaveShape wave{.sample_rate = 11025, .bits = 8, .data_bytes = 16538};
  const QString path = dir.filePath(u"a.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(path, testing::WaveBytes(wave)));
  EXPECT_EQ(FileInfoLine(path, 1, op), u"a.wav  PCM 11.025KHz 8Bit Mono 1.500秒 16582バイト "_s);
  EXPECT_FALSE(FileInfoLine(dir.filePath(u"none.wav"_s), 1, op));
  EXPECT_EQ(op.Numbers(), std::vector<int>{2600});
}

}  // namespace
}  // namespace parlatone
