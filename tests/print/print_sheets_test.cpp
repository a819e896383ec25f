// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/print_sheets.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <tuple>

#include "core/card_data.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "support/card_project.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
namespace geo = sheet_geometry;

SheetInputs Inputs(qint64 sound_bytes = 0) {
  SheetInputs inputs;
  inputs.printed_at = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7));
  inputs.sound_bytes = sound_bytes;
  ElementLists& lists = inputs.lists;
  lists.sp = {u"A"_s, u"B"_s, u"C"_s, u"D"_s};
  lists.repeat = {u"1"_s, u"2"_s, u"3"_s};
  lists.card = {u"8MB"_s,   u"16MB"_s, u"32MB"_s, u"64MB"_s, u"128MB"_s, u"256MB"_s,
                u"512MB"_s, u"1GB"_s,  u"2GB"_s,  u"OVER"_s, u"OTHER"_s};
  lists.tape = {u"ＭＤ"_s, u"ＤＡＴ"_s, u"カセット"_s, u"他"_s};
  lists.baitai = {u"SM"_s, u"CF"_s, u"SD"_s, u"CD"_s, u"MO"_s, u"FD"_s, u"他"_s};
  return inputs;
}

using testing::UseSeries;

VoiceRecord Voice(const QString& name, const QString& sec, const QString& bytes) {
  VoiceRecord voice;
  voice.NAME = name;
  voice.SampleRate = u"22.05KHz"_s;
  voice.BitRate = u"16bit"_s;
  voice.TYPE = u"Mono"_s;
  voice.SEC = sec;
  voice.BYTES = bytes;
  return voice;
}

QStringList Column(const std::vector<SheetPage>& pages, int column) {
  QStringList texts;
  for (const SheetPage& page : pages) {
    for (const SheetTable& table : page.tables) {
      for (const TableRow& row : table.rows) {
        texts << row.cells.at(column);
      }
    }
  }
  return texts;
}

std::map<QString, QString> Fields(const SheetPage& page) {
  std::map<QString, QString> fields;
  for (const SheetTable& table : page.tables) {
    for (const TableRow& row : table.rows) {
      fields[row.cells.at(0)] = row.cells.at(1);
    }
  }
  return fields;
}

// Every page's tables stay between header and footer and fill the page's width.
void ExpectPagesFit(const std::vector<SheetPage>& pages) {
  for (const SheetPage& page : pages) {
    double height = 0;
    for (const SheetTable& table : page.tables) {
      height += table.Height();
      double width = 0;
      for (const TableColumn& column : table.columns) {
        width += column.width;
      }
      EXPECT_NEAR(width, geo::kContentWidth, 1e-6) << SheetName(page.kind).toStdString();
      for (const TableRow& row : table.rows) {
        EXPECT_EQ(row.cells.size(), static_cast<qsizetype>(table.columns.size()));
      }
    }
    EXPECT_LE(height, geo::kBodyHeight + 1e-6)
        << SheetName(page.kind).toStdString() << " page " << page.page_number;
  }
}

TEST(PrintChoices, PrtSheetTextBothWaysAndTheChannelRange) {
  // Missing, empty and unreadable entries count as not ticked.
  const std::pair<QString, SheetChoices> texts[] = {{u"1,0,1"_s, {true, false, true}},
                                                    {QString(), {false, false, false}},
                                                    {u"1"_s, {true, false, false}},
                                                    {u",,1"_s, {false, false, true}},
                                                    {u"x, 1 ,2,1"_s, {false, true, false}}};
  for (const auto& [text, choices] : texts) {
    EXPECT_EQ(ParsePrtSheet(text), choices) << text.toStdString();
  }
  EXPECT_EQ(PrtSheetText({false, true, true}), u"0,1,1"_s);
  // The channels of the shown tab, or all of them: {mode, shown page, all channels, first, count}
  const int ranges[][5] = {
      {4, 1, 0, 250, 250}, {4, 1, 1, 0, 1000}, {4, 3, 0, 750, 250}, {1, 0, 0, 0, 255}};
  for (const auto& r : ranges) {
    Project project;
    UseSeries(project, r[0]);
    project.CurrentPage = r[1];
    const ChannelRange range = PrintRange(project, r[2] != 0);
    EXPECT_EQ(std::make_pair(range.first, range.count), std::make_pair(r[3], r[4]))
        << r[0] << " page " << r[1] << " all " << r[2];
  }
}

// Only the voice sheet describes the sound files: it alone waits for a
// voice kept without its file, and says which.
TEST(PrintChoices, VoiceSheetRefusedWhileAVoiceHasNoFile) {
  Project project;
  project.voices = {Voice(u"here.wav"_s, u"1.000"_s, u"44"_s), Voice(u"lost.wav"_s, {}, {})};
  project.voices[1].missing_from = QStringList{u"/cards"_s};
  const std::pair<SheetChoices, bool> cases[] = {
      {{true, false, false}, false}, {{true, true, true}, false}, {{false, true, true}, true}};
  for (const auto& [choices, may] : cases) {
    testing::ScriptedOperator op;
    EXPECT_EQ(MayBuildSheets(project, choices, op), may) << PrtSheetText(choices).toStdString();
    ASSERT_EQ(op.shown.size(), may ? 0u : 1u);
    EXPECT_TRUE(may || (op.shown[0].text.contains(u"\r\nlost.wav\r\n"_s) &&
                        !op.shown[0].text.contains(u"here.wav"_s)));
  }
}

TEST(PrintDocumentTest, FixedSheetOrderEachNumberingItsPagesAndTheSelectedTab) {
  Project project;
  UseSeries(project, 4);
  project.CurrentPage = 1;
  project.programs[250].Voice[0] = u"first.wav"_s;
  project.programs[499].Voice[0] = u"last.wav"_s;
  EXPECT_TRUE(BuildPrintDocument(project, {}, true, Inputs()).pages.empty());
  // 1000 channels on 20 editor pages, one control data page, one voice page.
  const PrintDocument all = BuildPrintDocument(project, {true, true, true}, true, Inputs());
  ASSERT_EQ(all.pages.size(), 22u);
  EXPECT_EQ(
      std::tuple(all.pages.front().kind, all.pages.at(20).kind, all.pages.back().kind),
      std::tuple(SheetKind::kEditSheet, SheetKind::kControlDataSheet, SheetKind::kVoiceSheet));
  EXPECT_EQ(all.pages.back().date + all.pages.back().time, u"2026/03/0405:06:07"_s);
  // Each sheet numbers its own pages.
  EXPECT_EQ(all.pages.at(19).FooterText() + all.pages.at(20).FooterText(), u"20 / 201 / 1"_s);
  EXPECT_EQ(Column({all.pages.begin(), all.pages.begin() + 20}, 0).back(), u"1000"_s);
  // The print window's note names the sheets in the order they come out.
  QStringList titles;
  for (const SheetPage& page : all.pages) {
    if (titles.isEmpty() || titles.back() != page.sheet_title) {
      titles << page.sheet_title;
    }
  }
  ASSERT_EQ(titles.size(), kSheetChoiceCount);
  const QString note = PrintOrderNote();
  qsizetype after = 0;
  for (const QString& title : titles) {
    const qsizetype at = note.indexOf(title, after);
    ASSERT_GE(at, after) << title.toStdString() << " in " << note.toStdString();
    after = at + title.size();
  }

  // The selected tab only: channels 251 to 500.
  const PrintDocument tab = BuildPrintDocument(project, {false, false, true}, false, Inputs());
  const QStringList channels = Column(tab.pages, 0);
  ASSERT_EQ(channels.size(), 250);
  const QStringList first_slots = Column(tab.pages, 4);
  EXPECT_EQ(
      (QStringList{channels.front(), channels.back(), first_slots.front(), first_slots.back()}),
      (QStringList{u"251"_s, u"500"_s, u"first.wav"_s, u"last.wav"_s}));
  EXPECT_EQ(tab.pages.front().subtitle, u"チャンネル 251～500　　ボイス 1～8"_s);
}

// The PDF chooser proposes the card data file name: the project's, else the settings' one.
TEST(PrintChoices, PdfFileNameFromTheCardDataFileName) {
  const std::tuple<QString, QString, QString> cases[] = {
      {u"DEMO"_s, u"CARDDATA"_s, u"DEMO.pdf"_s},
      {QString(), u"CARDDATA"_s, u"CARDDATA.pdf"_s},
      {QString(), QString(), QString()},
      {u"../up"_s, u"CARDDATA"_s, QString()}};  // no plain file name, as a loaded file may hold
  for (const auto& [card_name, settings_name, file_name] : cases) {
    Project project;
    project.card.CardName = card_name;
    project.settings.CardName = settings_name;
    EXPECT_EQ(PdfFileName(project), file_name) << card_name.toStdString();
  }
}

TEST(EditSheet, TwentyFourSlotsInThreePassesRowTextsAndTheControlFileLine) {
  Project project;
  UseSeries(project, 3);
  project.settings.CardPath = u"/cards"_s;
  // The time as control file loading stores it.
  project.programs[0] = ProgramRecord{u"2"_s, u"3"_s, u"7"_s, {u"A01.wav"_s, u" "_s}};
  ProgramRecord& record = project.programs[7];
  for (int s = 0; s < 24; ++s) {
    record.Voice[static_cast<size_t>(s)] = u"s%1.wav"_s.arg(s + 1);
  }
  const auto build = [&project] {
    return BuildEditSheet(project, PrintRange(project, true), Inputs());
  };
  const std::vector<SheetPage> pages = build();
  ASSERT_EQ(pages.size(), 15u);  // 255 channels on five pages, three times
  const std::vector<TableRow>& rows = pages.front().tables.front().rows;
  EXPECT_EQ(rows.front().cells.mid(0, 6),
            (QStringList{u"01"_s, u"B"_s, u"3"_s, u"7.0"_s, u"A01.wav"_s, QString()}));
  for (int pass = 0; pass < 3; ++pass) {
    const std::vector<SheetPage> pass_pages(pages.begin() + pass * 5, pages.begin() + pass * 5 + 5);
    // Every pass runs over the same channels; channel 8 shows the pass's slots.
    const QStringList channels = Column(pass_pages, 0);
    ASSERT_EQ(channels.size(), 255);
    for (int s = 0; s < 8; ++s) {
      EXPECT_EQ(Column(pass_pages, 4 + s).at(7), u"s%1.wav"_s.arg(pass * 8 + s + 1));
    }
  }
  ExpectPagesFit(pages);

  UseSeries(project, 1);  // eight slots: one pass
  EXPECT_EQ(build().size(), 5u);
  // The control file line: blank until both the name and the folder are there.
  project.card.CardName = u"ANN01"_s;
  EXPECT_EQ(build().front().path, QString());
  project.card.Forder = u"駅"_s;
  EXPECT_EQ(build().front().path, ControlFilePath(project));
}

TEST(ControlDataSheet, ListIndexesTurnBackIntoTheElementTextsAndMp3Captions) {
  Project project;
  UseSeries(project, 1);
  CardInfo& card = project.card;
  card.CardSize = u"2"_s;
  card.TpMd = u"1"_s;
  card.RecBaitai = u"3"_s;
  card.CardBaitai = u"6"_s;
  const std::vector<SheetPage> pages = BuildControlDataSheet(project, Inputs(7976001));
  ASSERT_EQ(pages.size(), 1u);
  std::map<QString, QString> fields = Fields(pages.front());
  const std::pair<QString, QString> expected[] = {
      {u"使用カード容量"_s, u"32MB"_s},          {u"積算カード容量"_s, u"16MB"_s},
      {u"積算メモリ容量"_s, u"7976001バイト"_s}, {u"テープ・ＭＤ種類"_s, u"ＤＡＴ"_s},
      {u"WAVE記録媒体種類"_s, u"CD"_s},          {u"カードデータ記録媒体種類"_s, u"他"_s}};
  for (const auto& [caption, value] : expected) {
    EXPECT_EQ(fields[caption], value) << caption.toStdString();
  }

  // Nothing chosen, or an index the list does not reach: blank, never a neighbouring entry.
  card.CardSize = u"-1"_s;
  card.TpMd = QString();
  card.RecBaitai = u"7"_s;
  card.CardBaitai = u"x"_s;
  fields = Fields(BuildControlDataSheet(project, Inputs()).front());
  for (const QString& caption :
       {u"使用カード容量"_s, u"テープ・ＭＤ種類"_s, u"WAVE記録媒体種類"_s,
        u"カードデータ記録媒体種類"_s, u"積算カード容量"_s, u"積算メモリ容量"_s}) {
    EXPECT_EQ(fields[caption], QString()) << caption.toStdString();
  }

  // The MP3 series' captions; comments of 200 bytes, the longest allowed, wrap.
  UseSeries(project, 7);
  for (QString& memo : project.card.Memo) {
    memo = QString(100, QChar(u'案'));
  }
  const std::vector<SheetPage> mp3 = BuildControlDataSheet(project, Inputs(1000));
  fields = Fields(mp3.front());
  EXPECT_TRUE(fields.contains(u"mp3制作会社"_s) && !fields.contains(u"WAVE制作会社"_s));
  // The MP3 series' cards are all "OTHER", but the use shown is the class.
  EXPECT_EQ(fields.at(u"積算カード容量"_s), u"8MB"_s);
  const SheetTable& comments = mp3.front().tables.back();
  ASSERT_EQ(comments.rows.size(), 3u);
  EXPECT_GT(comments.rows.front().lines, 1);
  ExpectPagesFit(mp3);
}

TEST(VoiceSheet, RowsTotalsAndTheMpegColumns) {
  Project project;
  UseSeries(project, 7);
  project.voices = {Voice(u"a.mp3"_s, u"0.100"_s, u"1000"_s), Voice(u"b.mp3"_s, u"0.200"_s, u" "_s),
                    Voice(u"c.mp3"_s, u""_s, u"24"_s)};
  project.voices[0].MPEG = u"1.0"_s;
  project.voices[0].Layer = u"3"_s;
  project.voices[0].COMENTS = u"案内"_s;
  const std::vector<SheetPage> pages = BuildVoiceSheet(project, Inputs());
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages.front().kind, SheetKind::kMpegVoiceSheet);
  const SheetTable& table = pages.front().tables.front();
  EXPECT_EQ(table.rows.front().cells,
            (QStringList{u"001"_s, u"a.mp3"_s, u"22.05KHz"_s, u"16bit"_s, u"Mono"_s, u"1.0"_s,
                         u"3"_s, u"0.100"_s, u"1000"_s, u"案内"_s}));
  // 0.1 + 0.2 is exactly 0.300; a blank size counts nothing.
  EXPECT_EQ(table.totals.front().cells.mid(1, 2), (QStringList{u"0.300"_s, u"1024"_s}));
  EXPECT_EQ(table.totals.front().spans.front(), 7);
}

TEST(VoiceSheet, ZeroTotalsThenPagesAndTotalsOfALongList) {
  Project project;
  UseSeries(project, 4);
  const std::vector<SheetPage> empty = BuildVoiceSheet(project, Inputs());
  ASSERT_EQ(empty.size(), 1u);
  const SheetTable& table = empty.front().tables.front();
  ASSERT_EQ(table.totals.size(), 1u);
  EXPECT_EQ(table.totals.front().cells,
            (QStringList{u"合計（0 ファイル）"_s, u"0.000"_s, u"0"_s, QString()}));
  // The caption spans the columns before the time: the totals stand under time and size.
  EXPECT_EQ(table.totals.front().spans, (std::vector<int>{5, 1, 1, 1}));

  const int per_page = RowsPerPage(table);
  ASSERT_GT(per_page, 30);
  // Exactly full pages leave no room for the totals: they get a page of their own.
  for (int v = 0; v < 2 * per_page; ++v) {
    project.voices.append(Voice(u"v%1.wav"_s.arg(v), u"1.001"_s, u"10"_s));
  }
  std::vector<SheetPage> pages = BuildVoiceSheet(project, Inputs());
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_TRUE(pages.back().tables.front().rows.empty());
  // Summed as decimals: no drift over many rows.
  EXPECT_EQ(pages.back().tables.front().totals.front().cells.at(1),
            u"%1.%2"_s.arg(2 * per_page * 1001 / 1000)
                .arg(2 * per_page * 1001 % 1000, 3, 10, QChar(u'0')));
  ExpectPagesFit(pages);
  // One row fewer: the totals go with the last rows.
  project.voices.removeLast();
  pages = BuildVoiceSheet(project, Inputs());
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages.back().tables.front().rows.size(), static_cast<size_t>(per_page - 1));
  EXPECT_FALSE(pages.back().tables.front().totals.empty());
  EXPECT_EQ(Column(pages, 0).back(), u"%1"_s.arg(2 * per_page - 1, 3, 10, QChar(u'0')));
}

TEST(PrintInputs, ElementListsAndTheSoundTotalFromDisk) {
  // Each list from its own section; the sound total from the files as they are now.
  const QString element_file = ResolveAppPaths().element_file;
  Project project;
  UseSeries(project, 1);
  VoiceRecord voice = Voice(u"a.wav"_s, u"1.000"_s, u"99"_s);
  voice.FilePath = element_file;
  project.voices = {voice};
  project.VoicesRegistered = true;
  const SheetInputs inputs = MakeSheetInputs(project, element_file, QDateTime());
  const ElementLists& lists = inputs.lists;
  EXPECT_EQ(std::make_tuple(lists.tape.value(1), lists.baitai.value(6), lists.card.value(9)),
            std::make_tuple(u"ＤＡＴ"_s, u"他"_s, u"OVER"_s));
  EXPECT_EQ(inputs.sound_bytes, QFileInfo(element_file).size());
}

}  // namespace
}  // namespace parlatone
