#include "views/db_grid.h"

#include <QFontMetrics>
#include <QPainter>

namespace dorvem {

namespace {

const QColor kGridLine{128, 128, 128};

// A raised three-dimensional edge along the inside of `r`.
void DrawRaisedEdge(QPainter& p, const QRect& r) {
  p.setPen(Qt::white);
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(kGridLine);
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

}  // namespace

TDBGrid::TDBGrid(QWidget* parent) : QFrame(parent) {
  // A single border drawn as a sunken three-dimensional edge.
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
}

int TDBGrid::TitleRowHeight() const {
  return QFontMetrics(column_.titleFont).height() + 4;
}

int TDBGrid::DataRowHeight() const {
  return QFontMetrics(font()).height() + 4;
}

void TDBGrid::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  const QRect area = contentsRect();
  QPainter p(this);
  p.setClipRect(area);
  p.fillRect(area, color_);

  // Cells leave their last pixel row and column to the grid lines.
  const int x0 = area.left();
  const int xCol = x0 + IndicatorWidth() + 1;
  const int xEnd = xCol + column_.width + 1;
  const int y0 = area.top();
  const int yRow = y0 + TitleRowHeight();
  const int yEnd = yRow + DataRowHeight();

  const QRect corner(x0, y0, IndicatorWidth(), TitleRowHeight() - 1);
  const QRect indicator(x0, yRow, IndicatorWidth(), DataRowHeight() - 1);
  const QRect title(xCol, y0, column_.width, TitleRowHeight() - 1);
  p.fillRect(corner, fixedColor_);
  p.fillRect(indicator, fixedColor_);
  p.fillRect(title, column_.titleColor);
  for (const QRect& r : {corner, indicator, title}) DrawRaisedEdge(p, r.adjusted(1, 1, -1, -1));

  // The caption is centred, 2 pixels below the cell's top.
  const QFontMetrics fm(column_.titleFont);
  p.save();
  p.setClipRect(title);
  p.setFont(column_.titleFont);
  p.setPen(column_.titleFontColor);
  const int textX =
      title.left() + title.width() / 2 - fm.horizontalAdvance(column_.titleCaption) / 2;
  p.drawText(textX, title.top() + 2 + fm.ascent(), column_.titleCaption);
  p.restore();

  p.setPen(kGridLine);
  p.drawLine(xCol - 1, y0, xCol - 1, yEnd - 1);
  p.drawLine(xEnd - 1, y0, xEnd - 1, yEnd - 1);
  p.drawLine(x0, yRow - 1, xEnd - 1, yRow - 1);
  p.drawLine(x0, yEnd - 1, xEnd - 1, yEnd - 1);
}

}  // namespace dorvem
