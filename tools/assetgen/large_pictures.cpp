// The logo and the large picture, drawn with antialiasing.
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <array>

#include "tools/assetgen/drawings.h"
#include "tools/assetgen/music_shapes.h"

namespace assetgen {

namespace {

const QColor kMoneyGreen(192, 220, 192);
const QColor kNavy(0, 0, 128);
const QColor kMaroon(128, 0, 0);
const QColor kCream(250, 246, 232);

QFont Garamond(int pixels, bool bold = false, bool italic = false) {
  QFont f;
  f.setFamilies({QStringLiteral("EB Garamond"), QStringLiteral("Liberation Serif")});
  f.setPixelSize(pixels);
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

// Two notes joined by a beam, heads at `a` and `b`.
void DrawBeamedPair(QPainter& p, QPointF a, QPointF b, qreal s) {
  const QPointF ea = DrawNote(p, a, s);
  const QPointF eb = DrawNote(p, b, s);
  QPainterPath beam(ea);
  beam.lineTo(eb);
  beam.lineTo(eb + QPointF(0, 0.5 * s));
  beam.lineTo(ea + QPointF(0, 0.5 * s));
  beam.closeSubpath();
  p.fillPath(beam, p.pen().color());
}

}  // namespace

QImage DrawLogo(int scale) {
  QImage img(179 * scale, 169 * scale, QImage::Format_RGB32);
  img.fill(kMoneyGreen);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);

  // The emblem: a cream disc in a maroon ring, holding a clef on a staff.
  const QPointF centre(89.5, 62);
  p.setPen(QPen(kMaroon, 5));
  p.setBrush(kCream);
  p.drawEllipse(centre, 56, 56);
  p.setPen(QPen(kMaroon, 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(centre, 49, 49);

  const qreal s = 8;
  p.setPen(QPen(kNavy, 1.1));
  DrawStaff(p, 48, 131, 46, s);
  p.setPen(QPen(kNavy, 1));
  DrawTrebleClef(p, QPointF(64, 46 + 3 * s), s);
  DrawBeamedPair(p, QPointF(90, 46 + 2.5 * s), QPointF(110, 46 + 1.5 * s), s);

  p.setPen(kMaroon);
  p.setFont(Garamond(34, true));
  p.drawText(QRectF(0, 118, 179, 34), Qt::AlignCenter, QStringLiteral("MORVEL"));
  p.setPen(kNavy);
  p.setFont(Garamond(15, false, true));
  p.drawText(QRectF(0, 149, 179, 18), Qt::AlignCenter, QStringLiteral(u"zeneműkiadó"));
  return img;
}

QImage DrawBackground(int scale) {
  QImage img(1000 * scale, 451 * scale, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  QLinearGradient sky(0, 0, 0, 451);
  sky.setColorAt(0, kCream);
  sky.setColorAt(1, QColor(206, 228, 206));
  p.fillRect(QRectF(0, 0, 1000, 451), sky);

  // Two systems of a score across the picture.
  const qreal s = 12;
  const std::array<qreal, 2> tops = {46, 150};
  // Melody steps in half spaces below the top line, one per note.
  const std::array<int, 32> melody = {6, 6, 5, 4, 4, 5, 6, 7, 8, 8, 7, 6, 6, 7, 7, 7,
                                      6, 6, 5, 4, 4, 5, 6, 7, 8, 8, 7, 6, 7, 8, 8, 8};
  for (std::size_t system = 0; system < tops.size(); ++system) {
    const qreal top = tops[system];
    p.setPen(QPen(QColor(40, 40, 90), 1.3));
    DrawStaff(p, 40, 960, top, s);
    p.drawLine(QPointF(40, top), QPointF(40, top + 4 * s));
    p.drawLine(QPointF(960, top), QPointF(960, top + 4 * s));
    p.setPen(QPen(kNavy, 1));
    DrawTrebleClef(p, QPointF(64, top + 3 * s), s);
    if (system == 0) {
      p.setFont(Garamond(27, true));
      p.drawText(QRectF(88, top - 4, 24, 30), Qt::AlignCenter, QStringLiteral("4"));
      p.drawText(QRectF(88, top + 20, 24, 30), Qt::AlignCenter, QStringLiteral("4"));
    }
    for (int bar = 0; bar < 4; ++bar) {
      const qreal x0 = 130 + bar * 207.5;
      if (bar > 0) {
        p.setPen(QPen(QColor(40, 40, 90), 1.3));
        p.drawLine(QPointF(x0 - 16, top), QPointF(x0 - 16, top + 4 * s));
      }
      p.setPen(QPen(kNavy, 1));
      for (int n = 0; n < 4; ++n) {
        const int step = melody[system * 16 + bar * 4 + n];
        DrawNote(p, QPointF(x0 + 18 + n * 46, top + step * s / 2), s, step > 4);
      }
    }
  }

  p.setPen(kMaroon);
  p.setFont(Garamond(34, false, true));
  p.drawText(QRectF(0, 232, 1000, 48), Qt::AlignCenter, QStringLiteral(u"Zenei fogalmak szótára"));

  // A keyboard along the bottom; its last rows fall under the window's edge.
  const qreal keyTop = 296, keyBottom = 440, whiteWidth = 1000.0 / 36;
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(QColor(252, 252, 248));
  for (int k = 0; k < 36; ++k)
    p.drawRect(QRectF(k * whiteWidth, keyTop, whiteWidth, keyBottom - keyTop));
  p.setBrush(QColor(24, 24, 24));
  for (int k = 0; k < 35; ++k) {
    const int inOctave = k % 7;
    if (inOctave == 2 || inOctave == 6) continue;  // no black key after E and B
    p.drawRect(QRectF((k + 1) * whiteWidth - whiteWidth * 0.3, keyTop, whiteWidth * 0.6,
                      (keyBottom - keyTop) * 0.62));
  }
  p.fillRect(QRectF(0, keyTop - 6, 1000, 6), kMaroon);
  p.fillRect(QRectF(0, keyBottom, 1000, 451 - keyBottom), QColor(60, 30, 20));
  return img;
}

}  // namespace assetgen
