// An RGB pixel canvas that fills vector outlines with anti-aliasing.
//
// Pictures of the dictionary are drawn here and then encoded as bitmap files. Coordinates
// are pixels with y growing downwards; a fill covers each pixel by the exact horizontal
// share of its area inside the outline on four sub-scanlines (non-zero winding rule).
// The canvas owns its pixels; it is a plain value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "path.h"

namespace demo {

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

class Canvas {
 public:
  // A canvas of `width` x `height` pixels (both > 0) filled with `background`.
  Canvas(int width, int height, Rgb background);

  int width() const { return width_; }
  int height() const { return height_; }
  Rgb At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }

  // Paints the inside of `path` (pixel coordinates) with `color`, blended by coverage;
  // `opacity` in [0, 1] scales the coverage.
  void Fill(const Path& path, Rgb color, double opacity = 1.0);
  // Fills the rows from top to bottom with a vertical colour ramp.
  void VerticalGradient(Rgb top, Rgb bottom);

 private:
  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

}  // namespace demo
