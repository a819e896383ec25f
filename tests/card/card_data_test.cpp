// SPDX-License-Identifier: GPL-3.0-or-later
#include "card/card_info.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "card/card_maker.h"
#include "core/messages.h"
#include "core/series.h"
#include "core/text.h"
#include "support/card_project.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"

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
  // Total bytes, series; the Card list's index and text.
  const std::tuple<qint64, int, int, QString> cases[] = {
      {0, 1, -1, QString()},        {7976000, 1, 0, u"8MB"_s},     {7976001, 1, 1, u"16MB"_s},
      {2049310000, 1, 8, u"2GB"_s}, {2049310001, 1, 9, u"OVER"_s}, {5000000000LL, 1, 9, u"OVER"_s},
      {1, 7, 10, u"8MB"_s},         {0, 7, -1, QString()},
  };
  for (const auto& [bytes, mode, index, text] : cases) {
    const SizeClass size = SizeClassOf(bytes, mode);
    EXPECT_EQ(std::pair(size.index, size.text), std::pair(index, text)) << bytes;
  }
  QTemporaryDir dir;
  Project project;
  testing::UseSeries(project, 1);
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
  EXPECT_EQ(std::pair(TotalSoundSize(project).count, TotalSoundSize(project).bytes),
            std::pair(3, qint64{8000000}));
  const CardInfo form = CardFormFromProject(project);
  EXPECT_EQ(form.UseSize + form.CardSize, u"16MB1"_s);
  // A stored choice and name stay.
  project.card.CardSize = u"4"_s;
  project.card.CardName = u"MINE"_s;
  EXPECT_EQ(CardFormFromProject(project).CardSize + CardFormFromProject(project).CardName,
            u"4MINE"_s);
  project.VoicesRegistered = false;
  EXPECT_EQ(TotalSoundSize(project).bytes, 0);
}

}  // namespace
}  // namespace parlatone
