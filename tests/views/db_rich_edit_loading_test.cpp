// The explanation view loading a long memo: what it holds right after the
// move, what builds the rest, and what a new notice does to a load in
// progress.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <string>

#include "tests/views/document_description.h"
#include "tests/views/memo_view.h"

namespace dorvem {
namespace {

using testing::MemoView;
using testing::Text;

// A memo of `count` justified paragraphs of several lines each at the
// view's width, and the text it shows.
struct TallMemo {
  std::string rtf = "{\\rtf1\\ansi\\ansicpg1250\\qj ";
  std::string text;
};

TallMemo Tall(int count) {
  TallMemo m;
  for (int i = 0; i < count; ++i) {
    std::string words;
    for (int w = 0; w < 40; ++w) words += " hang" + std::to_string(w);
    m.rtf += "Bekezd\\'e9s " + std::to_string(i) + ":" + words + "\\par ";
    m.text += (i > 0 ? "\n" : "") + std::string("Bekezdés ") + std::to_string(i) + ":" + words;
  }
  m.rtf += "}";
  return m;
}

// Lets the event loop pass until the view has built its memo (a bounded
// number of passes, none of them waiting).
void RunUntilLoaded(const MemoView& v) {
  for (int pass = 0; pass < 10000 && v.edit.Loading(); ++pass) QCoreApplication::processEvents();
}

TEST(DBRichEditLoadingTest, ShowsItsFirstScreenAtOnceAndBuildsTheRestWhenIdle) {
  const TallMemo tall = Tall(200);
  MemoView v({tall.rtf});
  // The caret does not blink, so the pictures compared below do not depend
  // on the time between them.
  const int flashTime = QApplication::cursorFlashTime();
  QApplication::setCursorFlashTime(0);
  v.edit.show();
  // The window is active and the view has its focus before the move, as
  // after a key press in the window.
  v.edit.activateWindow();
  v.edit.setFocus();
  QCoreApplication::processEvents();
  ASSERT_TRUE(v.edit.hasFocus());
  v.ds.Open();
  ASSERT_TRUE(v.edit.Loading());
  // Whole paragraphs from the start, fewer than all.
  const std::string first = Text(v.Built());
  ASSERT_LT(first.size(), tall.text.size());
  EXPECT_EQ(tall.text.compare(0, first.size(), first), 0);
  EXPECT_EQ(tall.text[first.size()], '\n');
  EXPECT_TRUE(v.edit.verticalScrollBar()->isEnabled());
  const QImage shown = v.edit.viewport()->grab().toImage();

  RunUntilLoaded(v);
  EXPECT_FALSE(v.edit.Loading());
  EXPECT_EQ(Text(v.Built()), tall.text);
  // The view looks as it did with the first screen only.
  EXPECT_EQ(v.edit.viewport()->grab().toImage(), shown);
  EXPECT_EQ(v.edit.textCursor().position(), 0);
  EXPECT_FALSE(v.edit.textCursor().hasSelection());
  EXPECT_EQ(v.edit.verticalScrollBar()->value(), 0);
  QApplication::setCursorFlashTime(flashTime);
}

TEST(DBRichEditLoadingTest, WhatNeedsTheWholeMemoBuildsItFirst) {
  const TallMemo tall = Tall(200);
  struct Action {
    const char* name;
    std::function<void(TDBRichEdit&)> act;
  };
  const Action actions[] = {
      {"WholeDocument()", [](TDBRichEdit& e) { (void)e.WholeDocument(); }},
      {"FinishLoading()", [](TDBRichEdit& e) { e.FinishLoading(); }},
      {"a key", [](TDBRichEdit& e) { QTest::keyClick(&e, Qt::Key_End, Qt::ControlModifier); }},
      {"a mouse click",
       [](TDBRichEdit& e) { QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, QPoint(5, 5)); }},
      {"a wheel turn",
       [](TDBRichEdit& e) {
         QWheelEvent wheel(QPointF(5, 5), e.viewport()->mapToGlobal(QPointF(5, 5)), QPoint(),
                           QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
         QCoreApplication::sendEvent(e.viewport(), &wheel);
       }},
      {"a context menu on the view",
       [](TDBRichEdit& e) {
         QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                e.mapToGlobal(QPoint(5, 5)));
         QCoreApplication::sendEvent(&e, &menu);
       }},
      {"selectAll()", [](TDBRichEdit& e) { e.selectAll(); }},
      {"a selection set by code",
       [](TDBRichEdit& e) {
         QTextCursor c = e.textCursor();
         c.setPosition(3, QTextCursor::KeepAnchor);
         e.setTextCursor(c);
       }},
      {"the scroll bar moved by code", [](TDBRichEdit& e) { e.verticalScrollBar()->setValue(1); }},
      {"a mouse press on the scroll bar",
       [](TDBRichEdit& e) {
         QWidget* bar = e.verticalScrollBar();
         QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
         QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
       }},
      {"a key on the scroll bar",
       [](TDBRichEdit& e) { QTest::keyClick(e.verticalScrollBar(), Qt::Key_PageDown); }},
      {"a resize", [](TDBRichEdit& e) { e.resize(449, 400); }},
      {"a larger font",
       [](TDBRichEdit& e) {
         QFont f = e.font();
         f.setPointSize(f.pointSize() + 4);
         e.setFont(f);
       }},
      {"assistive technology becoming active",
       [](TDBRichEdit&) {
         QAccessible::setActive(true);
         QAccessible::setActive(false);
       }},
  };
  for (const Action& a : actions) {
    SCOPED_TRACE(a.name);
    MemoView v({tall.rtf});
    v.edit.show();
    v.ds.Open();
    ASSERT_TRUE(v.edit.Loading());
    a.act(v.edit);
    EXPECT_FALSE(v.edit.Loading());
    EXPECT_EQ(Text(v.Built()), tall.text);
  }
}

TEST(DBRichEditLoadingTest, SelectAllAndCopyRightAfterTheMoveTakeTheWholeMemo) {
  const TallMemo tall = Tall(200);
  struct Way {
    const char* name;
    std::function<void(TDBRichEdit&)> selectAndCopy;
  };
  const Way ways[] = {
      {"Ctrl+A, Ctrl+C",
       [](TDBRichEdit& e) {
         QTest::keySequence(&e, QKeySequence(Qt::CTRL | Qt::Key_A));
         QTest::keySequence(&e, QKeySequence(Qt::CTRL | Qt::Key_C));
       }},
      {"Ctrl+A, Ctrl+Insert",
       [](TDBRichEdit& e) {
         QTest::keySequence(&e, QKeySequence(Qt::CTRL | Qt::Key_A));
         QTest::keySequence(&e, QKeySequence(Qt::CTRL | Qt::Key_Insert));
       }},
      {"selectAll(), copy()",
       [](TDBRichEdit& e) {
         e.selectAll();
         e.copy();
       }},
  };
  for (const Way& w : ways) {
    SCOPED_TRACE(w.name);
    MemoView v({"short", tall.rtf});
    v.edit.show();
    v.ds.Open();
    v.ds.GoNext();
    ASSERT_TRUE(v.edit.Loading());
    QApplication::clipboard()->clear();
    w.selectAndCopy(v.edit);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), tall.text);
  }
}

TEST(DBRichEditLoadingTest, SearchAndTheScrollBarAfterFinishingRightAfterTheMoveSeeTheWholeMemo) {
  const TallMemo tall = Tall(200);
  // A view that has built the whole memo, for the scroll bar it has then.
  MemoView settled({tall.rtf});
  settled.edit.show();
  settled.ds.Open();
  settled.edit.FinishLoading();
  const QScrollBar* settledBar = settled.edit.verticalScrollBar();
  ASSERT_GT(settledBar->maximum(), 0);

  MemoView v({tall.rtf});
  v.edit.show();
  v.ds.Open();
  ASSERT_TRUE(v.edit.Loading());
  // Built so far: the first screen, a shorter range.
  ASSERT_LT(v.edit.verticalScrollBar()->maximum(), settledBar->maximum());
  v.edit.FinishLoading();
  EXPECT_EQ(v.edit.verticalScrollBar()->maximum(), settledBar->maximum());
  EXPECT_EQ(v.edit.verticalScrollBar()->pageStep(), settledBar->pageStep());
  EXPECT_EQ(v.edit.verticalScrollBar()->value(), 0);

  MemoView w({tall.rtf});
  w.edit.show();
  w.ds.Open();
  ASSERT_TRUE(w.edit.Loading());
  w.edit.FinishLoading();
  EXPECT_TRUE(w.edit.find(QString::fromUtf8("Bekezdés 199:")));
  EXPECT_EQ(w.edit.textCursor().selectedText(), QString::fromUtf8("Bekezdés 199:"));
}

TEST(DBRichEditLoadingTest, TheSameMemoAgainKeepsTheDocumentAndItsBuildGoesOn) {
  const TallMemo tall = Tall(200);
  MemoView v({tall.rtf, tall.rtf});
  v.edit.show();
  v.ds.Open();
  ASSERT_TRUE(v.edit.Loading());
  const QTextDocument* first = &v.Built();
  const std::size_t built = Text(v.Built()).size();
  v.ds.GoNext();
  EXPECT_EQ(&v.Built(), first);
  EXPECT_TRUE(v.edit.Loading());
  EXPECT_EQ(Text(v.Built()).size(), built);
  RunUntilLoaded(v);
  EXPECT_EQ(&v.Built(), first);
  EXPECT_EQ(Text(v.Built()), tall.text);
}

TEST(DBRichEditLoadingTest, ANewNoticeDropsTheLoadAndAtMostOneOldDocumentWaits) {
  const TallMemo tall = Tall(200);
  const TallMemo other = Tall(201);
  MemoView v({tall.rtf, other.rtf, "short"});
  v.edit.show();
  v.ds.Open();
  ASSERT_TRUE(v.edit.Loading());
  const QPointer<const QTextDocument> first = &v.Built();

  v.ds.GoNext();
  ASSERT_TRUE(v.edit.Loading());
  // The document dropped is freed while idle, not during the move...
  EXPECT_FALSE(first.isNull());
  const QPointer<const QTextDocument> second = &v.Built();
  // ...or at the next notice when none came between.
  v.ds.GoNext();
  EXPECT_TRUE(first.isNull());
  EXPECT_FALSE(second.isNull());
  EXPECT_FALSE(v.edit.Loading());
  EXPECT_EQ(Text(v.Built()), "short");
  RunUntilLoaded(v);
  QCoreApplication::processEvents();
  EXPECT_TRUE(second.isNull());
  // Nothing of the memos dropped arrives later.
  EXPECT_EQ(Text(v.Built()), "short");

  // Closing the dataset during a load empties the view.
  v.ds.GoFirst();
  ASSERT_TRUE(v.edit.Loading());
  v.ds.Close();
  EXPECT_FALSE(v.edit.Loading());
  EXPECT_EQ(Text(v.Built()), "");
  QCoreApplication::processEvents();
  EXPECT_EQ(Text(v.Built()), "");
}

// A memo of one word of a megabyte, plain or rich, in blocks of 1024
// letters: the view shows the first 128 KB of the memo and a notice of both
// sizes, never more. A plain word is built in steps (a rich one is one
// piece of text to the reader, built at once up to the size shown).
TEST(DBRichEditLoadingTest, AMemoOfOneLongWordIsShownInBlocksAndInPart) {
  const std::size_t megabyte = 1 << 20;
  const std::string notice =
      "(A magyarázat túl hosszú, ezért csak az eleje látható: 128\u00A0KB, teljes hossza "
      "1\u00A0024\u00A0KB.)";
  struct Case {
    const char* name;
    std::string memo;
    std::size_t letters;  // shown: the first 128 KB, less "{\rtf1 "
    bool inSteps;
  };
  const Case cases[] = {
      {"plain", std::string(megabyte, 'x'), 131072, true},
      {"rich", "{\\rtf1 " + std::string(megabyte - 8, 'x') + "}", 131072 - 7, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoView v({c.memo});
    v.edit.show();
    v.ds.Open();
    EXPECT_EQ(v.edit.Loading(), c.inSteps);
    if (c.inSteps) {
      EXPECT_LT(v.Built().characterCount(), 131072 / 4);
    }
    std::string expected;
    for (std::size_t done = 0; done < c.letters; done += 1024)
      expected += std::string(std::min<std::size_t>(1024, c.letters - done), 'x') + "\n";
    expected += notice;
    EXPECT_EQ(v.Shown(), expected);
  }
}

}  // namespace
}  // namespace dorvem
