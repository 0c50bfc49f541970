// TDBRichEdit: the read-only view of a formatted-text memo field of the
// current record, linked to a data source through a field link.
//
// On every data change notice of its link the view drops its text and, with
// AutoDisplay on, loads the memo again (LoadMemo): rich text first, plain
// text in the data's code page second, "(Failed to Load Stream)" last
// (rtf/memo_text.h has the rules). Each memo is read into a new document
// that then takes the old one's place, so the view starts afresh at its
// first line and lays the text out in steps, the first screen at once.
// A reload that would show exactly what is shown - the same memo bytes, read
// the same way, in a document nobody has changed, looked at from its start
// with nothing selected - keeps the document instead of building it again
// (a search keystroke moves to the same first record before it moves to the
// new one).
// With the dataset closed the view is empty and holds no memo; with
// AutoDisplay off it is empty until the memo is loaded. Loading raises
// nothing of its own; a failure to read the field goes out through the
// dataset operation that caused the notice.
//
// Read-only: keys that would change the text are refused, selecting and
// copying work. Enter or a double click loads a memo that is not loaded
// (which happens only with AutoDisplay off). The vertical scroll bar, when
// shown always, is disabled while the text fits.
//
// Owned by its parent widget; it owns its field link and the documents it
// shows, not the data source.
#pragma once

#include <QFont>
#include <QTextEdit>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "views/field_data_link.h"
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
  // Loads the current record's memo (nothing while the dataset is closed).
  void LoadMemo();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void DataChange();
  // Shows `doc` (owned by this view) in place of the document shown.
  void ShowDocument(QTextDocument* doc);
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
  bool autoDisplay_ = true;
  bool plainText_ = false;
  bool memoLoaded_ = false;
  TMemoOutcome outcome_ = TMemoOutcome::kPlainText;
};

}  // namespace dorvem
