// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace parlatone {

class Operator;
class Project;

// The printed sheets as data: which texts go on which page, in which column
// and row, laid out on an A4 portrait page measured in millimetres. The
// painter (print/sheet_painter.h) only draws what is described here, so the
// pagination and every text can be checked without a printer.

// The sheets, by the report names the operator manuals use.
enum class SheetKind { kEditSheet, kControlDataSheet, kVoiceSheet, kMpegVoiceSheet };
QString SheetName(SheetKind kind);  // "ArEditSheet", ...

// The check boxes of the print window, in the window's order; "PrtSheet"
// keeps their states in this order.
enum class SheetChoice { kVoice = 0, kControlData = 1, kEditor = 2 };
inline constexpr int kSheetChoiceCount = 3;
using SheetChoices = std::array<bool, kSheetChoiceCount>;

// The check box of a sheet, captioned as the sheet is titled.
QString SheetChoiceCaption(SheetChoice choice);

// The order in which the ticked sheets are printed: the editor sheet, the
// control data sheet, the voice sheet. It is the reverse of the window's
// order, which "PrtSheet" keeps, so the window says it in this note.
inline constexpr std::array<SheetChoice, kSheetChoiceCount> kPrintOrder = {
    SheetChoice::kEditor, SheetChoice::kControlData, SheetChoice::kVoice};
QString PrintOrderNote();

// "PrtSheet" as written: "1,0,1". Reading takes missing, empty or other
// entries as not ticked.
SheetChoices ParsePrtSheet(const QString& text);
QString PrtSheetText(const SheetChoices& choices);
bool AnyChosen(const SheetChoices& choices);

// The channels the editor sheet prints: every channel of the series, or the
// channels of the page the main window shows.
struct ChannelRange {
  int first = 0;
  int count = 0;
};
ChannelRange PrintRange(const Project& project, bool all_channels);

// Page geometry of every sheet (A4 portrait, millimetres).
namespace sheet_geometry {
inline constexpr double kPageWidth = 210.0;
inline constexpr double kPageHeight = 297.0;
inline constexpr double kMarginLeft = 12.0;
inline constexpr double kMarginRight = 12.0;
inline constexpr double kMarginTop = 12.0;
inline constexpr double kMarginBottom = 12.0;
inline constexpr double kHeaderHeight = 24.0;  // title, sheet name, control file line
inline constexpr double kFooterHeight = 10.0;  // page number
inline constexpr double kContentWidth = kPageWidth - kMarginLeft - kMarginRight;
inline constexpr double kBodyTop = kMarginTop + kHeaderHeight;
inline constexpr double kBodyBottom = kPageHeight - kMarginBottom - kFooterHeight;
inline constexpr double kBodyHeight = kBodyBottom - kBodyTop;
inline constexpr double kTableTitleHeight = 7.0;  // a table's title and the gap above it
inline constexpr double kHeadingRowHeight = 6.0;
inline constexpr double kFooterGap = 2.0;  // between a table's rows and its totals
}  // namespace sheet_geometry

enum class CellAlign { kLeft, kCenter, kRight };

struct TableColumn {
  QString heading;
  double width = 0;  // millimetres
  CellAlign align = CellAlign::kLeft;
};

struct TableRow {
  QStringList cells;  // one per column, or per span
  int lines = 1;      // height in rows of the table's row height; long texts wrap
  // Columns each cell covers; empty when every cell covers one. A cell that
  // covers several columns captions the value after it and stands right
  // aligned beside it.
  std::vector<int> spans = {};
};

// One ruled table: an optional title above it, a heading row, the rows, and
// totals after the rows. A table whose first column holds captions (the
// control data sheet) draws that column shaded and has no heading row.
struct SheetTable {
  QString title;
  std::vector<TableColumn> columns;
  bool headings = true;
  bool caption_column = false;
  double row_height = 5.0;  // millimetres per line
  double font_points = 8.0;
  std::vector<TableRow> rows;
  std::vector<TableRow> totals;

  double Height() const;  // title, headings, rows and totals
};

// One page as it is printed.
struct SheetPage {
  SheetKind kind = SheetKind::kEditSheet;
  QString title;        // "Parlatone Editor"
  QString date;         // "YYYY/MM/DD"
  QString time;         // "HH:MM:SS"
  QString sheet_title;  // "エディタ情報", ...
  QString subtitle;     // the channels and voice slots of an editor sheet page
  bool has_path_line = false;
  QString path;         // editor sheet: the control file, or blank
  int page_number = 0;  // within its sheet, from 1
  int page_count = 0;   // pages of its sheet
  std::vector<SheetTable> tables;

  QString FooterText() const;  // "3 / 6"
};

struct PrintDocument {
  QString title;  // the preview's title
  std::vector<SheetPage> pages;
};

// The element file's lists through which stored item numbers and list
// indexes are printed as the texts the windows show.
struct ElementLists {
  QStringList sp;
  QStringList repeat;
  QStringList card;
  QStringList tape;
  QStringList baitai;
};
ElementLists ReadPrintLists(const QString& element_file);

// What the sheets show besides the project.
struct SheetInputs {
  QDateTime printed_at;
  ElementLists lists;
  qint64 sound_bytes = 0;  // total size of the registered sound files on disk now
};
SheetInputs MakeSheetInputs(const Project& project, const QString& element_file,
                            const QDateTime& printed_at);

// The sheets one by one.
std::vector<SheetPage> BuildEditSheet(const Project& project, const ChannelRange& range,
                                      const SheetInputs& inputs);
std::vector<SheetPage> BuildControlDataSheet(const Project& project, const SheetInputs& inputs);
std::vector<SheetPage> BuildVoiceSheet(const Project& project, const SheetInputs& inputs);

// The ticked sheets in print order in one document; nothing ticked gives a
// document without pages.
PrintDocument BuildPrintDocument(const Project& project, const SheetChoices& choices,
                                 bool all_channels, const SheetInputs& inputs);

// The name the PDF chooser proposes: the card data file name (the project's,
// else the one the settings propose) with ".pdf"; empty when there is none
// or it is no plain file name.
QString PdfFileName(const Project& project);

// The voice sheet describes every registered sound file, so it is refused
// while a voice is kept without its file (the operator is told which). False
// when the chosen sheets may not be built.
bool MayBuildSheets(const Project& project, const SheetChoices& choices, Operator& op);

// Rows that fit on one page of a table below the page header: the editor
// and voice sheets break their rows into pages of this many.
int RowsPerPage(const SheetTable& table);

}  // namespace parlatone
