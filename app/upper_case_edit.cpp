#include "app/upper_case_edit.h"

#include <QKeyEvent>

#include "dataset/host/handler_guard.h"

namespace dorvem {

QValidator::State TUpperCaseValidator::validate(QString& input, int& pos) const {
  (void)pos;
  for (QChar& c : input) c = c.toUpper();
  return Acceptable;
}

TUpperCaseEdit::TUpperCaseEdit(QWidget* parent) : QLineEdit(parent) {
  setValidator(new TUpperCaseValidator(this));
}

void TUpperCaseEdit::keyPressEvent(QKeyEvent* event) {
  if (OnKeyDown && !GuardHandler([&] { OnKeyDown(event->key(), event->modifiers()); })) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace dorvem
