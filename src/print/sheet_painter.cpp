// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/sheet_painter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <optional>

#include "core/file_io.h"
#include "print/pdf_text_maps.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// The texts of this unit the operator reads, in the interface language.
struct PainterText {
  Q_DECLARE_TR_FUNCTIONS(SheetPainter)
};

namespace geo = sheet_geometry;

constexpr double kCellPadding = 1.0;        // millimetres inside a cell, left and right
constexpr double kSmallestWrapShare = 0.5;  // a wrapped text shrinks this far to stay in its box
constexpr double kThinLine = 0.12;          // millimetres
constexpr double kFrameLine = 0.3;
constexpr double kHeaderRule = 0.4;

const QColor kHeadingFill(225, 225, 225);
const QColor kCaptionFill(235, 235, 235);
const QColor kStripeFill(246, 246, 246);
const QColor kTotalsFill(235, 235, 235);

// Millimetres of the A4 page to device pixels, the page centred on the
// device's paper and shrunk to it when the paper is smaller.
class PageMapper {
 public:
  PageMapper(QPagedPaintDevice& device) {
    const QPageLayout layout = device.pageLayout();
    const int dpi = device.logicalDpiY();
    const QRectF paper = layout.fullRectPixels(dpi);
    const QRectF paint = layout.paintRectPixels(dpi);
    const double px_per_mm = dpi / 25.4;
    fit_ = std::min({1.0, paper.width() / (geo::kPageWidth * px_per_mm),
                     paper.height() / (geo::kPageHeight * px_per_mm)});
    scale_ = px_per_mm * fit_;
    // The painter's origin is the corner of the printable area.
    origin_ = QPointF((paper.width() - geo::kPageWidth * scale_) / 2 - paint.left(),
                      (paper.height() - geo::kPageHeight * scale_) / 2 - paint.top());
  }

  double X(double mm) const { return origin_.x() + mm * scale_; }
  double Y(double mm) const { return origin_.y() + mm * scale_; }
  double Length(double mm) const { return mm * scale_; }
  QRectF Rect(double x, double y, double width, double height) const {
    return {X(x), Y(y), Length(width), Length(height)};
  }
  double Points(double points) const { return points * fit_; }

 private:
  double fit_ = 1;
  double scale_ = 1;
  QPointF origin_;
};

Qt::Alignment ToQt(CellAlign align) {
  switch (align) {
    case CellAlign::kCenter:
      return Qt::AlignHCenter;
    case CellAlign::kRight:
      return Qt::AlignRight;
    case CellAlign::kLeft:
      break;
  }
  return Qt::AlignLeft;
}

class SheetPainter {
 public:
  SheetPainter(QPainter& painter, QPagedPaintDevice& device, PaintedText* painted)
      : painter_(painter), device_(device), map_(device), painted_(painted) {}

  void Page(const SheetPage& page) {
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, true);
    Header(page);
    double y = geo::kBodyTop;
    for (const SheetTable& table : page.tables) {
      y = Table(table, y);
    }
    Footer(page);
    painter_.restore();
  }

 private:
  QFont Font(double points, bool bold) const { return SheetFont(map_.Points(points), bold); }

  void Pen(double width_mm, const QColor& color = Qt::black) {
    QPen pen(color);
    pen.setWidthF(std::max(map_.Length(width_mm), 0.5));
    pen.setCapStyle(Qt::FlatCap);
    painter_.setPen(pen);
  }

  void HLine(double x1, double x2, double y, double width_mm) {
    Pen(width_mm);
    painter_.drawLine(QLineF(map_.X(x1), map_.Y(y), map_.X(x2), map_.Y(y)));
  }
  void VLine(double x, double y1, double y2, double width_mm) {
    Pen(width_mm);
    painter_.drawLine(QLineF(map_.X(x), map_.Y(y1), map_.X(x), map_.Y(y2)));
  }

  // One line of text in a box, shrunk to its width when it is wider. Only
  // the page header's own texts may be cut, with an ellipsis.
  void Text(const QRectF& box_mm, const QString& text, double points, bool bold,
            Qt::Alignment align, std::optional<Qt::TextElideMode> elide = std::nullopt) {
    if (text.isEmpty()) {
      return;
    }
    const QRectF box = map_.Rect(box_mm.x(), box_mm.y(), box_mm.width(), box_mm.height());
    QFont font = Font(points, bold);
    QFontMetricsF metrics(font, &device_);
    const double width = metrics.horizontalAdvance(text);
    if (width > box.width()) {
      const double share =
          elide ? std::max(kComfortableFontShare, box.width() / width) : box.width() / width;
      font = Font(points * share * 0.99, bold);
      metrics = QFontMetricsF(font, &device_);
    }
    painter_.setFont(font);
    Pen(kThinLine);
    Draw(box, static_cast<int>(align | Qt::AlignVCenter),
         elide ? metrics.elidedText(text, *elide, box.width()) : text, font);
  }

  void Draw(const QRectF& box, int flags, const QString& text, const QFont& font) {
    if (painted_ != nullptr) {
      painted_->Add(text, font);
    }
    painter_.drawText(box, flags, text);
  }

  // Several lines: the text wraps anywhere, as Japanese text does, and
  // shrinks when the lines would run out of the box.
  void WrappedText(const QRectF& box_mm, const QString& text, double points) {
    if (text.isEmpty()) {
      return;
    }
    const QRectF box = map_.Rect(box_mm.x(), box_mm.y(), box_mm.width(), box_mm.height());
    constexpr int kFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere;
    QFont font = Font(points, false);
    for (double share = 0.95; share >= kSmallestWrapShare; share -= 0.05) {
      if (QFontMetricsF(font, &device_).boundingRect(box, kFlags, text).height() <= box.height()) {
        break;
      }
      font = Font(points * share, false);
    }
    painter_.setFont(font);
    Pen(kThinLine);
    Draw(box, kFlags, text, font);
  }

  void Fill(double x, double y, double width, double height, const QColor& color) {
    painter_.fillRect(map_.Rect(x, y, width, height), color);
  }

  void Header(const SheetPage& page) {
    const double left = geo::kMarginLeft;
    const double width = geo::kContentWidth;
    const double top = geo::kMarginTop;
    Text({left, top, width * 0.6, 8}, page.title, 15, true, Qt::AlignLeft, Qt::ElideRight);
    Text({left + width * 0.4, top, width * 0.6, 8},
         PainterText::tr("印刷日 %1　　時刻 %2").arg(page.date, page.time), 9, false,
         Qt::AlignRight, Qt::ElideRight);
    Text({left, top + 8.5, width * 0.45, 7}, page.sheet_title, 11.5, true, Qt::AlignLeft,
         Qt::ElideRight);
    Text({left + width * 0.45, top + 8.5, width * 0.55, 7}, page.subtitle, 9.5, false,
         Qt::AlignRight, Qt::ElideRight);
    if (page.has_path_line) {
      const QString label = PainterText::tr("コントロールファイル：");
      const double label_width = 34;
      Text({left, top + 15.5, label_width, 6}, label, 8.5, false, Qt::AlignLeft, Qt::ElideRight);
      // A long path keeps its file name: the middle goes first.
      Text({left + label_width, top + 15.5, width - label_width, 6}, page.path, 8.5, false,
           Qt::AlignLeft, Qt::ElideMiddle);
    }
    HLine(left, left + width, geo::kBodyTop - 1.5, kHeaderRule);
  }

  void Footer(const SheetPage& page) {
    const double top = geo::kBodyBottom + 2;
    HLine(geo::kMarginLeft, geo::kMarginLeft + geo::kContentWidth, top, kThinLine);
    Text({geo::kMarginLeft, top + 1, geo::kContentWidth, 6}, page.FooterText(), 9, false,
         Qt::AlignHCenter, Qt::ElideRight);
  }

  // Draws a table from y (millimetres) and returns where the next one starts.
  double Table(const SheetTable& table, double y) {
    const double left = geo::kMarginLeft;
    std::vector<double> edges{left};
    for (const TableColumn& column : table.columns) {
      edges.push_back(edges.back() + column.width);
    }
    const double right = edges.back();
    if (!table.title.isEmpty()) {
      Text({left, y + 1.5, right - left, geo::kTableTitleHeight - 1.5},
           PainterText::tr("■ %1").arg(table.title), table.font_points + 1, true, Qt::AlignLeft);
      y += geo::kTableTitleHeight;
    }
    const double top = y;
    if (table.headings) {
      Fill(left, y, right - left, geo::kHeadingRowHeight, kHeadingFill);
      for (size_t c = 0; c < table.columns.size(); ++c) {
        Text({edges[c] + kCellPadding, y, table.columns[c].width - 2 * kCellPadding,
              geo::kHeadingRowHeight},
             table.columns[c].heading, table.font_points, true, Qt::AlignHCenter);
      }
      y += geo::kHeadingRowHeight;
      HLine(left, right, y, kFrameLine);
    }
    // Shading first, then texts and rules over it, so that no fill covers
    // half of a rule.
    const double rows_top = y;
    for (size_t r = 0; r < table.rows.size(); ++r) {
      const double height = table.rows[r].lines * table.row_height;
      if (table.caption_column) {
        Fill(left, y, table.columns[0].width, height, kCaptionFill);
      } else if (r % 2 == 1) {
        Fill(left, y, right - left, height, kStripeFill);
      }
      y += height;
    }
    y = rows_top;
    for (size_t r = 0; r < table.rows.size(); ++r) {
      const TableRow& row = table.rows[r];
      const double height = row.lines * table.row_height;
      Row(table, row, edges, y, height, false);
      y += height;
      if (r + 1 < table.rows.size()) {
        HLine(left, right, y, kThinLine);
      }
    }
    VerticalRules(table, edges, top, y);
    Frame(left, right, top, y);
    if (!table.totals.empty()) {
      y += geo::kFooterGap;
      for (const TableRow& row : table.totals) {
        const double height = row.lines * table.row_height;
        Fill(left, y, right - left, height, kTotalsFill);
        Row(table, row, edges, y, height, true);
        Frame(left, right, y, y + height);
        y += height;
      }
    }
    return y;
  }

  void Row(const SheetTable& table, const TableRow& row, const std::vector<double>& edges, double y,
           double height, bool totals) {
    size_t column = 0;
    for (qsizetype i = 0; i < row.cells.size() && column < table.columns.size(); ++i) {
      const size_t span =
          row.spans.empty() ? 1 : static_cast<size_t>(std::max(1, row.spans[size_t(i)]));
      const size_t end = std::min(column + span, table.columns.size());
      const QRectF box(edges[column] + kCellPadding, y,
                       edges[end] - edges[column] - 2 * kCellPadding, height);
      const QString& text = row.cells.at(i);
      if (row.lines > 1) {
        WrappedText(box.adjusted(0, 0.8, 0, -0.4), text, table.font_points);
      } else {
        const Qt::Alignment align = span > 1 ? Qt::AlignRight : ToQt(table.columns[column].align);
        Text(box, text, table.font_points, totals, align);
      }
      if (totals && column > 0) {
        VLine(edges[column], y, y + height, kThinLine);
      }
      column = end;
    }
  }

  void VerticalRules(const SheetTable& table, const std::vector<double>& edges, double top,
                     double bottom) {
    for (size_t c = 1; c + 1 < edges.size(); ++c) {
      VLine(edges[c], top, bottom, table.caption_column && c == 1 ? kFrameLine : kThinLine);
    }
  }

  void Frame(double left, double right, double top, double bottom) {
    Pen(kFrameLine);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(
        QRectF(map_.X(left), map_.Y(top), map_.Length(right - left), map_.Length(bottom - top)));
  }

  QPainter& painter_;
  QPagedPaintDevice& device_;
  PageMapper map_;
  PaintedText* painted_;
};

}  // namespace

double SheetTextWidth(const QString& text, double points, bool bold) {
  // Measured large, so that no hinting of small sizes enters the width.
  constexpr int kMeasuringPixels = 1000;
  QFont font = SheetFont(points, bold);
  font.setPixelSize(kMeasuringPixels);
  return QFontMetricsF(font).horizontalAdvance(text) / kMeasuringPixels * points / 72.0 * 25.4;
}

double CellTextRoom(double column_width) {
  return column_width - 2 * kCellPadding;
}

QFont SheetFont(double points, bool bold) {
  QFont font(QString::fromLatin1(kSheetFontFamily));
  font.setPointSizeF(points);
  font.setBold(bold);
  // Without shaping every glyph comes straight from the font's character
  // map, so the PDF's text layer maps each one back to its character: the
  // font's contextual forms (digits after Latin letters) have no way back,
  // and a PDF would lose the numbers of file names when searched or copied.
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

void PaintDocument(const PrintDocument& document, QPainter& painter, QPagedPaintDevice& device,
                   PaintedText* painted) {
  SheetPainter sheet_painter(painter, device, painted);
  for (size_t i = 0; i < document.pages.size(); ++i) {
    if (i > 0) {
      device.newPage();
    }
    sheet_painter.Page(document.pages[i]);
  }
}

bool WritePdf(const PrintDocument& document, const QString& path) {
  if (document.pages.empty()) {
    return false;
  }
  QByteArray pdf;
  PaintedText painted;
  {
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(document.title);
    writer.setCreator(u"Parlatone Editor"_s);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&writer)) {
      return false;
    }
    PaintDocument(document, painter, writer, &painted);
    if (!painter.end()) {
      return false;
    }
  }
  // Written beside the target and put in its place only when complete, so
  // that a failed run never leaves half a sheet where a good one was.
  return WriteFileAtomically(path, MendPdfTextMaps(pdf, painted)).ok;
}

}  // namespace parlatone
