// The search box: typing narrows the headword list on every keystroke, and
// Up and Down move through it from the box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBackingStore>
#include <QImage>
#include <QToolButton>

#include "dataset/host/db_errors.h"
#include "tests/app/dictionary_window.h"
#include "tests/app/report_recorder.h"
#include "views/db_grid.h"
#include "views/db_navigator.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;
using testing::DictRow;
using testing::ReportRecorder;

// "\xD5" is O with double acute in windows-1250.
const std::vector<std::string> kHeadwords = {
    "*", ".BEVEZETO", ".ELOSZO",    "A",   "AB",     "ABC",   "ABLAK", "AC",
    "B", "D'AMORE",   "D'AMORE II", "DAL", "DAMORE", "\xD5R", "\xD5RZ"};
const QStringList kA = {"A", "AB", "ABC", "ABLAK", "AC"};

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(w_.Show()); }

  // Types `text` into the search box, one key at a time, and returns the
  // grid's rows.
  QStringList Type(const QString& text) {
    for (const QChar c : text) {
      if (c.unicode() < 128)
        QTest::keyClick(w_->edtKeres, c.toLatin1());
      else
        QTest::sendKeyEvent(QTest::Click, w_->edtKeres, Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
    }
    return w_->grdAdat->RowTexts();
  }
  QStringList Erase() {
    QTest::keyClick(w_->edtKeres, Qt::Key_Backspace);
    return w_->grdAdat->RowTexts();
  }
  std::string Filter() { return w_->Dictionary().tblAdat.Filter(); }

  DictionaryWindow w_{kHeadwords};
};

TEST_F(SearchTest, EveryKeystrokeNarrowsTheListAndRefreshesTwice) {
  EXPECT_EQ(w_->grdAdat->RowTexts(), QStringList({".BEVEZETO", ".ELOSZO"}));
  EXPECT_EQ(Type("a"), kA);
  EXPECT_EQ(Filter(), "KSZOVEG='A*'");
  EXPECT_EQ(w_.Current(), "A");
  EXPECT_EQ(w_.TakeAfterScrolls(), 2);
  EXPECT_EQ(Type("B"), QStringList({"AB", "ABC", "ABLAK"}));
  EXPECT_EQ(Type("l"), QStringList({"ABLAK"}));
  EXPECT_EQ(Erase(), QStringList({"AB", "ABC", "ABLAK"}));
  EXPECT_EQ(w_.TakeAfterScrolls(), 3 * 2);
  Erase();
  // The empty box: the start-up filter, one refresh.
  EXPECT_EQ(Erase(), QStringList({".BEVEZETO", ".ELOSZO"}));
  EXPECT_EQ(Filter(), "KSZOVEG='.*'");
  EXPECT_EQ(w_.TakeAfterScrolls(), 2 + 1);
}

TEST_F(SearchTest, BlanksAccentsAndCharactersOutsideTheCodePage) {
  EXPECT_EQ(Type("  ab "), QStringList({"AB", "ABC", "ABLAK"}));
  EXPECT_EQ(w_->edtKeres->text(), "  AB ");
  EXPECT_EQ(Filter(), "KSZOVEG='AB*'");
  // Blanks only: an empty key, and the lone * is an ordinary character.
  w_->edtKeres->clear();
  EXPECT_EQ(Type("   "), QStringList({"*"}));
  EXPECT_EQ(Filter(), "KSZOVEG='*'");
  // Upper-cased by the box, converted to windows-1250.
  w_->edtKeres->clear();
  EXPECT_EQ(Type(QStringLiteral(u"ő")),
            QStringList({QStringLiteral(u"ŐR"), QStringLiteral(u"ŐRZ")}));
  EXPECT_EQ(Filter(), "KSZOVEG='\xD5*'");
  // A character that windows-1250 lacks becomes "?": nothing passes, the
  // grid shows its blank row and the navigator is all disabled.
  w_->edtKeres->clear();
  EXPECT_EQ(Type(QStringLiteral(u"Ж")), QStringList());
  EXPECT_EQ(Filter(), "KSZOVEG='?*'");
  EXPECT_EQ(w_->grdAdat->RowCount(), 1);
  EXPECT_FALSE(w_->DBNavigator1->Button(nbNext)->isEnabled());
}

TEST_F(SearchTest, AnApostropheBeforeAWordStaysInTheKey) {
  EXPECT_EQ(Type("d'amore"), QStringList({"D'AMORE", "D'AMORE II"}));
  EXPECT_EQ(Filter(), "KSZOVEG='D'AMORE*'");
}

TEST_F(SearchTest, RejectedFilterIsReportedOnceAndTheTextStays) {
  // A number after the apostrophe ends the string constant 'A'; a digit
  // right after a literal scans as a minus sign, which then finds the * where
  // an operand must be.
  const QStringList rows = Type("a'");
  ReportRecorder recorder;
  // The stored filter and the shown rows stay those of the last good text.
  EXPECT_EQ(Type("1"), rows);
  EXPECT_EQ(recorder.Texts(), QStringList{"Expression expected but '*' found."});
  EXPECT_EQ(w_->edtKeres->text(), "A'1");
  EXPECT_EQ(Filter(), "KSZOVEG='A'*'");
  // The engine dropped the old filter before the new one failed: back at
  // the stored text nothing is attached again, and every record shows.
  EXPECT_EQ(Erase().value(0), ".BEVEZETO");
  EXPECT_EQ(Erase(), kA);
  EXPECT_EQ(recorder.reports.size(), 1u);
}

TEST_F(SearchTest, UpAndDownInTheBoxMoveThroughTheList) {
  Type("a");
  w_.TakeAfterScrolls();
  auto press = [&](Qt::Key key) {
    QTest::keyClick(w_->edtKeres, key);
    return w_.Current();
  };
  // Positioned on the first record: Up does nothing at all.
  EXPECT_EQ(press(Qt::Key_Up), "A");
  EXPECT_EQ(w_.TakeAfterScrolls(), 0);
  for (const char* word : {"AB", "ABC", "ABLAK", "AC"}) EXPECT_EQ(press(Qt::Key_Down), word);
  // At the last record: one refresh for the first press, then none.
  EXPECT_EQ(press(Qt::Key_Down), "AC");
  EXPECT_EQ(w_.TakeAfterScrolls(), 4 + 1);
  EXPECT_EQ(press(Qt::Key_Down), "AC");
  EXPECT_EQ(w_.TakeAfterScrolls(), 0);
  EXPECT_EQ(press(Qt::Key_Up), "ABLAK");
  EXPECT_EQ(QApplication::focusWidget(), w_->edtKeres);
  EXPECT_EQ(w_->edtKeres->text(), "A");
}

// Without a data file every non-empty change tries to open again, and the
// moves of the box are refused.
TEST(SearchClosedTest, EachChangeTriesToOpenAgain) {
  testing::ProgramFolderFixture folder;
  ReportRecorder recorder;
  TfrmMain w(folder.Options());
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  recorder.reports.clear();
  const QString missing = "tblAdat: Missing data provider or data packet.";
  QTest::keyClicks(w.edtKeres, "ab");
  QTest::keyClick(w.edtKeres, Qt::Key_Down);
  QTest::keyClick(w.edtKeres, Qt::Key_Up);
  QTest::keyClick(w.edtKeres, Qt::Key_Backspace);
  const QString closed = "tblAdat: Cannot perform this operation on a closed dataset.";
  EXPECT_EQ(recorder.Texts(), QStringList({missing, missing, closed, closed, missing}));
  // Emptying the box only stores the start-up filter.
  QTest::keyClick(w.edtKeres, Qt::Key_Backspace);
  EXPECT_EQ(recorder.reports.size(), 5u);
  EXPECT_EQ(w.Dictionary().tblAdat.Filter(), "KSZOVEG='.*'");

  // Once the file is there, the next change opens it with the new filter.
  folder.WriteDataFile(testing::ProgramFolderFixture::Dictionary(kHeadwords));
  QTest::keyClicks(w.edtKeres, "d");
  EXPECT_EQ(recorder.reports.size(), 5u);
  EXPECT_EQ(w.grdAdat->RowTexts(), QStringList({"D'AMORE", "D'AMORE II", "DAL", "DAMORE"}));
}

// The window as it stands in its backing store (what reaches the screen).
QImage Screen(QWidget& window) {
  QPaintDevice* device = window.backingStore()->paintDevice();
  if (device == nullptr || device->devType() != QInternal::Image) return {};
  return static_cast<QImage*>(device)->copy();
}

// Each keystroke repaints only what changed, and the explanation view keeps
// its document when the memo shown stays the same: what is on the screen
// after each key must be exactly what painting the whole window shows.
TEST(SearchScreenTest, AfterEachKeyTheScreenIsWhatAFullRepaintShows) {
  std::string tall = "{\\rtf1 ";
  for (int i = 0; i < 60; ++i) tall += "line " + std::to_string(i) + "\\par ";
  tall += "}";
  DictionaryWindow w(std::vector<DictRow>{
      {".BEVEZETO.mp3", ".BEVEZETO", "{\\rtf1 intro}", {}, 1},
      {"A.mp3", "A", "{\\rtf1 same}", {}, 2},
      {"AB.mp3", "AB", tall, {}, 3},
      {"ABC.mp3", "ABC", "{\\rtf1 same}", {}, 4},
      {"AC.mp3", "AC", "{\\rtf1 same}", {}, 5},
      {"B.mp3", "B", "{\\rtf1 other}", {}, 6},
  });
  ASSERT_TRUE(w.Show());
  // No blinking cursor: the screen changes only through the keys.
  const int flashTime = QApplication::cursorFlashTime();
  QApplication::setCursorFlashTime(0);
  for (const char* key : {"a", "b", "c", "\b", "\b", "c", "\b", "\b", "b", "x", "\b", "\b"}) {
    SCOPED_TRACE(key);
    if (*key == '\b')
      QTest::keyClick(w->edtKeres, Qt::Key_Backspace);
    else
      QTest::keyClick(w->edtKeres, *key);
    QCoreApplication::processEvents();
    const QImage shown = Screen(*w.window);
    ASSERT_FALSE(shown.isNull());
    w->repaint();
    const QImage full = Screen(*w.window);
    ASSERT_EQ(full.size(), shown.size());
    int differing = 0;
    for (int y = 0; y < full.height(); ++y)
      for (int x = 0; x < full.width(); ++x) differing += full.pixel(x, y) != shown.pixel(x, y);
    EXPECT_EQ(differing, 0);
  }
  EXPECT_EQ(w.Current(), ".BEVEZETO");
  QApplication::setCursorFlashTime(flashTime);
}

}  // namespace
}  // namespace dorvem
