#include "card/card_info.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "card/card_maker.h"
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

// What a check shows: the message number (0 composed), the page and the control.
struct Outcome {
  int number = -1;
  int page = 0;
  QString control;
  bool operator==(const Outcome&) const = default;
};

Outcome Check(const CardInfo& form) {
  testing::ScriptedOperator op;
  CardCheckFailure failure;
  if (CheckCardInfo(form, op, &failure)) {
    EXPECT_TRUE(op.shown.empty());
    return {};
  }
  EXPECT_EQ(op.shown.size(), 1u);
  EXPECT_EQ(op.shown.at(0).title_number, msg::kTitleConfirm);
  EXPECT_EQ(op.shown.at(0).icon, MessageIcon::kExclamation);
  return {op.shown.at(0).number, failure.page, failure.control};
}

void PrintTo(const Outcome& outcome, std::ostream* os) {
  *os << outcome.number << " page " << outcome.page << ' ' << outcome.control.toStdString();
}

TEST(CardCheck, EachFieldRuleInOrderWithItsPageAndControl) {
  const Outcome ok;
  const Outcome name_long{2061, 1, u"TxtCardName"_s};
  const Outcome folder_bad{0, 1, u"TxtForder"_s};
  struct Case {
    QString CardInfo::*field;
    QString value;
    Outcome outcome;
  };
  const Case cases[] = {
      {&CardInfo::CardName, u"ABCDEFGH"_s, ok},
      {&CardInfo::CardName, u"AB_C.D"_s, ok},
      {&CardInfo::CardName, QString(), {2060, 1, u"TxtCardName"_s}},
      {&CardInfo::CardName, u"ABCDEFGHI"_s, name_long},
      {&CardInfo::CardName, u"案"_s, {2062, 1, u"TxtCardName"_s}},
      {&CardInfo::CardName, u"案内放送一"_s, name_long},  // ten bytes: too long comes first
      {&CardInfo::CardName, u"A-1"_s, {0, 1, u"TxtCardName"_s}},
      {&CardInfo::Forder, QString(20, QChar(u'駅')), ok},
      {&CardInfo::Forder, QString(21, QChar(u'駅')), {2066, 1, u"TxtForder"_s}},
      {&CardInfo::Forder, QString(), {2065, 1, u"TxtForder"_s}},
      // One plain folder name (the core's path tests hold the rule), not blanks alone.
      {&CardInfo::Forder, u"a.b c_d"_s, ok},
      {&CardInfo::Forder, u"a/b"_s, folder_bad},
      {&CardInfo::Forder, u"  "_s, folder_bad},
      {&CardInfo::Model, u"   "_s, ok},  // blanks count as filled
      {&CardInfo::Model, QString(), {2083, 1, u"TxtModel"_s}},
      {&CardInfo::CardSize, QString(), {2069, 1, u"CmbCardSize"_s}},
      {&CardInfo::CardSize, u"-1"_s, {2069, 1, u"CmbCardSize"_s}},
      {&CardInfo::CardCom, u" "_s, ok},
      {&CardInfo::CardCom, QString(), {2070, 1, u"TxtCardCom"_s}},
      {&CardInfo::CardPerson, QString(), {2071, 1, u"TxtCardPerson"_s}},
      {&CardInfo::CardDate, QString(), {2097, 1, u"TxtCardDate"_s}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.toStdString());
    CardInfo form = testing::GoodCardForm();
    form.*c.field = c.value;
    EXPECT_EQ(Check(form), c.outcome);
  }
  // Lengths, one field of each page from the core's table: the limit passes, one more is refused.
  const std::tuple<QString CardInfo::*, int, Outcome> lengths[] = {
      {&CardInfo::Maisuu, 20, {2067, 1, u"TxtMaisuu"_s}},
      {&CardInfo::RecDate, 20, {2067, 2, u"TxtRecDate"_s}},
      {&CardInfo::TpMdName, 28, {2072, 3, u"TxtTpMd"_s}},
  };
  for (const auto& [field, limit, outcome] : lengths) {
    CardInfo form = testing::GoodCardForm();
    form.*field = QString(limit, u'x');
    EXPECT_EQ(Check(form), Outcome()) << outcome.control.toStdString();
    form.*field += u'x';
    EXPECT_EQ(Check(form), outcome);
  }
  CardInfo form = testing::GoodCardForm();
  form.Memo[2] = QString(100, QChar(u'メ'));
  EXPECT_EQ(Check(form), Outcome());
  form.Memo[2] += u'x';
  EXPECT_EQ(Check(form), (Outcome{2073, 3, u"TxtMemo3"_s}));
  form.Model = QString();  // the first failure in the order wins
  EXPECT_EQ(Check(form).number, 2083);
  form = testing::GoodCardForm();
  form.CardName = u"A-1"_s;
  testing::ScriptedOperator op;
  EXPECT_FALSE(CheckCardInfo(form, op));
  EXPECT_EQ(op.shown.at(0).text, GetMessage(2063) + ForbiddenCharList() + GetMessage(2064));
}

TEST(CardSize, ClassesTheMp3IndexAndTheFormFromTheFilesOnDisk) {
  const struct {
    qint64 bytes;
    int mode;
    int index;
    QString text;
  } cases[] = {
      {0, 1, -1, QString()},        {7976000, 1, 0, u"8MB"_s},     {7976001, 1, 1, u"16MB"_s},
      {2049310000, 1, 8, u"2GB"_s}, {2049310001, 1, 9, u"OVER"_s}, {5000000000LL, 1, 9, u"OVER"_s},
      {1, 7, 10, u"8MB"_s},         {0, 7, -1, QString()},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SizeClassOf(c.bytes, c.mode).index, c.index) << c.bytes;
    EXPECT_EQ(SizeClassOf(c.bytes, c.mode).text, c.text) << c.bytes;
  }
  QTemporaryDir dir;
  Project project;
  project.settings.Mode = 1;
  DeriveSeriesLimits(project);
  project.settings.CardName = u"DEFAULT"_s;
  const CardInfo empty_form = CardFormFromProject(project);
  EXPECT_EQ(empty_form.CardName, u"DEFAULT"_s);
  EXPECT_TRUE(empty_form.CardSize.isEmpty() && empty_form.UseSize.isEmpty());
  // Two files of 4 MB on disk, and one that is gone: it adds nothing.
  for (const QString& name : {u"a.wav"_s, u"b.wav"_s, u"gone.wav"_s}) {
    VoiceRecord voice;
    voice.NAME = name;
    voice.FilePath = dir.filePath(name);
    project.voices.append(voice);
    ASSERT_TRUE(name == u"gone.wav"_s ||
                testing::WriteBytes(voice.FilePath, QByteArray(4000000, 'x')));
  }
  project.VoicesRegistered = true;
  EXPECT_EQ(TotalSoundSize(project).count, 3);
  EXPECT_EQ(TotalSoundSize(project).bytes, 8000000);
  const CardInfo form = CardFormFromProject(project);
  EXPECT_EQ(form.UseSize, u"16MB"_s);
  EXPECT_EQ(form.CardSize, u"1"_s);
  // A stored choice and name stay.
  project.card.CardSize = u"4"_s;
  project.card.CardName = u"MINE"_s;
  EXPECT_EQ(CardFormFromProject(project).CardSize, u"4"_s);
  EXPECT_EQ(CardFormFromProject(project).CardName, u"MINE"_s);
  project.VoicesRegistered = false;
  EXPECT_EQ(TotalSoundSize(project).bytes, 0);
}

// ------------------------------------------------------------ making card data

QStringList FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class CardMakerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    card_path_ = root_.filePath(u"cards"_s);
    work_ = root_.filePath(u"cache/Temp"_s);
    ASSERT_TRUE(testing::MakeCardReady(project_, root_.path(), 1, {u"a01.wav"_s, u"a02.wav"_s}));
    project_.PageEdited[2] = true;  // cleared by a made card
  }

  CardMakeResult Make() {
    op_ = {};
    return MakeCardData(project_, work_, op_);
  }
  QString Target() const { return card_path_ + u'/' + project_.card.Forder; }

  QTemporaryDir root_;
  QString card_path_;
  QString work_;
  Project project_;
  testing::ScriptedOperator op_;
};

TEST_F(CardMakerTest, MakesTheFolderTellsTheOperatorAndMakesItAgainOnlyOnYes) {
  const QStringList made = {u"ANN01.wpj"_s, u"a01.wav"_s, u"a02.wav"_s};
  const CardMakeResult result = Make();
  ASSERT_EQ(result.outcome, CardMakeOutcome::kMade);
  EXPECT_EQ(result.target_folder, Target());
  EXPECT_EQ(FilesIn(Target()), made);
  EXPECT_EQ(testing::ReadFileBytes(Target() + u"/a02.wav"_s),
            testing::ReadFileBytes(project_.voices[1].FilePath));
  EXPECT_TRUE(FilesIn(work_).isEmpty());
  // The warning first, the notice last with the folder on a line of its own.
  ASSERT_EQ(op_.Numbers(), (std::vector<int>{2030, 2035}));
  EXPECT_EQ(op_.shown[1].text, GetMessage(2035) + u"\r\n\r\n"_s + Target());
  // 800 ms after the control file, 100 ms after each of the three copies.
  EXPECT_EQ(op_.pauses, (std::vector<int>{800, 100, 100, 100}));
  // The bar runs from 0 to (2 + 1) x 2 and ends there, then the window closes.
  ASSERT_GE(op_.progress.size(), 3u);
  EXPECT_EQ(op_.progress.front().maximum, 6);
  EXPECT_EQ(op_.progress[op_.progress.size() - 2].value, 6);
  EXPECT_EQ(op_.progress.back().maximum, 0);
  EXPECT_EQ(op_.busy_depth, 0);
  EXPECT_FALSE(project_.IsEdited());

  // Made again into the same folder: No keeps it, Yes replaces it.
  ASSERT_TRUE(testing::WriteBytes(Target() + u"/old.txt"_s, "from before"_ba));
  ASSERT_TRUE(testing::WriteBytes(work_ + u"/stale.wav"_s, "left by a broken run"_ba));
  const QStringList before = FilesIn(Target());

  op_ = {};
  op_.Answer(MessageAnswer::kNo);
  EXPECT_EQ(MakeCardData(project_, work_, op_).outcome, CardMakeOutcome::kDeclined);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 2031}));
  EXPECT_EQ(FilesIn(Target()), before);
  EXPECT_TRUE(FilesIn(work_).isEmpty());  // the stale file went with the work folder

  op_ = {};
  op_.Answer(MessageAnswer::kYes);
  EXPECT_EQ(MakeCardData(project_, work_, op_).outcome, CardMakeOutcome::kMade);
  EXPECT_EQ(FilesIn(Target()), made);

  // Fault: a folder where the control file goes; the old folder stays as it was.
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

  project_.card.Model = testing::GoodCardForm().Model;
  project_.settings.CardPath = root_.filePath(u"no such folder"_s);
  result = Make();
  EXPECT_EQ(result.outcome, CardMakeOutcome::kNoCardFolder);
  EXPECT_TRUE(result.close_window);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2082});

  // A voice kept without its file (a load could not find it) is named.
  project_.settings.CardPath = card_path_;
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

// The demo project is what a new user opens first: it must work as it lies.
TEST(DemoProject, LoadsWholeAndMakesCompleteCardData) {
  UseSoundBackend(MakeSdlSoundBackend());
  const QString folder = QStringLiteral(PARLATONE_SOURCE_DIR "/examples/demo");
  const QStringList sounds = QDir(folder).entryList({u"*.wav"_s}, QDir::Files, QDir::Name);
  Project project;
  project.settings.Mode = 1;  // the series of a first start
  DeriveSeriesLimits(project);
  testing::ScriptedOperator op;
  ASSERT_TRUE(LoadWpjFile(project, folder + u"/DEMO.wpj"_s, op));
  EXPECT_TRUE(op.shown.empty());
  // Each sound is heard, and its comment passes the registration window's OK.
  QStringList names;
  for (const VoiceRecord& voice : project.voices) {
    SCOPED_TRACE(voice.NAME.toStdString());
    names << voice.NAME;
    EXPECT_EQ(voice.SampleRate + voice.BitRate + voice.TYPE, u"22.05KHz16bitMono"_s);
    EXPECT_TRUE(voice.SEC.toDouble() >= 0.3 && voice.SEC.toDouble() <= 8.0);
    EXPECT_TRUE(!voice.COMENTS.isEmpty() && AnsiByteLength(voice.COMENTS) <= 40);
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
