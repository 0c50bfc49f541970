// TCachedGroupBox: a group box that draws its frame and title once and
// then copies them.
//
// A group box sits beneath the controls inside and over it (the search
// edit, the navigator), which do not paint opaquely; every repaint of one of
// them repaints the part of the box beneath it, and the style draws the
// frame anew each time, loading its frame image by name. This box keeps
// what it painted (its background, frame and title) as an image, together
// with everything that image depends on (Look), and paints by copying the
// image while that is unchanged: the pixels are the ones the box would
// paint itself.
//
// It paints through the image only where a copy is exact: the box fills
// its background with an opaque brush and the device pixel ratio is whole.
// Otherwise it paints as a plain group box.
//
// Tested by tests/app/cached_group_box_test.cpp.
#pragma once

#include <QFont>
#include <QGroupBox>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStyle>
#include <optional>

namespace dorvem {

class TCachedGroupBox : public QGroupBox {
  Q_OBJECT

 public:
  using QGroupBox::QGroupBox;

  // What the box's painting depends on.
  struct Look {
    QSize size;
    qreal devicePixelRatio = 1;
    QString title;
    QStyle::State state;
    qint64 palette = 0;
    QFont font;
    Qt::Alignment alignment;
    bool flat = false;
    bool checkable = false;
    const QStyle* style = nullptr;
    bool operator==(const Look&) const = default;
  };
  Look CurrentLook() const;
  // True when the last paint copied the kept image.
  bool PaintedFromImage() const { return fromImage_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  bool Exact() const;

  std::optional<Look> look_;  // what image_ shows
  QPixmap image_;
  bool fromImage_ = false;
};

}  // namespace dorvem
