// SPDX-License-Identifier: GPL-3.0-or-later
#include "splash.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "core/messages.h"
#include "core/version.h"

namespace parlatone {

using namespace Qt::StringLiterals;

QPixmap SplashPicture() {
  QPixmap picture(480, 270);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient background(0, 0, 0, picture.height());
  background.setColorAt(0, QColor(24, 62, 112));
  background.setColorAt(1, QColor(10, 28, 56));
  painter.fillRect(picture.rect(), background);

  // A loudspeaker with three sound waves: what the devices do.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(235, 240, 250));
  QPainterPath speaker;
  speaker.moveTo(60, 110);
  speaker.lineTo(85, 110);
  speaker.lineTo(120, 80);
  speaker.lineTo(120, 190);
  speaker.lineTo(85, 160);
  speaker.lineTo(60, 160);
  speaker.closeSubpath();
  painter.drawPath(speaker);
  painter.setBrush(Qt::NoBrush);
  for (int wave = 0; wave < 3; ++wave) {
    painter.setPen(QPen(QColor(120, 190, 255, 230 - wave * 60), 6, Qt::SolidLine, Qt::RoundCap));
    const int r = 30 + wave * 24;
    painter.drawArc(QRect(120 - r, 135 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
  }

  painter.setPen(QColor(255, 255, 255));
  QFont title = painter.font();
  title.setPointSize(24);
  title.setBold(true);
  painter.setFont(title);
  painter.drawText(QRect(200, 90, 270, 50), Qt::AlignLeft | Qt::AlignVCenter, u"Parlatone"_s);
  QFont subtitle = painter.font();
  subtitle.setPointSize(13);
  subtitle.setBold(false);
  painter.setFont(subtitle);
  painter.drawText(QRect(200, 140, 270, 30), Qt::AlignLeft | Qt::AlignVCenter, GetMessage(1000));
  painter.setPen(QColor(170, 190, 220));
  painter.drawText(
      QRect(200, 175, 270, 30), Qt::AlignLeft | Qt::AlignVCenter,
      QCoreApplication::translate("Splash", "Version %1").arg(QLatin1String(kVersion)));
  return picture;
}

}  // namespace parlatone
