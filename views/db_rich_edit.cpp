#include "views/db_rich_edit.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <cmath>

#include "dataset/host/dataset.h"
#include "dataset/host/handler_guard.h"
#include "views/memo_field.h"
#include "views/quiet_scroll_bar.h"

namespace dorvem {

TDBRichEdit::TDBRichEdit(QWidget* parent) : QTextEdit(parent) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setAcceptRichText(true);
  setFocusPolicy(Qt::StrongFocus);
  document()->setUndoRedoEnabled(false);
  SetReadOnly(false);
  // Each new document sets the bar's steps again; a bar that looks the
  // same is not repainted for it.
  setVerticalScrollBar(new TQuietScrollBar(Qt::Vertical));
  // A bar that is always shown stays usable only while there is something
  // to scroll.
  QScrollBar* bar = verticalScrollBar();
  bar->setEnabled(false);
  connect(bar, &QScrollBar::rangeChanged, bar,
          [bar](int min, int max) { bar->setEnabled(max > min); });
  loader_ = std::make_unique<TMemoLoader>(*this);
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
    loader_->Clear();
  }
}

void TDBRichEdit::LoadMemo() {
  const TField* field = link_.Field();
  if (field == nullptr || memoLoaded_) return;
  // A bound field always has its dataset; its code page is the data's.
  loader_->Load(ReadMemoHead(*field, kMaxShownMemoBytes), field->DataSet()->TextCodePage(),
                plainText_);
  memoLoaded_ = true;
}

void TDBRichEdit::SetTextScale(double scale) {
  if (scale == loader_->TextScale()) return;
  loader_->SetTextScale(scale);
  if (!memoLoaded_) return;
  QScrollBar* bar = verticalScrollBar();
  FinishLoading();
  const double share = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 0.0;
  memoLoaded_ = false;
  LoadMemo();
  if (share > 0) {
    FinishLoading();
    bar->setValue(int(std::lround(share * bar->maximum())));
  }
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
