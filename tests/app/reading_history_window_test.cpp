// The window's reading history on a clock the test moves: Alt+Left and
// Alt+Right, and the mouse's back and forward buttons, restore the search
// box's text and the entry; playing the entry or clicking its text makes it
// read at once.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include "tests/app/dictionary_window.h"
#include "views/db_grid.h"
#include "views/db_rich_edit.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;

class ReadingHistoryWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(w_.Show());
    // A slow clock: every reading of it finds two seconds gone, as if each
    // move took that long on a big dictionary.
    w_->SetHistoryClock([this] {
      if (slowClock_) now_ += 2000;
      return now_;
    });
  }

  // Replaces the search box's text by `text`, typed key by key.
  void TypeAnew(const char* text) {
    QTest::keyClick(w_->edtKeres, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w_->edtKeres, text);
  }
  void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers shift = Qt::AltModifier) {
    QTest::keyClick(target, key, shift);
  }
  // The search box's text and the current headword.
  std::string Shown() { return w_->edtKeres->text().toStdString() + " / " + w_.Current(); }

  std::int64_t now_ = 0;
  bool slowClock_ = false;
  DictionaryWindow w_{
      std::vector<std::string>{".ELOSZO", "A", "AB", "ABC", "KANON", "KOTOIV", "STACCATO"}};
};

TEST_F(ReadingHistoryWindowTest, KeysAndMouseButtonsGoBackAndForward) {
  TypeAnew("a");
  Key(w_->edtKeres, Qt::Key_Down, Qt::NoModifier);
  Key(w_->edtKeres, Qt::Key_Down, Qt::NoModifier);
  now_ += 1000;  // ABC read, third of the list of "A"
  TypeAnew("ka");
  now_ += 1500;  // KANON read
  TypeAnew("s");
  now_ += 300;  // STACCATO only glanced at
  ASSERT_EQ(Shown(), "S / STACCATO");

  Key(w_->edtKeres, Qt::Key_Left);
  EXPECT_EQ(Shown(), "KA / KANON");
  Key(w_->grdAdat, Qt::Key_Left);
  EXPECT_EQ(Shown(), "A / ABC");
  EXPECT_EQ(w_->grdAdat->RowTexts(), QStringList({"A", "AB", "ABC"}));
  now_ += 5000;  // staying on a restored entry adds nothing
  Key(w_->grdAdat, Qt::Key_Left);
  EXPECT_EQ(Shown(), "A / ABC");
  // The entries a restore passes on its way are not read, however slow.
  slowClock_ = true;
  Key(w_->grdAdat, Qt::Key_Right);
  EXPECT_EQ(Shown(), "KA / KANON");
  Key(w_->edtKeres, Qt::Key_Right);
  EXPECT_EQ(Shown(), "KA / KANON");

  // The back button over the grid's first row goes back; the grid does not
  // take the press as a click on the row.
  QTest::mouseClick(w_->grdAdat, Qt::BackButton, {}, w_->grdAdat->CellRect(0).center());
  EXPECT_EQ(Shown(), "A / ABC");
  QTest::mouseClick(w_->edtSzoveg->viewport(), Qt::ForwardButton);
  EXPECT_EQ(Shown(), "KA / KANON");
}

TEST_F(ReadingHistoryWindowTest, ClickingTheTextOrPlayingMakesTheEntryRead) {
  TypeAnew("a");
  QTest::mouseClick(w_->edtSzoveg->viewport(), Qt::LeftButton);
  TypeAnew("ko");
  ASSERT_TRUE(w_->spbLejatszo->isEnabled());
  Key(w_->grdAdat, Qt::Key_F3, Qt::NoModifier);
  TypeAnew("ab");  // AB only glanced at
  ASSERT_EQ(Shown(), "AB / AB");

  Key(w_->edtKeres, Qt::Key_Left);
  EXPECT_EQ(Shown(), "KO / KOTOIV");
  Key(w_->edtKeres, Qt::Key_Left);
  EXPECT_EQ(Shown(), "A / A");
  Key(w_->edtKeres, Qt::Key_Left);
  EXPECT_EQ(Shown(), "A / A");
}

}  // namespace
}  // namespace dorvem
