// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_maker.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "controlfile/control_file_loader.h"
#include "core/messages.h"
#include "core/series.h"
#include "core/text.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/card_project.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class CardMakerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    work_ = root_.filePath(u"cache/Temp"_s);
    ASSERT_TRUE(testing::MakeCardReady(project_, root_.path(), 1, {u"a01.wav"_s, u"a02.wav"_s}));
    project_.PageEdited[2] = true;  // cleared by a made card
  }

  CardMakeResult Make() {
    op_ = {};
    return MakeCardData(project_, work_, op_);
  }
  QString Target() const { return project_.settings.CardPath + u'/' + project_.card.Forder; }

  QTemporaryDir root_;
  QString work_;
  Project project_;
  testing::ScriptedOperator op_;
};

TEST_F(CardMakerTest, MakesTheFolderTellsTheOperatorAndMakesItAgainOnlyOnYes) {
  const QStringList made = {u"ANN01.wpj"_s, u"a01.wav"_s, u"a02.wav"_s};
  const CardMakeResult result = Make();
  ASSERT_EQ(std::pair(result.outcome, result.target_folder),
            std::pair(CardMakeOutcome::kMade, Target()));
  EXPECT_EQ(testing::EntriesIn(Target()), made);
  EXPECT_EQ(testing::ReadFileBytes(Target() + u"/a02.wav"_s),
            testing::ReadFileBytes(project_.voices[1].FilePath));
  EXPECT_TRUE(testing::EntriesIn(work_).isEmpty());
  // The warning first, the notice last with the folder on a line of its own.
  ASSERT_EQ(op_.Numbers(), (std::vector<int>{2030, 2035}));
  EXPECT_EQ(op_.shown[1].text, GetMessage(2035) + u"\r\n\r\n"_s + Target());
  // 800 ms after the control file, 100 ms after each of the three copies.
  EXPECT_EQ(op_.pauses, (std::vector<int>{800, 100, 100, 100}));
  // The bar runs from 0 to (2 + 1) x 2 and ends there, then the window closes.
  ASSERT_GE(op_.progress.size(), 3u);
  EXPECT_EQ(std::tuple(op_.progress.front().maximum, op_.progress[op_.progress.size() - 2].value,
                       op_.progress.back().maximum, op_.busy_depth),
            std::tuple(6, 6, 0, 0));
  EXPECT_FALSE(project_.IsEdited());

  // Made again into the same folder: No keeps it, Yes replaces it.
  ASSERT_TRUE(testing::WriteBytes(Target() + u"/old.txt"_s, "from before"_ba));
  ASSERT_TRUE(testing::WriteBytes(work_ + u"/stale.wav"_s, "left by a broken run"_ba));
  const QStringList before = testing::EntriesIn(Target());

  op_ = {};
  op_.Answer(MessageAnswer::kNo);
  EXPECT_EQ(MakeCardData(project_, work_, op_).outcome, CardMakeOutcome::kDeclined);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 2031}));
  EXPECT_EQ(testing::EntriesIn(Target()), before);
  EXPECT_TRUE(testing::EntriesIn(work_).isEmpty());  // the stale file went with the work folder

  op_ = {};
  op_.Answer(MessageAnswer::kYes);
  EXPECT_EQ(MakeCardData(project_, work_, op_).outcome, CardMakeOutcome::kMade);
  EXPECT_EQ(testing::EntriesIn(Target()), made);
}

TEST_F(CardMakerTest, RefusalsBeforeAnythingIsWritten) {
  project_.programs[0].Voice[0] = u" "_s;  // what an emptied cell leaves
  CardMakeResult result = Make();
  EXPECT_TRUE(result.outcome == CardMakeOutcome::kNoPrograms && result.close_window);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2081});
  EXPECT_TRUE(project_.IsEdited());

  project_.programs[0].Voice[0] = u"a01.wav"_s;
  project_.card.Model.clear();
  result = Make();
  EXPECT_EQ(result.outcome, CardMakeOutcome::kCheckFailed);
  EXPECT_EQ(result.failure.control, u"TxtModel"_s);

  project_.card.Model = testing::GoodCardForm().Model;
  project_.settings.CardPath = root_.filePath(u"no such folder"_s);
  result = Make();
  EXPECT_TRUE(result.outcome == CardMakeOutcome::kNoCardFolder && result.close_window);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2082});

  // A voice kept without its file (a load could not find it) is named.
  project_.settings.CardPath = root_.filePath(u"cards"_s);
  project_.voices[1].missing_from = QStringList{root_.path()};
  EXPECT_EQ(Make().outcome, CardMakeOutcome::kMissingSound);
  ASSERT_EQ(op_.Numbers(), std::vector<int>{0});
  EXPECT_TRUE(op_.shown[0].text.startsWith(
      u"カードデータを作成できません。次のSoundファイルが見つかりません。\r\na02.wav\r\n"_s));
  project_.voices[1].missing_from.clear();

  project_.VoicesRegistered = false;
  EXPECT_EQ(Make().outcome, CardMakeOutcome::kNoSound);
  EXPECT_EQ(op_.shown.at(0).text, GetMessage(2503) + u"\r\n"_s + GetMessage(2504));
  project_.settings.Mode = 7;
  Make();
  EXPECT_EQ(op_.shown.at(0).text, GetMessage(2516) + u"\r\n"_s + GetMessage(2504));
  EXPECT_FALSE(QFileInfo::exists(Target()));
}

TEST_F(CardMakerTest, MissingSoundFileLeavesTheTargetAsItWas) {
  ASSERT_TRUE(QFile::remove(project_.voices[1].FilePath));
  const CardMakeResult result = Make();
  // What the report names and the work folder left empty: the fault tests.
  EXPECT_EQ(result.outcome, CardMakeOutcome::kGatherFailed);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 0}));
  EXPECT_EQ(op_.shown.back().icon, MessageIcon::kError);
  EXPECT_FALSE(QFileInfo::exists(Target()));  // the folder this run made is gone again
}

TEST_F(CardMakerTest, FailedCopyIsNeverAnnouncedAsACard) {
  // Something in the target that a copy cannot replace.
  ASSERT_TRUE(QDir().mkpath(Target() + u"/a01.wav"_s));
  op_.Answer(MessageAnswer::kYes);
  const CardMakeResult result = MakeCardData(project_, work_, op_);
  EXPECT_EQ(result.outcome, CardMakeOutcome::kCopyFailed);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 2031, 0}));
  EXPECT_TRUE(op_.shown.back().text.contains(u"a01.wav"_s));
  EXPECT_FALSE(project_.IsEdited());
}

// The demo project is what a new user opens first: it must work as it lies.
TEST(DemoProject, LoadsWholeAndMakesCompleteCardData) {
  UseSoundBackend(MakeSdlSoundBackend());
  const QString folder = QStringLiteral(PARLATONE_SOURCE_DIR "/examples/demo");
  const QStringList sounds = QDir(folder).entryList({u"*.wav"_s}, QDir::Files, QDir::Name);
  Project project;
  testing::UseSeries(project, 1);  // the series of a first start
  testing::ScriptedOperator op;
  ASSERT_TRUE(LoadWpjFile(project, folder + u"/DEMO.wpj"_s, op));
  EXPECT_TRUE(op.shown.empty());
  // Each sound is heard, and its comment passes the registration window's OK.
  QStringList names;
  for (const VoiceRecord& voice : project.voices) {
    SCOPED_TRACE(voice.NAME.toStdString());
    names << voice.NAME;
    EXPECT_EQ(voice.SampleRate + voice.BitRate + voice.TYPE, u"22.05KHz16bitMono"_s);
    EXPECT_TRUE(voice.SEC.toDouble() >= 0.3 && voice.SEC.toDouble() <= 8.0 &&
                !voice.COMENTS.isEmpty() && AnsiByteLength(voice.COMENTS) <= 40);
  }
  names.sort();
  EXPECT_EQ(names, sounds);
  EXPECT_TRUE(CheckCardInfo(CardFormFromProject(project), op));
  // Card data: every sound, found beside the control file, and the control file.
  QTemporaryDir root;
  project.settings.CardPath = root.path();
  project.card = CardFormFromProject(project);
  const CardMakeResult result = MakeCardData(project, root.filePath(u"work/Temp"_s), op);
  ASSERT_EQ(result.outcome, CardMakeOutcome::kMade);
  QStringList made = QDir(result.target_folder).entryList(QDir::Files);
  made.removeOne(project.card.CardName + u".wpj"_s);
  made.sort();
  EXPECT_EQ(made, sounds);
}

}  // namespace
}  // namespace parlatone
