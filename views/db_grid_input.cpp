// The grid's mouse, keys and wheel: each request is one move of the dataset.
// While the dataset is closed they move nothing.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "dataset/host/dataset.h"
#include "dataset/host/handler_guard.h"
#include "views/db_grid.h"

namespace dorvem {

void TDBGrid::mousePressEvent(QMouseEvent* event) {
  // Any press takes the focus first.
  setFocus(Qt::MouseFocusReason);
  const QPoint pos = event->position().toPoint();
  GuardHandler([&] { MouseDownAt(pos); });
  event->accept();
}

void TDBGrid::MouseDownAt(QPoint pos) {
  TDataSet* ds = OpenDataSet();
  if (!ds || !cellsArea_.contains(pos)) return;
  // A data row or its indicator cell; the title row, the area below the
  // last row and right of the column move nothing.
  const int y = pos.y() - cellsArea_.top() - TitleRowHeight();
  if (y < 0) return;
  const int row = y / DataRowHeight();
  if (row >= RowCount() || pos.x() > CellRect(row).right() + 1) return;
  if (row != row_) ds->MoveRecords(row - row_);
}

void TDBGrid::keyPressEvent(QKeyEvent* event) {
  bool own = true;
  GuardHandler([&] { own = KeyDown(event->key(), event->modifiers()); });
  if (own)
    event->accept();
  else
    QFrame::keyPressEvent(event);
}

bool TDBGrid::KeyDown(int key, Qt::KeyboardModifiers shift) {
  const bool ctrl = shift & Qt::ControlModifier;
  const int rows = VisibleDataRows();
  // Tab and Shift+Tab never get here: the toolkit moves the focus on.
  switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Left:
    case Qt::Key_Down:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      break;
    case Qt::Key_Escape:
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return true;  // editing keys: the grid is read-only and has no editor
    default:
      return false;
  }
  TDataSet* ds = OpenDataSet();
  if (!ds) return true;
  switch (key) {
    case Qt::Key_Up:
      ds->MoveRecords(ctrl ? -row_ : -1);
      break;
    case Qt::Key_Down:
      ds->MoveRecords(ctrl ? rows - 1 - row_ : 1);
      break;
    case Qt::Key_Left:
      ds->MoveRecords(-1);
      break;
    case Qt::Key_Right:
      ds->MoveRecords(1);
      break;
    case Qt::Key_PageUp:
      ds->MoveRecords(ctrl ? -row_ : -rows);
      break;
    case Qt::Key_PageDown:
      ds->MoveRecords(ctrl ? rows - 1 - row_ : rows);
      break;
    case Qt::Key_Home:
      ds->GoFirst();
      break;
    case Qt::Key_End:
      ds->GoLast();
      break;
    default:
      break;
  }
  return true;
}

void TDBGrid::wheelEvent(QWheelEvent* event) {
  // One wheel step (120 units) moves the dataset's cursor one record; the
  // steps of one event are one move. Partial steps add up.
  wheelRemainder_ += event->angleDelta().y();
  const int steps = wheelRemainder_ / 120;
  wheelRemainder_ -= steps * 120;
  if (steps != 0) GuardHandler([&] { WheelSteps(steps); });
  event->accept();
}

void TDBGrid::WheelSteps(int steps) {
  // Turning the wheel away from the user goes towards the first record.
  if (TDataSet* ds = OpenDataSet()) ds->MoveRecords(-steps);
}

}  // namespace dorvem
