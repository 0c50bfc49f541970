#include "views/nav_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

namespace dorvem {

namespace {

// Draws the symbol of `button` in `color`, offset by `dx`, `dy`, within a
// 9 x 9 square.
void DrawSymbol(QPainter& p, TNavigateBtn button, const QColor& color, int dx, int dy) {
  p.save();
  p.translate(dx, dy);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  switch (button) {
    case nbFirst:
    case nbPrior:
      p.drawPolygon(QPolygon({QPoint(2, 4), QPoint(6, 0), QPoint(6, 8)}));
      if (button == nbFirst) p.drawRect(0, 0, 1, 8);
      break;
    case nbNext:
    case nbLast:
      p.drawPolygon(QPolygon({QPoint(6, 4), QPoint(2, 0), QPoint(2, 8)}));
      if (button == nbLast) p.drawRect(7, 0, 1, 8);
      break;
    case nbInsert:
      p.drawRect(3, 0, 2, 8);
      p.drawRect(0, 3, 8, 2);
      break;
    case nbDelete:
      p.drawRect(0, 3, 8, 2);
      break;
    case nbEdit:
      p.drawPolygon(QPolygon({QPoint(4, 0), QPoint(8, 8), QPoint(0, 8)}));
      break;
    case nbPost:
      p.drawPolygon(QPolygon(
          {QPoint(0, 4), QPoint(3, 7), QPoint(8, 1), QPoint(8, 3), QPoint(3, 9), QPoint(0, 6)}));
      break;
    case nbCancel:
      p.setPen(QPen(color, 2));
      p.drawLine(1, 1, 7, 7);
      p.drawLine(7, 1, 1, 7);
      break;
    case nbRefresh: {
      p.setPen(QPen(color, 2));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRect(1, 1, 7, 7), 90 * 16, 270 * 16);
      p.setPen(Qt::NoPen);
      p.setBrush(color);
      p.drawPolygon(QPolygon({QPoint(4, 0), QPoint(8, 2), QPoint(4, 4)}));
      break;
    }
  }
  p.restore();
}

// The image at `scale` times its size, marked with that device pixel ratio:
// the painter then draws in the glyph's units on the finer grid.
QPixmap GlyphImage(TNavigateBtn button, bool enabled, int scale) {
  QPixmap image(kNavGlyphSize * scale);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::transparent);
  QPainter p(&image);
  if (enabled) {
    DrawSymbol(p, button, Qt::black, 0, 0);
  } else {
    DrawSymbol(p, button, Qt::white, 1, 1);
    DrawSymbol(p, button, QColor(128, 128, 128), 0, 0);
  }
  return image;
}

}  // namespace

QIcon NavigatorGlyph(TNavigateBtn button) {
  QIcon icon;
  for (int scale : {1, 2}) {
    icon.addPixmap(GlyphImage(button, true, scale), QIcon::Normal);
    icon.addPixmap(GlyphImage(button, false, scale), QIcon::Disabled);
  }
  return icon;
}

}  // namespace dorvem
