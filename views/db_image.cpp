// The picture view's loading and input: the data change notice, the keys
// and the mouse.
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "dataset/host/blob_stream.h"
#include "dataset/host/fields.h"
#include "dataset/host/handler_guard.h"
#include "views/db_image.h"
#include "views/picture/picture_blob.h"

namespace dorvem {

TDBImage::TDBImage(QWidget* parent) : QFrame(parent) {
  // A single border drawn as a sunken three-dimensional edge.
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  link_.OnDataChange = [this] { DataChange(); };
}

void TDBImage::SetColor(const QColor& c) {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, c);
  setPalette(pal);
}

void TDBImage::SetAutoDisplay(bool value) {
  if (value == autoDisplay_) return;
  autoDisplay_ = value;
  if (value) LoadPicture();
}

void TDBImage::SetCenter(bool value) {
  center_ = value;
  update();
}

void TDBImage::SetStretch(bool value) {
  stretch_ = value;
  update();
}

void TDBImage::DataChange() {
  picture_ = QImage();
  pictureLoaded_ = false;
  update();
  if (autoDisplay_) LoadPicture();
}

void TDBImage::LoadPicture() {
  if (pictureLoaded_) return;
  TField* field = link_.Field();
  const auto* blob = dynamic_cast<const TBlobField*>(field);
  // A field that holds no bytes has no picture to load.
  if (field && !blob) return;
  // From here on the view holds a picture, empty until the bytes decode.
  picture_ = QImage();
  pictureLoaded_ = true;
  update();
  if (!blob) return;
  const std::unique_ptr<TClientBlobStream> stream = blob->CreateBlobStream();
  picture_ = LoadPictureBlob(stream->Bytes());
}

void TDBImage::CopyToClipboard() const {
  if (picture_.isNull()) return;
  QGuiApplication::clipboard()->setImage(picture_);
}

void TDBImage::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  switch (event->key()) {
    case Qt::Key_C:
      if (mods != Qt::ControlModifier) break;
      CopyToClipboard();
      return;
    case Qt::Key_Insert:
      // Ctrl+Insert copies; Shift+Insert would paste, which the read-only
      // link refuses.
      if (mods == Qt::ControlModifier) CopyToClipboard();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      GuardHandler([this] { LoadPicture(); });
      return;
    case Qt::Key_Escape:
    case Qt::Key_Delete:
      // Esc has no edit to cancel; Shift+Delete would cut.
      return;
    case Qt::Key_X:
    case Qt::Key_V:
      // Cut and paste would edit the field.
      if (mods == Qt::ControlModifier) return;
      break;
    default:
      break;
  }
  QFrame::keyPressEvent(event);
}

void TDBImage::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  QFrame::mousePressEvent(event);
}

void TDBImage::mouseDoubleClickEvent(QMouseEvent* event) {
  GuardHandler([this] { LoadPicture(); });
  QFrame::mouseDoubleClickEvent(event);
}

void TDBImage::focusInEvent(QFocusEvent* event) {
  QFrame::focusInEvent(event);
  update();
}

void TDBImage::focusOutEvent(QFocusEvent* event) {
  QFrame::focusOutEvent(event);
  update();
}

}  // namespace dorvem
