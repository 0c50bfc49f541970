// The window's additions: Ctrl+F and Esc switch the kind of search, the
// search box's context menu names them, and cross-references are links.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMenu>
#include <QTextCursor>

#include "tests/app/dictionary_window.h"
#include "views/db_grid.h"
#include "views/db_rich_edit.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;
using testing::DictRow;

const char kLargo[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red0\\green0\\blue128;}"
    "Sz\\'e9les, lass\\'fa. V\\'f6. {\\b\\cf1 NINCS}, {\\b\\cf1 LENTO}.}";

const std::vector<DictRow> kRows = {{{}, ".ELOSZO", "Bevezet\xF5.", {}, 1},
                                    {{}, "LARGO", kLargo, {}, 2},
                                    {{}, "LENTO", "Lass\xFA tempo.", {}, 3},
                                    {{}, "LASSAN", "Olasz: lento.", {}, 4},
                                    {{}, "PRESTO", "Gyors.", {}, 5}};

class EverythingWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(w_.Show()); }
  QStringList Rows() { return w_->grdAdat->RowTexts(); }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(w_->edtKeres, static_cast<Qt::Key>(key), mods);
  }

  DictionaryWindow w_{kRows};
};

TEST_F(EverythingWindowTest, CtrlFAndEscSwitchTheSearchKeepingTheText) {
  const QString title = w_->grpKeres->title();
  const QImage before = w_->grpKeres->grab().toImage();
  QTest::keyClicks(w_->edtKeres, "lass");
  EXPECT_EQ(Rows(), QStringList({"LASSAN"}));

  Key(Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(w_->EverythingSearch());
  EXPECT_EQ(w_->edtKeres->text(), QStringLiteral("LASS"));
  EXPECT_EQ(Rows(), QStringList({"LARGO", "LASSAN", "LENTO"}));
  EXPECT_NE(w_->grpKeres->title(), title);
  // Typing goes on in the everything search.
  QTest::keyClicks(w_->edtKeres, " t");
  EXPECT_EQ(Rows(), QStringList({"LENTO"}));

  Key(Qt::Key_F, Qt::ControlModifier);
  EXPECT_FALSE(w_->EverythingSearch());
  EXPECT_EQ(w_->edtKeres->text(), QStringLiteral("LASS T"));
  EXPECT_EQ(Rows(), QStringList{});
  w_->edtKeres->setText(QStringLiteral("L"));
  EXPECT_EQ(Rows(), QStringList({"LARGO", "LASSAN", "LENTO"}));

  // Esc returns only from the everything search.
  w_->SetEverythingSearch(true);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(w_->EverythingSearch());
  Key(Qt::Key_Escape);
  EXPECT_FALSE(w_->EverythingSearch());
  // Back in the headword search the label and the box look as before.
  w_->edtKeres->clear();
  EXPECT_EQ(w_->grpKeres->title(), title);
  EXPECT_EQ(w_->grpKeres->grab().toImage(), before);
  EXPECT_EQ(Rows(), QStringList({".ELOSZO"}));
}

TEST_F(EverythingWindowTest, TheContextMenuListsTheActionsUnderTheEditActions) {
  QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                          w_->edtKeres->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(w_->edtKeres, &event);
  QMenu* menu = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (auto* m = qobject_cast<QMenu*>(top); m && m->isVisible()) menu = m;
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> actions = menu->actions();
  // The edit actions, then ours after a separator, then the slower plays
  // after another.
  ASSERT_GE(actions.size(), 8);
  QStringList ours;
  for (qsizetype i = actions.size() - 7; i < actions.size(); ++i)
    ours << (actions[i]->isSeparator()
                 ? QStringLiteral("--")
                 : actions[i]->text() + u'\t' + actions[i]->shortcut().toString());
  EXPECT_EQ(ours, QStringList({QStringLiteral("--"),
                               QString::fromUtf16(u"Keresés a magyarázatokban is\tCtrl+F"),
                               QString::fromUtf16(u"Vissza a címszavas kereséshez\tEsc"),
                               QString::fromUtf16(u"Ugrás a hivatkozott címszóra\tCtrl+Return"),
                               QStringLiteral("--"),
                               QString::fromUtf16(u"Lejátszás lassabban (75%-os tempóval)\t"),
                               QString::fromUtf16(u"Lejátszás lassabban (50%-os tempóval)\t")}));
  EXPECT_FALSE(actions.front()->isSeparator());
  // The edit actions speak Hungarian too.
  EXPECT_EQ(actions.front()->text(), QString::fromUtf16(u"&Visszavonás\tCtrl+Z"));
  const qsizetype everything = actions.size() - 6;
  actions[everything]->trigger();
  EXPECT_TRUE(w_->EverythingSearch());
  menu->close();
}

TEST_F(EverythingWindowTest, AReferenceIsALinkFollowedThroughTheHeadwordSearch) {
  w_->SetEverythingSearch(true);
  QTest::keyClicks(w_->edtKeres, "szeles");
  ASSERT_EQ(w_.Current(), "LARGO");
  TDBRichEdit* view = w_->edtSzoveg;
  const QTextDocument* doc = view->WholeDocument();
  auto pointAt = [&](const char* word) {
    QTextCursor c(const_cast<QTextDocument*>(doc));
    c.setPosition(static_cast<int>(doc->toPlainText().indexOf(QLatin1String(word))) + 1);
    return view->cursorRect(c).center();
  };
  const Qt::CursorShape shape = view->viewport()->cursor().shape();
  // Over a marked run that names no headword: no link.
  QTest::mouseMove(view->viewport(), pointAt("NINCS"));
  EXPECT_EQ(view->viewport()->cursor().shape(), shape);
  QTest::mouseMove(view->viewport(), pointAt("LENTO"));
  EXPECT_EQ(view->viewport()->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseMove(view->viewport(), pointAt("Sz"));
  EXPECT_EQ(view->viewport()->cursor().shape(), shape);

  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, pointAt("LENTO"));
  EXPECT_FALSE(w_->EverythingSearch());
  EXPECT_EQ(w_->edtKeres->text(), QStringLiteral("LENTO"));
  EXPECT_EQ(w_.Current(), "LENTO");
  EXPECT_EQ(Rows(), QStringList({"LENTO"}));

  // Ctrl+Enter: the reference after the text cursor, from anywhere.
  w_->edtKeres->setText(QStringLiteral("LARGO"));
  Key(Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(w_->edtKeres->text(), QStringLiteral("LENTO"));
  // LENTO's explanation has none: nothing happens.
  Key(Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(w_.Current(), "LENTO");
}

}  // namespace
}  // namespace dorvem
