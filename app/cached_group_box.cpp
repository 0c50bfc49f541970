#include "app/cached_group_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <cmath>

namespace dorvem {

TCachedGroupBox::Look TCachedGroupBox::CurrentLook() const {
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  Look look;
  look.size = size();
  look.devicePixelRatio = devicePixelRatioF();
  look.title = title();
  look.state = option.state;
  look.palette = palette().cacheKey();
  look.font = font();
  look.alignment = alignment();
  look.flat = isFlat();
  look.checkable = isCheckable();
  look.style = style();
  return look;
}

bool TCachedGroupBox::Exact() const {
  const qreal ratio = devicePixelRatioF();
  return autoFillBackground() && palette().brush(backgroundRole()).isOpaque() &&
         ratio == std::floor(ratio) && !size().isEmpty();
}

void TCachedGroupBox::paintEvent(QPaintEvent* event) {
  fromImage_ = false;
  if (!Exact()) {
    QGroupBox::paintEvent(event);
    return;
  }
  const Look look = CurrentLook();
  if (look_ != look) {
    QPixmap image(look.size * look.devicePixelRatio);
    image.setDevicePixelRatio(look.devicePixelRatio);
    // As the toolkit paints the box: its background filled with its brush,
    // then the frame and title as QGroupBox::paintEvent draws them, with
    // what a painter on the widget itself starts from.
    QStylePainter painter(&image, this);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    painter.setBackground(palette().brush(backgroundRole()));
    painter.fillRect(rect(), palette().brush(backgroundRole()));
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
    painter.end();
    image_ = image;
    look_ = look;
  }
  QPainter painter(this);
  painter.drawPixmap(0, 0, image_);
  fromImage_ = true;
}

}  // namespace dorvem
