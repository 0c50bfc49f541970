#include "tools/assetgen/music_shapes.h"

#include <QPainterPath>

namespace assetgen {

void DrawStaff(QPainter& p, qreal x0, qreal x1, qreal top, qreal space) {
  for (int i = 0; i < 5; ++i)
    p.drawLine(QPointF(x0, top + i * space), QPointF(x1, top + i * space));
}

void DrawTrebleClef(QPainter& p, QPointF g, qreal s) {
  auto at = [&](qreal x, qreal y) { return QPointF(g.x() + x * s, g.y() + y * s); };
  QPainterPath path(at(0.2, 0.0));
  path.cubicTo(at(0.9, 0.0), at(0.8, 0.9), at(0.0, 0.9));
  path.cubicTo(at(-0.9, 0.9), at(-1.0, -0.4), at(-0.3, -0.9));
  path.cubicTo(at(0.3, -1.3), at(0.9, -1.6), at(0.9, -2.4));
  path.cubicTo(at(0.9, -3.0), at(0.5, -3.6), at(0.2, -3.6));
  path.cubicTo(at(-0.3, -3.6), at(-0.5, -2.8), at(-0.3, -2.0));
  path.lineTo(at(0.25, 1.8));
  path.cubicTo(at(0.35, 2.4), at(-0.2, 2.7), at(-0.5, 2.3));
  p.save();
  QPen pen = p.pen();
  pen.setWidthF(0.22 * s);
  pen.setCapStyle(Qt::RoundCap);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(pen.color());
  p.drawEllipse(at(-0.4, 2.15), 0.35 * s, 0.35 * s);
  p.restore();
}

QPointF DrawNote(QPainter& p, QPointF centre, qreal s, bool stemUp) {
  p.save();
  const QColor ink = p.pen().color();
  p.translate(centre);
  p.rotate(-20);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawEllipse(QPointF(0, 0), 0.65 * s, 0.45 * s);
  p.restore();
  const qreal x = stemUp ? centre.x() + 0.58 * s : centre.x() - 0.58 * s;
  const QPointF end(x, stemUp ? centre.y() - 3.5 * s : centre.y() + 3.5 * s);
  p.save();
  QPen pen = p.pen();
  pen.setWidthF(0.13 * s);
  p.setPen(pen);
  p.drawLine(QPointF(x, centre.y()), end);
  p.restore();
  return end;
}

}  // namespace assetgen
