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
  void SetUp() override {
    ASSERT_TRUE(w_.Show());
    n_ = w_->grdAdat->VisibleDataRows();
  }
  QScrollBar& Bar() { return *w_->grdAdat->VerticalScrollBar(); }
  int Number() { return w_->Dictionary().tblAdat.RecNo(); }

  DictionaryWindow w_{DictionaryWindow::Numbered(40)};
  int n_ = 0;
};

TEST_F(GridScrollBarTest, RangePageAndPositionFollowTheCommands) {
  // The toolkit's bar reaches positions 1 .. 40 with a page of N.
  EXPECT_EQ(w_->grdAdat->VertScrollInfo(), (TScrollInfo{1, 40 + n_ - 1, n_, 1}));
  EXPECT_EQ(Bar().maximum(), 40);
  EXPECT_EQ(Bar().pageStep(), n_);
  struct Command {
    QAbstractSlider::SliderAction action;
    int number, row;  // afterwards
  };
  const Command commands[] = {
      // The record below the window, current on the bottom row.
      {QAbstractSlider::SliderSingleStepAdd, n_ + 1, n_ - 1},
      {QAbstractSlider::SliderPageStepAdd, 2 * n_ + 1, n_ - 1},
      {QAbstractSlider::SliderToMaximum, 40, n_ - 1},
      {QAbstractSlider::SliderPageStepSub, 40 - n_, 0},
      // The record above the window, current on the top row.
      {QAbstractSlider::SliderSingleStepSub, 40 - n_ - 1, 0},
      {QAbstractSlider::SliderToMinimum, 1, 0},
  };
  for (const Command& c : commands) {
    w_.TakeAfterScrolls();
    Bar().triggerAction(c.action);
    EXPECT_EQ(Number(), c.number) << c.action;
    EXPECT_EQ(w_->grdAdat->Row(), c.row) << c.action;
    EXPECT_EQ(Bar().value(), c.number);
    EXPECT_EQ(w_.TakeAfterScrolls(), 1);
  }
  // Closed, the range is empty and fits within a page: no bar.
  w_->Dictionary().tblAdat.Close();
  EXPECT_EQ(w_->grdAdat->VertScrollInfo(), TScrollInfo{});
  EXPECT_FALSE(Bar().isVisible());
}

// A range that fits within one page (no record or one: 1 .. N with a page
// of N) hides the bar instead of showing disabled arrows, and the cells
// take its place.
TEST(GridScrollBarShownTest, HiddenWhileTheRangeFitsOnePage) {
  struct Case {
    std::vector<std::string> headwords;  // "." passes the start-up filter
    bool shown;
  };
  const Case cases[] = {
      {{"NONE"}, false},
      {{".A"}, false},
      {{".A", ".B"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.headwords.size());
    DictionaryWindow w(c.headwords);
    ASSERT_TRUE(w.Show());
    TDBGrid& grid = *w->grdAdat;
    QScrollBar& bar = *grid.VerticalScrollBar();
    EXPECT_EQ(bar.isVisible(), c.shown);
    const int barWidth = c.shown ? bar.sizeHint().width() : 0;
    EXPECT_EQ(grid.CellsArea().width(), grid.contentsRect().width() - barWidth);
  }
}

// The bar comes and goes with the number of visible records.
TEST(GridScrollBarShownTest, FollowsTheFilter) {
  DictionaryWindow w({".A", ".B", "ALMA"});
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  QScrollBar& bar = *grid.VerticalScrollBar();
  const int width = grid.contentsRect().width();
  EXPECT_TRUE(bar.isVisible());
  w->Dictionary().tblAdat.SetFilter("KSZOVEG='A*'");
  EXPECT_FALSE(bar.isVisible());
  EXPECT_EQ(grid.CellsArea().width(), width);
  w->Dictionary().tblAdat.SetFilter("KSZOVEG='Z*'");
  EXPECT_FALSE(bar.isVisible());
  w->Dictionary().tblAdat.SetFilter("KSZOVEG='.*'");
  EXPECT_TRUE(bar.isVisible());
  EXPECT_EQ(grid.CellsArea().width(), width - bar.sizeHint().width());
  EXPECT_EQ(grid.RowTexts(), QStringList({".A", ".B"}));
}

TEST_F(GridScrollBarTest, ReleasingTheThumbGoesToItsNumber) {
  for (int target : {20, 40, 1}) {
    Bar().setSliderDown(true);
    Bar().setSliderPosition(target);
    EXPECT_EQ(w_.TakeAfterScrolls(), 0) << "dragging moved";
    Bar().setSliderDown(false);
    EXPECT_EQ(Number(), target);
    EXPECT_EQ(w_.TakeAfterScrolls(), 1);
  }
  EXPECT_EQ(w_->grdAdat->RowText(0), ".A01");  // GoFirst
  Bar().setSliderDown(true);
  Bar().setSliderPosition(20);
  Bar().setSliderDown(false);
  EXPECT_EQ(w_->grdAdat->Row(), (n_ - 1) / 2);  // centred

  // A value set without an action (the bar's "Scroll here") is a position
  // too; using the bar gives the grid the focus.
  Bar().setValue(10);
  EXPECT_EQ(Number(), 10);
  QTest::mouseClick(&Bar(), Qt::LeftButton, {}, QPoint(Bar().width() / 2, Bar().height() - 3));
  EXPECT_EQ(QApplication::focusWidget(), w_->grdAdat);
  EXPECT_EQ(w_->grdAdat->Row(), n_ - 1);  // the bottom arrow: line down
}

}  // namespace
}  // namespace dorvem
