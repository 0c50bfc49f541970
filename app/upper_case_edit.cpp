#include "app/upper_case_edit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethod>
#include <QKeyEvent>

#include "dataset/host/handler_guard.h"
#include "dataset/locale/locale_services.h"

namespace dorvem {

QValidator::State TUpperCaseValidator::validate(QString& input, int& pos) const {
  (void)pos;  // the text keeps its length, so the cursor stays valid
  const std::uint32_t lcid = casingLocale_ ? casingLocale_() : 0;
  input = QString::fromStdU16String(locale::CharUpperW(lcid, input.toStdU16String()));
  return Acceptable;
}

TUpperCaseEdit::TUpperCaseEdit(QWidget* parent) : QLineEdit(parent) {
  setValidator(
      new TUpperCaseValidator([this] { return CasingLocale ? CasingLocale() : 0u; }, this));
}

void TUpperCaseEdit::keyPressEvent(QKeyEvent* event) {
  if (OnKeyDown && !GuardHandler([&] { OnKeyDown(event->key(), event->modifiers()); })) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TUpperCaseEdit::keyReleaseEvent(QKeyEvent* event) {
  // As QLineEdit handles a release, but for restarting the caret's blinking:
  // the software input panel, where the application shows one by itself,
  // and the release taken here, not passed on to the parent.
  if (!isReadOnly() && qApp->autoSipEnabled()) QGuiApplication::inputMethod()->show();
  event->accept();
}

void TUpperCaseEdit::contextMenuEvent(QContextMenuEvent* event) {
  if (!OnContextMenu) {
    QLineEdit::contextMenuEvent(event);
    return;
  }
  // As QLineEdit pops up its own: deleted when it closes.
  QMenu* menu = createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  GuardHandler([&] { OnContextMenu(*menu); });
  menu->popup(event->globalPos());
}

}  // namespace dorvem
