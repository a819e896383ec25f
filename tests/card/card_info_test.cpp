#include "card/card_info.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/series.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// A card information form that passes every check.
CardInfo GoodForm() {
  CardInfo form;
  form.CardName = u"ANN01"_s;
  form.Forder = u"駅構内放送"_s;
  form.Model = u"QDX-255"_s;
  form.CardSize = u"0"_s;
  form.CardCom = u"株式会社パーラトーン"_s;
  form.CardPerson = u"山田"_s;
  form.CardDate = u"2026/12/06"_s;
  return form;
}

// What a check shows for a form: the message number (0 for a composed
// text), the page and the control it points at.
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

TEST(CardCheck, CardNameRulesInOrder) {
  CardInfo form = GoodForm();
  EXPECT_EQ(Check(form), Outcome());
  form.CardName = u"ABCDEFGH"_s;
  EXPECT_EQ(Check(form), Outcome());
  form.CardName = u"AB_C.D"_s;
  EXPECT_EQ(Check(form), Outcome());
  form.CardName = QString();
  EXPECT_EQ(Check(form), (Outcome{2060, 1, u"TxtCardName"_s}));
  form.CardName = u"ABCDEFGHI"_s;
  EXPECT_EQ(Check(form), (Outcome{2061, 1, u"TxtCardName"_s}));
  form.CardName = u"案"_s;
  EXPECT_EQ(Check(form), (Outcome{2062, 1, u"TxtCardName"_s}));
  form.CardName = u"案内放送一"_s;  // ten bytes: too long comes first
  EXPECT_EQ(Check(form), (Outcome{2061, 1, u"TxtCardName"_s}));
  form.CardName = u"A-1"_s;
  testing::ScriptedOperator op;
  EXPECT_FALSE(CheckCardInfo(form, op));
  const QString expected =
      uR"x(カードデータファイル名には
"-","(",")","[","]","<",">","\","/","|","*","?",":"は使用できません。
)x"_s;
  EXPECT_EQ(op.shown.at(0).text, QString(expected).replace(u"\n"_s, u"\r\n"_s));
}

TEST(CardCheck, RequiredFieldsAndLengths) {
  CardInfo form = GoodForm();
  form.Forder = QString(20, QChar(u'駅'));
  EXPECT_EQ(Check(form), Outcome());
  form.Forder = QString(21, QChar(u'駅'));
  EXPECT_EQ(Check(form), (Outcome{2066, 1, u"TxtForder"_s}));
  form = GoodForm();
  form.Model = u"   "_s;  // blanks count as filled
  form.CardCom = u" "_s;
  EXPECT_EQ(Check(form), Outcome());

  const std::vector<std::pair<QString CardInfo::*, Outcome>> empties = {
      {&CardInfo::Forder, {2065, 1, u"TxtForder"_s}},
      {&CardInfo::Model, {2083, 1, u"TxtModel"_s}},
      {&CardInfo::CardSize, {2069, 1, u"CmbCardSize"_s}},
      {&CardInfo::CardCom, {2070, 1, u"TxtCardCom"_s}},
      {&CardInfo::CardPerson, {2071, 1, u"TxtCardPerson"_s}},
      {&CardInfo::CardDate, {2097, 1, u"TxtCardDate"_s}},
  };
  for (const auto& [field, outcome] : empties) {
    form = GoodForm();
    form.*field = QString();
    EXPECT_EQ(Check(form), outcome);
  }
  form = GoodForm();
  form.CardSize = u"-1"_s;
  EXPECT_EQ(Check(form), (Outcome{2069, 1, u"CmbCardSize"_s}));

  const std::vector<std::tuple<QString CardInfo::*, int, Outcome>> lengths = {
      {&CardInfo::Maisuu, 20, {2067, 1, u"TxtMaisuu"_s}},
      {&CardInfo::CardDate, 20, {2067, 1, u"TxtCardDate"_s}},
      {&CardInfo::CardKankyou, 40, {2066, 1, u"TxtCardKankyou"_s}},
      {&CardInfo::RecStdio, 40, {2066, 2, u"TxtRecStdio"_s}},
      {&CardInfo::RecDate, 20, {2067, 2, u"TxtRecDate"_s}},
      {&CardInfo::WaveKankyou, 40, {2066, 2, u"TxtWaveKankyou"_s}},
      {&CardInfo::TpMdName, 28, {2072, 3, u"TxtTpMd"_s}},
      {&CardInfo::CardBaitaiName, 28, {2072, 3, u"TxtCardBaitai"_s}},
  };
  for (const auto& [field, limit, outcome] : lengths) {
    form = GoodForm();
    form.*field = QString(limit, u'x');
    EXPECT_EQ(Check(form), Outcome()) << outcome.control.toStdString();
    form.*field = QString(limit + 1, u'x');
    EXPECT_EQ(Check(form), outcome);
  }
  form = GoodForm();
  form.Memo[2] = QString(100, QChar(u'メ'));
  EXPECT_EQ(Check(form), Outcome());
  form.Memo[2] += u'x';
  EXPECT_EQ(Check(form), (Outcome{2073, 3, u"TxtMemo3"_s}));
  // The first failure in the order wins.
  form.Model = QString();
  EXPECT_EQ(Check(form).number, 2083);
}

TEST(CardCheck, FolderNameMustBeOnePlainFolder) {
  for (const QString& folder : {u"a/b"_s, u"..\\up"_s, u"."_s, u".."_s, u"  "_s, u"/abs"_s}) {
    CardInfo form = GoodForm();
    form.Forder = folder;
    const Outcome outcome = Check(form);
    EXPECT_EQ(outcome, (Outcome{0, 1, u"TxtForder"_s})) << folder.toStdString();
  }
  CardInfo form = GoodForm();
  form.Forder = u"a.b c_d"_s;
  EXPECT_EQ(Check(form), Outcome());
}

TEST(CardSize, ClassesAndTheMp3Index) {
  EXPECT_EQ(SizeClassOf(0, 1).index, -1);
  EXPECT_TRUE(SizeClassOf(0, 1).text.isEmpty());
  EXPECT_EQ(SizeClassOf(7976000, 1).text, u"8MB"_s);
  EXPECT_EQ(SizeClassOf(7976000, 1).index, 0);
  EXPECT_EQ(SizeClassOf(7976001, 1).text, u"16MB"_s);
  EXPECT_EQ(SizeClassOf(2049310000, 1).text, u"2GB"_s);
  EXPECT_EQ(SizeClassOf(2049310001, 1).text, u"OVER"_s);
  EXPECT_EQ(SizeClassOf(2049310001, 1).index, 9);
  EXPECT_EQ(SizeClassOf(5000000000LL, 1).index, 9);
  EXPECT_EQ(SizeClassOf(1, 7).index, 10);
  EXPECT_EQ(SizeClassOf(1, 7).text, u"8MB"_s);
  EXPECT_EQ(SizeClassOf(0, 7).index, -1);
}

TEST(CardSize, FormFromTheProjectAndTheFilesOnDisk) {
  QTemporaryDir dir;
  Project project;
  project.settings.Mode = 1;
  DeriveSeriesLimits(project);
  project.settings.CardName = u"DEFAULT"_s;
  CardInfo empty_form = CardFormFromProject(project);
  EXPECT_EQ(empty_form.CardName, u"DEFAULT"_s);
  EXPECT_TRUE(empty_form.CardSize.isEmpty());
  EXPECT_TRUE(empty_form.UseSize.isEmpty());

  for (const QString& name : {u"a.wav"_s, u"b.wav"_s}) {
    ASSERT_TRUE(testing::WriteBytes(dir.filePath(name), QByteArray(4000000, 'x')));
    VoiceRecord voice;
    voice.NAME = name;
    voice.FilePath = dir.filePath(name);
    project.voices.append(voice);
  }
  VoiceRecord gone;
  gone.NAME = u"gone.wav"_s;
  gone.FilePath = dir.filePath(u"gone.wav"_s);
  project.voices.append(gone);
  project.VoicesRegistered = true;
  const SoundTotal total = TotalSoundSize(project);
  EXPECT_EQ(total.count, 3);
  EXPECT_EQ(total.bytes, 8000000);
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

}  // namespace
}  // namespace parlatone
