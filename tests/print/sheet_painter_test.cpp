// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/sheet_painter.h"

#include <QDir>
#include <QFontInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/project.h"
#include "core/series.h"
#include "print/print_sheets.h"
#include "support/qt_printers.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// The text layer of a PDF file as `pdftotext -layout` reads it, pages separated by form feeds.
// Fails the test when the tool is missing or the file cannot be read.
QString PdfText(const QString& path) {
  QProcess process;
  process.start(u"pdftotext"_s, {u"-layout"_s, u"-enc"_s, u"UTF-8"_s, path, u"-"_s});
  if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    ADD_FAILURE() << "pdftotext (poppler-utils, see scripts/deps.sh) failed on "
                  << path.toStdString() << ": " << process.readAllStandardError().toStdString();
    return {};
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

SheetInputs Inputs() {
  SheetInputs inputs;
  inputs.printed_at = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7));
  inputs.lists.card = {u"8MB"_s, u"16MB"_s, u"32MB"_s};
  inputs.sound_bytes = 2147483647;
  return inputs;
}

// Every sheet of a project holding the longest texts each field lets in.
PrintDocument LongestTexts(int mode, const QString& name) {
  Project project;
  project.settings.Mode = mode;
  project.settings.CardPath = u"/カード"_s;
  DeriveSeriesLimits(project);
  for (int v = 0; v < 3; ++v) {
    VoiceRecord voice;
    voice.NAME = name.left(7) + QString::number(v) + u".WAV"_s;  // 12 half-width characters
    voice.SampleRate = u"11.025KHz"_s;
    voice.BitRate = IsMp3Series(project.Mode()) ? u"128Kbit"_s : u"16bit"_s;
    voice.TYPE = u"Stereo"_s;
    voice.SEC = u"99999.999"_s;
    voice.BYTES = u"2147483647"_s;
    voice.COMENTS = QString(20, QChar(u'駅'));  // 40 bytes
    voice.MPEG = IsMp3Series(project.Mode()) ? u"2.0"_s : QString();
    voice.Layer = IsMp3Series(project.Mode()) ? u"3"_s : QString();
    project.voices.append(voice);
  }
  for (int s = 0; s <= MaxVoiceIndex(project.Mode()); ++s) {
    project.programs[0].Voice[static_cast<size_t>(s)] = project.voices.at(s % 3).NAME;
  }
  project.programs[0].Time = u"99999.9"_s;
  for (int f = 0; f < CardInfo::kFieldCount; ++f) {
    project.card.Field(f) = QString(20, QChar(u'記'));  // 40 bytes
  }
  project.card.CardSize = u"1"_s;
  for (QString& memo : project.card.Memo) {
    memo = QString(100, QChar(u'案'));  // 200 bytes
  }
  return BuildPrintDocument(project, {true, true, true}, true, Inputs());
}

// Texts at their longest fit their columns (the widest capitals may shrink); the PDF holds them
// whole.
TEST(SheetPainter, LongestTextsFitAndThePdfHoldsThemWhole) {
  EXPECT_EQ(QFontInfo(SheetFont(9)).family(), QString::fromLatin1(kSheetFontFamily));
  EXPECT_NEAR(SheetTextWidth(u"漢"_s, 72), 25.4, 0.5);  // the named font: full width is one em
  QTemporaryDir dir;
  for (int mode : {3, 7}) {
    SCOPED_TRACE(mode);
    for (const SheetPage& page : LongestTexts(mode, u"ANNOUNCE"_s).pages) {
      for (const SheetTable& table : page.tables) {
        for (qsizetype c = 0; c < qsizetype(table.columns.size()); ++c) {
          const double room = CellTextRoom(table.columns[size_t(c)].width);
          const auto fits = [&](const QString& text, bool bold) {
            return SheetTextWidth(text, table.font_points, bold) * kComfortableFontShare <= room;
          };
          EXPECT_TRUE(fits(table.columns[size_t(c)].heading, true));
          for (const TableRow& row : table.rows) {
            EXPECT_TRUE(row.lines > 1 || !row.spans.empty() || fits(row.cells.at(c), false))
                << SheetName(page.kind).toStdString() << ": " << row.cells.at(c).toStdString();
          }
        }
      }
    }
    const PrintDocument document = LongestTexts(mode, u"WWWWWWWW"_s);
    const QString path = dir.filePath(u"sheets%1.pdf"_s.arg(mode));
    ASSERT_TRUE(WritePdf(document, path));
    const QString text = PdfText(path);
    EXPECT_EQ(text.count(u'\f'), qsizetype(document.pages.size()));
    EXPECT_FALSE(text.contains(u"..."_s));
    for (const QString& expected :
         {u"WWWWWWW0.WAV"_s, u"2147483647"_s, QString(20, QChar(u'駅')), QString(20, QChar(u'記')),
          u"6442450941"_s /* the byte total */}) {
      EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    }
  }
}

// Ideographs drawn with a Kangxi radical's glyph, and the middle dot, come back as painted.
TEST(SheetPainter, PdfTextIsTheTextThatWasPainted) {
  QTemporaryDir dir;
  Project project;
  DeriveSeriesLimits(project);
  project.card.RecStdio = u"山田工房"_s;
  project.card.RecAna = u"日本音響・放送"_s;
  project.card.Memo[0] = u"音声ガイド・山の手"_s;
  const QString path = dir.filePath(u"names.pdf"_s);
  ASSERT_TRUE(WritePdf(BuildPrintDocument(project, {false, true, false}, true, Inputs()), path));
  const QString text = PdfText(path);
  for (const QString& expected : {u"山田工房"_s, u"日本音響・放送"_s, u"音声ガイド・山の手"_s,
                                  u"コントロールデータ作成情報"_s, u"録音"_s}) {
    EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
  }
  for (const char32_t code_point : text.toUcs4()) {
    EXPECT_FALSE(code_point >= 0x2E80 && code_point <= 0x2FDF) << uint32_t{code_point};
    EXPECT_NE(code_point, 0x2027u);
  }
}

TEST(SheetPainter, PdfFailuresLeaveNothingBehind) {
  QTemporaryDir dir;
  Project project;
  DeriveSeriesLimits(project);
  const PrintDocument document = BuildPrintDocument(project, {true, false, false}, true, Inputs());
  EXPECT_FALSE(WritePdf(document, dir.filePath(u"missing/folder/out.pdf"_s)) ||
               WritePdf(PrintDocument(), dir.filePath(u"empty.pdf"_s)));
  EXPECT_TRUE(QDir(dir.path()).isEmpty());
  // A good write replaces what was there.
  const QString path = testing::FileIn(dir, u"out.pdf"_s, "old"_ba);
  ASSERT_TRUE(WritePdf(document, path));
  EXPECT_TRUE(testing::ReadFileBytes(path).startsWith("%PDF-"));
}

}  // namespace
}  // namespace parlatone
