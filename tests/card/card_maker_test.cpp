#include "card/card_maker.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "core/messages.h"
#include "core/series.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

QStringList FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class CardMakerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    card_path_ = root_.filePath(u"cards"_s);
    work_ = root_.filePath(u"cache/Temp"_s);
    ASSERT_TRUE(QDir().mkpath(card_path_));
    project_.settings.Mode = 1;
    project_.settings.CardPath = card_path_;
    DeriveSeriesLimits(project_);
    for (const QString& name : {u"a01.wav"_s, u"a02.wav"_s}) {
      const QString path = root_.filePath(u"sounds/"_s + name);
      ASSERT_TRUE(testing::WriteBytes(path, testing::WaveOfLength(22050, 1, 16, 100)));
      VoiceRecord voice;
      voice.NAME = name;
      voice.FilePath = path;
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = true;
    project_.programs[0].Voice[0] = u"a01.wav"_s;
    project_.card.CardName = u"ANN01"_s;
    project_.card.Forder = u"STATION"_s;
    project_.card.Model = u"QDX"_s;
    project_.card.CardSize = u"0"_s;
    project_.card.CardCom = u"C"_s;
    project_.card.CardPerson = u"P"_s;
    project_.card.CardDate = u"D"_s;
    project_.PageEdited[2] = true;
  }

  CardMakeResult Make() {
    op_ = {};
    return MakeCardData(project_, work_, op_);
  }
  QString Target() const { return card_path_ + u"/STATION"_s; }

  QTemporaryDir root_;
  QString card_path_;
  QString work_;
  Project project_;
  testing::ScriptedOperator op_;
};

TEST_F(CardMakerTest, MakesTheFolderTellsTheOperatorAndMakesItAgainOnlyOnYes) {
  const CardMakeResult result = Make();
  ASSERT_EQ(result.outcome, CardMakeOutcome::kMade);
  EXPECT_EQ(result.target_folder, Target());
  EXPECT_EQ(FilesIn(Target()), (QStringList{u"ANN01.wpj"_s, u"a01.wav"_s, u"a02.wav"_s}));
  EXPECT_EQ(testing::ReadFileBytes(Target() + u"/a02.wav"_s),
            testing::ReadFileBytes(project_.voices[1].FilePath));
  EXPECT_TRUE(cp932::Decode(testing::ReadFileBytes(Target() + u"/ANN01.wpj"_s))
                  .contains(u"#3\r\n0,1,1,0\r\n#0"_s));
  EXPECT_TRUE(FilesIn(work_).isEmpty());
  // The warning first, the notice last with the folder and two blanks.
  ASSERT_EQ(op_.Numbers(), (std::vector<int>{2030, 2035}));
  EXPECT_EQ(op_.shown[0].title_number, 2023);
  EXPECT_EQ(op_.shown[1].title_number, 2037);
  // The folder on a line of its own.
  EXPECT_EQ(op_.shown[1].text, GetMessage(2035) + u"\r\n\r\n"_s + Target());
  // 800 ms after the control file, 100 ms after each of the three copies.
  EXPECT_EQ(op_.pauses, (std::vector<int>{800, 100, 100, 100}));
  // The bar runs from 0 to (2 + 1) x 2 and ends there, then the window closes.
  ASSERT_GE(op_.progress.size(), 3u);
  EXPECT_EQ(op_.progress.front().maximum, 6);
  EXPECT_EQ(op_.progress.front().caption, GetMessage(2033));
  EXPECT_EQ(op_.progress[1].caption, u"コントロールデータ作成中....ANN01.wpj"_s);
  EXPECT_EQ(op_.progress[op_.progress.size() - 2].value, 6);
  EXPECT_EQ(op_.progress.back().maximum, 0);
  EXPECT_EQ(op_.busy_depth, 0);
  EXPECT_FALSE(project_.IsEdited());

  // Made again into the same folder: No keeps it, Yes replaces it.
  ASSERT_TRUE(testing::WriteBytes(Target() + u"/old.txt"_s, "from before"_ba));
  ASSERT_TRUE(testing::WriteBytes(work_ + u"/stale.wav"_s, "left by a broken run"_ba));
  const QStringList before = FilesIn(Target());
  const QByteArray control_before = testing::ReadFileBytes(Target() + u"/ANN01.wpj"_s);

  op_ = {};
  op_.Answer(MessageAnswer::kNo);
  EXPECT_EQ(MakeCardData(project_, work_, op_).outcome, CardMakeOutcome::kDeclined);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 2031}));
  EXPECT_EQ(FilesIn(Target()), before);
  EXPECT_EQ(testing::ReadFileBytes(Target() + u"/ANN01.wpj"_s), control_before);
  EXPECT_TRUE(FilesIn(work_).isEmpty());  // the stale file went with the work folder

  ASSERT_TRUE(testing::WriteBytes(work_ + u"/stale.wav"_s, "left by a broken run"_ba));
  op_ = {};
  op_.Answer(MessageAnswer::kYes);
  EXPECT_EQ(MakeCardData(project_, work_, op_).outcome, CardMakeOutcome::kMade);
  const QStringList made = {u"ANN01.wpj"_s, u"a01.wav"_s, u"a02.wav"_s};
  EXPECT_EQ(FilesIn(Target()), made);

  // Fault: a folder where the control file should be written; the old
  // folder stays as it was.
  ASSERT_TRUE(QDir().mkpath(work_ + u"/ANN01.wpj"_s));
  op_ = {};
  op_.Answer(MessageAnswer::kYes);
  EXPECT_EQ(MakeCardData(project_, work_, op_).outcome, CardMakeOutcome::kControlFileFailed);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 2031, 2505}));
  EXPECT_EQ(op_.shown.back().title_number, msg::kTitleError);
  EXPECT_EQ(FilesIn(Target()), made);
  EXPECT_EQ(op_.busy_depth, 0);
}

TEST_F(CardMakerTest, RefusalsBeforeAnythingIsWritten) {
  project_.programs[0].Voice[0] = u" "_s;  // what an emptied cell leaves
  CardMakeResult result = Make();
  EXPECT_EQ(result.outcome, CardMakeOutcome::kNoPrograms);
  EXPECT_TRUE(result.close_window);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2081});
  EXPECT_TRUE(project_.IsEdited());

  project_.programs[0].Voice[0] = u"a01.wav"_s;
  project_.card.Model.clear();
  result = Make();
  EXPECT_EQ(result.outcome, CardMakeOutcome::kCheckFailed);
  EXPECT_EQ(result.failure.control, u"TxtModel"_s);

  project_.card.Model = u"QDX"_s;
  project_.settings.CardPath = root_.filePath(u"no such folder"_s);
  result = Make();
  EXPECT_EQ(result.outcome, CardMakeOutcome::kNoCardFolder);
  EXPECT_TRUE(result.close_window);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2082});

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
  EXPECT_EQ(result.outcome, CardMakeOutcome::kGatherFailed);
  EXPECT_EQ(result.failed_files, QStringList{u"a02.wav"_s});
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 0}));
  EXPECT_TRUE(op_.shown.back().text.contains(u"a02.wav"_s));
  EXPECT_EQ(op_.shown.back().icon, MessageIcon::kError);
  EXPECT_FALSE(QFileInfo::exists(Target()));  // the folder this run made is gone again
  EXPECT_TRUE(FilesIn(work_).isEmpty());
}

TEST_F(CardMakerTest, FailedCopyIsNeverAnnouncedAsACard) {
  // Something in the target that a copy cannot replace.
  ASSERT_TRUE(QDir().mkpath(Target() + u"/a01.wav"_s));
  op_.Answer(MessageAnswer::kYes);
  const CardMakeResult result = MakeCardData(project_, work_, op_);
  EXPECT_EQ(result.outcome, CardMakeOutcome::kCopyFailed);
  EXPECT_EQ(result.failed_files, QStringList{u"a01.wav"_s});
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 2031, 0}));
  EXPECT_TRUE(op_.shown.back().text.contains(u"a01.wav"_s));
  EXPECT_FALSE(project_.IsEdited());
}

}  // namespace
}  // namespace parlatone
