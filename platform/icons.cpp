// SPDX-FileCopyrightText: 2026 The BREVOLD developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own pictures: tool-bar images, error indicator, window icon, drawn at any size.
#include "platform/icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace brevold {

namespace {

void Letter(QPainter& g, const QString& s, QColor c) {
  QFont f("Liberation Sans");
  f.setPixelSize(s.size() > 1 ? 8 : 11);
  f.setBold(true);
  g.setFont(f);
  g.setPen(c);
  g.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, s);
}

void DrawTool(QPainter& g, int image) {
  const QColor ink(0, 0, 0), red(200, 0, 0), blue(0, 0, 200), green(0, 128, 0);
  g.setPen(QPen(ink, 1));
  switch (image) {
    case 0:  // open: a folder
      g.setBrush(QColor(230, 200, 90));
      g.drawRect(1, 5, 13, 9);
      g.drawRect(1, 3, 5, 2);
      break;
    case 1:  // save: a disk
      g.setBrush(QColor(60, 60, 160));
      g.drawRect(1, 1, 13, 13);
      g.setBrush(Qt::white);
      g.drawRect(4, 1, 7, 5);
      break;
    case 2:  // undo: a curved arrow
      g.setPen(QPen(blue, 2));
      g.drawArc(3, 4, 10, 9, 0, 200 * 16);
      g.drawLine(3, 9, 1, 6);
      g.drawLine(3, 9, 6, 7);
      break;
    case 3:  // frame dimensions: a rod between two pins
      g.setPen(QPen(red, 2));
      g.drawLine(3, 12, 13, 4);
      g.setPen(QPen(ink, 1));
      g.drawEllipse(1, 10, 4, 4);
      g.drawEllipse(11, 2, 4, 4);
      break;
    case 4:  // cylinder dimensions: a cylinder with its piston
      g.drawRect(1, 4, 14, 8);
      g.fillRect(7, 5, 3, 7, ink);
      g.drawLine(0, 8, 7, 8);
      break;
    case 5:  // driver angle: a wheel with a crank
      g.drawEllipse(1, 1, 13, 13);
      g.setPen(QPen(red, 2));
      g.drawLine(8, 8, 13, 4);
      break;
    case 6:  // step angle
      g.drawEllipse(1, 1, 13, 13);
      g.setPen(QPen(blue, 1));
      g.drawLine(8, 8, 14, 8);
      g.drawLine(8, 8, 13, 3);
      break;
    case 7:  // reverse arm
      g.setPen(QPen(green, 2));
      g.drawLine(8, 14, 11, 2);
      g.setPen(QPen(ink, 1));
      g.drawLine(2, 14, 14, 14);
      break;
    case 8:  // mid gear
      Letter(g, "M", green);
      break;
    case 9:  // steam
      g.setPen(Qt::NoPen);
      g.setBrush(red);
      for (int i = 0; i < 4; ++i) g.drawEllipse(1 + i * 3, 6 - (i % 2) * 3, 4, 4);
      g.setBrush(blue);
      for (int i = 0; i < 4; ++i) g.drawEllipse(1 + i * 3, 11 - (i % 2) * 2, 3, 3);
      break;
    case 10:  // reference points: a cross
      g.setPen(QPen(red, 1));
      g.drawLine(8, 1, 8, 15);
      g.drawLine(1, 8, 15, 8);
      break;
    case 11:  // dynamic variables: a slider
      g.drawRect(1, 6, 14, 4);
      g.fillRect(6, 4, 4, 8, blue);
      break;
    case 12: {  // sine diagram
      QPainterPath p;
      p.moveTo(0, 8);
      p.cubicTo(4, -2, 4, -2, 8, 8);
      p.cubicTo(12, 18, 12, 18, 16, 8);
      g.setPen(QPen(red, 1.5));
      g.drawPath(p);
      break;
    }
    case 13:  // oval diagram
      g.setPen(QPen(blue, 1.5));
      g.drawEllipse(1, 4, 14, 8);
      break;
    case 14:  // steam diagram: an indicator card
      g.setPen(QPen(red, 1.5));
      g.drawPolyline(QPolygon({QPoint(2, 13), QPoint(2, 3), QPoint(8, 3), QPoint(14, 11), QPoint(14, 13), QPoint(2, 13)}));
      break;
    case 15:  // port events vs reverse arm
      g.setPen(QPen(green, 1.5));
      g.drawLine(1, 14, 7, 3);
      g.drawLine(7, 3, 15, 10);
      g.setPen(QPen(ink, 1));
      g.drawLine(1, 14, 15, 14);
      break;
    case 16:  // lines and circles
      g.setPen(QPen(QColor(160, 0, 160), 1));
      g.drawEllipse(5, 1, 10, 10);
      g.drawLine(0, 15, 12, 3);
      break;
    case 17:  // pivot data
      Letter(g, "xy", ink);
      break;
    default:
      break;
  }
}

void DrawError(QPainter& g) {
  g.setBrush(QColor(220, 0, 0));
  g.setPen(Qt::NoPen);
  g.drawEllipse(0, 0, 16, 16);
  Letter(g, "!", Qt::white);
}

// An icon drawn afresh at whatever size and pixel ratio it is shown: the
// drawings are made on a 16 x 16 grid and scaled, so they stay sharp on a
// high-resolution screen.
class DrawnIcon : public QIconEngine {
 public:
  explicit DrawnIcon(std::function<void(QPainter&)> draw) : draw_(std::move(draw)) {}
  void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    p->translate(rect.topLeft());
    p->scale(rect.width() / 16.0, rect.height() / 16.0);
    if (mode == QIcon::Disabled) p->setOpacity(0.4);
    draw_(*p);
    p->restore();
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    QPixmap pm(size * scale);
    pm.fill(Qt::transparent);
    {
      QPainter p(&pm);
      paint(&p, QRect(QPoint(), pm.size()), mode, state);
    }
    pm.setDevicePixelRatio(scale);
    return pm;
  }
  QIconEngine* clone() const override { return new DrawnIcon(draw_); }

 private:
  std::function<void(QPainter&)> draw_;
};

}  // namespace

QIcon ToolIcon(int image) {
  return QIcon(new DrawnIcon([image](QPainter& g) { DrawTool(g, image); }));
}

QIcon ErrorIcon() { return QIcon(new DrawnIcon(DrawError)); }

// The installed desktop icon itself, compiled into the program.
QIcon WindowIcon() { return QIcon(QStringLiteral(":/org.brevold.brevold.svg")); }

}  // namespace brevold
