// TMemoBuild: a memo's bytes loaded into a text document a part at a time,
// so that a view can show the beginning of a long memo at once and build
// the rest while the program is idle. What the bytes become is decided by
// the rules of memo_text.h; a build taken to its end leaves exactly the
// document that LoadMemoText makes of the same bytes.
//
// The path (rich text, plain text, failure) is chosen when the build
// starts, so Outcome is known at once; the document is emptied then and
// filled by the steps. Each step is one edit of the document and ends right
// after a paragraph (a line of plain text) ended, or at the memo's end, so
// that what is in the document stays as it is: later steps only append. A
// step uses at least the bytes it is given unless the memo ends first, and
// more when the paragraph in progress is longer.
//
// A build may show only the head of a memo (its first bytes, given with the
// whole memo's size and whether a zero byte lies after them): it reads the
// head (plain text up to the last line break among its last 4 KB, when
// there is one) and ends the document with a paragraph that says so, in
// Hungarian, giving both sizes. Which path reads the bytes is still decided
// by the whole memo.
//
// A build may show the text larger or smaller: with a text scale other
// than 1, every character it adds that names its size (in points or pixels)
// gets that size times the scale; text without a size of its own takes the
// document's default font, which the caller scales.
//
// Undo and redo are off while a step runs and as the document had them in
// between; nothing is recorded. The build owns a copy of the bytes and the
// reading state. It does not own the document, which must outlive it and
// which nobody else may change while it runs. Destroying a build that is
// not done leaves the document with the paragraphs built so far.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "views/rtf/memo_text.h"

class QTextDocument;

namespace dorvem {

class TMemoBuild {
 public:
  // A step budget that builds all that is left.
  static constexpr std::size_t kAll = static_cast<std::size_t>(-1);

  // Starts loading `bytes` into `doc`: empties it and chooses the path
  // (with `plainTextOnly` the bytes are read as plain text whatever they
  // are). `codePage` is the data's, for plain text. Of a memo longer than
  // `shownBytes`, only its start is shown, and the notice.
  TMemoBuild(std::string_view bytes, std::uint32_t codePage, QTextDocument& doc,
             bool plainTextOnly = false, std::size_t shownBytes = kAll);
  // The same, for a memo of `size` bytes of which only `head`, its start,
  // is at hand; `zeroInRest` tells whether the bytes after it hold a zero
  // byte. Shows the head; a memo longer than it is shown in part. Sizes are
  // scaled by `textScale` (> 0).
  TMemoBuild(std::string_view head, std::size_t size, bool zeroInRest, std::uint32_t codePage,
             QTextDocument& doc, bool plainTextOnly, double textScale = 1.0);
  ~TMemoBuild();
  TMemoBuild(const TMemoBuild&) = delete;
  TMemoBuild& operator=(const TMemoBuild&) = delete;

  TMemoOutcome Outcome() const { return outcome_; }
  // Whether only the start of the memo is shown.
  bool Cut() const { return wholeBytes_ > readBytes_; }
  // Whether the document holds the whole memo (or all of it that is shown,
  // and the notice).
  bool Done() const;
  // Builds on by at least `bytes` bytes of the memo, to the end of the
  // paragraph they reach. Returns Done().
  bool Step(std::size_t bytes);
  // Builds the rest.
  void Finish() { Step(kAll); }

 private:
  class TPath;
  class TRichPath;
  class TPlainPath;
  class TFailurePath;

  // Ends the document with the notice of a memo shown in part.
  void AppendCutNotice();

  QTextDocument& doc_;
  double textScale_;
  TMemoOutcome outcome_;
  std::unique_ptr<TPath> path_;
  std::size_t wholeBytes_;
  std::size_t readBytes_;
  bool noticeDue_;
};

}  // namespace dorvem
