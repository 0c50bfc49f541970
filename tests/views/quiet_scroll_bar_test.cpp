// The scroll bar that repaints on a change of its values only when the
// change shows: whether a change repaints is checked against what a plain
// scroll bar draws before and after it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionComplex>
#include <QScrollBar>
#include <QTest>

#include "tests/views/paint_counter.h"
#include "views/quiet_scroll_bar.h"

namespace dorvem {
namespace {

struct BarValues {
  int min, max, page, value;
};

void Apply(QScrollBar& bar, const BarValues& v) {
  bar.setRange(v.min, v.max);
  bar.setPageStep(v.page);
  bar.setValue(v.value);
}

// What a plain bar at the same place in the same window shows with `v`.
QImage PlainBar(QWidget& window, const BarValues& v) {
  QScrollBar bar(Qt::Vertical, &window);
  bar.setGeometry(20, 0, 14, 218);
  Apply(bar, v);
  bar.show();
  return bar.grab().toImage();
}

using testing::PaintCounter;

TEST(QuietScrollBarTest, RepaintsOnAValueChangeExactlyWhenItShows) {
  struct Case {
    const char* name;
    BarValues before, after;
    bool shows;
  };
  const Case cases[] = {
      // A grid of 15 rows over 100,000 and then 5,000 records: the thumb
      // is at its smallest and at the top in both.
      {"fewer records, thumb at its smallest at the top",
       {1, 99986, 15, 1},
       {1, 4986, 15, 1},
       false},
      {"the same values set again", {1, 4986, 15, 1}, {1, 4986, 15, 1}, false},
      {"the value moves the thumb", {1, 4986, 15, 1}, {1, 4986, 15, 2500}, true},
      {"few records: a larger thumb", {1, 99986, 15, 1}, {1, 6, 15, 1}, true},
      {"the value goes to the end", {1, 4986, 15, 1}, {1, 4986, 15, 4986}, true},
      {"nothing to scroll", {1, 4986, 15, 1}, {0, 0, 15, 0}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget window;
    window.resize(40, 218);
    auto* bar = new TQuietScrollBar(Qt::Vertical, &window);
    // Away from the window's corner, where the pointer may hover.
    bar->setGeometry(20, 0, 14, 218);
    Apply(*bar, c.before);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    // Whether the change shows, as a plain bar draws it.
    ASSERT_EQ(PlainBar(window, c.before) != PlainBar(window, c.after), c.shows);
    QCoreApplication::processEvents();  // the window repaints where they were

    PaintCounter counter;
    bar->installEventFilter(&counter);
    Apply(*bar, c.after);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints > 0, c.shows);
    // Its own drawing is a plain bar's, and so is a look it painted before
    // and paints again from the image it kept.
    EXPECT_TRUE(bar->grab().toImage() == PlainBar(window, c.after));
    Apply(*bar, c.before);
    EXPECT_TRUE(bar->grab().toImage() == PlainBar(window, c.before));
    Apply(*bar, c.after);
    EXPECT_TRUE(bar->grab().toImage() == PlainBar(window, c.after));
  }
}

// A style that leaves half of the bar unpainted lets the window show
// through there, every time the bar paints.
TEST(QuietScrollBarTest, AStyleThatLeavesPartUnpaintedShowsWhatLiesBeneath) {
  class HalfBarStyle : public QProxyStyle {
   public:
    HalfBarStyle() : QProxyStyle(QStringLiteral("Fusion")) {}
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
      if (control != CC_ScrollBar)
        return QProxyStyle::drawComplexControl(control, option, painter, widget);
      painter->fillRect(option->rect.adjusted(0, 0, 0, -option->rect.height() / 2), Qt::blue);
    }
  } style;
  QWidget window;
  window.resize(40, 218);
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, Qt::yellow);
  window.setPalette(palette);
  window.setAutoFillBackground(true);
  auto* bar = new TQuietScrollBar(Qt::Vertical, &window);
  bar->setStyle(&style);
  bar->setGeometry(20, 0, 14, 218);
  Apply(*bar, {1, 4986, 15, 1});
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  for (int round = 0; round < 2; ++round) {
    Apply(*bar, {1, 6, 15, 1});
    Apply(*bar, {1, 4986, 15, 1});
    const QImage shown = window.grab().toImage();
    EXPECT_EQ(shown.pixelColor(27, 10), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(27, 200), QColor(Qt::yellow));
  }
}

// Before its first paint a bar has nothing on the screen to keep.
TEST(QuietScrollBarTest, PaintsWhenShownFirst) {
  QWidget window;
  window.resize(40, 218);
  auto* bar = new TQuietScrollBar(Qt::Vertical, &window);
  bar->setGeometry(0, 0, 14, 218);
  Apply(*bar, {1, 4986, 15, 1});
  PaintCounter counter;
  bar->installEventFilter(&counter);
  window.show();
  Apply(*bar, {1, 99986, 15, 1});
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QCoreApplication::processEvents();
  EXPECT_GT(counter.paints, 0);
}

}  // namespace
}  // namespace dorvem
