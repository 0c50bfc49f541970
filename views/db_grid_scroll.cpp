// The grid's scroll bars. The vertical one shows where the current record
// lies among the visible records and turns its commands into moves of the
// dataset; it never scrolls anything itself. It is hidden while its whole
// range fits within one page (dataset closed or empty, or one record), and
// the cells' area then takes its width. The horizontal one appears when the
// column is wider than the cells' area and shifts the column.
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "dataset/host/dataset.h"
#include "dataset/host/handler_guard.h"
#include "views/db_grid.h"
#include "views/quiet_scroll_bar.h"

namespace dorvem {

// A scroll bar of the grid: using it gives the grid the focus first, and
// the wheel over the vertical one acts as over the grid. A new list whose
// thumb stays where it was (at the top, at its smallest) does not repaint
// it.
class TDBGrid::ScrollBar : public TQuietScrollBar {
 public:
  ScrollBar(Qt::Orientation orientation, TDBGrid& grid)
      : TQuietScrollBar(orientation, &grid), grid_(grid) {
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    grid_.setFocus(Qt::MouseFocusReason);
    QScrollBar::mousePressEvent(event);
  }
  void wheelEvent(QWheelEvent* event) override {
    if (orientation() == Qt::Vertical)
      grid_.wheelEvent(event);
    else
      QScrollBar::wheelEvent(event);
  }

 private:
  TDBGrid& grid_;
};

QScrollBar* TDBGrid::VerticalScrollBar() const {
  return vbar_;
}

QScrollBar* TDBGrid::HorizontalScrollBar() const {
  return hbar_;
}

void TDBGrid::CreateScrollBars() {
  vbar_ = new ScrollBar(Qt::Vertical, *this);
  // Dragging the thumb moves nothing until it is released.
  vbar_->setTracking(false);
  connect(vbar_, &QScrollBar::actionTriggered, this, [this](int action) {
    GuardHandler([&] { VertScrollAction(action); });
    // The bar shows the dataset's position, not where the action left it.
    ApplyScrollInfo();
  });
  // A new value that no action brought ("Scroll here" of the bar's menu)
  // is a thumb position too.
  connect(vbar_, &QScrollBar::valueChanged, this, [this](int value) {
    if (applyingScrollInfo_) return;
    GuardHandler([&] { ThumbReleasedAt(value); });
    ApplyScrollInfo();
  });

  hbar_ = new ScrollBar(Qt::Horizontal, *this);
  hbar_->hide();
  connect(hbar_, &QScrollBar::valueChanged, this, [this](int value) {
    xOffset_ = value;
    UpdateCells();
  });
  ApplyScrollInfo();
}

void TDBGrid::LayoutScrollBars() {
  const QRect frame = contentsRect();
  const int vWidth = !vbarShown_ ? 0 : vbar_->sizeHint().width();
  const int hHeight = hbar_->sizeHint().height();
  const int cellsWidth = frame.width() - vWidth;
  const bool horizontal = CellsWidth() > cellsWidth;
  cellsArea_ =
      QRect(frame.left(), frame.top(), cellsWidth, frame.height() - (horizontal ? hHeight : 0));
  vbar_->setGeometry(cellsArea_.right() + 1, frame.top(), vWidth, cellsArea_.height());
  hbar_->setGeometry(frame.left(), cellsArea_.bottom() + 1, cellsWidth, hHeight);
  hbar_->setRange(0, horizontal ? CellsWidth() - cellsWidth : 0);
  hbar_->setPageStep(std::max(1, cellsWidth));
  hbar_->setSingleStep(DataRowHeight());
  hbar_->setVisible(horizontal);
  xOffset_ = hbar_->value();
}

void TDBGrid::UpdateScrollBar() {
  TScrollInfo info;
  if (TDataSet* ds = OpenDataSet()) {
    const int rows = VisibleDataRows();
    info = {1, ds->RecordCount() + rows - 1, rows, ds->RecNo()};
  }
  // The bar changes only when one of its values does.
  if (info == vertInfo_) return;
  vertInfo_ = info;
  ApplyScrollInfo();
}

void TDBGrid::ApplyScrollInfo() {
  applyingScrollInfo_ = true;
  // Reachable positions are min .. max - page + 1.
  const int last = std::max(vertInfo_.min, vertInfo_.max - vertInfo_.page + 1);
  vbar_->setRange(vertInfo_.min, last);
  vbar_->setPageStep(std::max(1, vertInfo_.page));
  vbar_->setValue(vertInfo_.pos);
  vbar_->setSliderPosition(vertInfo_.pos);
  applyingScrollInfo_ = false;
  // As the platform's scroll bars do: no bar for an empty range or one that
  // fits within one page.
  const bool shown = vertInfo_.max - vertInfo_.min >= std::max(1, vertInfo_.page);
  if (shown == vbarShown_) return;
  vbarShown_ = shown;
  vbar_->setVisible(shown);
  const int rows = VisibleDataRows();
  LayoutScrollBars();
  update();
  // This runs inside a notice of the dataset: should the rows that fit
  // change with the cells' area, they are asked for once the notice is over.
  if (VisibleDataRows() != rows)
    QMetaObject::invokeMethod(this, &TDBGrid::LayoutChanged, Qt::QueuedConnection);
}

void TDBGrid::VertScrollAction(int action) {
  TDataSet* ds = OpenDataSet();
  if (!ds) return;
  const int rows = VisibleDataRows();
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      // The record above the window becomes current, on the top row.
      ds->MoveRecords(-(row_ + 1));
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      // The record below the window becomes current, on the bottom row.
      ds->MoveRecords(link_.RecordCount() - row_);
      break;
    case QAbstractSlider::SliderPageStepSub:
      ds->MoveRecords(-rows);
      break;
    case QAbstractSlider::SliderPageStepAdd:
      ds->MoveRecords(rows);
      break;
    case QAbstractSlider::SliderToMinimum:
      ds->GoFirst();
      break;
    case QAbstractSlider::SliderToMaximum:
      ds->GoLast();
      break;
    case QAbstractSlider::SliderMove:
      // With tracking off this comes once, when the thumb is released.
      ThumbReleasedAt(vbar_->sliderPosition());
      break;
    default:
      break;
  }
}

void TDBGrid::ThumbReleasedAt(int position) {
  TDataSet* ds = OpenDataSet();
  if (!ds) return;
  if (position <= 1)
    ds->GoFirst();
  else if (position >= ds->RecordCount())
    ds->GoLast();
  else
    ds->GoToNumber(position);
}

}  // namespace dorvem
