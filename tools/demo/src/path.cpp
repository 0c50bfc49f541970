#include "path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace demo {
namespace {

// Control distance of a cubic that approximates a quarter circle of radius 1.
constexpr double kKappa = 0.5522847498;

Point Lerp(Point a, Point b, double t) {
  return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

}  // namespace

Affine Affine::Then(const Affine& first) const {
  return {a * first.a + c * first.b, b * first.a + d * first.b,     a * first.c + c * first.d,
          b * first.c + d * first.d, a * first.e + c * first.f + e, b * first.e + d * first.f + f};
}

Affine Affine::Rotate(double degrees) {
  const double r = degrees * std::numbers::pi / 180.0;
  return {std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0};
}

Path& Path::MoveTo(Point p) {
  commands_.push_back({Op::kMove, {p, {}, {}}});
  return *this;
}

Path& Path::LineTo(Point p) {
  commands_.push_back({Op::kLine, {p, {}, {}}});
  return *this;
}

Path& Path::CubicTo(Point c1, Point c2, Point p) {
  commands_.push_back({Op::kCubic, {c1, c2, p}});
  return *this;
}

Path& Path::Close() {
  commands_.push_back({Op::kClose, {}});
  return *this;
}

Path& Path::Ellipse(Point c, double rx, double ry, double degrees, bool reverse) {
  const Affine m = Affine::Translate(c.x, c.y).Then(Affine::Rotate(degrees));
  const double s = reverse ? -1.0 : 1.0;  // mirror y to flip the orientation
  auto at = [&](double x, double y) { return m.Apply({x * rx, s * y * ry}); };
  const double k = kKappa;
  MoveTo(at(1, 0));
  CubicTo(at(1, k), at(k, 1), at(0, 1));
  CubicTo(at(-k, 1), at(-1, k), at(-1, 0));
  CubicTo(at(-1, -k), at(-k, -1), at(0, -1));
  CubicTo(at(k, -1), at(1, -k), at(1, 0));
  return Close();
}

Path& Path::Rect(double x0, double y0, double x1, double y1) {
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  return Polygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

Path& Path::Polygon(const std::vector<Point>& pts) {
  if (pts.empty()) return *this;
  // Always counter-clockwise (y up), so that polygons unite with discs and with each other.
  double area2 = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    const Point& a = pts[i];
    const Point& b = pts[(i + 1) % pts.size()];
    area2 += a.x * b.y - b.x * a.y;
  }
  std::vector<Point> ordered = pts;
  if (area2 < 0) std::reverse(ordered.begin(), ordered.end());
  MoveTo(ordered[0]);
  for (size_t i = 1; i < ordered.size(); ++i) LineTo(ordered[i]);
  return Close();
}

Path& Path::Stroke(const std::vector<StrokePoint>& pts) {
  // Quads along the segments; round ends and round sharp corners (discs), and a bevel
  // (a triangle on each side) where consecutive segments meet at a gentle angle. The bevels
  // keep long sampled curves small, which matters for the score documents.
  auto normal = [&](size_t i) {
    const double dx = pts[i + 1].x - pts[i].x;
    const double dy = pts[i + 1].y - pts[i].y;
    const double len = std::hypot(dx, dy);
    return len > 0 ? Point{-dy / len, dx / len} : Point{0, 0};
  };
  for (size_t i = 0; i < pts.size(); ++i) {
    const StrokePoint& p = pts[i];
    const double h = p.width / 2;
    const bool end = i == 0 || i + 1 == pts.size();
    if (!end) {
      const Point n1 = normal(i - 1);
      const Point n2 = normal(i);
      if (n1.x * n2.x + n1.y * n2.y < 0.7) {  // sharper than about 45 degrees
        Ellipse({p.x, p.y}, h, h);
      } else {
        Polygon({{p.x, p.y}, {p.x + n1.x * h, p.y + n1.y * h}, {p.x + n2.x * h, p.y + n2.y * h}});
        Polygon({{p.x, p.y}, {p.x - n1.x * h, p.y - n1.y * h}, {p.x - n2.x * h, p.y - n2.y * h}});
      }
    } else {
      Ellipse({p.x, p.y}, h, h);
    }
    if (i + 1 == pts.size()) break;
    const StrokePoint& q = pts[i + 1];
    const Point n = normal(i);
    if (n.x == 0 && n.y == 0) continue;
    Polygon({{p.x - n.x * p.width / 2, p.y - n.y * p.width / 2},
             {q.x - n.x * q.width / 2, q.y - n.y * q.width / 2},
             {q.x + n.x * q.width / 2, q.y + n.y * q.width / 2},
             {p.x + n.x * p.width / 2, p.y + n.y * p.width / 2}});
  }
  return *this;
}

Path& Path::Line(Point a, Point b, double width) {
  return Stroke({{a.x, a.y, width}, {b.x, b.y, width}});
}

Path& Path::Append(const Path& other) {
  commands_.insert(commands_.end(), other.commands_.begin(), other.commands_.end());
  return *this;
}

Path Path::Transformed(const Affine& m) const {
  Path out = *this;
  for (Command& c : out.commands_) {
    for (Point& p : c.p) p = m.Apply(p);
  }
  return out;
}

std::vector<std::vector<Point>> Path::Flatten(int steps_per_curve) const {
  std::vector<std::vector<Point>> polys;
  Point current;
  for (const Command& c : commands_) {
    switch (c.op) {
      case Op::kMove:
        polys.push_back({c.p[0]});
        current = c.p[0];
        break;
      case Op::kLine:
        if (polys.empty()) polys.push_back({current});
        polys.back().push_back(c.p[0]);
        current = c.p[0];
        break;
      case Op::kCubic: {
        if (polys.empty()) polys.push_back({current});
        const Point p0 = current;
        for (int i = 1; i <= steps_per_curve; ++i) {
          const double t = static_cast<double>(i) / steps_per_curve;
          const Point a = Lerp(p0, c.p[0], t);
          const Point b = Lerp(c.p[0], c.p[1], t);
          const Point d = Lerp(c.p[1], c.p[2], t);
          polys.back().push_back(Lerp(Lerp(a, b, t), Lerp(b, d, t), t));
        }
        current = c.p[2];
        break;
      }
      case Op::kClose:
        if (!polys.empty()) current = polys.back().front();
        break;
    }
  }
  return polys;
}

std::vector<StrokePoint> SmoothLine(const std::vector<StrokePoint>& ctrl, int samples) {
  std::vector<StrokePoint> out;
  if (ctrl.size() < 2) return ctrl;
  for (size_t i = 0; i + 1 < ctrl.size(); ++i) {
    const StrokePoint& p0 = ctrl[i == 0 ? 0 : i - 1];
    const StrokePoint& p1 = ctrl[i];
    const StrokePoint& p2 = ctrl[i + 1];
    const StrokePoint& p3 = ctrl[i + 2 < ctrl.size() ? i + 2 : i + 1];
    for (int s = 0; s < samples; ++s) {
      const double t = static_cast<double>(s) / samples;
      const double t2 = t * t;
      const double t3 = t2 * t;
      auto cr = [&](double a, double b, double c, double d) {
        return 0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 +
                      (-a + 3 * b - 3 * c + d) * t3);
      };
      out.push_back({cr(p0.x, p1.x, p2.x, p3.x), cr(p0.y, p1.y, p2.y, p3.y),
                     p1.width + (p2.width - p1.width) * t});
    }
  }
  out.push_back(ctrl.back());
  return out;
}

}  // namespace demo
