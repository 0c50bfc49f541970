// Pictures of instruments and tools of the musician, drawn in flat colours on a soft
// background. Each drawing works in a 100-unit-wide box with y growing downwards.
#include <cmath>
#include <numbers>

#include "pictures.h"

namespace demo {
namespace {

// A closed smooth outline through the points (closed Catmull-Rom curve).
Path ClosedSmooth(const std::vector<Point>& pts, int samples = 10) {
  std::vector<Point> out;
  const size_t n = pts.size();
  for (size_t i = 0; i < n; ++i) {
    const Point& p0 = pts[(i + n - 1) % n];
    const Point& p1 = pts[i];
    const Point& p2 = pts[(i + 1) % n];
    const Point& p3 = pts[(i + 2) % n];
    for (int s = 0; s < samples; ++s) {
      const double t = static_cast<double>(s) / samples;
      auto cr = [&](double a, double b, double c, double d) {
        return 0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t * t +
                      (-a + 3 * b - 3 * c + d) * t * t * t);
      };
      out.push_back({cr(p0.x, p1.x, p2.x, p3.x), cr(p0.y, p1.y, p2.y, p3.y)});
    }
  }
  return Path().Polygon(out);
}

// Mirrors the right half of a symmetric outline (top to bottom) round x = cx.
std::vector<Point> Symmetric(const std::vector<Point>& right, double cx) {
  std::vector<Point> all = right;
  for (size_t i = right.size() - 1; i-- > 1;) all.push_back({2 * cx - right[i].x, right[i].y});
  return all;
}

Affine Box(const Canvas& c) {
  const double s = c.width() / 100.0;
  return Affine::Scale(s, s);
}

void Background(Canvas& c) {
  c.VerticalGradient({250, 246, 232}, {226, 236, 226});
}

void Violin(Canvas& c) {
  Background(c);
  // The violin is tall: its 60 units of height (y from -6 to 54) fill the picture.
  const double k = c.height() / 62.5;
  const Affine m = Affine::Translate(c.width() / 2.0 - 50 * k, 7 * k).Then(Affine::Scale(k, k));
  auto fill = [&](const Path& p, Rgb color) { c.Fill(p.Transformed(m), color); };
  // The bow, behind the instrument.
  fill(Path().Line({25, 52}, {77, -3}, 0.45), {90, 50, 20});
  fill(Path().Line({25.8, 52.8}, {77.8, -2.2}, 0.3), {235, 230, 215});
  const double cx = 50;
  auto body = [&](double k) {
    std::vector<Point> right = {{50, 8},    {56, 8.8},  {60.5, 11.5}, {61, 16},
                                {58.5, 21}, {56, 24},   {56.5, 29},   {60, 33},
                                {63.5, 39}, {62.5, 47}, {57, 52},     {50, 53}};
    for (Point& p : right) p = {cx + (p.x - cx) * k, 30.5 + (p.y - 30.5) * k};
    return ClosedSmooth(Symmetric(right, cx));
  };
  fill(body(1.0), {105, 45, 12});
  fill(body(0.95), {196, 112, 38});
  fill(body(0.7), {214, 140, 60});
  // f-holes, either side of the bridge.
  for (const double s : {-1.0, 1.0}) {
    Path f;
    f.Stroke(SmoothLine({{cx + s * 4.6, 29, 0.6},
                         {cx + s * 3.7, 33, 0.8},
                         {cx + s * 4.8, 37.5, 0.8},
                         {cx + s * 3.9, 41.5, 0.6}},
                        8));
    f.Ellipse({cx + s * 4.7, 28.8}, 0.8, 0.8);
    f.Ellipse({cx + s * 3.8, 41.7}, 0.8, 0.8);
    fill(f, {40, 20, 5});
  }
  // Neck, fingerboard, scroll, pegs.
  fill(Path().Rect(48, -2, 52, 10), {150, 80, 25});
  fill(Path().Polygon({{48.2, 0}, {51.8, 0}, {52.6, 33}, {47.4, 33}}), {25, 20, 18});
  fill(Path().Ellipse({50, -2.5}, 2.6, 2.6), {150, 80, 25});
  fill(Path().Ellipse({50, -2.5}, 1.2, 1.2), {90, 45, 10});
  for (const double y : {1.5, 4.5}) {
    fill(Path().Rect(45, y - 0.5, 55, y + 0.5), {40, 25, 15});
  }
  // Bridge and tailpiece.
  fill(Path().Rect(45.5, 35, 54.5, 36.3), {230, 200, 150});
  fill(Path().Polygon({{47.5, 43}, {52.5, 43}, {54, 51.5}, {46, 51.5}}), {25, 20, 18});
  for (int i = 0; i < 4; ++i) {
    const double x = 48.6 + i * 0.95;
    fill(Path().Line({x, 0}, {x + (i - 1.5) * 0.4, 43}, 0.22), {225, 225, 215});
  }
}

void Keyboard(Canvas& c) {
  Background(c);
  const Affine m = Box(c);
  auto fill = [&](const Path& p, Rgb color) { c.Fill(p.Transformed(m), color); };
  const int whites = 15;
  const double x0 = 5;
  const double kw = 90.0 / whites;
  const double top = 12;
  const double bottom = 62;
  fill(Path().Rect(x0 - 1.5, top - 4, x0 + 91.5, bottom + 1.5), {70, 35, 20});
  for (int i = 0; i < whites; ++i) {
    fill(Path().Rect(x0 + i * kw, top, x0 + (i + 1) * kw - 0.35, bottom), {252, 250, 240});
  }
  // Black keys after C, D, F, G, A of each octave (white key index within the octave).
  for (int i = 0; i < whites - 1; ++i) {
    const int k = i % 7;
    if (k == 2 || k == 6) continue;
    const double x = x0 + (i + 1) * kw - kw * 0.3;
    fill(Path().Rect(x, top, x + kw * 0.6, top + 31), {20, 20, 24});
    fill(Path().Rect(x + kw * 0.12, top, x + kw * 0.48, top + 29), {60, 60, 66});
  }
  // Middle C marked with a dot.
  fill(Path().Ellipse({x0 + 7 * kw + kw / 2, bottom - 5}, 1.2, 1.2), {180, 30, 30});
}

void Triangle(Canvas& c) {
  Background(c);
  const Affine m = Box(c);
  auto fill = [&](const Path& p, Rgb color) { c.Fill(p.Transformed(m), color); };
  fill(Path().Line({47, 2}, {47, 12}, 0.5), {120, 80, 40});
  Path t;
  t.Stroke({{44, 15, 1.8}, {27, 62, 1.8}, {73, 62, 1.8}, {50, 12, 1.8}});
  fill(t, {150, 155, 165});
  Path h;
  h.Stroke({{44.4, 15, 0.6}, {27.8, 61.2, 0.6}, {72, 61.2, 0.6}});
  fill(h, {225, 230, 238});
  fill(Path().Line({62, 30}, {90, 14}, 1.2), {130, 135, 145});
  fill(Path().Ellipse({90.5, 13.7}, 1.4, 1.4), {40, 40, 40});
  for (int i = 0; i < 3; ++i) {
    Path arc;
    std::vector<StrokePoint> pts;
    for (int a = -30; a <= 30; a += 10) {
      const double r = 8 + i * 4;
      const double rad = a * std::numbers::pi / 180;
      pts.push_back({78 + r * std::cos(rad), 45 + r * std::sin(rad), 0.6});
    }
    arc.Stroke(pts);
    fill(arc, {200, 120, 40});
  }
}

void SnareDrum(Canvas& c) {
  Background(c);
  const Affine m = Box(c);
  auto fill = [&](const Path& p, Rgb color) { c.Fill(p.Transformed(m), color); };
  const double cx = 50;
  fill(Path().Ellipse({cx, 58}, 30, 8), {120, 20, 20});
  fill(Path().Rect(cx - 30, 30, cx + 30, 58), {170, 30, 30});
  fill(Path().Rect(cx - 22, 30, cx - 14, 58), {205, 70, 60});
  fill(Path().Rect(cx - 30, 29, cx + 30, 32), {200, 200, 205});
  fill(Path().Rect(cx - 30, 55, cx + 30, 58), {200, 200, 205});
  for (int i = 0; i < 7; ++i) {
    const double x = cx - 27 + i * 9;
    fill(Path().Rect(x - 0.5, 31, x + 0.5, 56), {215, 215, 220});
  }
  fill(Path().Ellipse({cx, 30}, 30, 8), {200, 200, 205});
  fill(Path().Ellipse({cx, 30}, 28.5, 7), {245, 240, 225});
  // Sticks.
  fill(Path().Stroke({{20, 8, 1.6}, {52, 27, 1.0}}), {205, 160, 100});
  fill(Path().Stroke({{82, 6, 1.6}, {56, 26, 1.0}}), {205, 160, 100});
  fill(Path().Ellipse({52.3, 27.2}, 1.0, 0.8), {225, 190, 130});
  fill(Path().Ellipse({55.7, 26.2}, 1.0, 0.8), {225, 190, 130});
}

void Bell(Canvas& c) {
  Background(c);
  const Affine m = Box(c);
  auto fill = [&](const Path& p, Rgb color) { c.Fill(p.Transformed(m), color); };
  const double cx = 50;
  fill(Path().Rect(cx - 2, 2, cx + 2, 8), {120, 90, 30});
  fill(Path().Ellipse({cx, 4}, 4, 3), {120, 90, 30});
  fill(Path().Ellipse({cx, 4}, 2.2, 1.5, 0, true), {120, 90, 30});
  fill(Path().Ellipse({cx, 62}, 3.5, 3.5), {90, 70, 30});
  auto shape = [&](double k) {
    std::vector<Point> right = {{50, 8},  {58, 8.5}, {62, 13}, {63, 25},
                                {65, 40}, {70, 51},  {76, 57}, {50, 58}};
    for (Point& p : right) p = {cx + (p.x - cx) * k, p.y};
    return ClosedSmooth(Symmetric(right, cx));
  };
  fill(shape(1.0), {150, 110, 20});
  fill(shape(0.9), {212, 165, 45});
  fill(shape(0.45), {240, 205, 100});
  fill(Path().Rect(cx - 24, 50.5, cx + 24, 52), {150, 110, 20});
}

void TuningFork(Canvas& c) {
  Background(c);
  const Affine m = Box(c);
  auto fill = [&](const Path& p, Rgb color) { c.Fill(p.Transformed(m), color); };
  Path fork;
  fork.Stroke({{44, 6, 3.2}, {44, 36, 3.2}});
  fork.Stroke({{56, 6, 3.2}, {56, 36, 3.2}});
  std::vector<StrokePoint> u;
  for (int a = 0; a <= 180; a += 10) {
    const double rad = a * std::numbers::pi / 180;
    u.push_back({50 + 6 * std::cos(rad), 36 + 6 * std::sin(rad), 3.2});
  }
  fork.Stroke(u);
  fork.Stroke({{50, 42, 3.6}, {50, 66, 3.6}});
  fill(fork, {120, 125, 135});
  fill(Path().Ellipse({50, 67}, 3.4, 2.2), {90, 95, 105});
  fill(Path().Stroke({{43.3, 7, 0.8}, {43.3, 36, 0.8}}), {215, 220, 228});
  fill(Path().Stroke({{55.3, 7, 0.8}, {55.3, 36, 0.8}}), {215, 220, 228});
  for (int i = 0; i < 3; ++i) {
    for (const double s : {-1.0, 1.0}) {
      std::vector<StrokePoint> pts;
      for (int a = -35; a <= 35; a += 7) {
        const double r = 14 + i * 6;
        const double rad = a * std::numbers::pi / 180;
        pts.push_back({50 + s * r * std::cos(rad), 20 + r * std::sin(rad), 0.7});
      }
      fill(Path().Stroke(pts), {60, 110, 190});
    }
  }
}

void Metronome(Canvas& c) {
  Background(c);
  const Affine m = Box(c);
  auto fill = [&](const Path& p, Rgb color) { c.Fill(p.Transformed(m), color); };
  fill(Path().Polygon({{42, 4}, {58, 4}, {70, 66}, {30, 66}}), {110, 60, 25});
  fill(Path().Polygon({{44.5, 8}, {55.5, 8}, {62, 44}, {38, 44}}), {240, 225, 190});
  fill(Path().Rect(28, 64, 72, 68), {80, 40, 15});
  for (int i = 0; i < 9; ++i) {
    const double y = 11 + i * 3.8;
    fill(Path().Rect(49, y, 51 + (i % 2 == 0 ? 1.5 : 0), y + 0.4), {90, 60, 30});
  }
  // The pendulum, swung to one side.
  const Point pivot{50, 50};
  const Point tip{41, 8};
  fill(Path().Line(pivot, tip, 0.9), {160, 160, 170});
  fill(Path().Polygon({{42.2, 16}, {47.2, 16.8}, {46.6, 21.5}, {41.4, 20.6}}), {190, 150, 40});
  fill(Path().Ellipse(pivot, 1.6, 1.6), {60, 60, 60});
}

void Flute(Canvas& c) {
  Background(c);
  const Affine m = Box(c);
  auto fill = [&](const Path& p, Rgb color) { c.Fill(p.Transformed(m), color); };
  const Affine tilt = Affine::Translate(50, 36).Then(Affine::Rotate(-12));
  auto t = [&](const Path& p) { return p.Transformed(tilt); };
  fill(t(Path().Rect(-46, -2.2, 46, 2.2)), {150, 155, 165});
  fill(t(Path().Rect(-46, -1.9, 46, -0.6)), {230, 233, 240});
  fill(t(Path().Rect(-46.5, -2.6, -44, 2.6)), {120, 125, 135});
  fill(t(Path().Rect(-20, -2.6, -19, 2.6)), {120, 125, 135});
  fill(t(Path().Rect(22, -2.6, 23, 2.6)), {120, 125, 135});
  fill(t(Path().Ellipse({-36, 0}, 2.4, 1.5)), {170, 175, 185});
  fill(t(Path().Ellipse({-36, 0}, 1.3, 0.8)), {30, 30, 30});
  for (int i = 0; i < 9; ++i) {
    const double x = -14 + i * 4.2 + (i > 5 ? 3 : 0);
    fill(t(Path().Ellipse({x, 0}, 1.6, 1.6)), {110, 115, 125});
    fill(t(Path().Ellipse({x, 0}, 1.1, 1.1)), {215, 218, 226});
  }
  for (const double x : {-8.0, 12.0}) fill(t(Path().Rect(x, 1.5, x + 4, 2.0)), {110, 115, 125});
}

void Timpani(Canvas& c) {
  Background(c);
  const Affine m = Box(c);
  auto fill = [&](const Path& p, Rgb color) { c.Fill(p.Transformed(m), color); };
  const double cx = 50;
  for (const double x : {-20.0, 0.0, 20.0}) {
    fill(Path().Line({cx + x * 0.8, 50}, {cx + x * 1.2, 68}, 1.4), {70, 70, 75});
  }
  std::vector<Point> bowl;
  for (int a = 0; a <= 180; a += 10) {
    const double rad = a * std::numbers::pi / 180;
    bowl.push_back({cx + 30 * std::cos(rad), 26 + 26 * std::sin(rad)});
  }
  fill(Path().Polygon(bowl), {175, 95, 45});
  std::vector<Point> shine;
  for (int a = 100; a <= 150; a += 10) {
    const double rad = a * std::numbers::pi / 180;
    shine.push_back({cx + 25 * std::cos(rad), 26 + 21 * std::sin(rad)});
  }
  shine.push_back({cx - 12, 27});
  fill(Path().Polygon(shine), {225, 150, 90});
  fill(Path().Ellipse({cx, 26}, 31, 7), {80, 80, 85});
  fill(Path().Ellipse({cx, 25.5}, 29.5, 6), {238, 232, 212});
  for (const double s : {-1.0, 1.0}) {
    fill(Path().Line({cx + s * 8, 6}, {cx + s * 30, 2}, 1.0), {205, 170, 110});
    fill(Path().Ellipse({cx + s * 7, 6.3}, 2.4, 2.2), {245, 245, 240});
  }
}

}  // namespace

void AddInstrumentPictures(std::vector<PictureDef>& out) {
  const BmpKind tc = BmpKind::kTrueColor;
  out.push_back({"hegedu", 300, 300, tc, false, Violin});
  out.push_back({"billentyuzet", 400, 220, tc, false, Keyboard});
  out.push_back({"triangulum", 300, 220, BmpKind::kPalette, false, Triangle});
  out.push_back({"kisdob", 300, 220, tc, true, SnareDrum});
  out.push_back({"harang", 300, 220, tc, false, Bell});
  out.push_back({"hangvilla", 300, 220, BmpKind::kPalette, true, TuningFork});
  out.push_back({"metronom", 300, 220, tc, false, Metronome});
  out.push_back({"fuvola", 400, 220, tc, false, Flute});
  out.push_back({"ustdob", 300, 220, tc, false, Timpani});
}

}  // namespace demo
