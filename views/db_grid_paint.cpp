// Drawing the grid: the title cell, the indicator column with its arrow, the
// data cells with the highlighted current row, the grid lines and the
// three-dimensional edges of the fixed cells.
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>

#include "views/colors.h"
#include "views/db_grid.h"

namespace dorvem {

namespace {

// Lines between fixed cells are black, lines between data cells silver.
const QColor kFixedLine = kBlack;
const QColor kDataLine{192, 192, 192};
const QColor kEdgeShadow{128, 128, 128};

// The one-pixel line from `from` to `to` (both drawn), level or upright.
// The grid draws a hundred such lines on every move, and a rectangle fill
// costs a small part of a pen's line. The two cover the same pixels only
// where a logical pixel is one device pixel (the painter's device transform
// moves without scaling; the widget's own ratio does not tell, as a render
// into a scaled image shows): scaled, the pen's wider line lies across the
// point, the rectangle below it.
void DrawStraightLine(QPainter& p, QPoint from, QPoint to, const QColor& color) {
  if (p.deviceTransform().type() <= QTransform::TxTranslate) {
    p.fillRect(QRect(from, to).normalized(), color);
    return;
  }
  p.setPen(color);
  p.drawLine(from, to);
}

// A raised three-dimensional edge along the inside of `r`.
void DrawRaisedEdge(QPainter& p, const QRect& r) {
  DrawStraightLine(p, r.topLeft(), r.topRight(), kWhite);
  DrawStraightLine(p, r.topLeft(), r.bottomLeft(), kWhite);
  DrawStraightLine(p, r.bottomLeft(), r.bottomRight(), kEdgeShadow);
  DrawStraightLine(p, r.topRight(), r.bottomRight(), kEdgeShadow);
}

// The current-record arrow: a black triangle pointing right, 4 x 7 pixels,
// its right edge 2 pixels from the cell's right edge, centred vertically.
void DrawArrow(QPainter& p, const QRect& cell) {
  const int right = cell.right() - 2;
  const int mid = cell.top() + cell.height() / 2;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::NoPen);
  p.setBrush(kBlack);
  p.drawPolygon(
      QPolygon({QPoint(right - 3, mid - 3), QPoint(right, mid), QPoint(right - 3, mid + 3)}));
  p.restore();
}

// The cell's right and bottom grid lines.
void DrawCellLines(QPainter& p, const QRect& cell, const QColor& color) {
  DrawStraightLine(p, QPoint(cell.right() + 1, cell.top()),
                   QPoint(cell.right() + 1, cell.bottom() + 1), color);
  DrawStraightLine(p, QPoint(cell.left(), cell.bottom() + 1),
                   QPoint(cell.right() + 1, cell.bottom() + 1), color);
}

}  // namespace

void TDBGrid::paintEvent(QPaintEvent* event) {
  // The frame lies outside the contents: a repaint within them (the cells
  // on every move) leaves it as it is.
  if (!contentsRect().contains(event->region().boundingRect())) QFrame::paintEvent(event);
  QPainter p(this);

  // The square between the two scroll bars.
  const QRect frame = contentsRect();
  p.fillRect(QRect(cellsArea_.right() + 1, cellsArea_.bottom() + 1,
                   frame.right() - cellsArea_.right(), frame.bottom() - cellsArea_.bottom()),
             kButtonFace);

  // A repaint beneath a scroll bar alone leaves the cells as they are.
  if (!event->region().intersects(cellsArea_)) return;
  p.setClipRect(cellsArea_);
  p.fillRect(cellsArea_, color_);
  const bool active = ShowsIndicatorArrow();

  // Data cells: scrolled horizontally, beneath the fixed indicator column.
  p.save();
  p.setClipRect(cellsArea_.adjusted(IndicatorWidth() + 1, 0, 0, 0));
  const QRect title = CellRect(-1);
  p.fillRect(title, column_.titleColor);
  DrawRaisedEdge(p, title.adjusted(1, 1, -1, -1));
  DrawCellLines(p, title, kFixedLine);
  const QFontMetrics titleMetrics(column_.titleFont);
  p.save();
  p.setClipRect(title, Qt::IntersectClip);
  p.setFont(column_.titleFont);
  p.setPen(column_.titleFontColor);
  const int titleX =
      title.left() + title.width() / 2 - titleMetrics.horizontalAdvance(column_.titleCaption) / 2;
  p.drawText(titleX, title.top() + 2 + titleMetrics.ascent(), column_.titleCaption);
  p.restore();

  const QFontMetrics cellMetrics(font());
  p.setFont(font());
  for (int row = 0; row < RowCount(); ++row) {
    const QRect cell = CellRect(row);
    const bool highlight = row == row_ && hasFocus();
    p.fillRect(cell, highlight ? kHighlight : color_);
    DrawCellLines(p, cell, kDataLine);
    if (!active) continue;  // a closed dataset leaves the cells blank
    p.save();
    p.setClipRect(cell, Qt::IntersectClip);
    p.setPen(!isEnabled() ? kGrayText : highlight ? kHighlightText : fontColor_);
    p.drawText(cell.left() + 2, cell.top() + 2 + cellMetrics.ascent(), RowText(row));
    p.restore();
  }
  p.restore();

  // The fixed indicator column: the corner above it and one cell per row.
  for (int row = -1; row < RowCount(); ++row) {
    const QRect cell = IndicatorRect(row);
    p.fillRect(cell, fixedColor_);
    DrawRaisedEdge(p, cell.adjusted(1, 1, -1, -1));
    DrawCellLines(p, cell, kFixedLine);
    if (active && row == row_) DrawArrow(p, cell);
  }
}

}  // namespace dorvem
