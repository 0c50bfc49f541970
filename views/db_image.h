// TDBImage: the read-only view of a picture field of the current record,
// linked to a data source through a field link.
//
// On every data change notice of its link the view drops its picture and,
// with AutoDisplay on, loads the field's bytes at once (picture_blob.h). A
// picture that cannot be loaded raises its error inside the notice, so it
// ends the dataset operation that sent it; the view is then left with an
// empty picture, painted as a white area. With no field (dataset closed)
// the picture is empty.
//
// Painting (db_image_paint.cpp) never raises: the background colour fills
// the client area inside the sunken two-pixel edge; the picture is drawn at
// its natural size, centred (or at the top-left corner with Center off, or
// scaled to the client area with Stretch on) and cut by the client area;
// while the view has the focus a one-pixel frame in the window-frame colour
// runs along the inside of the edge. A view whose picture is not loaded
// (AutoDisplay off) shows the field's name in parentheses instead.
//
// Keys on the focused view: Ctrl+C and Ctrl+Insert copy the picture to the
// clipboard when there is one; Enter loads it when it is not loaded, as a
// double click does. Cut, paste and Esc change nothing: the data is never
// edited. A mouse press focuses the view.
//
// Owned by its parent widget; it owns its field link and its picture, not
// the data source.
#pragma once

#include <QFrame>
#include <QImage>
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
  // Switching it on loads the picture when it is not loaded; raises what
  // loading raises.
  void SetAutoDisplay(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  // Background around and behind the picture.
  QColor Color() const { return palette().color(QPalette::Window); }
  void SetColor(const QColor& c);

  // The picture: null when there is none (empty field, failed load, not
  // loaded).
  const QImage& Picture() const { return picture_; }
  bool PictureLoaded() const { return pictureLoaded_; }
  // Loads the field's picture unless it is loaded. Raises EInvalidGraphic
  // or EReadError for bytes that are no valid picture (the picture is then
  // empty and counts as loaded), and the dataset's errors.
  void LoadPicture();
  // Puts the picture on the clipboard; nothing when there is none.
  void CopyToClipboard() const;

  // Where the picture's top-left corner goes within a client area of
  // `client` pixels: ((client - picture) / 2) per axis with Center on, the
  // division truncating towards zero, else (0, 0).
  static QPoint PictureOrigin(QSize client, QSize picture, bool center);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The link's data change notice; raises what loading raises.
  void DataChange();

  TFieldDataLink link_;
  QImage picture_;
  bool pictureLoaded_ = false;
  bool autoDisplay_ = true;
  bool center_ = true;
  bool stretch_ = false;
};

}  // namespace dorvem
