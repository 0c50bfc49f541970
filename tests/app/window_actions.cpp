#include "tests/app/window_actions.h"

#include <QApplication>
#include <QCheckBox>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <array>
#include <string_view>

#include "app/main_window.h"
#include "views/db_grid.h"
#include "views/db_image.h"
#include "views/db_navigator.h"
#include "views/db_rich_edit.h"

namespace dorvem::testing {
namespace {

template <class T, std::size_t N>
const T& Pick(std::mt19937& random, const std::array<T, N>& choices) {
  return choices[random() % N];
}

// Typed as key presses, so the box's own upper-casing and change handler run.
void TypeAscii(QWidget* box, std::string_view text) {
  for (char c : text) QTest::keyClick(box, c);
}

// A mouse click goes only where a user could click: a shown, enabled control.
void Click(QWidget* w, QPoint at, Qt::KeyboardModifiers mods = {}) {
  if (w->isVisible()) QTest::mouseClick(w, Qt::LeftButton, mods, at);
}
void Click(QWidget* w) {
  if (w->isVisible()) QTest::mouseClick(w, Qt::LeftButton);
}

void TypeLetter(TfrmMain& w, std::mt19937& random) {
  // Mostly letters the headwords begin with; some lower case, some dots.
  static constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz.. ";
  TypeAscii(w.edtKeres, kLetters.substr(random() % kLetters.size(), 1));
}

void TypeBreakingText(TfrmMain& w, std::mt19937& random) {
  // Texts that end the filter's string early, open brackets or comments, or
  // leave keywords and numbers after a quote.
  static constexpr std::array<std::string_view, 14> kTexts = {
      "'",  "'1", "' AND ", "' OR X", "[",   "IS ", "/*",
      "')", "\\", "\"",     "%_",     "' (", "*'*", "'' = '"};
  TypeAscii(w.edtKeres, Pick(random, kTexts));
}

void TypeAccented(TfrmMain& w, std::mt19937& random) {
  // Letters of the data's code page, and letters it lacks (they become "?").
  static constexpr std::array<const char16_t*, 6> kTexts = {u"é", u"ő", u"Ű", u"á", u"Ж", u"ß"};
  QTest::sendKeyEvent(QTest::Click, w.edtKeres, Qt::Key_unknown,
                      QString::fromUtf16(Pick(random, kTexts)), Qt::NoModifier);
}

void DeleteCharacters(TfrmMain& w, std::mt19937& random) {
  for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n)
    QTest::keyClick(w.edtKeres, Qt::Key_Backspace);
}

void ClearSearch(TfrmMain& w, std::mt19937&) {
  QTest::keyClick(w.edtKeres, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(w.edtKeres, Qt::Key_Delete);
}

void SearchArrows(TfrmMain& w, std::mt19937& random) {
  QTest::keyClick(w.edtKeres, random() % 2 ? Qt::Key_Down : Qt::Key_Up);
}

void GridKeys(TfrmMain& w, std::mt19937& random) {
  struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
  };
  static const std::array<Key, 8> kKeys = {Key{Qt::Key_Down, {}},
                                           Key{Qt::Key_Up, {}},
                                           Key{Qt::Key_PageDown, {}},
                                           Key{Qt::Key_PageUp, {}},
                                           Key{Qt::Key_Home, {}},
                                           Key{Qt::Key_End, {}},
                                           Key{Qt::Key_Home, Qt::ControlModifier},
                                           Key{Qt::Key_End, Qt::ControlModifier}};
  const Key& k = Pick(random, kKeys);
  QTest::keyClick(w.grdAdat, k.key, k.mods);
}

void GridClick(TfrmMain& w, std::mt19937& random) {
  const int row = static_cast<int>(random() % static_cast<unsigned>(w.grdAdat->RowCount() + 1));
  Click(w.grdAdat, w.grdAdat->CellRect(row).center());
}

void GridWheel(TfrmMain& w, std::mt19937& random) {
  const int steps = 1 + static_cast<int>(random() % 3);
  const QPoint at = w.grdAdat->CellRect(0).center();
  QWheelEvent wheel(at, w.grdAdat->mapToGlobal(at), {}, {0, (random() % 2 ? 120 : -120) * steps},
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w.grdAdat, &wheel);
}

void GridScrollBar(TfrmMain& w, std::mt19937& random) {
  QScrollBar* bar = w.grdAdat->VerticalScrollBar();
  if (!bar->isVisible()) return;
  if (random() % 2) {
    // A click on an arrow or on the track above or below the thumb.
    const int y = static_cast<int>(random() % static_cast<unsigned>(std::max(1, bar->height())));
    Click(bar, QPoint(bar->width() / 2, y));
  } else {
    // The thumb dragged somewhere and let go.
    const int span = bar->maximum() - bar->minimum() + 1;
    bar->setSliderDown(true);
    bar->setSliderPosition(bar->minimum() +
                           static_cast<int>(random() % static_cast<unsigned>(span)));
    bar->setSliderDown(false);
  }
}

void Navigator(TfrmMain& w, std::mt19937& random) {
  static constexpr std::array<TNavigateBtn, 4> kButtons = {nbFirst, nbPrior, nbNext, nbLast};
  Click(w.DBNavigator1->Button(Pick(random, kButtons)));
}

void FunctionKey(TfrmMain& w, std::mt19937& random, Qt::Key key) {
  // Whatever has the focus; Shift makes no difference.
  QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w.edtKeres;
  QTest::keyClick(target, key, random() % 4 == 0 ? Qt::ShiftModifier : Qt::NoModifier);
}

void ExplanationKeys(TfrmMain& w, std::mt19937& random) {
  struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
  };
  static const std::array<Key, 8> kKeys = {Key{Qt::Key_PageDown, {}},
                                           Key{Qt::Key_PageUp, {}},
                                           Key{Qt::Key_End, Qt::ControlModifier},
                                           Key{Qt::Key_V, Qt::ControlModifier},
                                           Key{Qt::Key_Delete, {}},
                                           Key{Qt::Key_Return, {}},
                                           Key{Qt::Key_A, Qt::ControlModifier},
                                           Key{Qt::Key_C, Qt::ControlModifier}};
  const Key& k = Pick(random, kKeys);
  QTest::keyClick(w.edtSzoveg, k.key, k.mods);
}

void PictureKeys(TfrmMain& w, std::mt19937& random) {
  struct Key {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
  };
  static const std::array<Key, 7> kKeys = {Key{Qt::Key_C, Qt::ControlModifier},
                                           Key{Qt::Key_Insert, Qt::ControlModifier},
                                           Key{Qt::Key_Return, {}},
                                           Key{Qt::Key_V, Qt::ControlModifier},
                                           Key{Qt::Key_Delete, Qt::ShiftModifier},
                                           Key{Qt::Key_Escape, {}},
                                           Key{Qt::Key_X, Qt::ControlModifier}};
  const Key& k = Pick(random, kKeys);
  QTest::keyClick(w.dbiKep, k.key, k.mods);
  if (random() % 4 == 0 && w.dbiKep->isVisible()) QTest::mouseDClick(w.dbiKep, Qt::LeftButton);
}

}  // namespace

const std::vector<WindowAction>& WindowActions() {
  static const std::vector<WindowAction> actions = {
      {"type a letter", TypeLetter},
      {"type a text the filter refuses", TypeBreakingText},
      {"type an accented letter", TypeAccented},
      {"delete characters", DeleteCharacters},
      {"clear the search box", ClearSearch},
      {"Up or Down in the search box", SearchArrows},
      {"keys in the grid", GridKeys},
      {"click in the grid", GridClick},
      {"wheel over the grid", GridWheel},
      {"the grid's scroll bar", GridScrollBar},
      {"a navigator button", Navigator},
      {"F3", [](TfrmMain& w, std::mt19937& r) { FunctionKey(w, r, Qt::Key_F3); }},
      {"F4", [](TfrmMain& w, std::mt19937& r) { FunctionKey(w, r, Qt::Key_F4); }},
      {"the play button", [](TfrmMain& w, std::mt19937&) { Click(w.spbLejatszo); }},
      {"the score button", [](TfrmMain& w, std::mt19937&) { Click(w.spbKep); }},
      {"the cue check box", [](TfrmMain& w, std::mt19937&) { Click(w.chbHang); }},
      {"keys in the explanation", ExplanationKeys},
      {"keys and clicks on the picture", PictureKeys},
  };
  return actions;
}

}  // namespace dorvem::testing
