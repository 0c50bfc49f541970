#include "views/db_rich_edit.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <vector>

#include "dataset/host/dataset.h"
#include "dataset/host/fields.h"
#include "dataset/host/handler_guard.h"

namespace dorvem {

TDBRichEdit::TDBRichEdit(QWidget* parent) : QTextEdit(parent) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setAcceptRichText(true);
  setFocusPolicy(Qt::StrongFocus);
  document()->setUndoRedoEnabled(false);
  SetReadOnly(false);
  // A bar that is always shown stays usable only while there is something
  // to scroll.
  QScrollBar* bar = verticalScrollBar();
  bar->setEnabled(false);
  connect(bar, &QScrollBar::rangeChanged, bar,
          [bar](int min, int max) { bar->setEnabled(max > min); });
  link_.OnDataChange = [this] { DataChange(); };
  KeepCursorAtStart();
}

void TDBRichEdit::SetReadOnly(bool value) {
  link_.SetReadOnly(value);
  setReadOnly(value);
  // A read-only view still lets the user select and copy with the keyboard.
  if (value) setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TDBRichEdit::SetAutoDisplay(bool value) {
  if (value == autoDisplay_) return;
  autoDisplay_ = value;
  if (value) LoadMemo();
}

void TDBRichEdit::DataChange() {
  memoLoaded_ = false;
  if (link_.Field() != nullptr && autoDisplay_) {
    LoadMemo();
  } else {
    KeepCursorAtStart();
    document()->clear();
  }
}

void TDBRichEdit::LoadMemo() {
  const TField* field = link_.Field();
  if (field == nullptr || memoLoaded_) return;
  std::vector<std::uint8_t> bytes;
  if (const auto* blob = dynamic_cast<const TBlobField*>(field)) {
    blob->SaveToBytes(&bytes);
  } else {
    const std::string text = field->AsString();
    bytes.assign(text.begin(), text.end());
  }
  KeepCursorAtStart();
  // A bound field always has its dataset; its code page is the data's.
  outcome_ =
      LoadMemoText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                   field->DataSet()->TextCodePage(), *document(), plainText_);
  memoLoaded_ = true;
  verticalScrollBar()->setValue(0);
}

void TDBRichEdit::KeepCursorAtStart() {
  // Replacing the text puts the view's cursor at the start; it must stay
  // there while the new text goes in at its position, or it would be
  // carried along to the end and the view would lay out the whole text at
  // once to place it. The setting stays with the view's cursor as the user
  // moves it; it is set again only if the cursor was replaced.
  if (textCursor().keepPositionOnInsert()) return;
  QTextCursor start(document());
  start.setKeepPositionOnInsert(true);
  setTextCursor(start);
}

void TDBRichEdit::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !memoLoaded_) {
    GuardHandler([this] { LoadMemo(); });
    event->accept();
    return;
  }
  QTextEdit::keyPressEvent(event);
}

void TDBRichEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!memoLoaded_) {
    GuardHandler([this] { LoadMemo(); });
    event->accept();
    return;
  }
  QTextEdit::mouseDoubleClickEvent(event);
}

}  // namespace dorvem
