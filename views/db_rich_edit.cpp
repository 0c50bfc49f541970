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
    loaded_.reset();
    document()->clear();
  }
}

bool TDBRichEdit::ShowsAlready(const std::vector<std::uint8_t>& bytes,
                               std::uint32_t codePage) const {
  if (!loaded_ || loaded_->bytes != bytes || loaded_->codePage != codePage ||
      loaded_->plainText != plainText_ || loaded_->font != font())
    return false;
  // A new document would be shown from its start, with nothing selected.
  const QTextCursor cursor = textCursor();
  return cursor.position() == 0 && !cursor.hasSelection() && verticalScrollBar()->value() == 0 &&
         horizontalScrollBar()->value() == 0;
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
  // A bound field always has its dataset; its code page is the data's.
  const std::uint32_t codePage = field->DataSet()->TextCodePage();
  if (ShowsAlready(bytes, codePage)) {
    memoLoaded_ = true;
    return;
  }
  auto* doc = new QTextDocument(this);
  doc->setDefaultFont(font());
  doc->setUndoRedoEnabled(false);
  outcome_ =
      LoadMemoText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                   codePage, *doc, plainText_);
  ShowDocument(doc);
  memoLoaded_ = true;
  loaded_ = LoadedMemo{std::move(bytes), codePage, plainText_, font()};
  // Whatever changes the document afterwards makes it differ from a fresh load.
  connect(doc, &QTextDocument::contentsChanged, this, [this] { loaded_.reset(); });
}

void TDBRichEdit::ShowDocument(QTextDocument* doc) {
  // The first document belongs to the view's text control, which deletes
  // it when it is replaced; the later ones are ours.
  QTextDocument* old = document();
  const bool ours = old != nullptr && old->parent() == this;
  // Without a page size the new document is not laid out when it gets its
  // layout; the view then gives it its width and lays out the first screen.
  doc->setPageSize(QSizeF(0, 0));
  setDocument(doc);
  if (ours) delete old;
  verticalScrollBar()->setValue(0);
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
