// The grid's vertical scroll bar: its values follow the dataset, and each of
// its commands is one move.
#include <gtest/gtest.h>

#include <QScrollBar>

#include "tests/app/dictionary_window.h"
#include "views/db_grid.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;

class GridScrollBarTest : public ::testing::Test {
 protected:
  GridScrollBarTest() : w_(DictionaryWindow::Numbered(40)) {}

  void SetUp() override {
    ASSERT_TRUE(w_.Show());
    n_ = Grid().VisibleDataRows();
    w_.TakeAfterScrolls();
  }

  TDBGrid& Grid() { return *w_->grdAdat; }
  QScrollBar& Bar() { return *Grid().VerticalScrollBar(); }
  int Number() { return w_->tblAdat.RecNo(); }
  // Releases the thumb at `position` after dragging it there.
  void DragThumbTo(int position) {
    const int before = w_.afterScrolls;
    Bar().setSliderDown(true);
    Bar().setSliderPosition(position);
    EXPECT_EQ(w_.afterScrolls, before) << "dragging moved";
    Bar().setSliderDown(false);
  }

  DictionaryWindow w_;
  int n_ = 0;
};

TEST_F(GridScrollBarTest, RangePageAndPositionFollowTheRecords) {
  EXPECT_EQ(Grid().VertScrollInfo(), (TScrollInfo{1, 40 + n_ - 1, n_, 1}));
  // The toolkit's bar reaches positions 1 .. 40 with a page of N.
  EXPECT_EQ(Bar().minimum(), 1);
  EXPECT_EQ(Bar().maximum(), 40);
  EXPECT_EQ(Bar().pageStep(), n_);
  EXPECT_EQ(Bar().value(), 1);
  w_->tblAdat.MoveRecords(5);
  EXPECT_EQ(Bar().value(), 6);
  w_->tblAdat.GoLast();
  EXPECT_EQ(Grid().VertScrollInfo().pos, 40);
  EXPECT_EQ(Bar().value(), 40);
  EXPECT_TRUE(Bar().isEnabled());
}

TEST_F(GridScrollBarTest, LineCommandsStepPastTheWindowsEdge) {
  w_->tblAdat.MoveRecords(2);
  Bar().triggerAction(QAbstractSlider::SliderSingleStepAdd);
  // The record below the window, current on the bottom row.
  EXPECT_EQ(Number(), n_ + 1);
  EXPECT_EQ(Grid().Row(), n_ - 1);
  EXPECT_EQ(Bar().value(), n_ + 1);
  w_->tblAdat.MoveRecords(-3);
  Bar().triggerAction(QAbstractSlider::SliderSingleStepSub);
  // The record above the window, current on the top row.
  EXPECT_EQ(Number(), 1);
  EXPECT_EQ(Grid().Row(), 0);
  EXPECT_EQ(w_.TakeAfterScrolls(), 4);
}

TEST_F(GridScrollBarTest, PageTopAndBottomCommands) {
  Bar().triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(Number(), 1 + n_);
  Bar().triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(Number(), 1);
  Bar().triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(Number(), 40);
  EXPECT_TRUE(w_->tblAdat.AtEnd());
  Bar().triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(Number(), 1);
  EXPECT_EQ(w_.TakeAfterScrolls(), 4);
  EXPECT_EQ(Bar().value(), 1);
}

TEST_F(GridScrollBarTest, ReleasingTheThumbGoesToItsNumber) {
  DragThumbTo(20);
  EXPECT_EQ(Number(), 20);
  // Centred: row (N - 1) div 2.
  EXPECT_EQ(Grid().Row(), (n_ - 1) / 2);
  EXPECT_EQ(Bar().value(), 20);
  EXPECT_EQ(w_.TakeAfterScrolls(), 1);

  DragThumbTo(40);
  EXPECT_EQ(Number(), 40);
  EXPECT_TRUE(w_->tblAdat.AtEnd());  // GoLast
  DragThumbTo(1);
  EXPECT_EQ(Number(), 1);
  EXPECT_EQ(Grid().RowText(0), ".A01");
  EXPECT_EQ(w_.TakeAfterScrolls(), 2);
}

TEST_F(GridScrollBarTest, ScrollHereGoesToTheNumberAndUseTakesTheFocus) {
  // A value set without an action, as the bar's menu does.
  Bar().setValue(10);
  EXPECT_EQ(Number(), 10);
  EXPECT_EQ(Bar().value(), 10);

  ASSERT_NE(QApplication::focusWidget(), &Grid());
  QTest::mouseClick(&Bar(), Qt::LeftButton, {}, QPoint(Bar().width() / 2, Bar().height() - 3));
  EXPECT_EQ(QApplication::focusWidget(), &Grid());
  // The bottom arrow: the record below the window.
  EXPECT_GT(Number(), 10);
  EXPECT_EQ(Grid().Row(), n_ - 1);
}

TEST_F(GridScrollBarTest, FewRecordsCannotScroll) {
  DictionaryWindow few({".X", ".Y"});
  EXPECT_EQ(few->grdAdat->VertScrollInfo(), (TScrollInfo{1, 2 + n_ - 1, n_, 1}));
  EXPECT_EQ(few->grdAdat->VerticalScrollBar()->maximum(), 2);
  few->tblAdat.GoNext();
  EXPECT_EQ(few->grdAdat->VerticalScrollBar()->value(), 2);
}

}  // namespace
}  // namespace dorvem
