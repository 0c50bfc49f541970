// The window's reading history on a clock the test moves: Alt+Left and
// Alt+Right, and the mouse's back and forward buttons, restore the search
// box's text and the entry.
#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>

#include "tests/app/dictionary_window.h"
#include "views/db_grid.h"
#include "views/db_rich_edit.h"

namespace dorvem {
namespace {

TEST(ReadingHistoryWindowTest, KeysAndMouseButtonsGoBackAndForward) {
  testing::DictionaryWindow w(
      std::vector<std::string>{".ELOSZO", "A", "AB", "ABC", "KANON", "KOTOIV", "STACCATO"});
  ASSERT_TRUE(w.Show());
  std::int64_t now = 0;
  bool slow = false;  // every reading of the clock finds two seconds gone
  w->SetHistoryClock([&] { return now += slow ? 2000 : 0; });
  const auto typeAnew = [&](const char* text) {
    QTest::keyClick(w->edtKeres, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w->edtKeres, text);
  };
  const auto shown = [&] { return w->edtKeres->text().toStdString() + " / " + w.Current(); };
  const auto key = [&](QWidget* target, Qt::Key k, Qt::KeyboardModifiers shift = Qt::AltModifier) {
    QTest::keyClick(target, k, shift);
    return shown();
  };

  typeAnew("a");
  key(w->edtKeres, Qt::Key_Down, {});
  key(w->edtKeres, Qt::Key_Down, {});
  now += 1000;  // ABC read, third of the list of "A"
  typeAnew("ka");
  QTest::mouseClick(w->edtSzoveg->viewport(), Qt::LeftButton);  // KANON read at once
  typeAnew("ko");
  ASSERT_TRUE(w->spbLejatszo->isEnabled());
  key(w->grdAdat, Qt::Key_F3, {});  // KOTOIV played: read
  typeAnew("s");
  now += 1200;  // STACCATO read; the search for "AB" first moves to it again
  typeAnew("ab");
  now += 300;  // AB only glanced at

  EXPECT_EQ(key(w->edtKeres, Qt::Key_Left), "S / STACCATO");
  EXPECT_EQ(key(w->edtKeres, Qt::Key_Left), "KO / KOTOIV");
  EXPECT_EQ(key(w->edtKeres, Qt::Key_Left), "KA / KANON");
  EXPECT_EQ(key(w->grdAdat, Qt::Key_Left), "A / ABC");
  EXPECT_EQ(w->grdAdat->RowTexts(), QStringList({"A", "AB", "ABC"}));
  now += 5000;  // staying on a restored entry adds nothing
  EXPECT_EQ(key(w->grdAdat, Qt::Key_Left), "A / ABC");
  // The entries a restore passes on its way are not read, however slow.
  slow = true;
  EXPECT_EQ(key(w->grdAdat, Qt::Key_Right), "KA / KANON");
  EXPECT_EQ(key(w->edtKeres, Qt::Key_Right), "KO / KOTOIV");
  EXPECT_EQ(key(w->edtKeres, Qt::Key_Right), "S / STACCATO");
  EXPECT_EQ(key(w->edtKeres, Qt::Key_Right), "S / STACCATO");
  EXPECT_EQ(key(w->edtKeres, Qt::Key_Left), "KO / KOTOIV");

  // The back button over the grid's first row, A, goes back to ABC; the
  // grid does not take the press as a click on the row.
  EXPECT_EQ(key(w->edtKeres, Qt::Key_Left), "KA / KANON");
  QTest::mouseClick(w->grdAdat, Qt::BackButton, {}, w->grdAdat->CellRect(0).center());
  EXPECT_EQ(shown(), "A / ABC");
  QTest::mouseClick(w->edtSzoveg->viewport(), Qt::ForwardButton);
  EXPECT_EQ(shown(), "KA / KANON");
}

}  // namespace
}  // namespace dorvem
