// SPDX-License-Identifier: GPL-3.0-or-later
#include "voices/player.h"
#include "voices/registration.h"

#include <gtest/gtest.h>

#include "core/project.h"
#include "sound/media.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class RecordingPlayerView : public PlayerView {
 public:
  void SetLabels(const QString& name, const QString& time, const QString& bytes,
                 const QString& audio) override {
    labels = {name, time, bytes, audio};
  }
  void SetTimer(bool enabled) override { timer = enabled; }
  void CloseDialog() override { closed = true; }
  QStringList labels;
  bool timer = false;
  bool closed = false;
};

class PlayerTest : public ::testing::Test {
 protected:
  PlayerTest() : list_(255) {
    for (int slot = 0; slot < 3; ++slot) {
      VoiceRecord& voice = list_[slot];
      voice.NAME = u"v%1.wav"_s.arg(slot);
      voice.FilePath = u"/snd/v%1.wav"_s.arg(slot);
      voice.SEC = u"1.500"_s;
      voice.BYTES = u"33118"_s;
      voice.SampleRate = u"22.05KHz"_s;
      voice.BitRate = u"8bit"_s;
      voice.TYPE = u"Mono"_s;
    }
  }
  MediaReply Send(const QString& command) {
    commands << command;
    if (command.startsWith(u"open"_s)) {
      opened << command.section(u'"', 1, 1);
      return fail_open ? MediaReply{media_error::kFileNotFound, u"x"_s} : MediaReply{};
    }
    return {media_error::kNone, command == u"status *2 mode"_s ? u"stopped"_s : QString()};
  }
  void RunUntilClosed(Player& player) {
    for (int tick = 0; tick < 20 && view_.timer; ++tick) {
      player.Tick();
    }
  }

  WorkingVoiceList list_;
  RecordingPlayerView view_;
  QStringList commands;
  QStringList opened;
  bool fail_open = false;
  Player player_{list_, 1, view_, [this](const QString& c) { return Send(c); }};
};

TEST_F(PlayerTest, PlayAllPlaysTheFollowingSlotsClosesAndNamesTheAudio) {
  list_[4] = list_[0];  // after the empty slot 3: never reached
  player_.Open(0, true, true);
  EXPECT_EQ(commands.front(), u"open \"/snd/v0.wav\" type waveaudio alias *2 notify "_s);
  EXPECT_EQ(view_.labels, (QStringList{u"v0.wav"_s, u"1.500 秒"_s, u"33118 バイト"_s,
                                       u"PCM 22.05KHz , 8bit , Mono"_s}));
  RunUntilClosed(player_);  // slot 3 is empty: play-all stops there
  EXPECT_EQ(opened, (QStringList{u"/snd/v0.wav"_s, u"/snd/v1.wav"_s, u"/snd/v2.wav"_s}));
  EXPECT_TRUE(view_.closed);
  player_.Close();
  EXPECT_EQ(std::pair(player_.CurrentSlot(), commands.back()), std::pair(0, u"Close *2"_s));
  EXPECT_EQ(PlayerAudioText(u"1.0"_s, u"44.1KHz"_s, u"128Kbit"_s, u"Stereo"_s, 7),
            u"MPEG1.0 44.1KHz , 128Kbit , Stereo"_s);
}

TEST_F(PlayerTest, OneVoiceAndAFailedOpen) {
  player_.Open(1, true, false);
  RunUntilClosed(player_);
  EXPECT_EQ(opened, QStringList{u"/snd/v1.wav"_s});
  EXPECT_TRUE(view_.closed);
  // A file that cannot be opened: silence, the timer stops, the dialog stays.
  view_ = {};
  fail_open = true;
  player_.Open(2, true, true);
  EXPECT_FALSE(view_.timer || view_.closed);
  EXPECT_TRUE(commands.last().startsWith(u"open"_s));  // nothing was played
}

}  // namespace
}  // namespace parlatone
