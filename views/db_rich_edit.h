// TDBRichEdit: the read-only view of a formatted-text memo field of the
// current record, linked to a data source through a field link.
//
// This class holds the view's settings (field, read-only, scroll bars,
// AutoDisplay, PlainText) and its look; it does not load the memo yet, so it
// stays empty.
//
// Owned by its parent widget; it owns its field link, not the data source.
#pragma once

#include <QTextEdit>
#include <string>

#include "views/field_data_link.h"

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
  void SetAutoDisplay(bool value) { autoDisplay_ = value; }
  bool PlainText() const { return plainText_; }
  void SetPlainText(bool value) { plainText_ = value; }

 private:
  TFieldDataLink link_;
  bool autoDisplay_ = true;
  bool plainText_ = false;
};

}  // namespace dorvem
