#include "views/db_rich_edit.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <vector>

#include "dataset/host/dataset.h"
#include "dataset/host/fields.h"
#include "dataset/host/handler_guard.h"
#include "views/quiet_scroll_bar.h"

namespace dorvem {

namespace {

// Memo bytes per step: small ones while the view fills, so that little
// more than a screenful is built during the move, larger ones while idle
// (a step of whole paragraphs takes about a millisecond).
constexpr std::size_t kVisibleStep = 1024;
constexpr std::size_t kIdleStep = 8192;

bool FinishesLoading(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
      return true;
    default:
      return false;
  }
}

}  // namespace

TDBRichEdit::TDBRichEdit(QWidget* parent) : QTextEdit(parent) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setAcceptRichText(true);
  setFocusPolicy(Qt::StrongFocus);
  document()->setUndoRedoEnabled(false);
  SetReadOnly(false);
  // The documents hang below a holder of their own: a new child of the
  // view itself would put the scroll bar's container out of the last place
  // among the view's children, and the view raises it back on every new
  // document, repainting the bar and everything beneath it.
  documents_ = new QObject(this);
  // Each new document sets the bar's steps again; a bar that looks the
  // same is not repainted for it.
  setVerticalScrollBar(new TQuietScrollBar(Qt::Vertical));
  // A bar that is always shown stays usable only while there is something
  // to scroll.
  QScrollBar* bar = QTextEdit::verticalScrollBar();
  bar->setEnabled(false);
  connect(bar, &QScrollBar::rangeChanged, bar,
          [bar](int min, int max) { bar->setEnabled(max > min); });
  // Scrolling, whoever does it, goes to text below what is built.
  connect(bar, &QScrollBar::valueChanged, this, [this] { FinishLoading(); });
  // The user's hand on the bar builds the rest before the bar acts, so a
  // drag of its thumb goes over the whole memo.
  bar->installEventFilter(this);
  idlePass_.setSingleShot(true);
  idlePass_.setInterval(0);
  connect(&idlePass_, &QTimer::timeout, this, [this] { GuardHandler([this] { IdlePass(); }); });
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
    CancelLoading();
    loaded_.reset();
    QTextEdit::document()->clear();
  }
}

void TDBRichEdit::CancelLoading() {
  build_.reset();
}

bool TDBRichEdit::ShowsAlready(const std::vector<std::uint8_t>& bytes,
                               std::uint32_t codePage) const {
  if (!loaded_ || loaded_->bytes != bytes || loaded_->codePage != codePage ||
      loaded_->plainText != plainText_ || loaded_->font != font())
    return false;
  // A new document would be shown from its start, with nothing selected
  // (read past this class: what is still to be built changes none of it).
  const QTextCursor cursor = QTextEdit::textCursor();
  return cursor.position() == 0 && !cursor.hasSelection() &&
         QTextEdit::verticalScrollBar()->value() == 0 && horizontalScrollBar()->value() == 0;
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
    // The same memo: the document stays, and its build, if any, goes on.
    memoLoaded_ = true;
    return;
  }
  CancelLoading();
  auto* doc = new QTextDocument(documents_);
  doc->setDefaultFont(font());
  doc->setUndoRedoEnabled(false);
  // Laid out from the start at the width and wrapping the view gives the
  // document shown: laid out unwrapped first, a long line would show the
  // horizontal scroll bar for a moment, moving the vertical one and making
  // both repaint with everything beneath them.
  const QTextDocument* shown = QTextEdit::document();
  doc->setDefaultTextOption(shown->defaultTextOption());
  doc->setPageSize(shown->pageSize());
  auto build = std::make_unique<TMemoBuild>(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), codePage, *doc,
      plainText_);
  outcome_ = build->Outcome();
  // The view's cursor, made at the document's start when it is shown, is
  // carried along by text inserted there; so the document gets its first
  // characters before, and the view lays out each later step as it ends.
  while (doc->isEmpty() && !build->Step(kVisibleStep)) {
  }
  // Assistive technology reads the document through Qt's interface, past
  // this class: it gets the whole memo at once.
  if (QAccessible::isActive()) build->Finish();
  ShowDocument(doc);
  memoLoaded_ = true;
  loaded_ = LoadedMemo{std::move(bytes), codePage, plainText_, font()};
  // Whatever but the build changes the document afterwards makes it differ
  // from a fresh load.
  connect(doc, &QTextDocument::contentsChanged, this, [this] {
    if (!building_) loaded_.reset();
  });
  if (build->Done()) return;
  build_ = std::move(build);
  BuildVisiblePart();
}

void TDBRichEdit::ShowDocument(QTextDocument* doc) {
  // The first document belongs to the view's text control, which deletes
  // it when it is replaced; the later ones are ours.
  QTextDocument* old = QTextEdit::document();
  const bool ours = old != nullptr && old->parent() == documents_;
  setDocument(doc);
  if (ours) {
    // Freeing a whole laid-out memo costs about as much as showing the
    // first screen of the next one, so it waits for an idle pass (one
    // still waiting goes now).
    old->setParent(nullptr);
    retired_.reset(old);
    idlePass_.start();
  }
  QTextEdit::verticalScrollBar()->setValue(0);
}

void TDBRichEdit::BuildVisiblePart() {
  const QAbstractTextDocumentLayout* layout = QTextEdit::document()->documentLayout();
  while (!BuildStep(kVisibleStep)) {
    // Each step is laid out when it ends, so the size is that of the
    // text built so far.
    if (layout->documentSize().height() > viewport()->height()) {
      idlePass_.start();
      return;
    }
  }
}

void TDBRichEdit::IdlePass() {
  if (retired_) {
    retired_.reset();
  } else if (build_) {
    BuildStep(kIdleStep);
  }
  if (retired_ || build_) idlePass_.start();
}

void TDBRichEdit::FinishLoading() const {
  BuildStep(TMemoBuild::kAll);
}

bool TDBRichEdit::BuildStep(std::size_t bytes) const {
  if (!build_) return true;
  if (building_) {
    // Asked from inside a step (by what the step makes the view do):
    // that step goes on to the end.
    finishWanted_ = true;
    return false;
  }
  building_ = true;
  bool done = build_->Step(bytes);
  if (!done && finishWanted_) done = build_->Step(TMemoBuild::kAll);
  building_ = false;
  finishWanted_ = false;
  if (done) build_.reset();
  return done;
}

QTextDocument* TDBRichEdit::document() const {
  FinishLoading();
  return QTextEdit::document();
}

QString TDBRichEdit::toPlainText() const {
  FinishLoading();
  return QTextEdit::toPlainText();
}

QString TDBRichEdit::toHtml() const {
  FinishLoading();
  return QTextEdit::toHtml();
}

QString TDBRichEdit::toMarkdown(QTextDocument::MarkdownFeatures features) const {
  FinishLoading();
  return QTextEdit::toMarkdown(features);
}

QTextCursor TDBRichEdit::textCursor() const {
  FinishLoading();
  return QTextEdit::textCursor();
}

QScrollBar* TDBRichEdit::verticalScrollBar() const {
  FinishLoading();
  return QTextEdit::verticalScrollBar();
}

void TDBRichEdit::copy() {
  FinishLoading();
  QTextEdit::copy();
}

void TDBRichEdit::selectAll() {
  FinishLoading();
  QTextEdit::selectAll();
}

bool TDBRichEdit::find(const QString& exp, QTextDocument::FindFlags options) {
  FinishLoading();
  return QTextEdit::find(exp, options);
}

bool TDBRichEdit::find(const QRegularExpression& exp, QTextDocument::FindFlags options) {
  FinishLoading();
  return QTextEdit::find(exp, options);
}

void TDBRichEdit::moveCursor(QTextCursor::MoveOperation operation, QTextCursor::MoveMode mode) {
  FinishLoading();
  QTextEdit::moveCursor(operation, mode);
}

void TDBRichEdit::scrollToAnchor(const QString& name) {
  FinishLoading();
  QTextEdit::scrollToAnchor(name);
}

void TDBRichEdit::print(QPagedPaintDevice* printer) const {
  FinishLoading();
  QTextEdit::print(printer);
}

bool TDBRichEdit::event(QEvent* event) {
  if (FinishesLoading(event->type())) FinishLoading();
  return QTextEdit::event(event);
}

bool TDBRichEdit::viewportEvent(QEvent* event) {
  if (FinishesLoading(event->type())) FinishLoading();
  return QTextEdit::viewportEvent(event);
}

bool TDBRichEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == QTextEdit::verticalScrollBar()) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::Wheel:
      case QEvent::KeyPress:
        FinishLoading();
        break;
      default:
        break;
    }
  }
  return QTextEdit::eventFilter(watched, event);
}

void TDBRichEdit::resizeEvent(QResizeEvent* event) {
  FinishLoading();
  QTextEdit::resizeEvent(event);
}

void TDBRichEdit::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) FinishLoading();
  QTextEdit::changeEvent(event);
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
