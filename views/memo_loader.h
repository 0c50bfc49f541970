// TMemoLoader: puts memos into a text view in two parts, so that a move to
// a long memo stays quick, and keeps the view's promise that whatever needs
// the whole memo sees the whole memo.
//
// Load builds (rtf/memo_build.h) whole paragraphs of a new document until
// the text reaches below the bottom of the view, laid out as they come,
// and shows it; the rest is built while the event loop is idle, one step
// of whole paragraphs per pass, appended below what is shown. Until then
// only the scroll bar's thumb differs from a memo built at once: it is
// sized to the part built so far.
//
// Reuse: a load that would show exactly what is shown - the same head of
// a memo of the same size (memo_field.h), read the same way in the same
// font, in a document nobody but its build has changed, looked at from its
// start with nothing selected - keeps the document, and a build of it in
// progress goes on.
//
// What finishes a build at once is kept in one place (the table in
// memo_loader.cpp and Watch): the user's input on the view, its viewport
// or its vertical scroll bar; the bar's value changing, by anyone; the
// view's size or font changing; a selection being made; assistive
// technology becoming active (it reads the document directly), or being
// active when a memo is loaded. Code that reads or acts on the document
// calls Finish (or reads WholeDocument) first: members of QTextEdit see the
// part built so far.
//
// A memo longer than kMaxShownMemoBytes is shown in part: its start and a
// notice of its sizes (rtf/memo_build.h). Building and laying out more at
// once, as whatever needs the whole memo does, would hold up the window.
//
// The document shown before a load is freed in the next idle pass (or at
// the next load, if none came between), so that a move does not pay for
// freeing a whole laid-out memo.
//
// Owned by its view, which must outlive it and must have its final
// vertical scroll bar when the loader is made. The documents it makes hang
// below a holder that is a child of the view.
#pragma once

#include <QAccessible>
#include <QFont>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "views/memo_field.h"
#include "views/rtf/memo_build.h"
#include "views/rtf/memo_text.h"

class QTextDocument;
class QTextEdit;

namespace dorvem {

class TMemoLoader : public QObject, private QAccessible::ActivationObserver {
  Q_OBJECT

 public:
  explicit TMemoLoader(QTextEdit& view);
  ~TMemoLoader() override;

  // Shows the memo of `head` (read by the rules of rtf/memo_text.h, as
  // plain text only with `plainText`; `codePage` is the data's) from its
  // start: the first screen at once, the rest while idle; or keeps the
  // document shown when it shows exactly that already. Drops a build in
  // progress otherwise. A head of more than kMaxShownMemoBytes is shown
  // up to that size.
  void Load(TMemoHead head, std::uint32_t codePage, bool plainText);
  // Drops the build in progress and empties the document shown.
  void Clear();
  // The scale of the text of the memos loaded from now on (1: as the memo
  // says; the view's font is scaled for text without a size of its own).
  double TextScale() const { return textScale_; }
  void SetTextScale(double scale) { textScale_ = scale; }

  // How the memo last loaded was read.
  TMemoOutcome Outcome() const { return outcome_; }
  // Whether part of the memo shown is still to be built.
  bool Loading() const { return build_ != nullptr; }
  // Builds the rest of the memo now.
  void Finish();
  // The document shown, with the whole memo built.
  QTextDocument& WholeDocument();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Connects what finishes a build besides the events of the table.
  void Watch();
  void accessibilityActiveChanged(bool active) override;
  // Whether loading `head` this way would show exactly what is shown.
  bool ShowsAlready(const TMemoHead& head, std::uint32_t codePage, bool plainText) const;
  // Shows `doc` (owned by the holder) in place of the document shown.
  void ShowDocument(QTextDocument* doc);
  // Builds until the text reaches below the view's bottom or ends.
  void BuildVisiblePart();
  // One pass of the event loop while idle: frees the document last shown
  // or builds one step.
  void IdlePass();
  // Builds a step of `bytes` (TMemoBuild::kAll: the rest); returns whether
  // the memo is complete, and then drops the build.
  bool BuildStep(std::size_t bytes);

  // What the document shown was loaded from, while nothing has changed it
  // (what is shown depends on nothing else of the memo).
  struct LoadedMemo {
    TMemoHead head;
    std::uint32_t codePage;
    bool plainText;
    QFont font;  // the document's default font
    double textScale;
  };
  // The view's font scaled by textScale_.
  QFont DefaultFont() const;

  QTextEdit& view_;
  // Parent of the documents this loader made (a child of the view).
  QObject* documents_;
  std::optional<LoadedMemo> loaded_;
  // The memo being built into the document shown.
  std::unique_ptr<TMemoBuild> build_;
  // The document shown before, freed in the next idle pass.
  std::unique_ptr<QTextDocument> retired_;
  QTimer idlePass_;
  double textScale_ = 1.0;
  bool building_ = false;      // a step is running
  bool finishWanted_ = false;  // the whole memo was asked for meanwhile
  TMemoOutcome outcome_ = TMemoOutcome::kPlainText;
};

}  // namespace dorvem
