// The program's icon for the desktop's menus and docks: the window icon's
// motif (two beamed eighth notes on teal) drawn smoothly on a rounded tile,
// in units of 1/64 of the icon's size so that every size is drawn, not
// scaled.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "tools/assetgen/drawings.h"

namespace assetgen {

namespace {

const QColor kTeal(0, 128, 128);
const QColor kDeepTeal(0, 84, 92);
const QColor kCream(250, 246, 232);
const QColor kMaroon(128, 0, 0);

// A note head tilted like an engraved one, centred at `c`.
void NoteHead(QPainter& p, QPointF c) {
  p.save();
  p.translate(c);
  p.rotate(-22);
  p.drawEllipse(QPointF(0, 0), 7.2, 5.0);
  p.restore();
}

}  // namespace

QImage DrawAppIcon(int size) {
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);

  // The tile: a rounded square with a light top edge.
  const QRectF tile(3, 3, 58, 58);
  QLinearGradient fill(0, 3, 0, 61);
  fill.setColorAt(0, kTeal.lighter(125));
  fill.setColorAt(1, kDeepTeal);
  p.setPen(QPen(kDeepTeal.darker(140), 1));
  p.setBrush(fill);
  p.drawRoundedRect(tile, 11, 11);

  // Three staff lines behind the notes.
  p.setPen(QPen(QColor(255, 255, 255, 70), 1.4));
  for (qreal y : {22.0, 30.0, 38.0}) p.drawLine(QPointF(9, y), QPointF(55, y));

  // Two eighth notes joined by a beam, in cream with a maroon beam edge.
  const QPointF left(21, 46), right(43, 40);
  const qreal stemTop = 14;
  p.setPen(Qt::NoPen);
  p.setBrush(kCream);
  NoteHead(p, left);
  NoteHead(p, right);
  p.drawRect(QRectF(left.x() + 4.4, stemTop + 5, 3, left.y() - stemTop - 6));
  p.drawRect(QRectF(right.x() + 4.4, stemTop - 1, 3, right.y() - stemTop));
  QPainterPath beam;
  beam.moveTo(left.x() + 4.4, stemTop + 5);
  beam.lineTo(right.x() + 7.4, stemTop - 1);
  beam.lineTo(right.x() + 7.4, stemTop + 6);
  beam.lineTo(left.x() + 4.4, stemTop + 12);
  beam.closeSubpath();
  p.drawPath(beam);
  p.setPen(QPen(kMaroon, 1.2));
  p.drawLine(QPointF(left.x() + 4.4, stemTop + 12), QPointF(right.x() + 7.4, stemTop + 6));
  return img;
}

}  // namespace assetgen
