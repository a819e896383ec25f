// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRectF>
#include <QWidget>
#include <QtGlobal>

#include <vector>

#include "editor/program_table.h"

namespace parlatone {

class Project;

// The selected channel's voices drawn to scale one after the other, as many
// times as it repeats, with the time they add up to; hovering a voice names
// it and its length.
class ChannelTimeline : public QWidget {
  Q_OBJECT

 public:
  explicit ChannelTimeline(QWidget* parent = nullptr);

  // Draws the channel as the project holds it now; -1 for none.
  void ShowChannel(const Project& project, int channel);
  int Channel() const { return channel_; }
  // The time the drawing adds up to, as the grid's time column shows it.
  QString TotalText() const;
  // The voice drawn under a point, as the tooltip names it; empty for none.
  QString TextAt(const QPoint& point) const;
  // Where playing has got to: the voice (its place in the channel), the
  // pass through the voices (0 for the first) and the time into the voice.
  void SetPlayPoint(int voice, qint64 pass, qint64 position_ms);
  void ClearPlayPoint();

  QSize sizeHint() const override { return {600, 46}; }
  QSize minimumSizeHint() const override { return {200, 46}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Piece {
    QRectF rect;
    int voice = -1;  // -1: the passes drawn as one block
    qint64 pass = 0;
  };
  QRect BarRect() const;
  void Layout();

  ChannelPlan plan_;
  int channel_ = -1;
  std::vector<Piece> pieces_;
  double play_fraction_ = -1.0;
};

}  // namespace parlatone
