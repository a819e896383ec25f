// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/waveform_view.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace parlatone {

using namespace Qt::StringLiterals;

void PaintOutline(QPainter& painter, const QRect& rect, const SoundLevels& levels,
                  const QColor& color) {
  const std::vector<OutlineColumn> columns = OutlineFor(levels, rect.width());
  const double middle = rect.top() + rect.height() / 2.0;
  const double half = std::max(1.0, rect.height() / 2.0 - 1.0);
  painter.save();
  painter.setPen(color);
  for (size_t i = 0; i < columns.size(); ++i) {
    const int x = rect.left() + static_cast<int>(i);
    const auto top = static_cast<int>(std::lround(middle - columns[i].high * half));
    const auto bottom = static_cast<int>(std::lround(middle - columns[i].low * half));
    painter.drawLine(x, std::min(top, bottom), x, std::max(top, bottom));
  }
  painter.restore();
}

WaveformView::WaveformView(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(48);
  setCursor(Qt::PointingHandCursor);
  setToolTip(tr("クリックした位置から再生します。"));
}

void WaveformView::SetLevels(std::shared_ptr<const SoundLevels> levels) {
  levels_ = std::move(levels);
  update();
}

void WaveformView::SetPosition(double fraction) {
  if (fraction != position_) {
    position_ = fraction;
    update();
  }
}

void WaveformView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect().adjusted(1, 1, -1, -1);
  painter.fillRect(rect(), palette().color(QPalette::Base));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.drawLine(area.left(), area.center().y(), area.right(), area.center().y());
  if (levels_) {
    PaintOutline(painter, area, *levels_, QColor(40, 100, 170));
  } else {
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(area, Qt::AlignCenter, tr("波形を読み込み中…"));
  }
  if (position_ >= 0.0) {
    const int x =
        area.left() +
        static_cast<int>(std::lround(std::clamp(position_, 0.0, 1.0) * (area.width() - 1)));
    painter.setPen(QPen(QColor(200, 40, 40), 2));
    painter.drawLine(x, area.top(), x, area.bottom());
  }
}

void WaveformView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || width() <= 2) {
    QWidget::mousePressEvent(event);
    return;
  }
  const double fraction =
      std::clamp((event->position().x() - 1.0) / std::max(1.0, width() - 2.0), 0.0, 1.0);
  Q_EMIT Clicked(fraction);
}

}  // namespace parlatone
