// TDBRichEdit's links: the pointing hand over them and their clicks.
#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextDocument>

#include "dataset/host/handler_guard.h"
#include "views/db_rich_edit.h"

namespace dorvem {

void TDBRichEdit::SetLinkTest(TLinkTest test) {
  linkTest_ = std::move(test);
  viewport()->setMouseTracking(static_cast<bool>(linkTest_));
}

int TDBRichEdit::CharacterAt(QPoint viewportPoint) const {
  QAbstractTextDocumentLayout* layout = document()->documentLayout();
  if (layout == nullptr) return -1;
  const QPointF at(viewportPoint.x() + horizontalScrollBar()->value(),
                   viewportPoint.y() + verticalScrollBar()->value());
  return layout->hitTest(at, Qt::ExactHit);
}

int TDBRichEdit::LinkAt(QPoint viewportPoint) const {
  if (!linkTest_) return -1;
  const int position = CharacterAt(viewportPoint);
  if (position < 0) return -1;
  bool link = false;
  GuardHandler([&] { link = linkTest_(position); });
  return link ? position : -1;
}

void TDBRichEdit::UpdateLinkCursor(QPoint viewportPoint) {
  const bool overLink = LinkAt(viewportPoint) >= 0;
  if (overLink && !cursorBeforeLink_) {
    cursorBeforeLink_ = viewport()->cursor();
    viewport()->setCursor(Qt::PointingHandCursor);
  } else if (!overLink && cursorBeforeLink_) {
    viewport()->setCursor(*cursorBeforeLink_);
    cursorBeforeLink_.reset();
  }
}

void TDBRichEdit::mousePressEvent(QMouseEvent* event) {
  pressedLink_ = event->button() == Qt::LeftButton ? LinkAt(event->position().toPoint()) : -1;
  QTextEdit::mousePressEvent(event);
}

void TDBRichEdit::mouseMoveEvent(QMouseEvent* event) {
  if (linkTest_) UpdateLinkCursor(event->position().toPoint());
  QTextEdit::mouseMoveEvent(event);
}

void TDBRichEdit::mouseReleaseEvent(QMouseEvent* event) {
  const int pressed = std::exchange(pressedLink_, -1);
  QTextEdit::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || pressed < 0 || textCursor().hasSelection()) return;
  const int released = LinkAt(event->position().toPoint());
  if (released < 0 || !OnLinkClicked) return;
  // Restored before the click changes the document under the pointer.
  if (cursorBeforeLink_) {
    viewport()->setCursor(*cursorBeforeLink_);
    cursorBeforeLink_.reset();
  }
  GuardHandler([&] { OnLinkClicked(released); });
}

}  // namespace dorvem
