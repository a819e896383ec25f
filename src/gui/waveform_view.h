// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

#include <memory>

#include "sound/sound_analysis.h"

class QPainter;

namespace parlatone {

// Draws a sound's outline into a rectangle, one column a pixel, centred on
// the rectangle's middle line.
void PaintOutline(QPainter& painter, const QRect& rect, const SoundLevels& levels,
                  const QColor& color);

// A sound's outline with the play position on it; a click asks to play
// from where it fell.
class WaveformView : public QWidget {
  Q_OBJECT

 public:
  explicit WaveformView(QWidget* parent = nullptr);

  // Nothing to draw until the levels are known.
  void SetLevels(std::shared_ptr<const SoundLevels> levels);
  // The play position as a share of the length, 0..1; below 0 for none.
  void SetPosition(double fraction);

  QSize sizeHint() const override { return {320, 64}; }

 Q_SIGNALS:
  void Clicked(double fraction);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  std::shared_ptr<const SoundLevels> levels_;
  double position_ = -1.0;
};

}  // namespace parlatone
