#include "app/window/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <functional>

namespace tarvo::window {

namespace {

const QColor kMoon(235, 200, 90);
const QColor kShadow(150, 40, 30);
const QColor kInk(30, 30, 30);
const QColor kSea(70, 130, 210);
const QColor kLand(60, 160, 70);
const QColor kNight(20, 30, 80);

// A Moon disc partly covered by the red umbra, centred at (cx, cy).
void eclipsedMoon(QPainter& p, double cx, double cy, double r) {
  p.setPen(Qt::NoPen);
  p.setBrush(kMoon);
  p.drawEllipse(QPointF(cx, cy), r, r);
  QPainterPath moon;
  moon.addEllipse(QPointF(cx, cy), r, r);
  QPainterPath umbra;
  umbra.addEllipse(QPointF(cx + r * 0.9, cy - r * 0.2), r * 1.1, r * 1.1);
  p.setBrush(kShadow);
  p.drawPath(moon.intersected(umbra));
}

void arrow(QPainter& p, bool pointsLeft) {
  QPolygonF head;
  if (pointsLeft)
    head << QPointF(1, 9) << QPointF(7, 3.5) << QPointF(7, 14.5);
  else
    head << QPointF(17, 9) << QPointF(11, 3.5) << QPointF(11, 14.5);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawPolygon(head);
}

void drawOn(QPainter& p, ToolIcon kind) {
  switch (kind) {
    case ToolIcon::PreviousEclipse:
      eclipsedMoon(p, 12.5, 9, 4.5);
      arrow(p, true);
      break;
    case ToolIcon::NextEclipse:
      eclipsedMoon(p, 5.5, 9, 4.5);
      arrow(p, false);
      break;
    case ToolIcon::EclipseList:
      p.setPen(QPen(kInk, 1.2));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2.5, 1.5, 13, 15));
      for (int i = 0; i < 5; ++i) p.drawLine(QPointF(5, 4.5 + i * 2.5), QPointF(13, 4.5 + i * 2.5));
      break;
    case ToolIcon::MapDisplay: {
      p.setPen(QPen(kInk, 1));
      p.setBrush(kSea);
      p.drawRect(QRectF(0.5, 3.5, 17, 11));
      p.setPen(Qt::NoPen);
      p.setBrush(kLand);
      p.drawEllipse(QRectF(2, 5, 5, 7));
      p.drawEllipse(QRectF(8, 4.5, 7, 4));
      p.drawEllipse(QRectF(10.5, 9, 3.5, 4));
      break;
    }
    case ToolIcon::LocalInformation: {
      QPainterPath pin;
      pin.moveTo(9, 17);
      pin.cubicTo(3, 10, 3, 2, 9, 2);
      pin.cubicTo(15, 2, 15, 10, 9, 17);
      p.setPen(QPen(kInk, 1));
      p.setBrush(QColor(220, 50, 50));
      p.drawPath(pin);
      p.setBrush(Qt::white);
      p.drawEllipse(QPointF(9, 7), 2.2, 2.2);
      break;
    }
    case ToolIcon::Simulation:
      p.setPen(QPen(kShadow, 1));
      p.setBrush(QColor(90, 30, 20));
      p.drawEllipse(QPointF(9, 9), 6, 6);
      p.setPen(QPen(kInk, 0.8));
      p.setBrush(kMoon);
      for (double x : {2.5, 9.0, 15.5}) p.drawEllipse(QPointF(x, 12 - (x - 2.5) * 0.45), 2.3, 2.3);
      break;
    case ToolIcon::StarMap: {
      p.setPen(Qt::NoPen);
      p.setBrush(kNight);
      p.drawRect(QRectF(0, 0, 18, 18));
      QPolygonF star;
      for (int i = 0; i < 10; ++i) {
        const double a = 3.14159265358979 * (i / 5.0) - 3.14159265358979 / 2;
        const double r = (i % 2 == 0) ? 5.5 : 2.3;
        star << QPointF(9 + r * std::cos(a), 9.5 + r * std::sin(a));
      }
      p.setBrush(QColor(255, 240, 120));
      p.drawPolygon(star);
      p.setBrush(Qt::white);
      for (QPointF s : {QPointF(3, 3), QPointF(15, 4), QPointF(3.5, 15), QPointF(15, 15)})
        p.drawEllipse(s, 0.9, 0.9);
      break;
    }
    case ToolIcon::Version: {
      p.setPen(QPen(kInk, 1));
      p.setBrush(QColor(250, 250, 210));
      p.drawEllipse(QRectF(1.5, 1.5, 15, 15));
      QFont f;
      f.setPixelSize(12);
      f.setBold(true);
      p.setFont(f);
      p.drawText(QRectF(0, 0, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
    case ToolIcon::Unused:
      p.setPen(QPen(QColor(120, 120, 120), 1, Qt::DotLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(3.5, 3.5, 11, 11));
      break;
  }
}

QPixmap pixmapOf(const std::function<void(QPainter&)>& draw, int scale) {
  QPixmap pm(kToolIconSize * scale, kToolIconSize * scale);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  draw(p);
  return pm;
}

QIcon iconOf(const std::function<void(QPainter&)>& draw) {
  QIcon icon;
  for (int scale : {1, 2}) icon.addPixmap(pixmapOf(draw, scale));
  return icon;
}

}  // namespace

QIcon toolIcon(ToolIcon kind) {
  return iconOf([kind](QPainter& p) { drawOn(p, kind); });
}

QIcon applicationIcon() {
  return iconOf([](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kNight);
    p.drawRoundedRect(QRectF(0, 0, 18, 18), 3, 3);
    eclipsedMoon(p, 9, 9, 6.5);
  });
}

}  // namespace tarvo::window
