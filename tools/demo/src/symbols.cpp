#include "symbols.h"

#include <cmath>

namespace demo {
namespace {

Path StrokeOf(const std::vector<StrokePoint>& ctrl, int samples = 10) {
  return Path().Stroke(SmoothLine(ctrl, samples));
}

// One letter of the dynamics font, left edge at x = 0; returns its advance.
double Letter(char c, double x0, Path& out) {
  auto s = [&](std::vector<StrokePoint> pts) {
    for (auto& p : pts) p.x += x0;
    out.Append(StrokeOf(pts, 8));
  };
  switch (c) {
    case 'p':
      s({{0.2, 0.85, 0.08}, {0.42, 1.0, 0.12}, {0.42, 0.7, 0.16}, {0.05, -0.7, 0.16}});
      s({{-0.2, -0.7, 0.1}, {0.3, -0.7, 0.1}});
      s({{0.38, 0.55, 0.08},
         {0.7, 0.98, 0.14},
         {1.0, 0.75, 0.2},
         {0.85, 0.2, 0.2},
         {0.5, 0.0, 0.12},
         {0.3, 0.15, 0.08}});
      return 1.15;
    case 'm':
      s({{0.0, 0.8, 0.08}, {0.2, 1.0, 0.12}, {0.25, 0.7, 0.16}, {0.05, 0.0, 0.16}});
      s({{0.2, 0.6, 0.08}, {0.5, 1.0, 0.13}, {0.68, 0.8, 0.16}, {0.5, 0.0, 0.16}});
      s({{0.65, 0.6, 0.08},
         {0.95, 1.0, 0.13},
         {1.12, 0.8, 0.16},
         {0.95, 0.25, 0.16},
         {1.0, 0.0, 0.1},
         {1.25, 0.2, 0.07}});
      return 1.35;
    case 'f':
      s({{1.35, 1.55, 0.06},
         {1.15, 1.8, 0.1},
         {0.85, 1.6, 0.16},
         {0.55, 0.4, 0.22},
         {0.25, -0.55, 0.16},
         {-0.05, -0.72, 0.1},
         {-0.25, -0.5, 0.06}});
      s({{0.35, 0.95, 0.09}, {1.05, 0.95, 0.09}});
      return 1.1;
    case 's':
      s({{0.75, 0.85, 0.06},
         {0.5, 1.0, 0.12},
         {0.25, 0.8, 0.16},
         {0.55, 0.45, 0.2},
         {0.6, 0.15, 0.16},
         {0.3, 0.0, 0.1},
         {0.05, 0.15, 0.06}});
      return 0.85;
    case 'z':
      s({{0.15, 0.95, 0.09}, {0.5, 1.0, 0.1}, {0.85, 1.0, 0.1}});
      s({{0.85, 1.0, 0.14}, {0.05, 0.0, 0.14}});
      s({{0.05, 0.0, 0.1}, {0.4, 0.05, 0.1}, {0.75, 0.0, 0.09}});
      return 0.95;
    case 'r':
      s({{0.0, 0.8, 0.08}, {0.2, 1.0, 0.12}, {0.25, 0.7, 0.16}, {0.05, 0.0, 0.16}});
      s({{0.2, 0.6, 0.08}, {0.5, 0.98, 0.13}, {0.8, 0.85, 0.12}});
      return 0.85;
    default:
      return 0.6;  // a blank
  }
}

}  // namespace

Path StaffLines(double x0, double x1, double thickness) {
  Path p;
  for (int i = 0; i < 5; ++i) p.Rect(x0, i - thickness / 2, x1, i + thickness / 2);
  return p;
}

Path TrebleClef() {
  const double dx = 1.0;
  std::vector<StrokePoint> c = {
      {0.15, 1.0, 0.1},   {0.5, 1.45, 0.13},   {0.1, 1.95, 0.16},  {-0.5, 1.5, 0.2},
      {-0.5, 0.45, 0.26}, {0.15, -0.05, 0.26}, {0.85, 0.45, 0.3},  {0.85, 1.55, 0.28},
      {0.3, 2.5, 0.24},   {-0.3, 3.5, 0.22},   {-0.28, 4.6, 0.18}, {0.12, 5.5, 0.12},
      {0.45, 5.25, 0.1},  {0.38, 4.4, 0.14},   {0.05, 3.2, 0.16},  {0.1, 1.5, 0.15},
      {0.22, -0.8, 0.14}, {0.12, -1.45, 0.13}, {-0.2, -1.7, 0.12}, {-0.48, -1.5, 0.1}};
  for (auto& p : c) p.x += dx;
  Path path = StrokeOf(c, 12);
  path.Ellipse({dx - 0.33, -1.3}, 0.3, 0.3);
  return path;
}

Path BassClef() {
  Path p = StrokeOf({{0.3, 3.0, 0.12},
                     {0.55, 3.75, 0.14},
                     {1.2, 4.0, 0.18},
                     {1.85, 3.55, 0.3},
                     {1.95, 2.6, 0.34},
                     {1.6, 1.55, 0.3},
                     {0.9, 0.65, 0.18},
                     {0.1, 0.0, 0.08}},
                    12);
  p.Ellipse({0.38, 3.0}, 0.34, 0.34);
  p.Ellipse({2.5, 3.5}, 0.17, 0.17);
  p.Ellipse({2.5, 2.5}, 0.17, 0.17);
  return p;
}

Path AltoClef(double cy) {
  Path p;
  p.Rect(0.0, cy - 2, 0.45, cy + 2);
  p.Rect(0.65, cy - 2, 0.8, cy + 2);
  for (const double s : {1.0, -1.0}) {
    auto at = [&](double x, double y, double w) { return StrokePoint{x, cy + s * y, w}; };
    p.Append(Path().Line({0.8, cy}, {1.15, cy + s * 0.65}, 0.12));
    p.Append(
        StrokeOf({at(1.1, 0.7, 0.1), at(1.35, 1.1, 0.14), at(1.5, 1.75, 0.2), at(1.95, 2.0, 0.16),
                  at(2.35, 1.6, 0.26), at(2.2, 0.95, 0.2), at(1.8, 0.95, 0.1)},
                 10));
    p.Ellipse({1.75, cy + s * 1.2}, 0.25, 0.25);
  }
  return p;
}

double HeadHalfWidth(HeadKind kind) {
  return kind == HeadKind::kWhole ? 0.8 : 0.6;
}

Path NoteHead(HeadKind kind, double x, double y) {
  Path p;
  switch (kind) {
    case HeadKind::kBlack:
      p.Ellipse({x, y}, 0.62, 0.42, 20);
      break;
    case HeadKind::kHalf:
      p.Ellipse({x, y}, 0.62, 0.42, 20);
      p.Ellipse({x, y}, 0.5, 0.2, 30, true);
      break;
    case HeadKind::kWhole:
      p.Ellipse({x, y}, 0.8, 0.48, 0);
      p.Ellipse({x, y}, 0.36, 0.28, -45, true);
      break;
  }
  return p;
}

Path Stem(double x, double y0, double y1) {
  return Path().Rect(x - 0.06, y0, x + 0.06, y1);
}

Path Flags(int count, double x, double y, bool up) {
  Path p;
  const double s = up ? 1.0 : -1.0;
  for (int i = 0; i < count; ++i) {
    const double y0 = y - s * 0.85 * i;
    p.Append(StrokeOf({{x, y0, 0.16},
                       {x + 0.35, y0 - s * 0.75, 0.2},
                       {x + 0.9, y0 - s * 1.5, 0.16},
                       {x + 0.75, y0 - s * 2.6, 0.06}},
                      10));
  }
  return p;
}

Path LedgerLine(double x, double y, double half_length) {
  return Path().Rect(x - half_length, y - 0.06, x + half_length, y + 0.06);
}

double RestWidth(double /*value*/) {
  return 1.2;
}

Path Rest(double value) {
  Path p;
  if (value >= 4) {
    p.Rect(0.0, 2.5, 1.2, 3.0);
  } else if (value >= 2) {
    p.Rect(0.0, 2.0, 1.2, 2.5);
  } else if (value >= 1) {
    p.Append(
        StrokeOf({{0.3, 3.5, 0.08}, {0.8, 2.85, 0.32}, {0.45, 2.3, 0.32}, {0.85, 1.6, 0.1}}, 8));
    p.Append(
        StrokeOf({{0.85, 1.6, 0.1}, {0.35, 1.55, 0.18}, {0.25, 1.1, 0.2}, {0.6, 0.75, 0.1}}, 8));
  } else {
    // One flag (eighth) or two (sixteenth); all of it stays between the outer lines.
    const int balls = value >= 0.5 ? 1 : 2;
    for (int i = 0; i < balls; ++i) {
      const double bx = 0.35 - 0.25 * i;
      const double by = 2.6 - 0.9 * i;
      p.Ellipse({bx, by}, 0.22, 0.22);
      const double jx = 1.1 - 0.2 * i;
      const double jy = 2.75 - 0.9 * i;
      p.Append(
          StrokeOf({{bx, by - 0.15, 0.08}, {(bx + jx) / 2, by - 0.18, 0.1}, {jx, jy, 0.1}}, 6));
    }
    p.Line({1.1, 2.75}, {0.55 - 0.2 * (balls - 1), 0.9 - 0.7 * (balls - 1)}, 0.11);
  }
  return p;
}

double AccidentalWidth(Accidental a) {
  switch (a) {
    case Accidental::kNone:
      return 0;
    case Accidental::kDoubleFlat:
      return 1.7;
    case Accidental::kSharp:
      return 1.1;  // its slanted bars reach past the verticals
    default:
      return 1.0;
  }
}

Path AccidentalSign(Accidental a) {
  Path p;
  auto flat = [&](double x) {
    p.Rect(x + 0.04, -0.5, x + 0.16, 2.2);
    p.Append(StrokeOf({{x + 0.1, 0.35, 0.08},
                       {x + 0.45, 0.62, 0.14},
                       {x + 0.75, 0.42, 0.2},
                       {x + 0.58, -0.05, 0.18},
                       {x + 0.1, -0.5, 0.1}},
                      8));
  };
  switch (a) {
    case Accidental::kNone:
      break;
    case Accidental::kSharp:
      p.Rect(0.22, -1.3, 0.32, 1.1);
      p.Rect(0.62, -1.1, 0.72, 1.3);
      p.Line({0.0, -0.45}, {0.95, -0.15}, 0.24);
      p.Line({0.0, 0.25}, {0.95, 0.55}, 0.24);
      break;
    case Accidental::kFlat:
      flat(0);
      break;
    case Accidental::kDoubleFlat:
      flat(0);
      flat(0.8);
      break;
    case Accidental::kNatural:
      p.Rect(0.1, -0.6, 0.2, 1.5);
      p.Rect(0.6, -1.5, 0.7, 0.6);
      p.Line({0.15, 0.2}, {0.65, 0.45}, 0.22);
      p.Line({0.15, -0.45}, {0.65, -0.2}, 0.22);
      break;
    case Accidental::kDoubleSharp:
      p.Line({0.1, 0.4}, {0.8, -0.4}, 0.16);
      p.Line({0.1, -0.4}, {0.8, 0.4}, 0.16);
      for (const double x : {0.08, 0.82}) {
        p.Rect(x - 0.14, 0.3, x + 0.14, 0.5);
        p.Rect(x - 0.14, -0.5, x + 0.14, -0.3);
      }
      break;
  }
  return p;
}

Path Fermata() {
  Path p = StrokeOf(
      {{0.0, 0.0, 0.06}, {0.35, 0.7, 0.14}, {1.0, 1.0, 0.2}, {1.65, 0.7, 0.14}, {2.0, 0.0, 0.06}},
      10);
  p.Ellipse({1.0, 0.2}, 0.18, 0.18);
  return p;
}

Path Accent() {
  Path p;
  p.Line({0.0, 1.0}, {1.3, 0.5}, 0.13);
  p.Line({1.3, 0.5}, {0.0, 0.0}, 0.13);
  return p;
}

Path Dot(double x, double y, double r) {
  return Path().Ellipse({x, y}, r, r);
}

Path EndRepeat() {
  Path p;
  p.Ellipse({0.2, 1.5}, 0.2, 0.2);
  p.Ellipse({0.2, 2.5}, 0.2, 0.2);
  p.Rect(0.6, 0, 0.72, 4);
  p.Rect(0.95, 0, 1.4, 4);
  return p;
}

Path BarLine(double x, double thickness) {
  return Path().Rect(x, 0, x + thickness, 4);
}

Path FinalBarLine(double x) {
  Path p;
  p.Rect(x - 0.85, 0, x - 0.73, 4);
  p.Rect(x - 0.5, 0, x, 4);
  return p;
}

Path DynamicsText(std::string_view letters, double* width) {
  Path p;
  double x = 0;
  for (const char c : letters) x += Letter(c, x, p) - 0.1;
  if (width != nullptr) *width = x + 0.1;
  return p;
}

Path Hairpin(bool opening, double length, double spread) {
  const double h = spread / 2;
  Path p;
  if (opening) {
    p.Line({0, 0}, {length, h}, 0.1);
    p.Line({0, 0}, {length, -h}, 0.1);
  } else {
    p.Line({0, h}, {length, 0}, 0.1);
    p.Line({0, -h}, {length, 0}, 0.1);
  }
  return p;
}

}  // namespace demo
