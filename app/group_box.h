// TGroupBox: a group box that draws its frame and title only when a repaint
// reaches them.
//
// The style draws a group box's frame as a path (rounded, antialiased)
// whose cost does not shrink with the area repainted, and a control inside
// the box that repaints (the search box, on every keystroke) makes the box
// repaint beneath it, since the control does not paint opaquely. Inside the
// frame line, clear of the title, the box shows only its background, which
// the toolkit fills before the box paints; so a repaint that lies wholly
// there skips the frame and the title. Anything else paints as a plain
// group box does.
//
// Owned by its parent widget.
#pragma once

#include <QGroupBox>
#include <QRegion>

namespace dorvem {

class TGroupBox : public QGroupBox {
  Q_OBJECT

 public:
  explicit TGroupBox(const QString& title, QWidget* parent = nullptr);

  // The part of the box that its frame and title may draw on: all of it
  // but the inside of the frame, kept kFrameMargin pixels from the frame's
  // edge.
  QRegion DecoratedRegion() const;
  static constexpr int kFrameMargin = 4;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace dorvem
