// The picture view's painting. It reads only the view's own state and never
// raises.
#include <QPaintEvent>
#include <QPainter>

#include "dataset/host/fields.h"
#include "views/colors.h"
#include "views/db_image.h"

namespace dorvem {

QPoint TDBImage::PictureOrigin(QSize client, QSize picture, bool center) {
  if (!center) return {0, 0};
  // C++ division truncates towards zero, also for a picture larger than
  // the client area.
  return {(client.width() - picture.width()) / 2, (client.height() - picture.height()) / 2};
}

void TDBImage::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter p(this);
  const QRect client = contentsRect();
  p.fillRect(client, Color());
  p.setClipRect(client);
  if (!pictureLoaded_) {
    // Only with AutoDisplay off: the field's name stands in for the picture.
    const TField* field = link_.Field();
    const QString name = field ? QString::fromStdString(field->DisplayName()) : objectName();
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(client, Qt::AlignCenter, QStringLiteral("(%1)").arg(name));
  } else if (!picture_.isNull()) {
    if (stretch_)
      p.drawImage(client, picture_);
    else
      p.drawImage(client.topLeft() + PictureOrigin(client.size(), picture_.size(), center_),
                  picture_);
  }
  if (hasFocus()) {
    p.setPen(kWindowFrame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(client.adjusted(0, 0, -1, -1));
  }
}

}  // namespace dorvem
