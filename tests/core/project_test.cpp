// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/project.h"
#include "core/card_data.h"
#include "core/series.h"

#include <gtest/gtest.h>

#include <array>

#include "support/card_project.h"
#include "support/qt_printers.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

VoiceRecord Voice(const QString& name, const QString& seconds) {
  VoiceRecord voice;
  voice.NAME = name;
  voice.SEC = seconds;
  return voice;
}

using testing::UseSeries;

TEST(ChannelTime, VoiceTimesRoundHalfAwayFromZeroOnTheirDigits) {
  // 1.05, 2.675 and 0.15 sit just below the half as binary floats. Blank, empty and unreadable
  // lengths count as nothing.
  const std::pair<QString, qint64> cases[] = {
      {u"2.449"_s, 24}, {u"2.450"_s, 25},  {u"1.05"_s, 11}, {u"2.675"_s, 27}, {u"0.15"_s, 2},
      {u"0.049"_s, 0},  {u"-1.25"_s, -13}, {u"12"_s, 120},  {u".5"_s, 5},     {u" 3.000 "_s, 30},
      {u"1e1"_s, 100},  {QString(), 0},    {u" "_s, 0},     {u"abc"_s, 0},    {u"."_s, 0}};
  for (const auto& [text, tenths] : cases) {
    EXPECT_EQ(SecondsTextToTenths(text), tenths) << text.toStdString();
  }
  // Absurd lengths saturate instead of wrapping round.
  EXPECT_GT(SecondsTextToTenths(u"99999999999999999999999999"_s), 0);
}

TEST(ChannelTime, RepeatTimesTheSumOfRoundedVoiceTimesInTheSeriesSlots) {
  Project project;
  UseSeries(project, 1);
  project.voices = {Voice(u"a.wav"_s, u"1.050"_s), Voice(u"b.wav"_s, u"0.150"_s),
                    Voice(u"c.wav"_s, u" "_s)};
  // gone.wav is no longer registered: it counts nothing.
  ProgramRecord& channel = project.programs[3];
  channel =
      ProgramRecord{u"1"_s, u"3"_s, u"0.0"_s, {u"a.wav"_s, u"b.wav"_s, u"c.wav"_s, u"gone.wav"_s}};
  EXPECT_EQ(project.ChannelTime(3).tenths, 39);

  channel.RP = u"2"_s;
  project.voices[0].SEC = u"3.45"_s;  // 3.5 each time
  project.voices[1].SEC = u"0"_s;
  EXPECT_EQ(project.ChannelTime(3).PlainText() + u' ' + project.ChannelTime(3).OneDecimalText(),
            u"7 7.0"_s);
  EXPECT_EQ(ChannelTenths{-5}.OneDecimalText() + u' ' + ChannelTenths{-15}.PlainText(),
            u"0.0 -1.5"_s);
  EXPECT_EQ(project.ChannelTime(-1).tenths + project.ChannelTime(kProgramRecordCount).tenths, 0);
  // Only the series' voice slots play: 24 against 8.
  project.voices[0].SEC = u"1.0"_s;
  for (int slot = 0; slot < 24; ++slot) {
    project.programs[0].Voice[slot] = u"a.wav"_s;
  }
  UseSeries(project, 3);
  EXPECT_EQ(project.ChannelTime(0).tenths, 240);
  UseSeries(project, 1);
  EXPECT_EQ(project.ChannelTime(0).tenths, 80);
}

// Voice lookup is exact (case and width count) and finds the first of equal names; a channel is
// in use when its first slot is; the project is edited when any page is.
TEST(Project, FindVoiceChannelInUseAndEdited) {
  Project project;
  project.voices = {Voice(u"A.wav"_s, {}), Voice(u"ａ.wav"_s, {}), Voice(u"a.wav"_s, {}),
                    Voice(u"a.wav"_s, {})};
  EXPECT_EQ(project.FindVoice(u"a.wav"_s), 2);
  EXPECT_FALSE(project.FindVoice(u"A.WAV"_s) || project.FindVoice(QString()));
  project.programs[5].Voice[1] = u"b.wav"_s;
  EXPECT_FALSE(project.ChannelInUse(5));
  project.programs[5].Voice[0] = u"a.wav"_s;
  EXPECT_TRUE(project.ChannelInUse(5) && !project.ChannelInUse(1000) && !project.IsEdited());
  project.PageEdited[3] = true;
  EXPECT_TRUE(project.IsEdited());
  project.ClearPageEdited();
  EXPECT_FALSE(project.IsEdited());
}

TEST(Project, ResetProgramsAndClearProject) {
  Project project;
  UseSeries(project, 4);
  for (auto& record : project.programs) {
    record.SP = u"2"_s;
    record.Voice[0] = u"x.wav"_s;
  }
  project.ResetPrograms(1);
  EXPECT_EQ(project.programs[249].SP + project.programs[500].SP, u"22"_s);
  EXPECT_EQ(project.programs[250], ProgramRecord());

  // After leaving the 1000-channel series only the channels in use are reset;
  // the rest keep what they held and are never shown or written.
  UseSeries(project, 1);
  project.ResetPrograms();
  EXPECT_TRUE(project.programs[0] == ProgramRecord() && project.programs[254] == ProgramRecord());
  EXPECT_EQ(project.programs[500].Voice[0], u"x.wav"_s);
  // ClearProject empties voices and card but not programs; listeners see the cleared state.
  int heard = 0;
  project.AddClearedListener([&] {
    ++heard;
    EXPECT_TRUE(project.voices.isEmpty());  // listeners see the cleared state
  });
  project.voices = {Voice(u"a.wav"_s, u"1"_s)};
  project.VoicesRegistered = true;
  project.programs[0].Voice[0] = u"a.wav"_s;
  for (int i = 0; i < CardInfo::kFieldCount; ++i) {
    project.card.Field(i) = QString::number(i);
  }
  const int gone = project.AddClearedListener([&] { ADD_FAILURE() << "a removed listener heard"; });
  project.RemoveClearedListener(gone);
  project.ClearProject();
  EXPECT_TRUE(heard == 1 && !project.VoicesRegistered && project.card == CardInfo());
  EXPECT_EQ(project.programs[0].Voice[0], u"a.wav"_s);
}

TEST(Project, CardFieldsInControlFileOrder) {
  CardInfo card;
  for (int i = 0; i < CardInfo::kFieldCount; ++i) {
    card.Field(i) = QString::number(i + 1);  // the line numbers of the card section
  }
  const std::pair<QString CardInfo::*, QString> fields[] = {{&CardInfo::CardName, u"1"_s},
                                                            {&CardInfo::WaveCom, u"10"_s},
                                                            {&CardInfo::CardBaitaiName, u"24"_s}};
  for (const auto& [field, line] : fields) {
    EXPECT_EQ(card.*field, line);
  }
  EXPECT_EQ(card.Memo, (std::array<QString, 3>{u"25"_s, u"26"_s, u"27"_s}));
}

// SP and RP hold item numbers from 1; one the list does not hold shows as stored.
TEST(Project, ItemTextNamesTheListEntryFromOne) {
  QStringList shown;
  for (const QString& item : {u"1"_s, u"2"_s, u"3"_s, u"0"_s, u"x"_s}) {
    shown << ItemText({u"A"_s, u"B"_s}, item);
  }
  EXPECT_EQ(shown, (QStringList{u"A"_s, u"B"_s, u"3"_s, u"0"_s, u"x"_s}));
}

// The control file goes into the card data folder, named by the series; every
// series' control file is known by its suffix, whatever the letter case.
TEST(CardData, ControlFilePathAndTheSeriesExtensions) {
  Project project;
  UseSeries(project, 7);
  project.settings.CardPath = u"/cards/"_s;
  project.card.CardName = u"ANN01"_s;
  project.card.Forder = u"駅"_s;
  EXPECT_EQ(ControlFilePath(project), u"/cards/駅/ANN01.zpx"_s);
  EXPECT_EQ((std::array{IsControlFileExtension(u"WPJ"_s), IsControlFileExtension(u"mpi"_s),
                        IsProjectFileExtension(u"mpi"_s), IsProjectFileExtension(u"wav"_s)}),
            (std::array{true, false, true, false}));
}

}  // namespace
}  // namespace parlatone
