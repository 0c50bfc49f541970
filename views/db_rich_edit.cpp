#include "views/db_rich_edit.h"

namespace dorvem {

TDBRichEdit::TDBRichEdit(QWidget* parent) : QTextEdit(parent) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setAcceptRichText(true);
  setFocusPolicy(Qt::StrongFocus);
  SetReadOnly(false);
}

void TDBRichEdit::SetReadOnly(bool value) {
  link_.SetReadOnly(value);
  setReadOnly(value);
  // A read-only view still lets the user select and copy with the keyboard.
  if (value) setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

}  // namespace dorvem
