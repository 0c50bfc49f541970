// TUpperCaseEdit: a single-line edit that forces letters to upper case, as
// they are typed or pasted, accented letters included (TUpperCaseValidator),
// and that calls its OnKeyDown handler for every key pressed in it.
//
// Each character is mapped on its own, so the text keeps its length (a
// letter without a single-character capital stays as it is). The casing
// rules are those of the locale the edit is told (CasingLocale: the data's
// locale identifier), never the desktop's: the letters typed must become
// the data's capitals, whatever language the desktop speaks.
//
// Keys reach the edit after the window's key preview (an event filter the
// window installs); OnKeyDown then runs, and the key goes on to the edit's
// own handling unless OnKeyDown raised: its error goes to the
// application-wide error report instead.
//
// Its context menu is QLineEdit's, with what OnContextMenu appends.
//
// A key's release leaves the caret as the key's press left it: shown, its
// blinking timed from the press. QLineEdit restarts the blinking on the
// release as well, which repaints the caret in a paint of its own after
// every keystroke.
//
// The edit is owned by its parent widget and owns its validator.
#pragma once

#include <QLineEdit>
#include <QMenu>
#include <QValidator>
#include <cstdint>
#include <functional>
#include <utility>

namespace dorvem {

// Gives the locale identifier (a packet's LCID) whose casing rules apply;
// 0 or an identifier that is not valid: Unicode's language-neutral rules.
using TCasingLocale = std::function<std::uint32_t()>;

class TUpperCaseValidator : public QValidator {
  Q_OBJECT

 public:
  TUpperCaseValidator(TCasingLocale casingLocale, QObject* parent)
      : QValidator(parent), casingLocale_(std::move(casingLocale)) {}
  // Upper-cases `input` in place; every text is acceptable.
  State validate(QString& input, int& pos) const override;

 private:
  TCasingLocale casingLocale_;
};

class TUpperCaseEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit TUpperCaseEdit(QWidget* parent = nullptr);

  // Called with the key (a Qt::Key) and the modifiers held.
  using TKeyEvent = std::function<void(int key, Qt::KeyboardModifiers shift)>;
  TKeyEvent OnKeyDown;
  // Asked at every change of the text; unset: 0.
  TCasingLocale CasingLocale;
  // Given the standard context menu (QLineEdit's edit actions) before it
  // pops up, to append to it; unset: the standard menu as it is.
  std::function<void(QMenu& menu)> OnContextMenu;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace dorvem
