// What a search keystroke leaves unpainted: the window beneath the grid
// and the explanation view's scroll bar while the memos shown fit. Each
// rests on a fact about what is drawn there, checked here against the
// toolkit's own drawing.
#include <gtest/gtest.h>

#include <QImage>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QScrollBar>

#include "tests/app/dictionary_window.h"
#include "tests/views/paint_counter.h"
#include "views/db_grid.h"
#include "views/db_rich_edit.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;
using testing::DictRow;

// The pixels of `widget` that its own painting and its children's leave
// as they were, over a background of a colour the window never shows.
int UnpaintedPixels(QWidget& widget) {
  const QColor marker(255, 0, 255);
  QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(marker);
  widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  int unpainted = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) unpainted += image.pixelColor(x, y) == marker;
  return unpainted;
}

// The grid paints opaquely: the window beneath it is not painted again, so
// the grid and its scroll bars must cover all of it in every state.
TEST(WindowRepaintTest, GridCoversAllOfItselfInEveryState) {
  DictionaryWindow w(DictionaryWindow::Numbered(40));
  ASSERT_TRUE(w.Show());
  TDBGrid& grid = *w->grdAdat;
  auto type = [&w](const char* keys) {
    return [&w, keys] { QTest::keyClicks(w->edtKeres, keys); };
  };
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"a list longer than the grid", [] {}},
      {"focused, the current row highlighted", [&] { grid.setFocus(); }},
      {"three records, no scroll bar", type(".A1")},
      {"no record", type("X")},
      {"closed", [&] { w->Dictionary().tblAdat.Close(); }},
  };
  for (const auto& [name, step] : steps) {
    SCOPED_TRACE(name);
    step();
    QCoreApplication::processEvents();
    EXPECT_EQ(UnpaintedPixels(grid), 0);
  }
}

using testing::PaintCounter;

// Each keystroke shows a new memo in a new document; while the memos fit,
// the explanation view's scroll bar stays as it is and is not repainted.
TEST(WindowRepaintTest, ExplanationScrollBarRepaintsOnlyWhenItChanges) {
  std::string tall = "{\\rtf1 ";
  for (int i = 0; i < 60; ++i) tall += "line " + std::to_string(i) + "\\par ";
  tall += "}";
  DictionaryWindow w(std::vector<DictRow>{
      {{}, ".BEVEZETO", "{\\rtf1 intro}", {}, 1},
      {{}, "A", "{\\rtf1 first}", {}, 2},
      {{}, "AB", "{\\rtf1 second, a little longer than the first}", {}, 3},
      {{}, "AC", tall, {}, 4},
  });
  ASSERT_TRUE(w.Show());
  QScrollBar* bar = w->edtSzoveg->verticalScrollBar();
  PaintCounter counter;
  bar->installEventFilter(&counter);
  const std::tuple<const char*, int, bool> keys[] = {
      {"short memo", Qt::Key_A, false},         {"another short memo", Qt::Key_B, false},
      {"back", Qt::Key_Backspace, false},       {"a memo taller than the view", Qt::Key_C, true},
      {"short again", Qt::Key_Backspace, true},
  };
  for (const auto& [name, key, repaints] : keys) {
    SCOPED_TRACE(name);
    counter.paints = 0;
    QTest::keyClick(w->edtKeres, static_cast<Qt::Key>(key));
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints > 0, repaints);
    EXPECT_EQ(bar->isEnabled(), std::string(name) == "a memo taller than the view");
  }
}

// The press of a key shows its letter and the caret; its release repaints
// nothing and goes no further than the search box.
TEST(WindowRepaintTest, AKeysReleaseRepaintsNothing) {
  DictionaryWindow w({".A", ".B"});
  ASSERT_TRUE(w.Show());
  PaintCounter boxPaints;
  w->edtKeres->installEventFilter(&boxPaints);
  QTest::keyPress(w->edtKeres, Qt::Key_A);
  QCoreApplication::processEvents();
  EXPECT_GT(boxPaints.paints, 0);
  EXPECT_EQ(w->edtKeres->text(), "A");
  boxPaints.paints = 0;
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QCoreApplication::sendEvent(w->edtKeres, &release);
  QCoreApplication::processEvents();
  EXPECT_TRUE(release.isAccepted());
  EXPECT_EQ(boxPaints.paints, 0);
}

}  // namespace
}  // namespace dorvem
