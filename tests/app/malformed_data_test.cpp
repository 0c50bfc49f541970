// Bad data in the window, one class at a time: a packet cut short, a packet
// whose counts lie, a column of the wrong type, a missing column, a memo
// that is no text and a picture that is no bitmap. Each is reported once,
// in its exact words, where the window meets it, and the window stays
// usable: typing and moving do what they do with the data that is left.
#include <gtest/gtest.h>

#include <QTextDocument>
#include <QToolButton>

#include "dataset/core/byte_layout.h"
#include "dataset/packet/packet_format.h"
#include "tests/app/dictionary_window.h"
#include "tests/app/report_recorder.h"
#include "views/db_grid.h"
#include "views/db_image.h"
#include "views/db_navigator.h"
#include "views/db_rich_edit.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;

std::vector<DictRow> GoodRows() {
  return {{"a.mp3", ".A", "egy", std::nullopt, 1},
          {"b.mp3", ".B", "kett\xF5", std::nullopt, 2},
          {"c.mp3", ".C", "h\xE1rom", std::nullopt, 3},
          {std::nullopt, "ALMA", "n\xE9gy", std::nullopt, 4}};
}

std::vector<std::uint8_t> Truncated() {
  std::vector<std::uint8_t> bytes = Encode(DictionaryModel(GoodRows()));
  bytes.resize(bytes.size() - 7);  // inside the last row
  return bytes;
}

std::vector<std::uint8_t> LyingRowCount() {
  std::vector<std::uint8_t> bytes = Encode(DictionaryModel(GoodRows()));
  StoreU32(bytes.data() + 14, 5);  // one row more than there is
  return bytes;
}

std::vector<std::uint8_t> HeadwordAsInteger() {
  PacketModel m = DictionaryModel(GoodRows());
  m.columns[1].desc.typeWord = packet::MakeTypeWord(packet::kTcInt, 4);
  m.columns[1].params.clear();
  for (PacketRow& row : m.rows) row.values[1].bytes = {7, 0, 0, 0};
  return Encode(m);
}

std::vector<std::uint8_t> WithoutPictures() {
  PacketModel m = DictionaryModel(GoodRows());
  m.columns.erase(m.columns.begin() + 3);
  for (PacketRow& row : m.rows) row.values.erase(row.values.begin() + 3);
  return Encode(m);
}

// A packet the dataset refuses: one report at start-up, then a usable
// window on a closed dataset, which each new search text tries to open
// again (and reports again), and which refuses moves with its own text.
TEST(MalformedDataTest, RefusedPacketsAreReportedAndLeaveAUsableWindow) {
  const struct {
    const char* what;
    std::vector<std::uint8_t> packet;
    QString report;
  } cases[] = {
      {"truncated", Truncated(), "Mismatch in datapacket."},
      {"lying row count", LyingRowCount(), "Mismatch in datapacket."},
      {"wrong type", HeadwordAsInteger(),
       "tblAdat: Type mismatch for field 'KSZOVEG', expecting: String actual: Integer."},
      {"missing field", WithoutPictures(), "tblAdat: Field 'GRAPHIC' not found."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ProgramFolderFixture folder;
    folder.WriteDataFile(c.packet);
    ReportRecorder recorder;
    TfrmMain w(folder.Options());
    EXPECT_EQ(recorder.Texts(), QStringList{c.report});
    EXPECT_FALSE(w.Dictionary().tblAdat.Active());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    recorder.reports.clear();

    QTest::keyClicks(w.edtKeres, "a");
    EXPECT_EQ(w.edtKeres->text(), "A");
    EXPECT_EQ(recorder.Texts(), QStringList{c.report});
    QTest::keyClick(w.edtKeres, Qt::Key_Down);
    EXPECT_EQ(
        recorder.Texts(),
        (QStringList{c.report, "tblAdat: Cannot perform this operation on a closed dataset."}));
    QTest::keyClick(w.edtKeres, Qt::Key_Backspace);
    EXPECT_EQ(w.edtKeres->text(), "");
    EXPECT_EQ(recorder.reports.size(), 2u);
    EXPECT_EQ(QApplication::focusWidget(), w.edtKeres);
    EXPECT_EQ(w.grdAdat->RowCount(), 1);
    EXPECT_EQ(w.grdAdat->RowText(0), "");
    EXPECT_FALSE(w.DBNavigator1->Button(nbNext)->isEnabled());
    EXPECT_FALSE(w.spbLejatszo->isEnabled());
    EXPECT_FALSE(w.spbKep->isEnabled());
  }
}

std::string Shown(const TDBRichEdit& edit) {
  return edit.WholeDocument()->toPlainText().toStdString();
}

// A memo with a zero byte that is not rich text: the view shows the failure
// text, nothing is reported, and the next entry shows as usual.
TEST(MalformedDataTest, AnUnreadableMemoShowsTheFailureTextWithoutAReport) {
  std::vector<DictRow> rows = GoodRows();
  rows[1].szovmagy = std::string("bin\0ary", 7);
  DictionaryWindow w(rows);
  ReportRecorder recorder;
  ASSERT_TRUE(w.Show());
  EXPECT_EQ(Shown(*w->edtSzoveg), "egy");
  QTest::keyClick(w->edtKeres, Qt::Key_Down);
  EXPECT_EQ(w.Current(), ".B");
  EXPECT_EQ(Shown(*w->edtSzoveg), "(Failed to Load Stream)");
  QTest::keyClick(w->edtKeres, Qt::Key_Down);
  EXPECT_EQ(w.Current(), ".C");
  EXPECT_EQ(Shown(*w->edtSzoveg), "három");
  QTest::keyClicks(w->edtKeres, "al");
  EXPECT_EQ(w.Current(), "ALMA");
  EXPECT_EQ(Shown(*w->edtSzoveg), "négy");
  EXPECT_TRUE(recorder.reports.empty());
}

// A picture that is no bitmap: the move onto it is reported once and skips
// the entry refresh; the picture view is left empty; moving on and typing
// work as before, and the entry after it refreshes again.
TEST(MalformedDataTest, AnInvalidPictureIsReportedOnceAndMovingGoesOn) {
  std::vector<DictRow> rows = GoodRows();
  // A GIF of 1 x 1 pixels: long enough for a file header, but no "BM".
  rows[1].graphic = std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00;", 20);
  rows[2].graphic = std::string("BM\x01", 3);  // shorter than a file header
  DictionaryWindow w(rows);
  ReportRecorder recorder;
  ASSERT_TRUE(w.Show());
  w.TakeAfterScrolls();

  QTest::keyClick(w->edtKeres, Qt::Key_Down);
  EXPECT_EQ(w.Current(), ".B");
  EXPECT_EQ(recorder.Texts(), QStringList{"Bitmap image is not valid."});
  EXPECT_EQ(w.TakeAfterScrolls(), 0);
  EXPECT_TRUE(w->dbiKep->Picture().isNull());

  QTest::keyClick(w->edtKeres, Qt::Key_Down);
  EXPECT_EQ(w.Current(), ".C");
  EXPECT_EQ(recorder.Texts(), (QStringList{"Bitmap image is not valid.", "Stream read error."}));

  QTest::keyClicks(w->edtKeres, "al");
  EXPECT_EQ(w.Current(), "ALMA");
  EXPECT_EQ(recorder.reports.size(), 2u);
  // The entry without a picture refreshes: its picture view is hidden.
  EXPECT_GT(w.TakeAfterScrolls(), 0);
  EXPECT_FALSE(w->dbiKep->isVisible());
  EXPECT_EQ(w->edtKeres->text(), "AL");
}

// The first entry of the list has a picture that is no bitmap. Each new
// search text first goes back to that entry (the first of the list it
// leaves), which fails; the new list must still be taken, or typing would
// keep the window on that list for good. One report a keystroke at most.
TEST(MalformedDataTest, AnInvalidPictureFirstInTheListDoesNotStopTheSearch) {
  std::vector<DictRow> rows = GoodRows();
  rows[0].graphic = std::string("BM\x01", 3);
  ReportRecorder recorder;
  DictionaryWindow w(rows);
  ASSERT_TRUE(w.Show());
  EXPECT_EQ(recorder.Texts(), QStringList{"Stream read error."});  // opening on it
  recorder.reports.clear();

  QTest::keyClick(w->edtKeres, Qt::Key_A);
  EXPECT_EQ(w.Current(), "ALMA");
  EXPECT_EQ(recorder.Texts(), QStringList{"Stream read error."});
  EXPECT_EQ(Shown(*w->edtSzoveg), "négy");

  QTest::keyClick(w->edtKeres, Qt::Key_L);
  EXPECT_EQ(w.Current(), "ALMA");
  EXPECT_EQ(recorder.reports.size(), 1u);

  // Back to the list of "." entries and down from its broken first entry.
  QTest::keyClick(w->edtKeres, Qt::Key_Backspace);
  QTest::keyClick(w->edtKeres, Qt::Key_Backspace);
  EXPECT_EQ(w->edtKeres->text(), "");
  EXPECT_EQ(w.Current(), ".A");
  QTest::keyClick(w->edtKeres, Qt::Key_Down);
  EXPECT_EQ(w.Current(), ".B");
  // The same search text as before the failed move: its list again.
  QTest::keyClick(w->edtKeres, Qt::Key_A);
  EXPECT_EQ(w.Current(), "ALMA");
}

}  // namespace
}  // namespace dorvem
