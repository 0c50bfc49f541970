// TDBRichEdit: the read-only view of a formatted-text memo field of the
// current record, linked to a data source through a field link.
//
// On every data change notice of its link the view drops its text and, with
// AutoDisplay on, loads the memo again (LoadMemo): rich text first, plain
// text in the data's code page second, "(Failed to Load Stream)" last
// (rtf/memo_text.h has the rules). Each memo goes into a new document that
// takes the old one's place, so the view starts afresh at its first line.
// A reload that would show exactly what is shown - the same memo, read the
// same way, in a document nobody but its build has changed, looked at from
// its start with nothing selected - keeps the document, and a build of it
// in progress goes on, instead of building it again (a search keystroke
// moves to the same first record before it moves to the new one). Of a
// memo longer than 128 KB the view reads and shows only the start, ending
// with a notice in Hungarian of both sizes (memo_loader.h).
// With the dataset closed the view is empty and holds no memo; with
// AutoDisplay off it is empty until the memo is loaded. Loading raises
// nothing of its own; a failure to read the field goes out through the
// dataset operation that caused the notice.
//
// Loading in two parts, so that a move to a long memo stays quick: the view
// holds a memo loader (memo_loader.h) that builds whole paragraphs until
// the text reaches below the bottom of the view, laid out as they come;
// that is all a paint after the move shows, and the scroll bar is already
// enabled exactly when there is more. The rest is built while the event
// loop is idle, so that once the loop has run the view is as if the memo
// had been built at once. Until then only the scroll bar's thumb differs:
// it is sized to the part built so far. The document shown before is freed
// in the next idle pass (or at the next notice, if none came between).
//
// Whatever needs the whole memo builds the rest first, at once (the
// contract the window, the tests and assistive technology rely on):
//   - the user: a key (so Ctrl+A, Ctrl+C, Ctrl+Insert and the moving keys),
//     a mouse press or double click, a wheel turn or a context menu on the
//     view, a drag over it, and a mouse press, wheel turn or key on its
//     vertical scroll bar;
//   - the vertical scroll bar's value changing, by anyone;
//   - a selection being made, by anyone (so selectAll() then copy());
//   - the view being resized or its font changing (a screen may hold more);
//   - assistive technology becoming active, or being active when the memo
//     is loaded, since Qt's accessibility interface reads the document
//     directly;
//   - code: FinishLoading() and WholeDocument(). QTextEdit's members read
//     and act on the part built so far; code that reads the document, its
//     text or the scroll bar's range, or that searches, moves the cursor or
//     prints, calls FinishLoading() first or reads WholeDocument().
// A check of the data (LoadMemoText) never builds in parts. A new notice
// drops a build in progress.
//
// Read-only: keys that would change the text are refused, selecting and
// copying work. Enter or a double click loads a memo that is not loaded
// (which happens only with AutoDisplay off). The vertical scroll bar, when
// shown always, is disabled while the text fits.
//
// Links (db_rich_edit_links.cpp): the view knows nothing of what a link
// is; its owner tells it (SetLinkTest) which characters of the document
// belong to one. While the pointer rests on such a character the view
// shows the pointing-hand cursor, and its own cursor again when the
// pointer leaves it; a left click on one (pressed and released on the same
// link, nothing selected) is reported with the character's position.
// Without a test the view has no links and its mouse handling is QTextEdit's.
//
// Owned by its parent widget; it owns its field link and its memo loader
// (and through it the documents it shows), not the data source.
#pragma once

#include <QCursor>
#include <QTextEdit>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "views/field_data_link.h"
#include "views/memo_loader.h"
#include "views/rtf/memo_text.h"

namespace dorvem {

class TDBRichEdit : public QTextEdit {
  Q_OBJECT

 public:
  explicit TDBRichEdit(QWidget* parent = nullptr);

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
  const std::string& DataField() const { return link_.FieldName(); }
  void SetDataField(std::string name) { link_.SetFieldName(std::move(name)); }
  const TFieldDataLink& DataLink() const { return link_; }

  // Read-only is kept by the link too, so that it never asks for editing.
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool value);
  bool AutoDisplay() const { return autoDisplay_; }
  // Switching it on loads the memo at once.
  void SetAutoDisplay(bool value);
  // With PlainText the memo is read as plain text only.
  bool PlainText() const { return plainText_; }
  void SetPlainText(bool value) { plainText_ = value; }

  // Whether the view shows the current record's memo.
  bool MemoLoaded() const { return memoLoaded_; }
  // How the memo last loaded was read.
  TMemoOutcome LastOutcome() const { return loader_->Outcome(); }
  // Loads the current record's memo (nothing while the dataset is closed):
  // what the view shows at once, the rest while the program is idle.
  void LoadMemo();
  // Whether part of the loaded memo is still to be built.
  bool Loading() const { return loader_->Loading(); }
  // Builds the rest of the memo now.
  void FinishLoading() const { loader_->Finish(); }
  // The document shown, with the whole memo built.
  QTextDocument* WholeDocument() const { return &loader_->WholeDocument(); }
  // How much larger than the memo says its text is shown (1: as it says;
  // text without a size of its own scales the view's font). A change loads
  // the memo shown again at the new scale, built whole, scrolled to the
  // same share of its length.
  double TextScale() const { return loader_->TextScale(); }
  void SetTextScale(double scale);

  // --- Links ----------------------------------------------------------------
  // Whether the character at a document position belongs to a link.
  using TLinkTest = std::function<bool(int position)>;
  // Installs the test (and follows the pointer over the text for it).
  void SetLinkTest(TLinkTest test);
  // Called with the position of the character clicked, on a link.
  std::function<void(int position)> OnLinkClicked;
  // The document position of the character under `viewportPoint`, or -1.
  int CharacterAt(QPoint viewportPoint) const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void DataChange();
  // The link character under the point, or -1.
  int LinkAt(QPoint viewportPoint) const;
  // Shows the pointing hand over a link and the view's cursor elsewhere.
  void UpdateLinkCursor(QPoint viewportPoint);

  TLinkTest linkTest_;
  // The viewport's cursor while the pointing hand replaces it.
  std::optional<QCursor> cursorBeforeLink_;
  // The link character a left press went down on, or -1.
  int pressedLink_ = -1;

  // Made once the view has its vertical scroll bar, which it watches; it
  // outlives the link, whose notices it serves.
  std::unique_ptr<TMemoLoader> loader_;
  TFieldDataLink link_;
  bool autoDisplay_ = true;
  bool plainText_ = false;
  bool memoLoaded_ = false;
};

}  // namespace dorvem
