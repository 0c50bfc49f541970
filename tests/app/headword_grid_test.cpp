// The headword grid on an open dictionary: the rows it asks for and shows,
// what it draws, and the moves its mouse, keys and wheel request.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QScrollBar>
#include <QToolButton>
#include <QWheelEvent>
#include <stdexcept>

#include "tests/app/dictionary_window.h"
#include "tests/app/report_recorder.h"
#include "views/colors.h"
#include "views/db_grid.h"
#include "views/db_navigator.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;

QStringList Headwords(int first, int last) {
  QStringList words;
  for (int i = first; i <= last; ++i) words << QString::asprintf(".A%02d", i);
  return words;
}

TEST(HeadwordGridTest, AsksForTheRowsThatFitAndShowsTheRecordWindow) {
  DictionaryWindow w(DictionaryWindow::Numbered(25));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  EXPECT_EQ(grid.TitleRowHeight(), QFontMetrics(grid.Column().titleFont).height() + 4);
  EXPECT_EQ(grid.DataRowHeight(), QFontMetrics(grid.font()).height() + 4);
  // Whole rows only, below the title row.
  const int n = grid.VisibleDataRows();
  const int below = grid.CellsArea().height() - grid.TitleRowHeight();
  EXPECT_LE(n * grid.DataRowHeight(), below);
  EXPECT_GT((n + 1) * grid.DataRowHeight(), below);
  EXPECT_GE(n, 8);  // the designed height holds about ten rows
  EXPECT_EQ(w->tblAdat.WindowSize(), n);
  EXPECT_EQ(grid.RowTexts(), Headwords(1, n));
  EXPECT_EQ(grid.Row(), 0);

  // A lower grid asks for fewer rows, and keeps showing the window.
  const int rowHeight = grid.DataRowHeight();
  grid.resize(grid.width(), grid.height() - 3 * rowHeight);
  EXPECT_EQ(grid.VisibleDataRows(), n - 3);
  EXPECT_EQ(w->tblAdat.WindowSize(), n - 3);
  EXPECT_EQ(grid.RowTexts(), Headwords(1, n - 3));
  grid.resize(grid.width(), grid.height() + 3 * rowHeight);
  EXPECT_EQ(w->tblAdat.WindowSize(), n);
  EXPECT_EQ(grid.RowTexts(), Headwords(1, n));
  EXPECT_EQ(w.TakeAfterScrolls(), 0);  // resizing is no move
}

TEST(HeadwordGridTest, HorizontalScrollBarShiftsTheColumnWhenItIsTooWide) {
  DictionaryWindow w({".X"});
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  QScrollBar* bar = grid.HorizontalScrollBar();
  const int cellsWidth = grid.IndicatorWidth() + 1 + grid.Column().width + 1;
  // The designed column does not fit beside the vertical scroll bar.
  ASSERT_GT(cellsWidth, grid.CellsArea().width());
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->maximum(), cellsWidth - grid.CellsArea().width());
  const QRect before = grid.CellRect(0);
  bar->setValue(bar->maximum());
  EXPECT_EQ(grid.CellRect(0).right() + 2, grid.CellsArea().right() + 1);
  EXPECT_EQ(grid.CellRect(0).left(), before.left() - bar->maximum());
  // The indicator column stays.
  EXPECT_EQ(grid.IndicatorRect(0).left(), grid.CellsArea().left());

  grid.Column().width = 100;
  grid.LayoutChanged();
  EXPECT_FALSE(bar->isVisible());
  EXPECT_EQ(grid.CellRect(0).left(), before.left());
}

TEST(HeadwordGridTest, FewerRecordsThanRowsAndEmptyOrClosedData) {
  DictionaryWindow few({".X", ".Y", ".Z"});
  EXPECT_EQ(few->grdAdat->RowCount(), 3);
  EXPECT_EQ(few->grdAdat->RowTexts(), QStringList({".X", ".Y", ".Z"}));
  EXPECT_TRUE(few->grdAdat->ShowsIndicatorArrow());

  // Open and empty: one blank row with the arrow.
  DictionaryWindow empty({});
  ASSERT_TRUE(empty->tblAdat.Active());
  EXPECT_EQ(empty->grdAdat->RowCount(), 1);
  EXPECT_EQ(empty->grdAdat->RowText(0), QString());
  EXPECT_TRUE(empty->grdAdat->ShowsIndicatorArrow());

  // Closed: one blank row without the arrow.
  few->tblAdat.Close();
  EXPECT_EQ(few->grdAdat->RowCount(), 1);
  EXPECT_FALSE(few->grdAdat->ShowsIndicatorArrow());
  EXPECT_EQ(few->grdAdat->VertScrollInfo(), TScrollInfo{});
  EXPECT_FALSE(few->grdAdat->VerticalScrollBar()->isEnabled());
}

TEST(HeadwordGridTest, ShowsHeadwordBytesAsCentralEuropeanText) {
  // O and u with double acute, s with caron in windows-1250.
  DictionaryWindow w({".\xD5R\xFB", ".\x9A"});
  EXPECT_EQ(w->grdAdat->RowTexts(), QStringList({QStringLiteral(u".ŐRű"), QStringLiteral(u".š")}));
}

// Pixels of a grid picture: the arrow, the highlight and the blank cells.
class GridPictureTest : public ::testing::Test {
 protected:
  GridPictureTest() : w_(DictionaryWindow::Numbered(5)) {}

  QImage Picture() { return w_->grdAdat->grab().toImage(); }
  // Whether the indicator cell of `row` holds a black arrow pixel.
  bool ArrowOn(const QImage& image, int row) {
    const QRect cell = w_->grdAdat->IndicatorRect(row);
    for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
      for (int x = cell.left() + 2; x < cell.right() - 1; ++x)
        if (image.pixelColor(x, y) == kBlack) return true;
    return false;
  }
  // The background of the data cell of `row`, right of its text.
  QColor CellBackground(const QImage& image, int row) {
    const QRect cell = w_->grdAdat->CellRect(row);
    return image.pixelColor(cell.left() + 200, cell.center().y());
  }

  DictionaryWindow w_;
};

TEST_F(GridPictureTest, ArrowMarksTheCurrentRowAndHighlightNeedsTheFocus) {
  ASSERT_TRUE(w_.Show());
  w_->tblAdat.MoveRecords(2);
  QImage image = Picture();
  EXPECT_TRUE(ArrowOn(image, 2));
  EXPECT_FALSE(ArrowOn(image, 0));
  // The search box has the focus: only the arrow marks the record.
  EXPECT_EQ(CellBackground(image, 2), kActiveBorder);
  EXPECT_EQ(image.pixelColor(w_->grdAdat->IndicatorRect(4).topLeft() + QPoint(3, 3)), kTeal);

  w_->grdAdat->setFocus();
  image = Picture();
  EXPECT_EQ(CellBackground(image, 2), kHighlight);
  EXPECT_EQ(CellBackground(image, 1), kActiveBorder);

  w_->tblAdat.Close();
  image = Picture();
  EXPECT_FALSE(ArrowOn(image, 0));
  EXPECT_FALSE(ArrowOn(image, 2));
}

// The row under the mouse becomes current with one move.
TEST(HeadwordGridTest, PressOnARowIsOneMove) {
  DictionaryWindow w(DictionaryWindow::Numbered(25));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  w.TakeAfterScrolls();
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(3).center());
  EXPECT_EQ(QApplication::focusWidget(), &grid);
  EXPECT_EQ(w.Current(), ".A04");
  EXPECT_EQ(grid.Row(), 3);
  EXPECT_EQ(w.TakeAfterScrolls(), 1);

  // The indicator cell counts as the row.
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.IndicatorRect(1).center());
  EXPECT_EQ(w.Current(), ".A02");
  EXPECT_EQ(w.TakeAfterScrolls(), 1);

  // The current row and the title row move nothing.
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(1).center());
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(-1).center());
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.IndicatorRect(-1).center());
  EXPECT_EQ(w.TakeAfterScrolls(), 0);
  EXPECT_EQ(w.Current(), ".A02");
}

TEST(HeadwordGridTest, PressBelowTheLastRowMovesNothing) {
  DictionaryWindow w({".X", ".Y", ".Z"});
  ASSERT_TRUE(w.Show());
  w.TakeAfterScrolls();
  QTest::mouseClick(w->grdAdat, Qt::LeftButton, {}, w->grdAdat->CellRect(5).center());
  EXPECT_EQ(w.TakeAfterScrolls(), 0);
  EXPECT_EQ(w.Current(), ".X");
  EXPECT_EQ(QApplication::focusWidget(), w->grdAdat);
}

// Keys with the grid focused; N rows fit.
TEST(HeadwordGridTest, KeysMoveByRowPageAndToTheEnds) {
  DictionaryWindow w(DictionaryWindow::Numbered(40));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  grid.setFocus();
  const int n = grid.VisibleDataRows();
  auto press = [&](Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(&grid, key, mods);
    return w.Current();
  };
  auto word = [](int i) { return QString::asprintf(".A%02d", i).toStdString(); };

  EXPECT_EQ(press(Qt::Key_Down), word(2));
  EXPECT_EQ(press(Qt::Key_Right), word(3));
  EXPECT_EQ(press(Qt::Key_Left), word(2));
  EXPECT_EQ(press(Qt::Key_Up), word(1));
  EXPECT_EQ(press(Qt::Key_PageDown), word(1 + n));
  EXPECT_EQ(grid.Row(), n - 1);  // slid just far enough
  EXPECT_EQ(press(Qt::Key_PageUp), word(1));
  EXPECT_EQ(press(Qt::Key_End), word(40));
  EXPECT_EQ(grid.RowTexts().last(), QString::fromStdString(word(40)));
  EXPECT_EQ(press(Qt::Key_Home, Qt::ControlModifier), word(1));
  EXPECT_EQ(press(Qt::Key_End, Qt::ControlModifier), word(40));
  EXPECT_EQ(press(Qt::Key_Home), word(1));

  // Ctrl with Down or Page Down: the bottom row; with Up or Page Up: the top.
  press(Qt::Key_Down);
  EXPECT_EQ(press(Qt::Key_Down, Qt::ControlModifier), word(n));
  EXPECT_EQ(press(Qt::Key_Up, Qt::ControlModifier), word(1));
  EXPECT_EQ(press(Qt::Key_PageDown, Qt::ControlModifier), word(n));
  EXPECT_EQ(grid.Row(), n - 1);
  press(Qt::Key_Up);
  EXPECT_EQ(press(Qt::Key_PageUp, Qt::ControlModifier), word(1));

  // Each move is one operation.
  w.TakeAfterScrolls();
  press(Qt::Key_PageDown);
  EXPECT_EQ(w.TakeAfterScrolls(), 1);

  // The editing keys do nothing at all.
  for (Qt::Key key :
       {Qt::Key_Escape, Qt::Key_Insert, Qt::Key_Delete, Qt::Key_F2, Qt::Key_Return, Qt::Key_Enter})
    press(key);
  press(Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(w.TakeAfterScrolls(), 0);
  EXPECT_EQ(w.Current(), word(1 + n));

  // Tab leaves the grid.
  QTest::keyClick(&grid, Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), &grid);
}

TEST(HeadwordGridTest, DownAtTheLastRecordRefreshesOnceThenNothing) {
  DictionaryWindow w({".X", ".Y"});
  ASSERT_TRUE(w.Show());
  w->grdAdat->setFocus();
  QTest::keyClick(w->grdAdat, Qt::Key_Down);
  w.TakeAfterScrolls();
  QTest::keyClick(w->grdAdat, Qt::Key_Down);
  EXPECT_EQ(w.TakeAfterScrolls(), 1);
  QTest::keyClick(w->grdAdat, Qt::Key_Down);
  EXPECT_EQ(w.TakeAfterScrolls(), 0);
  EXPECT_EQ(w.Current(), ".Y");
}

TEST(HeadwordGridTest, WheelMovesOneRecordPerStep) {
  DictionaryWindow w(DictionaryWindow::Numbered(25));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  auto turn = [&](int delta) {
    QWheelEvent wheel(grid.CellRect(1).center(), grid.mapToGlobal(grid.CellRect(1).center()), {},
                      {0, delta}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&grid, &wheel);
  };
  w.TakeAfterScrolls();
  turn(-120);
  EXPECT_EQ(w.Current(), ".A02");
  turn(-240);
  EXPECT_EQ(w.Current(), ".A04");
  EXPECT_EQ(w.TakeAfterScrolls(), 2);
  // Half steps add up.
  turn(60);
  EXPECT_EQ(w.Current(), ".A04");
  turn(60);
  EXPECT_EQ(w.Current(), ".A03");
}

// A move that fails in the grid's or the navigator's handler is reported
// once, after the event; the next event works again.
TEST(HeadwordGridTest, MoveErrorsReachTheErrorReport) {
  DictionaryWindow w(DictionaryWindow::Numbered(25));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  testing::ReportRecorder recorder;
  w->tblAdat.BeforeScroll = [](TDataSet&) { throw std::runtime_error("Move refused"); };
  QTest::keyClick(&grid, Qt::Key_Down);
  QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(3).center());
  QScrollBar* bar = grid.VerticalScrollBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 3));
  QTest::mouseClick(w->DBNavigator1->Button(nbNext), Qt::LeftButton);
  EXPECT_EQ(recorder.Texts(), QStringList(4, "Move refused."));
  EXPECT_EQ(w.Current(), ".A01");
  EXPECT_EQ(bar->value(), 1);

  w->tblAdat.BeforeScroll = nullptr;
  QTest::keyClick(&grid, Qt::Key_Down);
  EXPECT_EQ(w.Current(), ".A02");
  EXPECT_EQ(recorder.reports.size(), 4u);
}

}  // namespace
}  // namespace dorvem
