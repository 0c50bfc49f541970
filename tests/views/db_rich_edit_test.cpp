// The explanation view on an open dataset: the memo it shows for each
// record, when it reloads, and what the user can and cannot do with it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "tests/views/document_description.h"
#include "tests/views/memo_view.h"
#include "views/db_rich_edit.h"

namespace dorvem {
namespace {

using testing::MemoView;
using testing::Text;

TEST(DBRichEditTest, ShowsEachRecordsMemoAsItsPathReadsIt) {
  struct Entry {
    std::optional<std::string> memo;
    std::string shown;
    TMemoOutcome outcome;
  };
  const std::vector<Entry> entries = {
      {"{\\rtf1\\ansi\\ansicpg1250{\\b F\\'f5}\\par m\\'e1sodik}", "Fő\nmásodik",
       TMemoOutcome::kRichText},
      {"egy\nkett\xF5\nh\xE1rom", "egy\nkettő\nhárom", TMemoOutcome::kPlainText},
      {"egy\rkett\xF5", "egy\nkettő", TMemoOutcome::kPlainText},
      {"egy\r\nkett\xF5\r\n", "egy\nkettő\n", TMemoOutcome::kPlainText},
      {"\xF5\xFB\xD5\xDB", "őűŐŰ", TMemoOutcome::kPlainText},
      {"", "", TMemoOutcome::kPlainText},
      {std::nullopt, "", TMemoOutcome::kPlainText},
      {std::string("bin\0ary", 7), "(Failed to Load Stream)", TMemoOutcome::kFailed},
  };
  std::vector<std::optional<std::string>> memos;
  for (const Entry& e : entries) memos.push_back(e.memo);
  MemoView v(memos);
  v.ds.Open();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE("record " + std::to_string(i + 1));
    if (i > 0) v.ds.GoNext();
    EXPECT_TRUE(v.edit.MemoLoaded());
    EXPECT_EQ(v.Shown(), entries[i].shown);
    EXPECT_EQ(v.edit.LastOutcome(), entries[i].outcome);
  }
  v.ds.GoFirst();
  EXPECT_EQ(v.Shown(), entries[0].shown);
  // Rich text keeps its formatting; the failure text is plain.
  EXPECT_EQ(testing::Runs(*v.edit.WholeDocument()), (std::vector<std::string>{"Fő{b}", "második"}));
}

TEST(DBRichEditTest, ReloadsOnEveryNoticeAndEmptiesWhenClosed) {
  MemoView v({"one", "two"});
  EXPECT_EQ(v.Shown(), "");
  EXPECT_FALSE(v.edit.MemoLoaded());
  v.ds.Open();
  EXPECT_EQ(v.Shown(), "one");

  // The first step past the last record (the end not yet known) stays on
  // it with a scroll of distance 0, and GoFirst on the first record; both
  // still reload.
  v.ds.GoNext();
  EXPECT_EQ(v.Shown(), "two");
  v.edit.document()->setPlainText(QStringLiteral("stale"));
  v.ds.GoNext();
  EXPECT_EQ(v.Shown(), "two");
  v.ds.GoFirst();
  v.edit.document()->setPlainText(QStringLiteral("stale"));
  v.ds.GoFirst();
  EXPECT_EQ(v.Shown(), "one");

  v.ds.Close();
  EXPECT_EQ(v.Shown(), "");
  EXPECT_FALSE(v.edit.MemoLoaded());
  v.ds.Open();
  EXPECT_EQ(v.Shown(), "one");
  EXPECT_TRUE(v.edit.MemoLoaded());
}

TEST(DBRichEditTest, AReloadThatWouldShowTheSameKeepsTheDocument) {
  std::string tall;
  for (int i = 0; i < 300; ++i) tall += "line " + std::to_string(i) + "\n";
  MemoView v({"same", "same", "other", tall});
  v.ds.Open();
  v.edit.show();
  QCoreApplication::processEvents();
  const QTextDocument* first = v.edit.document();
  // The same record again, and another record with the same memo: nothing
  // to build anew.
  v.ds.GoFirst();
  EXPECT_EQ(v.edit.document(), first);
  v.ds.GoNext();
  EXPECT_EQ(v.edit.document(), first);
  EXPECT_TRUE(v.edit.MemoLoaded());
  EXPECT_EQ(v.Shown(), "same");

  // What a reload resets is reset: a selection, the cursor, a scrolled
  // view. Each time the memo is shown anew from its start.
  struct Case {
    const char* name;
    void (*before)(TDBRichEdit&);
  };
  const Case cases[] = {
      {"selected", [](TDBRichEdit& e) { e.selectAll(); }},
      {"cursor moved", [](TDBRichEdit& e) { e.moveCursor(QTextCursor::End); }},
      {"scrolled",
       [](TDBRichEdit& e) { e.verticalScrollBar()->setValue(e.verticalScrollBar()->maximum()); }},
  };
  v.ds.GoLast();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QCoreApplication::processEvents();
    const QTextDocument* before = v.edit.document();
    c.before(v.edit);
    v.ds.GoLast();
    QCoreApplication::processEvents();
    EXPECT_NE(v.edit.document(), before);
    EXPECT_EQ(v.Shown(), tall);
    EXPECT_EQ(v.edit.textCursor().position(), 0);
    EXPECT_FALSE(v.edit.textCursor().hasSelection());
    EXPECT_EQ(v.edit.verticalScrollBar()->value(), 0);
  }
  // Without a field in between (closed), the memo is built again.
  const QTextDocument* shown = v.edit.document();
  v.ds.Close();
  v.ds.Open();
  v.ds.GoLast();
  EXPECT_NE(v.edit.document(), shown);
  EXPECT_EQ(v.Shown(), tall);
}

TEST(DBRichEditTest, PlainTextFollowsTheDatasCodePage) {
  // Hungarian (1038) data is windows-1250, English (1033) windows-1252.
  for (const auto& [lcid, shown] : {std::pair{1038u, "őű"}, std::pair{1033u, "õû"}}) {
    SCOPED_TRACE(lcid);
    MemoView v({"\xF5\xFB"}, lcid);
    v.ds.Open();
    EXPECT_EQ(v.Shown(), shown);
  }
}

TEST(DBRichEditTest, ASourceMovedToAnotherOpenDatasetShowsItsMemo) {
  // The same memo bytes in English data are windows-1252 letters.
  MemoView v({"\xF5\xFB"}, 1038);
  MemoView english({"\xF5\xFB", "second"}, 1033);
  v.ds.Open();
  english.ds.Open();
  EXPECT_EQ(v.Shown(), "őű");
  v.source.SetDataSet(&english.ds);
  EXPECT_EQ(v.Shown(), "õû");
  english.ds.GoNext();
  EXPECT_EQ(v.Shown(), "second");
  v.ds.Close();  // the dataset left behind no longer reaches the view
  EXPECT_EQ(v.Shown(), "second");
}

TEST(DBRichEditTest, TheSameMemoInAnotherFontIsShownAnew) {
  MemoView v({"egy", "egy"});
  v.ds.Open();
  QFont larger = v.edit.font();
  larger.setPixelSize(31);
  v.edit.setFont(larger);
  const QTextDocument* before = v.edit.document();
  v.ds.GoNext();
  EXPECT_NE(v.edit.document(), before);
  EXPECT_EQ(v.edit.document()->defaultFont().pixelSize(), 31);
  EXPECT_EQ(v.Shown(), "egy");
}

TEST(DBRichEditTest, KeysThatEditChangeNothingWhileCopyingWorks) {
  MemoView v({"{\\rtf1 first\\par second}"});
  v.ds.Open();
  v.edit.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&v.edit));
  v.edit.setFocus();
  QApplication::clipboard()->setText(QStringLiteral("pasted"));

  QTest::keyClicks(&v.edit, "typed");
  for (const QKeySequence& keys :
       {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::Key_Return),
        QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert),
        QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete),
        QKeySequence(Qt::CTRL | Qt::Key_Z)}) {
    QTest::keySequence(&v.edit, keys);
  }
  EXPECT_EQ(v.Shown(), "first\nsecond");
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("pasted"));

  QTest::keySequence(&v.edit, QKeySequence(Qt::CTRL | Qt::Key_A));
  QTest::keySequence(&v.edit, QKeySequence(Qt::CTRL | Qt::Key_C));
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("first\nsecond"));
  // Cutting the selection copies nothing and removes nothing.
  QApplication::clipboard()->setText(QStringLiteral("pasted"));
  QTest::keySequence(&v.edit, QKeySequence(Qt::CTRL | Qt::Key_X));
  QTest::keyClick(&v.edit, Qt::Key_Delete);
  EXPECT_EQ(v.Shown(), "first\nsecond");
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("pasted"));
}

TEST(DBRichEditTest, ScrollBarIsEnabledOnlyWhileTheTextOverflows) {
  std::string tall = "{\\rtf1";
  for (int i = 0; i < 100; ++i) tall += " line\\par";
  tall += "}";
  MemoView v({"short", tall, "", "also short"});
  v.ds.Open();
  v.edit.show();
  const QScrollBar* bar = v.edit.verticalScrollBar();
  const bool expected[] = {false, true, false, false};
  for (bool enabled : expected) {
    QCoreApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->isEnabled(), enabled) << v.Shown().substr(0, 20);
    v.ds.GoNext();
  }
}

TEST(DBRichEditTest, EachMemoIsShownFromItsStart) {
  std::string tall = "{\\rtf1";
  for (int i = 0; i < 300; ++i) tall += " line " + std::to_string(i) + "\\par";
  tall += "}";
  std::string plain;
  for (int i = 0; i < 300; ++i) plain += "plain " + std::to_string(i) + "\n";
  MemoView v({tall, plain, tall});
  v.ds.Open();
  v.edit.show();
  for (int record = 0; record < 3; ++record) {
    SCOPED_TRACE(record);
    QCoreApplication::processEvents();
    EXPECT_EQ(v.edit.textCursor().position(), 0);
    EXPECT_FALSE(v.edit.textCursor().hasSelection());
    EXPECT_EQ(v.edit.verticalScrollBar()->value(), 0);
    // The user reads on to the end before moving.
    v.edit.moveCursor(QTextCursor::End);
    v.edit.verticalScrollBar()->setValue(v.edit.verticalScrollBar()->maximum());
    ASSERT_GT(v.edit.verticalScrollBar()->value(), 0);
    v.ds.GoNext();
  }
}

TEST(DBRichEditTest, WithoutAutoDisplayEnterOrDoubleClickLoadsTheMemo) {
  MemoView v({"one", "two"});
  v.edit.SetAutoDisplay(false);
  v.ds.Open();
  v.edit.show();
  EXPECT_FALSE(v.edit.MemoLoaded());
  EXPECT_EQ(v.Shown(), "");
  QTest::keyClick(&v.edit, Qt::Key_Return);
  EXPECT_TRUE(v.edit.MemoLoaded());
  EXPECT_EQ(v.Shown(), "one");

  v.ds.GoNext();
  EXPECT_FALSE(v.edit.MemoLoaded());
  EXPECT_EQ(v.Shown(), "");
  QTest::mouseDClick(v.edit.viewport(), Qt::LeftButton);
  EXPECT_TRUE(v.edit.MemoLoaded());
  EXPECT_EQ(v.Shown(), "two");

  // Switching AutoDisplay back on loads at once.
  v.ds.GoFirst();
  v.edit.SetAutoDisplay(true);
  EXPECT_EQ(v.Shown(), "one");
}

// Of a memo longer than 128 KB the view shows the lines within its first
// 128 KB and a notice of both sizes; what lies after decides only whether
// the memo is text at all (a zero byte anywhere fails it). Memos that
// differ only after that show the same, and keep the document.
TEST(DBRichEditTest, AMemoOver128KBShowsItsStartAndANotice) {
  std::string lines;  // "sor 000000\n", "sor 000001\n", ... 11 bytes each
  for (int i = 0; lines.size() < 204800; ++i) {
    char line[16];
    std::snprintf(line, sizeof line, "sor %06d\n", i);
    lines += line;
  }
  lines.resize(204800);  // 200 KB
  std::string differsAfter = lines;
  differsAfter[150000] = 'X';
  std::string withZero = lines;
  withZero.back() = '\0';
  MemoView v({lines, differsAfter, lines + "y", withZero});
  v.ds.Open();
  v.edit.show();
  // 131072 / 11 = 11915 whole lines; the cut leaves out their last break.
  std::string expected = lines.substr(0, 11915 * 11 - 1) +
                         "\n(A magyarázat túl hosszú, ezért csak az eleje látható: "
                         "128\u00A0KB, teljes hossza 200\u00A0KB.)";
  EXPECT_EQ(v.Shown(), expected);
  EXPECT_EQ(v.edit.LastOutcome(), TMemoOutcome::kPlainText);
  const QTextDocument* shown = &v.Built();
  v.ds.GoNext();
  EXPECT_EQ(&v.Built(), shown);
  v.ds.GoNext();
  EXPECT_NE(&v.Built(), shown);
  expected.replace(expected.size() - std::string("200\u00A0KB.)").size(), 3, "201");
  EXPECT_EQ(v.Shown(), expected);
  v.ds.GoNext();
  EXPECT_EQ(v.Shown(), "(Failed to Load Stream)");
  EXPECT_EQ(v.edit.LastOutcome(), TMemoOutcome::kFailed);
}

}  // namespace
}  // namespace dorvem
