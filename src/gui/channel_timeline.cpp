// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/channel_timeline.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPen>
#include <QToolTip>

#include <algorithm>
#include <cmath>

#include "core/project.h"

namespace parlatone {

using namespace Qt::StringLiterals;

namespace {

// Beyond this many voices drawn one by one, the later passes are one block.
constexpr qint64 kMostPieces = 2000;
constexpr int kCaptionHeight = 18;

QString Tenths(qint64 tenths) {
  return ChannelTenths{tenths}.OneDecimalText();
}

}  // namespace

ChannelTimeline::ChannelTimeline(QWidget* parent) : QWidget(parent) {
  setObjectName(u"PicTimeline"_s);
  setMouseTracking(true);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setMinimumHeight(46);
}

void ChannelTimeline::ShowChannel(const Project& project, int channel) {
  if (channel != channel_) {
    play_fraction_ = -1.0;
  }
  channel_ = channel;
  plan_ = channel >= 0 ? PlanOfChannel(project, channel) : ChannelPlan{};
  Layout();
  update();
}

void ChannelTimeline::SetPlayPoint(int voice, qint64 pass, qint64 position_ms) {
  const qint64 passes = std::max<qint64>(1, plan_.repeat);
  const qint64 drawn = plan_.pass_tenths * passes;
  double fraction = -1.0;
  if (drawn > 0 && voice >= 0 && voice < static_cast<int>(plan_.voices.size())) {
    // On the same scale as the pieces: each voice as long as its time counts it.
    double at = static_cast<double>(std::clamp<qint64>(pass, 0, passes - 1) * plan_.pass_tenths);
    for (int v = 0; v < voice; ++v) {
      at += static_cast<double>(plan_.voices[static_cast<size_t>(v)].tenths);
    }
    at += std::min(position_ms / 100.0,
                   static_cast<double>(plan_.voices[static_cast<size_t>(voice)].tenths));
    fraction = std::clamp(at / static_cast<double>(drawn), 0.0, 1.0);
  }
  if (fraction != play_fraction_) {
    play_fraction_ = fraction;
    update();
  }
}

void ChannelTimeline::ClearPlayPoint() {
  if (play_fraction_ >= 0.0) {
    play_fraction_ = -1.0;
    update();
  }
}

QString ChannelTimeline::TotalText() const {
  return Tenths(plan_.total_tenths);
}

QRect ChannelTimeline::BarRect() const {
  return rect().adjusted(4, kCaptionHeight + 2, -4, -4);
}

void ChannelTimeline::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Layout();
}

void ChannelTimeline::Layout() {
  pieces_.clear();
  const QRectF bar = BarRect();
  const qint64 passes = std::max<qint64>(1, plan_.repeat);
  const qint64 drawn = plan_.pass_tenths * passes;
  if (plan_.voices.empty() || drawn <= 0 || bar.width() <= 0) {
    return;
  }
  const double scale = bar.width() / static_cast<double>(drawn);
  const auto voices = static_cast<qint64>(plan_.voices.size());
  // Whole passes one voice at a time while that stays readable.
  const qint64 detailed = std::clamp<qint64>(kMostPieces / voices, 1, passes);
  qint64 at = 0;
  for (qint64 pass = 0; pass < detailed; ++pass) {
    for (qint64 v = 0; v < voices; ++v) {
      const qint64 tenths = plan_.voices[static_cast<size_t>(v)].tenths;
      pieces_.push_back({QRectF(bar.left() + at * scale, bar.top(), tenths * scale, bar.height()),
                         static_cast<int>(v), pass});
      at += tenths;
    }
  }
  if (detailed < passes) {
    pieces_.push_back({QRectF(bar.left() + at * scale, bar.top(),
                              bar.right() + 1 - (bar.left() + at * scale), bar.height()),
                       -1, detailed});
  }
}

void ChannelTimeline::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  QString caption;
  if (channel_ < 0) {
    caption = tr("チャンネルを選ぶと、再生の流れがここに表示されます。");
  } else {
    caption = tr("CH %1 ・ 音声 %2 個 ・ RP %3 回 ・ 時間 %4 秒")
                  .arg(ChannelNumberText(channel_))
                  .arg(plan_.voices.size())
                  .arg(plan_.repeat)
                  .arg(TotalText());
  }
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(QRect(4, 0, width() - 8, kCaptionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   caption);
  const QRect bar = BarRect();
  painter.setPen(palette().color(QPalette::Mid));
  painter.setBrush(palette().color(QPalette::Base));
  painter.drawRect(bar.adjusted(0, 0, -1, -1));
  // Alternate shades tell neighbouring voices apart; a repeat is a shade
  // darker than the first pass.
  static const QColor kShades[] = {QColor(120, 170, 220), QColor(160, 200, 235)};
  for (const Piece& piece : pieces_) {
    QColor color = piece.voice < 0 ? QColor(150, 150, 170) : kShades[piece.voice % 2];
    if (piece.pass % 2 == 1) {
      color = color.darker(115);
    }
    painter.fillRect(piece.rect, color);
    if (piece.voice >= 0 && piece.rect.width() > 40) {
      painter.setPen(Qt::black);
      painter.drawText(piece.rect.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                       plan_.voices[static_cast<size_t>(piece.voice)].name);
    }
  }
  if (play_fraction_ >= 0.0) {
    const int x = bar.left() + static_cast<int>(std::lround(play_fraction_ * (bar.width() - 1)));
    painter.setPen(QPen(QColor(200, 40, 40), 2));
    painter.drawLine(x, bar.top(), x, bar.bottom());
  }
  if (channel_ >= 0 && plan_.repeat <= 0 && !plan_.voices.empty()) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(bar, Qt::AlignCenter, tr("RP が 0 のため、時間は 0 秒です。"));
  }
}

QString ChannelTimeline::TextAt(const QPoint& point) const {
  for (const Piece& piece : pieces_) {
    if (!piece.rect.contains(point)) {
      continue;
    }
    if (piece.voice < 0) {
      return tr("%1 回目から %2 回目（同じ並びの繰り返し）").arg(piece.pass + 1).arg(plan_.repeat);
    }
    const ChannelPlan::Voice& voice = plan_.voices[static_cast<size_t>(piece.voice)];
    const QString length =
        voice.seconds.isEmpty() ? tr("未登録") : tr("%1 秒").arg(voice.seconds.trimmed());
    return tr("%1　%2（%3 回目）").arg(voice.name, length).arg(piece.pass + 1);
  }
  return {};
}

bool ChannelTimeline::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = TextAt(help->pos());
    if (text.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), text, this);
    }
    return true;
  }
  return QWidget::event(event);
}

}  // namespace parlatone
