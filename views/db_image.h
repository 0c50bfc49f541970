// TDBImage: the read-only view of a picture field of the current record,
// linked to a data source through a field link.
//
// This class holds the view's settings (field, read-only, Center, Stretch,
// AutoDisplay) and draws its sunken border and background; it does not load
// pictures yet, so it shows an empty area.
//
// Owned by its parent widget; it owns its field link, not the data source.
#pragma once

#include <QFrame>
#include <string>

#include "views/field_data_link.h"

namespace dorvem {

class TDBImage : public QFrame {
  Q_OBJECT

 public:
  explicit TDBImage(QWidget* parent = nullptr);

  TDataSource* DataSource() const { return link_.DataSource(); }
  void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
  const std::string& DataField() const { return link_.FieldName(); }
  void SetDataField(std::string name) { link_.SetFieldName(std::move(name)); }
  const TFieldDataLink& DataLink() const { return link_; }

  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool value) { link_.SetReadOnly(value); }
  bool AutoDisplay() const { return autoDisplay_; }
  void SetAutoDisplay(bool value) { autoDisplay_ = value; }
  bool Center() const { return center_; }
  void SetCenter(bool value) { center_ = value; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value) { stretch_ = value; }
  // Background around and behind the picture.
  QColor Color() const { return palette().color(QPalette::Window); }
  void SetColor(const QColor& c);

 private:
  TFieldDataLink link_;
  bool autoDisplay_ = true;
  bool center_ = true;
  bool stretch_ = false;
};

}  // namespace dorvem
