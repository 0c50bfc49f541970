#include "views/quiet_scroll_bar.h"

#include <QStyleOptionSlider>

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
  QScrollBar::paintEvent(event);
}

}  // namespace dorvem
