#include "views/memo_loader.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "dataset/host/handler_guard.h"

namespace dorvem {

namespace {

// Memo bytes per step: small ones while the view fills, so that little
// more than a screenful is built during the move, larger ones while idle
// (a step of whole paragraphs takes about a millisecond).
constexpr std::size_t kVisibleStep = 1024;
constexpr std::size_t kIdleStep = 8192;

// Where an event that finishes a build arrives.
enum class TPart { kView, kViewport, kScrollBar };

// The events that finish a build before they are handled: the user's hand
// on the view, its viewport and its vertical scroll bar (so also Ctrl+A,
// Ctrl+C and the moving keys, a click, a drag over the text, a context
// menu, a wheel turn), and a new size or font of the view (a screen may
// hold more). The signals that do so are connected in Watch.
struct TTrigger {
  TPart part;
  QEvent::Type type;
};
constexpr TTrigger kTriggers[] = {
    {TPart::kView, QEvent::KeyPress},
    {TPart::kView, QEvent::ShortcutOverride},
    {TPart::kView, QEvent::MouseButtonPress},
    {TPart::kView, QEvent::MouseButtonDblClick},
    {TPart::kView, QEvent::Wheel},
    {TPart::kView, QEvent::ContextMenu},
    {TPart::kView, QEvent::DragEnter},
    {TPart::kView, QEvent::Resize},
    {TPart::kView, QEvent::FontChange},
    {TPart::kViewport, QEvent::KeyPress},
    {TPart::kViewport, QEvent::ShortcutOverride},
    {TPart::kViewport, QEvent::MouseButtonPress},
    {TPart::kViewport, QEvent::MouseButtonDblClick},
    {TPart::kViewport, QEvent::Wheel},
    {TPart::kViewport, QEvent::ContextMenu},
    {TPart::kViewport, QEvent::DragEnter},
    {TPart::kScrollBar, QEvent::MouseButtonPress},
    {TPart::kScrollBar, QEvent::MouseButtonDblClick},
    {TPart::kScrollBar, QEvent::Wheel},
    {TPart::kScrollBar, QEvent::KeyPress},
};

bool Triggers(TPart part, QEvent::Type type) {
  for (const TTrigger& t : kTriggers) {
    if (t.part == part && t.type == type) return true;
  }
  return false;
}

}  // namespace

TMemoLoader::TMemoLoader(QTextEdit& view) : view_(view), documents_(new QObject(&view)) {
  idlePass_.setSingleShot(true);
  idlePass_.setInterval(0);
  connect(&idlePass_, &QTimer::timeout, this, [this] { GuardHandler([this] { IdlePass(); }); });
  Watch();
}

TMemoLoader::~TMemoLoader() {
  QAccessible::removeActivationObserver(this);
}

void TMemoLoader::Watch() {
  view_.installEventFilter(this);
  view_.viewport()->installEventFilter(this);
  view_.verticalScrollBar()->installEventFilter(this);
  // Scrolling, whoever does it, goes to text below what is built.
  connect(view_.verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { Finish(); });
  // A selection made by code (selectAll) reaches to the end of what is
  // built; built to the end, it reaches to the memo's end.
  connect(&view_, &QTextEdit::selectionChanged, this, [this] {
    if (view_.textCursor().hasSelection()) Finish();
  });
  // Assistive technology reads the document through Qt's interface.
  QAccessible::installActivationObserver(this);
}

void TMemoLoader::accessibilityActiveChanged(bool active) {
  if (active) Finish();
}

bool TMemoLoader::eventFilter(QObject* watched, QEvent* event) {
  std::optional<TPart> part;
  if (watched == &view_) {
    part = TPart::kView;
  } else if (watched == view_.viewport()) {
    part = TPart::kViewport;
  } else if (watched == view_.verticalScrollBar()) {
    part = TPart::kScrollBar;
  }
  if (part && build_ && Triggers(*part, event->type())) Finish();
  return QObject::eventFilter(watched, event);
}

bool TMemoLoader::ShowsAlready(const TMemoHead& head, std::uint32_t codePage,
                               bool plainText) const {
  if (!loaded_ || loaded_->head != head || loaded_->codePage != codePage ||
      loaded_->plainText != plainText || loaded_->font != DefaultFont() ||
      loaded_->textScale != textScale_)
    return false;
  // A new document would be shown from its start, with nothing selected
  // (what is still to be built changes none of it).
  const QTextCursor cursor = view_.textCursor();
  return cursor.position() == 0 && !cursor.hasSelection() &&
         view_.verticalScrollBar()->value() == 0 && view_.horizontalScrollBar()->value() == 0;
}

void TMemoLoader::Load(TMemoHead head, std::uint32_t codePage, bool plainText) {
  if (head.bytes.size() > kMaxShownMemoBytes) head.bytes.resize(kMaxShownMemoBytes);
  if (ShowsAlready(head, codePage, plainText)) return;
  build_.reset();
  auto* doc = new QTextDocument(documents_);
  doc->setDefaultFont(DefaultFont());
  doc->setUndoRedoEnabled(false);
  // Laid out from the start at the width and wrapping the view gives the
  // document shown: laid out unwrapped first, a long line would show the
  // horizontal scroll bar for a moment, moving the vertical one and making
  // both repaint with everything beneath them.
  const QTextDocument* shown = view_.document();
  doc->setDefaultTextOption(shown->defaultTextOption());
  doc->setPageSize(shown->pageSize());
  auto build = std::make_unique<TMemoBuild>(
      std::string_view(reinterpret_cast<const char*>(head.bytes.data()), head.bytes.size()),
      head.size, head.zeroInRest, codePage, *doc, plainText, textScale_);
  outcome_ = build->Outcome();
  // The view's cursor, made at the document's start when it is shown, is
  // carried along by text inserted there; so the document gets its first
  // characters before, and the view lays out each later step as it ends.
  while (doc->isEmpty() && !build->Step(kVisibleStep)) {
  }
  // Assistive technology reads the document through Qt's interface: it
  // gets the whole memo at once.
  if (QAccessible::isActive()) build->Finish();
  ShowDocument(doc);
  loaded_ = LoadedMemo{std::move(head), codePage, plainText, doc->defaultFont(), textScale_};
  // Whatever but the build changes the document afterwards makes it differ
  // from a fresh load.
  connect(doc, &QTextDocument::contentsChanged, this, [this] {
    if (!building_) loaded_.reset();
  });
  if (build->Done()) return;
  build_ = std::move(build);
  BuildVisiblePart();
}

QFont TMemoLoader::DefaultFont() const {
  QFont font = view_.font();
  if (textScale_ == 1.0) return font;
  if (font.pixelSize() > 0)
    font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * textScale_))));
  else
    font.setPointSizeF(font.pointSizeF() * textScale_);
  return font;
}

void TMemoLoader::Clear() {
  build_.reset();
  loaded_.reset();
  view_.document()->clear();
}

void TMemoLoader::ShowDocument(QTextDocument* doc) {
  // The first document belongs to the view's text control, which deletes
  // it when it is replaced; the later ones are ours.
  QTextDocument* old = view_.document();
  const bool ours = old != nullptr && old->parent() == documents_;
  view_.setDocument(doc);
  if (ours) {
    // Freeing a whole laid-out memo costs about as much as showing the
    // first screen of the next one, so it waits for an idle pass (one
    // still waiting goes now).
    old->setParent(nullptr);
    retired_.reset(old);
    idlePass_.start();
  }
  view_.verticalScrollBar()->setValue(0);
}

void TMemoLoader::BuildVisiblePart() {
  const QAbstractTextDocumentLayout* layout = view_.document()->documentLayout();
  while (!BuildStep(kVisibleStep)) {
    // Each step is laid out when it ends, so the size is that of the
    // text built so far.
    if (layout->documentSize().height() > view_.viewport()->height()) {
      idlePass_.start();
      return;
    }
  }
}

void TMemoLoader::IdlePass() {
  if (retired_) {
    retired_.reset();
  } else if (build_) {
    BuildStep(kIdleStep);
  }
  if (retired_ || build_) idlePass_.start();
}

void TMemoLoader::Finish() {
  BuildStep(TMemoBuild::kAll);
}

QTextDocument& TMemoLoader::WholeDocument() {
  Finish();
  return *view_.document();
}

bool TMemoLoader::BuildStep(std::size_t bytes) {
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

}  // namespace dorvem
