// The record navigator: enabling at the ends of the list, acting on
// release, auto-repeat, glyphs, and never taking the focus.
#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QImage>
#include <QTimerEvent>
#include <QToolButton>

#include "tests/app/dictionary_window.h"
#include "views/db_navigator.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;

// Enabled buttons as "FPNL", a dash for each disabled one.
std::string Enabled(const TDBNavigator& nav) {
  std::string s;
  for (int b = nbFirst; b <= nbLast; ++b)
    s += nav.Button(static_cast<TNavigateBtn>(b))->isEnabled() ? "FPNL"[b] : '-';
  return s;
}

TEST(NavigatorTest, EnablingFollowsTheEndFlagsAndEachClickIsOneMove) {
  DictionaryWindow w({".X", ".Y", ".Z"});
  ASSERT_TRUE(w.Show());
  TDBNavigator& nav = *w->DBNavigator1;
  auto click = [&](TNavigateBtn b) {
    QTest::mouseClick(nav.Button(b), Qt::LeftButton);
    return w.Current() + " " + Enabled(nav);
  };
  EXPECT_EQ(Enabled(nav), "--NL");
  EXPECT_EQ(click(nbLast), ".Z FP--");
  EXPECT_EQ(click(nbPrior), ".Y FPNL");
  EXPECT_EQ(click(nbPrior), ".X FPNL");
  // One more click moves nothing and finds the beginning.
  EXPECT_EQ(click(nbPrior), ".X --NL");
  EXPECT_EQ(w.TakeAfterScrolls(), 4);
  EXPECT_EQ(click(nbNext), ".Y FPNL");
  EXPECT_EQ(click(nbFirst), ".X --NL");
  // The focus stays in the search box.
  EXPECT_EQ(QApplication::focusWidget(), w->edtKeres);

  // Releasing off the button cancels the click.
  QToolButton* next = nav.Button(nbNext);
  QTest::mousePress(next, Qt::LeftButton);
  QTest::mouseMove(next, QPoint(next->width() + 30, 5));
  QTest::mouseRelease(next, Qt::LeftButton, {}, QPoint(next->width() + 30, 5));
  EXPECT_EQ(w.Current(), ".X");

  w->Dictionary().tblAdat.Close();
  EXPECT_EQ(Enabled(nav), "----");
  // Right after opening, a single record still leaves Next and Last on.
  DictionaryWindow one({".X"});
  EXPECT_EQ(Enabled(*one->DBNavigator1), "--NL");
  DictionaryWindow empty({});
  EXPECT_EQ(Enabled(*empty->DBNavigator1), "----");

  for (int b = nbFirst; b <= nbLast; ++b) {
    const QIcon icon = nav.Button(static_cast<TNavigateBtn>(b))->icon();
    EXPECT_NE(icon.pixmap(10, 10, QIcon::Normal).toImage(),
              icon.pixmap(10, 10, QIcon::Disabled).toImage());
  }
}

// The button's repeat timer with the interval `ms`, or 0. The test fires
// it itself, so no repeat ever depends on the machine's pace.
int RepeatTimer(QObject* button, int ms) {
  for (const QAbstractEventDispatcher::TimerInfo& t :
       QAbstractEventDispatcher::instance()->registeredTimers(button))
    if (t.interval == ms) return t.timerId;
  return 0;
}

void Fire(QObject* button, int timerId) {
  QTimerEvent tick(timerId);
  QCoreApplication::sendEvent(button, &tick);
}

TEST(NavigatorTest, HeldNextRepeatsAfter400ThenEvery100Milliseconds) {
  DictionaryWindow w(DictionaryWindow::Numbered(30));
  ASSERT_TRUE(w.Show());
  QToolButton* next = w->DBNavigator1->Button(nbNext);
  // A short press moves once, on release.
  QTest::mousePress(next, Qt::LeftButton);
  EXPECT_EQ(w->Dictionary().tblAdat.RecNo(), 1);
  QTest::mouseRelease(next, Qt::LeftButton);
  EXPECT_EQ(w->Dictionary().tblAdat.RecNo(), 2);
  EXPECT_EQ(RepeatTimer(next, 400), 0);

  // Held: the first repeat comes from a 400 ms timer, which then runs
  // every 100 ms; each tick moves once, and the release once more.
  QTest::mousePress(next, Qt::LeftButton);
  const int first = RepeatTimer(next, 400);
  ASSERT_NE(first, 0);
  EXPECT_EQ(RepeatTimer(next, 100), 0);
  Fire(next, first);
  EXPECT_EQ(w->Dictionary().tblAdat.RecNo(), 3);
  const int then = RepeatTimer(next, 100);
  ASSERT_NE(then, 0);
  EXPECT_EQ(RepeatTimer(next, 400), 0);
  Fire(next, then);
  Fire(next, then);
  EXPECT_EQ(w->Dictionary().tblAdat.RecNo(), 5);
  QTest::mouseRelease(next, Qt::LeftButton);
  EXPECT_EQ(w->Dictionary().tblAdat.RecNo(), 6);
  EXPECT_EQ(RepeatTimer(next, 100), 0);
}

}  // namespace
}  // namespace dorvem
