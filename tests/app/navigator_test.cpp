// The record navigator: its buttons' looks, their enabling at the ends of
// the list, acting on release, auto-repeat, and never taking the focus.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QToolButton>

#include "tests/app/dictionary_window.h"
#include "views/db_navigator.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;

struct Enabling {
  bool first, prior, next, last;
  bool operator==(const Enabling&) const = default;
};

Enabling ButtonsOf(const TDBNavigator& nav) {
  return {nav.Button(nbFirst)->isEnabled(), nav.Button(nbPrior)->isEnabled(),
          nav.Button(nbNext)->isEnabled(), nav.Button(nbLast)->isEnabled()};
}

void Click(const TDBNavigator& nav, TNavigateBtn b) {
  QTest::mouseClick(nav.Button(b), Qt::LeftButton);
}

TEST(NavigatorTest, ButtonsHaveGlyphsWithDisabledImagesAndNeverTakeTheFocus) {
  DictionaryWindow w({".X"});
  ASSERT_TRUE(w.Show());
  TDBNavigator& nav = *w->DBNavigator1;
  for (int i = nbFirst; i <= nbLast; ++i) {
    const QIcon icon = nav.Button(static_cast<TNavigateBtn>(i))->icon();
    const QImage normal = icon.pixmap(10, 10, QIcon::Normal).toImage();
    const QImage disabled = icon.pixmap(10, 10, QIcon::Disabled).toImage();
    EXPECT_FALSE(normal.isNull());
    EXPECT_NE(normal, disabled) << i;
  }
  EXPECT_FALSE(nav.Button(nbPrior)->autoRaise());
  ASSERT_EQ(QApplication::focusWidget(), w->edtKeres);
  Click(nav, nbNext);
  EXPECT_EQ(QApplication::focusWidget(), w->edtKeres);
}

TEST(NavigatorTest, EnablingFollowsTheEndFlags) {
  // Right after opening even a single record leaves Next and Last enabled.
  DictionaryWindow one({".X"});
  EXPECT_EQ(ButtonsOf(*one->DBNavigator1), (Enabling{false, false, true, true}));
  // A step forwards that finds nothing leaves the beginning and meets the end.
  Click(*one->DBNavigator1, nbNext);
  EXPECT_EQ(ButtonsOf(*one->DBNavigator1), (Enabling{true, true, false, false}));
  one->tblAdat.Close();
  EXPECT_EQ(ButtonsOf(*one->DBNavigator1), (Enabling{false, false, false, false}));

  DictionaryWindow empty({});
  EXPECT_EQ(ButtonsOf(*empty->DBNavigator1), (Enabling{false, false, false, false}));
}

TEST(NavigatorTest, EachClickIsOneMoveAndTheEndsNeedOneMore) {
  DictionaryWindow w({".X", ".Y", ".Z"});
  ASSERT_TRUE(w.Show());
  TDBNavigator& nav = *w->DBNavigator1;
  w.TakeAfterScrolls();
  Click(nav, nbLast);
  EXPECT_EQ(w.Current(), ".Z");
  EXPECT_EQ(ButtonsOf(nav), (Enabling{true, true, false, false}));
  Click(nav, nbPrior);
  Click(nav, nbPrior);
  EXPECT_EQ(w.Current(), ".X");
  // On the first record, not yet known as the beginning.
  EXPECT_EQ(ButtonsOf(nav), (Enabling{true, true, true, true}));
  Click(nav, nbPrior);
  EXPECT_EQ(w.Current(), ".X");
  EXPECT_EQ(ButtonsOf(nav), (Enabling{false, false, true, true}));
  EXPECT_EQ(w.TakeAfterScrolls(), 4);
  Click(nav, nbNext);
  Click(nav, nbFirst);
  EXPECT_EQ(w.Current(), ".X");
  EXPECT_EQ(w.TakeAfterScrolls(), 2);
}

TEST(NavigatorTest, MovingOffTheButtonBeforeReleaseCancels) {
  DictionaryWindow w({".X", ".Y"});
  ASSERT_TRUE(w.Show());
  QToolButton* next = w->DBNavigator1->Button(nbNext);
  QTest::mousePress(next, Qt::LeftButton);
  QTest::mouseMove(next, QPoint(next->width() + 30, 5));
  QTest::mouseRelease(next, Qt::LeftButton, {}, QPoint(next->width() + 30, 5));
  EXPECT_EQ(w.Current(), ".X");
}

TEST(NavigatorTest, HeldNextRepeatsAfter400ThenEvery100Milliseconds) {
  DictionaryWindow w(DictionaryWindow::Numbered(30));
  ASSERT_TRUE(w.Show());
  QToolButton* next = w->DBNavigator1->Button(nbNext);

  // A short press moves once, on release.
  QTest::mousePress(next, Qt::LeftButton);
  QTest::qWait(150);
  EXPECT_EQ(w->tblAdat.RecNo(), 1);
  QTest::mouseRelease(next, Qt::LeftButton);
  EXPECT_EQ(w->tblAdat.RecNo(), 2);

  // Held: nothing before 400 ms, then one move per 100 ms, and the release.
  QElapsedTimer held;
  QTest::mousePress(next, Qt::LeftButton);
  held.start();
  QTest::qWait(330);
  const bool early = held.elapsed() < 390;
  if (early) {
    EXPECT_EQ(w->tblAdat.RecNo(), 2);
  }
  QTest::qWait(370);
  const qint64 ms = held.elapsed();
  const int repeats = w->tblAdat.RecNo() - 2;
  QTest::mouseRelease(next, Qt::LeftButton);
  // At 700 ms: at 400, 500, 600 and perhaps 700; a slow machine may lag.
  EXPECT_GE(repeats, 2);
  EXPECT_LE(repeats, 1 + (ms - 400) / 100);
  EXPECT_EQ(w->tblAdat.RecNo(), 2 + repeats + 1);
}

}  // namespace
}  // namespace dorvem
