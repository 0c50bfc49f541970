// TQuietScrollBar: a scroll bar that repaints on a change of its values
// only when the change shows.
//
// A plain scroll bar repaints itself whole whenever its range, steps or
// value are set, even when nothing it draws moves: a bar whose thumb is
// already at its smallest at the top looks the same for 100,000 records as
// for 5,000, and a view that sets its page step again after every new
// document repaints a bar that did not change. Each such repaint also
// repaints whatever lies beneath the bar, since the bar's style does not
// paint opaquely. This bar remembers how it looked when it last painted
// (its Look) and lets a change of its values schedule a repaint only when
// its look differs from that. Everything else that changes its look (state,
// palette, size, style, hovering) schedules its own repaint as before.
//
// It also keeps the images of the last few looks it painted, and paints a
// look it has kept by copying its image: a list that narrows and widens
// again brings the same looks back, and painting a tall bar afresh costs
// far more (the raster engine hands each tall shaded or translucent fill
// to worker threads and waits for them). An image is kept only where the
// style paints every pixel of the bar opaquely, checked by painting it
// over black and over white, so it holds exactly what the bar would paint;
// with the pointer on the bar or a button down, at a pixel ratio other
// than 1, or under transient bars, the bar paints itself.
//
// Under a style whose scroll bars come and go (transient bars), every
// change repaints as a plain bar's does, since the change may make the bar
// appear.
//
// Owned by its parent widget, like any scroll bar.
#pragma once

#include <QImage>
#include <QPalette>
#include <QRect>
#include <QScrollBar>
#include <QStyle>
#include <optional>
#include <utility>
#include <vector>

namespace dorvem {

class TQuietScrollBar : public QScrollBar {
  Q_OBJECT

 public:
  explicit TQuietScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

  // What the bar's drawing depends on: the style option it paints with,
  // its values reduced to the thumb's rectangle and whether the value and
  // the thumb stand at either end (styles draw the end buttons after it).
  struct Look {
    QRect rect;
    QStyle::State state;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    qint64 palette = 0;
    Qt::Orientation orientation = Qt::Vertical;
    QStyle::SubControls subControls;
    QStyle::SubControls activeSubControls;
    bool upsideDown = false;
    QRect thumb;
    bool empty = false;  // minimum == maximum
    bool valueAtMinimum = false;
    bool valueAtMaximum = false;
    bool thumbAtMinimum = false;
    bool thumbAtMaximum = false;
    const QStyle* style = nullptr;
    bool operator==(const Look&) const = default;
  };
  // The look the bar would paint now.
  Look CurrentLook() const;

 protected:
  void sliderChange(SliderChange change) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  static constexpr std::size_t kKeptLooks = 8;
  // The bar painted over `background`, with no part pressed or hovered.
  QImage Render(QRgb background) const;
  // The kept image of `look`, painted and kept now if it is not; null
  // where the style lets what lies beneath show.
  const QImage* ImageOf(const Look& look);

  // The look of the last paint; none before the first.
  std::optional<Look> painted_;
  // Looks painted, least recently used first, with their images (null
  // for a look that cannot be kept).
  std::vector<std::pair<Look, QImage>> images_;
};

}  // namespace dorvem
