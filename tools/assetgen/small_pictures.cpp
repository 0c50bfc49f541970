// The window icon and the button glyphs: small pictures drawn pixel-exact,
// without antialiasing, in the 16 Windows colours. At scale 2 the painter is
// scaled, so that every one-pixel line becomes two pixels wide and curves
// are drawn on the finer grid.
#include <QPainter>
#include <QPolygon>

#include "tools/assetgen/drawings.h"

namespace assetgen {

namespace {

const QColor kTransparent(255, 0, 255);  // fuchsia

QImage Blank(int w, int h, const QColor& fill) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(fill);
  return img;
}

// Makes `p` draw in units of `scale` pixels. A one-pixel line at x covers
// pixel x, to the right of the mathematical line; a scaled pen is centred
// on it instead, so the drawing is moved by half a unit to cover pixels
// scale * x to scale * x + scale - 1, as the designed picture does.
void Scale(QPainter& p, int scale) {
  p.scale(scale, scale);
  if (scale > 1) p.translate(0.5, 0.5);
}

int Luminance(QRgb c) {
  return (qRed(c) * 30 + qGreen(c) * 59 + qBlue(c) * 11) / 100;
}

}  // namespace

QImage DrawWindowIcon(int scale) {
  QImage img = Blank(32 * scale, 32 * scale, QColor(0, 128, 128));
  QPainter p(&img);
  Scale(p, scale);
  p.setPen(QColor(0, 0, 128));
  p.drawRect(0, 0, 31, 31);
  p.setPen(QColor(192, 192, 192));
  p.drawRect(1, 1, 29, 29);
  // Two beamed eighth notes in white with black outlines.
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawEllipse(QRect(5, 21, 9, 7));
  p.drawEllipse(QRect(17, 18, 9, 7));
  p.fillRect(QRect(12, 6, 3, 19), Qt::white);
  p.fillRect(QRect(24, 3, 3, 19), Qt::white);
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygon({QPoint(12, 5), QPoint(26, 2), QPoint(26, 7), QPoint(12, 10)}));
  p.setPen(Qt::yellow);
  p.drawLine(4, 4, 6, 4);
  p.drawLine(5, 3, 5, 5);
  return img;
}

QImage DrawScoreGlyph(int scale) {
  QImage img = Blank(22 * scale, 22 * scale, kTransparent);
  QPainter p(&img);
  Scale(p, scale);
  // A page with a folded corner, staff lines and a note.
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  p.drawPolygon(
      QPolygon({QPoint(3, 1), QPoint(14, 1), QPoint(18, 5), QPoint(18, 20), QPoint(3, 20)}));
  p.drawPolyline(QPolygon({QPoint(14, 1), QPoint(14, 5), QPoint(18, 5)}));
  p.setPen(QColor(0, 0, 128));
  for (int y = 8; y <= 16; y += 2) p.drawLine(5, y, 16, y);
  p.setPen(Qt::black);
  p.setBrush(Qt::black);
  p.drawEllipse(QRect(7, 13, 3, 2));
  p.drawLine(10, 8, 10, 14);
  p.drawEllipse(QRect(12, 11, 3, 2));
  p.drawLine(15, 6, 15, 12);
  return img;
}

QImage DrawPlayGlyph(int scale) {
  QImage img = Blank(22 * scale, 22 * scale, kTransparent);
  QPainter p(&img);
  Scale(p, scale);
  // A loudspeaker with two sound waves.
  p.setPen(Qt::black);
  p.setBrush(QColor(128, 128, 128));
  p.drawRect(2, 8, 4, 6);
  p.setBrush(QColor(0, 0, 128));
  p.drawPolygon(QPolygon({QPoint(6, 8), QPoint(11, 3), QPoint(11, 19), QPoint(6, 14)}));
  p.setPen(QColor(128, 0, 0));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRect(9, 6, 7, 10), -60 * 16, 120 * 16);
  p.drawArc(QRect(9, 3, 11, 16), -60 * 16, 120 * 16);
  return img;
}

QImage DrawExitGlyph(int scale) {
  QImage img = Blank(16 * scale, 16 * scale, kTransparent);
  QPainter p(&img);
  Scale(p, scale);
  // An open door with an arrow leading out.
  p.setPen(Qt::black);
  p.setBrush(QColor(128, 128, 0));
  p.drawRect(1, 1, 8, 13);
  p.setBrush(QColor(128, 0, 0));
  p.drawPolygon(QPolygon({QPoint(1, 1), QPoint(6, 3), QPoint(6, 15), QPoint(1, 14)}));
  p.setPen(QColor(0, 128, 0));
  p.drawLine(8, 7, 14, 7);
  p.drawLine(8, 8, 14, 8);
  p.drawLine(12, 5, 14, 7);
  p.drawLine(12, 10, 14, 8);
  p.drawLine(11, 5, 11, 10);
  return img;
}

QImage GlyphStrip(const QImage& glyph, int scale) {
  const QImage g = glyph.convertToFormat(QImage::Format_RGB32);
  const int w = g.width(), h = g.height();
  QImage strip = Blank(2 * w, h, kTransparent);
  QPainter(&strip).drawImage(0, 0, g);
  auto ink = [&](int x, int y) {
    const QRgb c = g.pixel(x, y);
    return c != kTransparent.rgb() && Luminance(c) < 200;
  };
  for (int pass = 0; pass < 2; ++pass)
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (!ink(x, y)) continue;
        if (pass == 0 && x + scale < w && y + scale < h)
          strip.setPixel(w + x + scale, y + scale, qRgb(255, 255, 255));
        if (pass == 1) strip.setPixel(w + x, y, qRgb(128, 128, 128));
      }
  return strip;
}

}  // namespace assetgen
