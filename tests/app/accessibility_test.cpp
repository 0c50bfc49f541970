// What assistive technology sees of the window: the accessibility tree with
// each control's name, role and states, the headword list with its rows,
// the events that tell of the current headword, and the window driven by
// the keyboard alone.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <map>

#include "app/accessible_views.h"
#include "media/media_player.h"
#include "tests/app/dictionary_window.h"
#include "views/db_grid.h"
#include "views/db_image.h"
#include "views/db_navigator.h"
#include "views/db_rich_edit.h"

namespace dorvem {
namespace {

using testing::DictionaryWindow;

// Every interface reachable from `root`, keyed by its object's name (the
// grid's rows have no object and are left out).
std::map<QString, QAccessibleInterface*> Tree(QAccessibleInterface* root) {
  std::map<QString, QAccessibleInterface*> found;
  std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
    // Qt's own parts of a scroll area are named "qt_...".
    if (QObject* object = node->object();
        object && !object->objectName().isEmpty() && !object->objectName().startsWith("qt_"))
      found[object->objectName()] = node;
    for (int i = 0; i < node->childCount(); ++i)
      if (QAccessibleInterface* child = node->child(i)) walk(child);
  };
  walk(root);
  return found;
}

TEST(AccessibilityTest, EveryControlHasAHungarianNameRoleAndStates) {
  DictionaryWindow w({".A", ".B", "C"});
  ASSERT_TRUE(w.Show());
  QAccessibleInterface* window = QAccessible::queryAccessibleInterface(w.window.get());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->role(), QAccessible::Window);
  EXPECT_EQ(window->text(QAccessible::Name), QString::fromUtf8("Zenei fogalmak szótára"));

  struct Expected {
    const char* object;
    const char* name;
    QAccessible::Role role;
  };
  // Roles by the kind of control; names as a Hungarian user reads them.
  const Expected controls[] = {
      {"grpKeres", "Keresés", QAccessible::Grouping},
      {"edtKeres", "Keresett szó", QAccessible::EditableText},
      {"DBNavigator1", "Léptetés", QAccessible::ToolBar},
      {"grdAdat", "Címszavak", QAccessible::List},
      {"edtSzoveg", "Magyarázat", QAccessible::EditableText},
      {"imgMorvel", "A MORVEL zeneműkiadó emblémája", QAccessible::Graphic},
      {"spbKep", "Kotta", QAccessible::Button},
      {"spbLejatszo", "Lejátszás", QAccessible::Button},
      {"MediaPlayer1", "Hanglejátszó", QAccessible::Sound},
      {"chbHang", "Automatikus gomb hang", QAccessible::CheckBox},
      {"imgKep", "Díszkép", QAccessible::Graphic},
      {"dbiKep", "A címszó képe", QAccessible::Graphic},
      {"btnKilep", "Kilépés", QAccessible::Button},
  };
  const auto tree = Tree(window);
  for (const Expected& c : controls) {
    SCOPED_TRACE(c.object);
    const auto found = tree.find(QString::fromLatin1(c.object));
    ASSERT_NE(found, tree.end()) << "not in the accessibility tree";
    QAccessibleInterface* node = found->second;
    EXPECT_EQ(node->text(QAccessible::Name), QString::fromUtf8(c.name));
    EXPECT_EQ(node->role(), c.role);
  }
  // Every control that the tree names has a description too, and every
  // control the user can reach has a name.
  for (const auto& [object, node] : tree) {
    SCOPED_TRACE(object.toStdString());
    if (qobject_cast<QScrollBar*>(node->object())) continue;  // the views' own
    EXPECT_FALSE(node->text(QAccessible::Name).trimmed().isEmpty());
    EXPECT_FALSE(node->text(QAccessible::Description).isEmpty());
  }
  // The navigator's buttons.
  const char* const buttons[] = {"Első címszó", "Előző címszó", "Következő címszó",
                                 "Utolsó címszó"};
  QAccessibleInterface* navigator = tree.at("DBNavigator1");
  QStringList names;
  for (int i = 0; i < navigator->childCount(); ++i)
    if (!navigator->child(i)->state().invisible)
      names << navigator->child(i)->text(QAccessible::Name);
  EXPECT_EQ(names, QStringList(std::begin(buttons), std::end(buttons)));

  // States at start: the search box has the focus, the play button is
  // enabled (the first entry names a media file) and the score button waits
  // for an entry with a score document, the sound cue is ticked, the views
  // are read-only, the picture view and the media device are not shown.
  EXPECT_TRUE(tree.at("edtKeres")->state().focused);
  EXPECT_TRUE(tree.at("edtKeres")->state().focusable);
  EXPECT_FALSE(tree.at("grdAdat")->state().focused);
  EXPECT_TRUE(tree.at("grdAdat")->state().focusable);
  EXPECT_TRUE(tree.at("grdAdat")->state().readOnly);
  EXPECT_TRUE(tree.at("edtSzoveg")->state().readOnly);
  EXPECT_TRUE(tree.at("spbKep")->state().disabled);
  EXPECT_FALSE(tree.at("spbLejatszo")->state().disabled);
  EXPECT_FALSE(tree.at("spbLejatszo")->state().focusable);
  EXPECT_TRUE(tree.at("chbHang")->state().checkable);
  EXPECT_TRUE(tree.at("chbHang")->state().checked);
  EXPECT_TRUE(tree.at("dbiKep")->state().invisible);
  EXPECT_TRUE(tree.at("MediaPlayer1")->state().invisible);
  EXPECT_FALSE(tree.at("btnKilep")->state().disabled);
  EXPECT_FALSE(tree.at("btnKilep")->state().invisible);
}

TEST(AccessibilityTest, TheHeadwordListNamesItsRowsAndFollowsTheCurrentOne) {
  // Headwords in the data's code page (windows-1250: 0xD3 is "Ó").
  DictionaryWindow w({".ALT", ".BASSZUS", ".CSELL\xD3", "DOB"});
  ASSERT_TRUE(w.Show());
  QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(w->grdAdat);
  ASSERT_NE(grid, nullptr);
  auto rows = [&] {
    QStringList names;
    for (int i = 0; i < grid->childCount(); ++i) {
      QAccessibleInterface* row = grid->child(i);
      EXPECT_EQ(row->role(), QAccessible::ListItem);
      EXPECT_EQ(row->parent(), grid);
      EXPECT_EQ(grid->indexOfChild(row), i);
      names << row->text(QAccessible::Name) + (row->state().selected ? "*" : "");
    }
    return names;
  };
  // The start-up filter shows the headwords that begin with ".".
  EXPECT_EQ(rows(), QStringList({".ALT*", ".BASSZUS", QString::fromUtf8(".CSELLÓ")}));
  // A row is where the grid draws it.
  const QRect cell = w->grdAdat->CellRect(1);
  EXPECT_EQ(grid->childAt(w->grdAdat->mapToGlobal(cell.center()).x(),
                          w->grdAdat->mapToGlobal(cell.center()).y()),
            grid->child(1));

  // Down in the search box: the focus stays there, the list tells of its
  // new current row.
  QTest::keyClick(w->edtKeres, Qt::Key_Down);
  EXPECT_EQ(rows(), QStringList({".ALT", ".BASSZUS*", QString::fromUtf8(".CSELLÓ")}));
  using Notices = std::vector<TAccessibleNotice>;
  EXPECT_EQ(GridCurrentRowNotices(w->grdAdat), (Notices{{QAccessible::Selection, 1}}));

  // In the list itself the row also takes the focus.
  w->grdAdat->setFocus();
  QTest::keyClick(w->grdAdat, Qt::Key_Down);
  EXPECT_EQ(rows(), QStringList({".ALT", ".BASSZUS", QString::fromUtf8(".CSELLÓ*")}));
  EXPECT_TRUE(grid->child(2)->state().focused);
  EXPECT_EQ(GridCurrentRowNotices(w->grdAdat),
            (Notices{{QAccessible::Selection, 2}, {QAccessible::Focus, 2}}));

  // Typing narrows the list; its rows follow.
  w->edtKeres->setFocus();
  QTest::keyClicks(w->edtKeres, "d");
  EXPECT_EQ(rows(), QStringList({"DOB*"}));
  // A closed dataset shows no record to tell of.
  w->Dictionary().tblAdat.Close();
  EXPECT_EQ(grid->childCount(), 0);
  EXPECT_TRUE(GridCurrentRowNotices(w->grdAdat).empty());
}

TEST(AccessibilityTest, TheKeyboardAloneReachesEveryControlAndLeaves) {
  DictionaryWindow w({".A", ".B"});
  ASSERT_TRUE(w.Show());
  // Tab walks the design's order; assistive technology sees the focus move.
  const QWidget* const cycle[] = {w->edtKeres, w->edtSzoveg, w->grdAdat,
                                  w->chbHang,  w->btnKilep,  w->edtKeres};
  for (std::size_t i = 1; i < std::size(cycle); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), cycle[i]) << "step " << i;
    EXPECT_TRUE(
        QAccessible::queryAccessibleInterface(QApplication::focusWidget())->state().focused);
  }
  // Shift+Tab walks back.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  EXPECT_EQ(QApplication::focusWidget(), w->btnKilep);

  // The access keys reach their buttons at once (Qt then shows the press
  // for a moment before the click, on a timer of its own).
  QTest::keyClick(w->edtKeres, Qt::Key_G, Qt::AltModifier);
  EXPECT_TRUE(w->chbHang->isDown());
  EXPECT_EQ(QApplication::focusWidget(), w->chbHang);
  QTest::keyClick(w->edtKeres, Qt::Key_K, Qt::AltModifier);
  EXPECT_TRUE(w->btnKilep->isDown());

  // Space on the focused check box switches the sound cue; on the focused
  // exit button it closes the window.
  QTest::keyClick(w->chbHang, Qt::Key_Space);
  EXPECT_FALSE(w->chbHang->isChecked());
  QTest::keyClick(w->chbHang, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), w->btnKilep);
  w->btnKilep->setDown(false);  // the press of Alt+K, whose click is still to come
  EXPECT_TRUE(w.window->isVisible());
  QTest::keyClick(w->btnKilep, Qt::Key_Space);
  EXPECT_FALSE(w.window->isVisible());
  EXPECT_FALSE(w->Dictionary().tblAdat.Active());
}

}  // namespace
}  // namespace dorvem
