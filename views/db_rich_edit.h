// TDBRichEdit: the read-only view of a formatted-text memo field of the
// current record, linked to a data source through a field link.
//
// On every data change notice of its link the view drops its text and, with
// AutoDisplay on, loads the memo again (LoadMemo): rich text first, plain
// text in the data's code page second, "(Failed to Load Stream)" last
// (rtf/memo_text.h has the rules). Each memo goes into a new document that
// takes the old one's place, so the view starts afresh at its first line.
// A reload that would show exactly what is shown - the same memo bytes, read
// the same way, in a document nobody but its build has changed, looked at
// from its start with nothing selected - keeps the document, and a build of
// it in progress goes on, instead of building it again (a search keystroke
// moves to the same first record before it moves to the new one).
// With the dataset closed the view is empty and holds no memo; with
// AutoDisplay off it is empty until the memo is loaded. Loading raises
// nothing of its own; a failure to read the field goes out through the
// dataset operation that caused the notice.
//
// Loading in two parts, so that a move to a long memo stays quick: LoadMemo
// copies the memo's bytes and builds (rtf/memo_build.h) whole paragraphs
// until the text reaches below the bottom of the view, laid out as they
// come; that is all a paint after the move shows, and the scroll bar is
// already enabled exactly when there is more. The rest is built while the
// event loop is idle, one step of whole paragraphs per pass, appended below
// what is shown, so that once the loop has run the view is as if the memo
// had been built at once. Until then only the scroll bar's thumb differs:
// it is sized to the part built so far.
//
// Whatever needs the whole memo builds the rest first, at once (the
// contract the window, the tests and assistive technology rely on):
//   - reading the document or its text through this class: document(),
//     toPlainText(), toHtml(), toMarkdown(), textCursor(), and the scroll
//     bar through verticalScrollBar() (its range is then the whole memo's);
//   - acting on the text through this class: copy(), selectAll(), find(),
//     moveCursor(), scrollToAnchor(), print(); and FinishLoading();
//   - the user: a key (so Ctrl+A, Ctrl+C, Ctrl+Insert and the moving keys),
//     a mouse press or double click, a wheel turn or a context menu on the
//     view, a drag over it, and a mouse press, wheel turn or key on its
//     vertical scroll bar;
//   - the vertical scroll bar's value changing, by anyone;
//   - the view being resized or its font changing (a screen may hold more);
//   - assistive technology being active when the memo is loaded: then the
//     whole memo is built during the move, since Qt's accessibility
//     interface reads the document directly.
// A check of the data (LoadMemoText) never builds in parts. A new notice
// drops a build in progress. The document shown before is freed in the
// next idle pass too (or at the next notice, if none came between), so
// that a move does not pay for freeing a whole laid-out memo. Members of
// QTextEdit reached through a QTextEdit pointer or reference (and the
// "html" and "markdown" properties) bypass this class and see the part
// built so far; call FinishLoading first there.
//
// Read-only: keys that would change the text are refused, selecting and
// copying work. Enter or a double click loads a memo that is not loaded
// (which happens only with AutoDisplay off). The vertical scroll bar, when
// shown always, is disabled while the text fits.
//
// Owned by its parent widget; it owns its field link, the documents it
// shows and the build in progress, not the data source.
#pragma once

#include <QFont>
#include <QTextEdit>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "views/field_data_link.h"
#include "views/rtf/memo_build.h"
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
  TMemoOutcome LastOutcome() const { return outcome_; }
  // Loads the current record's memo (nothing while the dataset is closed):
  // what the view shows at once, the rest while the program is idle.
  void LoadMemo();
  // Whether part of the loaded memo is still to be built.
  bool Loading() const { return build_ != nullptr; }
  // Builds the rest of the memo now.
  void FinishLoading() const;

  // QTextEdit's members that need the whole memo, each finishing loading
  // first (they hide QTextEdit's own, which see only the part built).
  QTextDocument* document() const;
  QString toPlainText() const;
  QString toHtml() const;
  QString toMarkdown(
      QTextDocument::MarkdownFeatures features = QTextDocument::MarkdownDialectGitHub) const;
  QTextCursor textCursor() const;
  QScrollBar* verticalScrollBar() const;
  void copy();
  void selectAll();
  bool find(const QString& exp, QTextDocument::FindFlags options = QTextDocument::FindFlags());
  bool find(const QRegularExpression& exp,
            QTextDocument::FindFlags options = QTextDocument::FindFlags());
  void moveCursor(QTextCursor::MoveOperation operation,
                  QTextCursor::MoveMode mode = QTextCursor::MoveAnchor);
  void scrollToAnchor(const QString& name);
  void print(QPagedPaintDevice* printer) const;

 protected:
  bool event(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Watches the vertical scroll bar for the user's input.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DataChange();
  // Drops the build in progress, if any (its document stays as it is).
  void CancelLoading();
  // Shows `doc` (owned by this view) in place of the document shown.
  void ShowDocument(QTextDocument* doc);
  // Builds until the text reaches below the view's bottom or ends.
  void BuildVisiblePart();
  // One pass of the event loop while idle: frees the document last shown
  // or builds one step.
  void IdlePass();
  // Builds a step of `bytes` (TMemoBuild::kAll: the rest); returns whether
  // the memo is complete, and then drops the build.
  bool BuildStep(std::size_t bytes) const;
  // Whether loading `bytes` in `codePage` would show exactly what the view
  // shows now, as it would show it.
  bool ShowsAlready(const std::vector<std::uint8_t>& bytes, std::uint32_t codePage) const;

  // What the document shown was loaded from, while nothing has changed it.
  struct LoadedMemo {
    std::vector<std::uint8_t> bytes;
    std::uint32_t codePage;
    bool plainText;
    QFont font;
  };
  std::optional<LoadedMemo> loaded_;

  TFieldDataLink link_;
  // The memo being built into the document shown; mutable because
  // finishing it does not change what the view holds, only how much of it
  // is built.
  mutable std::unique_ptr<TMemoBuild> build_;
  // Parent of the documents this view made (owned by the view).
  QObject* documents_ = nullptr;
  // The document shown before, freed in the next idle pass.
  std::unique_ptr<QTextDocument> retired_;
  QTimer idlePass_;
  mutable bool building_ = false;      // a step is running
  mutable bool finishWanted_ = false;  // the whole memo was asked for meanwhile
  bool autoDisplay_ = true;
  bool plainText_ = false;
  bool memoLoaded_ = false;
  TMemoOutcome outcome_ = TMemoOutcome::kPlainText;
};

}  // namespace dorvem
