// The headword grid on an open dictionary: the rows it asks for and shows,
// what it draws, and the moves its mouse, keys and wheel request.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPaintEvent>
#include <QRegion>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>
#include <stdexcept>

#include "tests/app/dictionary_window.h"
#include "tests/app/report_recorder.h"
#include "views/colors.h"
#include "views/db_grid.h"
#include "views/db_navigator.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;

QString Word(int i) {
  return QString::asprintf(".A%02d", i);
}

QStringList Words(int first, int last) {
  QStringList words;
  for (int i = first; i <= last; ++i) words << Word(i);
  return words;
}

TEST(HeadwordGridTest, AsksForTheRowsThatFitAndShowsTheRecordWindow) {
  DictionaryWindow w(DictionaryWindow::Numbered(25));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  EXPECT_EQ(grid.TitleRowHeight(), QFontMetrics(grid.Column().titleFont).height() + 4);
  EXPECT_EQ(grid.DataRowHeight(), QFontMetrics(grid.font()).height() + 4);
  // Whole rows only, below the title row; the designed height holds ten.
  const int n = grid.VisibleDataRows();
  const int below = grid.CellsArea().height() - grid.TitleRowHeight();
  EXPECT_EQ(n, below / grid.DataRowHeight());
  EXPECT_GE(n, 8);
  EXPECT_EQ(w->Dictionary().tblAdat.WindowSize(), n);
  EXPECT_EQ(grid.RowTexts(), Words(1, n));

  // A lower grid asks for fewer rows; resizing is no move.
  grid.resize(grid.width(), grid.height() - 3 * grid.DataRowHeight());
  EXPECT_EQ(w->Dictionary().tblAdat.WindowSize(), n - 3);
  EXPECT_EQ(grid.RowTexts(), Words(1, n - 3));
  grid.resize(grid.width(), grid.height() + 3 * grid.DataRowHeight());
  EXPECT_EQ(grid.RowTexts(), Words(1, n));
  EXPECT_EQ(w.TakeAfterScrolls(), 0);

  // The column is wider than the cells' area: the horizontal bar shifts it.
  QScrollBar* bar = grid.HorizontalScrollBar();
  EXPECT_TRUE(bar->isVisible());
  bar->setValue(bar->maximum());
  EXPECT_EQ(grid.CellRect(0).right() + 1, grid.CellsArea().right());
  EXPECT_EQ(grid.IndicatorRect(0).left(), grid.CellsArea().left());
}

TEST(HeadwordGridTest, CentralEuropeanTextBlankRowsAndTheArrow) {
  // O and u with double acute, s with caron in windows-1250.
  DictionaryWindow w({".\xD5R\xFB", ".\x9A"});
  EXPECT_EQ(w->grdAdat->RowTexts(), QStringList({QStringLiteral(u".ŐRű"), QStringLiteral(u".š")}));
  EXPECT_TRUE(w->grdAdat->ShowsIndicatorArrow());
  // Closed: one blank row without the arrow.
  w->Dictionary().tblAdat.Close();
  EXPECT_EQ(w->grdAdat->RowCount(), 1);
  EXPECT_FALSE(w->grdAdat->ShowsIndicatorArrow());
  // Open and empty: one blank row with the arrow.
  DictionaryWindow empty({});
  EXPECT_EQ(empty->grdAdat->RowCount(), 1);
  EXPECT_EQ(empty->grdAdat->RowText(0), "");
  EXPECT_TRUE(empty->grdAdat->ShowsIndicatorArrow());
}

TEST(HeadwordGridTest, ArrowMarksTheCurrentRowAndHighlightNeedsTheFocus) {
  DictionaryWindow w(DictionaryWindow::Numbered(5));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  auto arrowOn = [&](const QImage& image, int row) {
    const QRect cell = grid.IndicatorRect(row).adjusted(2, 2, -2, -2);
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x)
        if (image.pixelColor(x, y) == kBlack) return true;
    return false;
  };
  auto background = [&](const QImage& image, int row) {
    return image.pixelColor(grid.CellRect(row).left() + 200, grid.CellRect(row).center().y());
  };
  w->Dictionary().tblAdat.MoveRecords(2);
  // The search box has the focus: only the arrow marks the record.
  QImage image = grid.grab().toImage();
  EXPECT_TRUE(arrowOn(image, 2));
  EXPECT_FALSE(arrowOn(image, 0));
  EXPECT_EQ(background(image, 2), kActiveBorder);
  EXPECT_EQ(image.pixelColor(grid.IndicatorRect(4).topLeft() + QPoint(3, 3)), kTeal);
  grid.setFocus();
  image = grid.grab().toImage();
  EXPECT_EQ(background(image, 2), kHighlight);
  EXPECT_EQ(background(image, 1), kActiveBorder);
  w->Dictionary().tblAdat.Close();
  EXPECT_FALSE(arrowOn(grid.grab().toImage(), 2));
}

TEST(HeadwordGridTest, PressOnARowIsOneMove) {
  DictionaryWindow w(DictionaryWindow::Numbered(25));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(3).center());
  EXPECT_EQ(QApplication::focusWidget(), &grid);
  EXPECT_EQ(w.Current(), ".A04");
  EXPECT_EQ(w.TakeAfterScrolls(), 1);
  // The indicator cell counts as the row; the current row and the title
  // row move nothing.
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.IndicatorRect(1).center());
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(1).center());
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(-1).center());
  EXPECT_EQ(w.Current(), ".A02");
  EXPECT_EQ(w.TakeAfterScrolls(), 1);
}

TEST(HeadwordGridTest, KeysMoveByRowPageAndToTheEnds) {
  DictionaryWindow w(DictionaryWindow::Numbered(40));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  grid.setFocus();
  const int n = grid.VisibleDataRows();
  const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier;
  struct Step {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int number;  // of the current record afterwards
  };
  const Step steps[] = {
      {Qt::Key_Down, none, 2},         {Qt::Key_Right, none, 3},
      {Qt::Key_Left, none, 2},         {Qt::Key_Up, none, 1},
      {Qt::Key_PageDown, none, 1 + n}, {Qt::Key_PageUp, none, 1},
      {Qt::Key_End, none, 40},         {Qt::Key_Home, ctrl, 1},
      {Qt::Key_End, ctrl, 40},         {Qt::Key_Home, none, 1},
      {Qt::Key_Down, none, 2},         {Qt::Key_Down, ctrl, n},  // bottom row
      {Qt::Key_Up, ctrl, 1},           {Qt::Key_PageDown, ctrl, n},
      {Qt::Key_Up, none, n - 1},       {Qt::Key_PageUp, ctrl, 1},
      {Qt::Key_PageDown, none, 1 + n},
  };
  for (const Step& s : steps) {
    w.TakeAfterScrolls();
    QTest::keyClick(&grid, s.key, s.mods);
    EXPECT_EQ(QString::fromStdString(w.Current()), Word(s.number)) << s.key << " " << s.mods;
    EXPECT_EQ(w.TakeAfterScrolls(), 1);  // each key is one move
  }
  EXPECT_EQ(grid.Row(), n - 1);  // slid just far enough

  // The editing keys do nothing; Tab leaves the grid.
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Insert, Qt::Key_Delete, Qt::Key_F2, Qt::Key_Return})
    QTest::keyClick(&grid, key);
  EXPECT_EQ(w.TakeAfterScrolls(), 0);
  QTest::keyClick(&grid, Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), &grid);
}

TEST(HeadwordGridTest, WheelMovesOneRecordPerStep) {
  DictionaryWindow w(DictionaryWindow::Numbered(25));
  TDBGrid& grid = *w->grdAdat;
  auto turn = [&](int delta) {
    const QPointF at = grid.CellRect(1).center();
    QWheelEvent wheel(at, grid.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&grid, &wheel);
    return w.Current();
  };
  EXPECT_EQ(turn(-120), ".A02");
  EXPECT_EQ(turn(-240), ".A04");
  EXPECT_EQ(w.TakeAfterScrolls(), 2);
  EXPECT_EQ(turn(60), ".A04");  // half steps add up
  EXPECT_EQ(turn(60), ".A03");
}

// Collects, in the grid's coordinates, what the grid and its scroll bars
// repaint.
class RepaintRecorder : public QObject {
 public:
  explicit RepaintRecorder(TDBGrid& grid) : grid_(grid) {
    grid.installEventFilter(this);
    for (QWidget* bar : {static_cast<QWidget*>(grid.VerticalScrollBar()),
                         static_cast<QWidget*>(grid.HorizontalScrollBar())})
      bar->installEventFilter(this);
  }
  QRegion Take() { return std::exchange(painted_, QRegion()); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      auto* widget = static_cast<QWidget*>(watched);
      const QPoint offset = widget == &grid_ ? QPoint() : widget->mapTo(&grid_, QPoint());
      painted_ += static_cast<QPaintEvent*>(event)->region().translated(offset);
    }
    return false;
  }

 private:
  TDBGrid& grid_;
  QRegion painted_;
};

// The grid repaints less than all of itself on a notice; whatever looks
// different afterwards must still be repainted, or the screen keeps the old
// pixels there.
TEST(HeadwordGridTest, EveryPixelThatChangesIsRepainted) {
  DictionaryWindow w(DictionaryWindow::Numbered(25));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  RepaintRecorder recorder(grid);
  auto type = [&](const char* keys) {
    return [&w, keys] {
      for (const char* k = keys; *k != 0; ++k) {
        if (*k == '\b')
          QTest::keyClick(w->edtKeres, Qt::Key_Backspace);
        else
          QTest::keyClick(w->edtKeres, *k);
      }
    };
  };
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"next record", [&] { w->Dictionary().tblAdat.MoveRecords(1); }},
      {"next page", [&] { w->Dictionary().tblAdat.MoveRecords(grid.VisibleDataRows()); }},
      {"focus in", [&] { grid.setFocus(); }},
      {"last record", [&] { w->Dictionary().tblAdat.GoLast(); }},
      {"column shifted", [&] { grid.HorizontalScrollBar()->setValue(20); }},
      {"focus out", [&] { w->edtKeres->setFocus(); }},
      {"a few records, no vertical bar", type(".A2")},
      {"one record", type("5")},
      {"none", type("X")},
      {"all again", type("\b\b\b\b")},
      {"closed", [&] { w->Dictionary().tblAdat.Close(); }},
      {"opened", [&] { w->Dictionary().tblAdat.Open(); }},
  };
  for (const auto& [name, step] : steps) {
    SCOPED_TRACE(name);
    QCoreApplication::processEvents();
    const QImage before = grid.grab().toImage();
    recorder.Take();
    step();
    QCoreApplication::processEvents();
    // Before grab(), which paints all of it again.
    const QRegion painted = recorder.Take();
    const QImage after = grid.grab().toImage();
    ASSERT_EQ(after.size(), before.size());
    int changed = 0, stale = 0;
    for (int y = 0; y < after.height(); ++y)
      for (int x = 0; x < after.width(); ++x)
        if (after.pixel(x, y) != before.pixel(x, y)) {
          ++changed;
          if (!painted.contains(QPoint(x, y))) ++stale;
        }
    EXPECT_GT(changed, 0);
    EXPECT_EQ(stale, 0);
  }
}

// A grid line is one pixel of the window's units. On a screen of twice the
// density it takes the two device rows the toolkit gives a pen of even
// width, laid across the line's point: 2y - 1 and 2y, not 2y and 2y + 1.
TEST(HeadwordGridTest, GridLinesLieWhereAPenPutsThemAtEveryDensity) {
  DictionaryWindow w(DictionaryWindow::Numbered(5));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  const QColor silver(192, 192, 192);
  const int x = grid.CellRect(0).left() + 5;
  const int y = grid.CellRect(0).bottom() + 1;  // the line below the first row
  for (const int ratio : {1, 2, 3}) {
    SCOPED_TRACE(ratio);
    QImage image(grid.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    grid.render(&image);
    const int top = ratio == 1 ? y : ratio * y - ratio / 2;  // across the point
    for (int row = top - 1; row <= top + ratio; ++row) {
      SCOPED_TRACE(row);
      EXPECT_EQ(image.pixelColor(x * ratio, row) == silver, row >= top && row < top + ratio);
    }
  }
}

// A move that fails in the grid's or the navigator's handler is reported
// once, after the event; the next event works again.
TEST(HeadwordGridTest, MoveErrorsReachTheErrorReport) {
  DictionaryWindow w(DictionaryWindow::Numbered(25));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  testing::ReportRecorder recorder;
  w->Dictionary().tblAdat.BeforeScroll = [](TDataSet&) {
    throw std::runtime_error("Move refused");
  };
  QTest::keyClick(&grid, Qt::Key_Down);
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(3).center());
  QScrollBar* bar = grid.VerticalScrollBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 3));
  QTest::mouseClick(w->DBNavigator1->Button(nbNext), Qt::LeftButton);
  EXPECT_EQ(recorder.Texts(), QStringList(4, "Move refused."));
  EXPECT_EQ(w.Current(), ".A01");
  EXPECT_EQ(bar->value(), 1);
  w->Dictionary().tblAdat.BeforeScroll = nullptr;
  QTest::keyClick(&grid, Qt::Key_Down);
  EXPECT_EQ(w.Current(), ".A02");
}

}  // namespace
}  // namespace dorvem
