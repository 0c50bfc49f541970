#include "views/quiet_scroll_bar.h"

#include <QGuiApplication>
#include <QPainter>
#include <QStyleOptionSlider>
#include <algorithm>

namespace dorvem {

TQuietScrollBar::TQuietScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {}

TQuietScrollBar::Look TQuietScrollBar::CurrentLook() const {
  QStyleOptionSlider option;
  initStyleOption(&option);
  Look look;
  look.rect = option.rect;
  look.state = option.state;
  look.direction = option.direction;
  look.palette = option.palette.cacheKey();
  look.orientation = option.orientation;
  look.subControls = option.subControls;
  look.activeSubControls = option.activeSubControls;
  look.upsideDown = option.upsideDown;
  look.thumb =
      style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
  look.empty = option.minimum == option.maximum;
  look.valueAtMinimum = option.sliderValue == option.minimum;
  look.valueAtMaximum = option.sliderValue == option.maximum;
  look.thumbAtMinimum = option.sliderPosition == option.minimum;
  look.thumbAtMaximum = option.sliderPosition == option.maximum;
  look.style = style();
  return look;
}

void TQuietScrollBar::sliderChange(SliderChange change) {
  // A change that does not show leaves the screen as it is; one that does,
  // or one under transient bars, repaints as ever.
  if (painted_ && !style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this) &&
      *painted_ == CurrentLook())
    return;
  QScrollBar::sliderChange(change);
}

void TQuietScrollBar::paintEvent(QPaintEvent* event) {
  painted_ = CurrentLook();
  // With the pointer on the bar or a button down, a part may be hovered or
  // pressed, which only the base class knows; at another pixel ratio an
  // image would be scaled; transient bars fade in and out, which the look
  // does not tell. Then, and for a look without an image, the bar paints
  // itself.
  const bool imagesServe = !underMouse() && !isSliderDown() &&
                           QGuiApplication::mouseButtons() == Qt::NoButton &&
                           devicePixelRatioF() == 1.0 &&
                           !style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this);
  const QImage* image = imagesServe ? ImageOf(*painted_) : nullptr;
  if (image == nullptr) {
    QScrollBar::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.drawImage(0, 0, *image);
}

// Paints the bar as the base class does with no part pressed or hovered.
QImage TQuietScrollBar::Render(QRgb background) const {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(background);
  QPainter painter(&image);
  QStyleOptionSlider option;
  initStyleOption(&option);
  option.subControls = QStyle::SC_All;
  option.activeSubControls = QStyle::SC_None;
  style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
  return image;
}

const QImage* TQuietScrollBar::ImageOf(const Look& look) {
  for (auto it = images_.begin(); it != images_.end(); ++it)
    if (it->first == look) {
      // The most recently used goes last.
      std::rotate(it, it + 1, images_.end());
      return images_.back().second.isNull() ? nullptr : &images_.back().second;
    }
  // Kept only when the style covers the whole bar with opaque paint: then
  // what lies beneath cannot show through, and the image is the very
  // pixels the bar paints. Otherwise a null image says to paint directly.
  QImage onBlack = Render(qRgb(0, 0, 0));
  if (onBlack != Render(qRgb(255, 255, 255))) onBlack = QImage();
  if (images_.size() == kKeptLooks) images_.erase(images_.begin());
  images_.emplace_back(look, std::move(onBlack));
  return images_.back().second.isNull() ? nullptr : &images_.back().second;
}

}  // namespace dorvem
