// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

#include "print/print_sheets.h"

class QPagedPaintDevice;
class QPainter;

namespace parlatone {

struct PaintedText;

// Draws the described pages; needs Qt Gui (fonts), never widgets, so the
// editor's preview and the command-line tool's PDF share it.

// The sheets' font: named explicitly so that Japanese glyphs never come from
// whatever the system would substitute.
inline constexpr const char* kSheetFontFamily = "Noto Sans CJK JP";
QFont SheetFont(double points, bool bold = false);

// Width in millimetres of one line of text in the sheets' font, and the
// room a column of the given width leaves for it.
double SheetTextWidth(const QString& text, double points, bool bold = false);
double CellTextRoom(double column_width);

// A cell's text that is wider than its room is drawn smaller, never cut:
// a file name missing its end could be taken for another. Texts that need
// to shrink below this share of their size are the unusual ones (names of
// wide capitals); they shrink further rather than lose characters.
inline constexpr double kComfortableFontShare = 0.7;

// Paints every page onto a device that is already being painted on (a
// printer handed over by the preview, for instance): a new device page
// before each page but the first. The A4 page is scaled to the device's
// paper when that is another size.
// When `painted` is given, it gathers the characters and fonts drawn.
void PaintDocument(const PrintDocument& document, QPainter& painter, QPagedPaintDevice& device,
                   PaintedText* painted = nullptr);

// Writes the document as a PDF file, A4 portrait. False when the file
// cannot be written; a document without pages writes nothing.
bool WritePdf(const PrintDocument& document, const QString& path);

}  // namespace parlatone
