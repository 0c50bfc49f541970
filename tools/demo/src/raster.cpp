#include "raster.h"

#include <algorithm>
#include <cmath>

namespace demo {
namespace {

struct Edge {
  double x0, y0, x1, y1;
  int dir;  // +1 downwards, -1 upwards
};

constexpr int kSubRows = 4;

uint8_t Mix(uint8_t a, uint8_t b, double t) {
  return static_cast<uint8_t>(std::lround(a + (b - a) * t));
}

}  // namespace

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, background) {}

void Canvas::VerticalGradient(Rgb top, Rgb bottom) {
  for (int y = 0; y < height_; ++y) {
    const double t = height_ > 1 ? static_cast<double>(y) / (height_ - 1) : 0;
    const Rgb c{Mix(top.r, bottom.r, t), Mix(top.g, bottom.g, t), Mix(top.b, bottom.b, t)};
    std::fill_n(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_, width_, c);
  }
}

void Canvas::Fill(const Path& path, Rgb color, double opacity) {
  std::vector<Edge> edges;
  double min_y = height_;
  double max_y = 0;
  for (const auto& poly : path.Flatten()) {
    for (size_t i = 0; i < poly.size(); ++i) {
      const Point a = poly[i];
      const Point b = poly[(i + 1) % poly.size()];
      if (a.y == b.y) continue;
      edges.push_back(a.y < b.y ? Edge{a.x, a.y, b.x, b.y, 1} : Edge{b.x, b.y, a.x, a.y, -1});
      min_y = std::min({min_y, a.y, b.y});
      max_y = std::max({max_y, a.y, b.y});
    }
  }
  const int row_begin = std::max(0, static_cast<int>(std::floor(min_y)));
  const int row_end = std::min(height_, static_cast<int>(std::ceil(max_y)) + 1);
  std::vector<double> cover(width_ + 1);
  std::vector<std::pair<double, int>> crossings;
  for (int y = row_begin; y < row_end; ++y) {
    std::fill(cover.begin(), cover.end(), 0.0);
    for (int s = 0; s < kSubRows; ++s) {
      const double sy = y + (s + 0.5) / kSubRows;
      crossings.clear();
      for (const Edge& e : edges) {
        if (sy < e.y0 || sy >= e.y1) continue;
        const double t = (sy - e.y0) / (e.y1 - e.y0);
        crossings.emplace_back(e.x0 + (e.x1 - e.x0) * t, e.dir);
      }
      std::sort(crossings.begin(), crossings.end());
      int winding = 0;
      for (size_t i = 0; i + 1 < crossings.size(); ++i) {
        winding += crossings[i].second;
        if (winding == 0) continue;
        const double xa = std::clamp(crossings[i].first, 0.0, static_cast<double>(width_));
        const double xb = std::clamp(crossings[i + 1].first, 0.0, static_cast<double>(width_));
        if (xb <= xa) continue;
        const int ia = static_cast<int>(xa);
        const int ib = static_cast<int>(xb);
        const double w = 1.0 / kSubRows;
        if (ia == ib) {
          cover[ia] += (xb - xa) * w;
        } else {
          cover[ia] += (ia + 1 - xa) * w;
          for (int x = ia + 1; x < ib; ++x) cover[x] += w;
          cover[ib] += (xb - ib) * w;
        }
      }
    }
    for (int x = 0; x < width_; ++x) {
      const double c = std::min(1.0, cover[x]) * opacity;
      if (c <= 0) continue;
      Rgb& p = pixels_[static_cast<size_t>(y) * width_ + x];
      p = {Mix(p.r, color.r, c), Mix(p.g, color.g, c), Mix(p.b, color.b, c)};
    }
  }
}

}  // namespace demo
