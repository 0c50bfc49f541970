// Vector outlines shared by the picture rasteriser and the score document writer.
//
// A Path is a list of closed or open subpaths made of straight and cubic segments. Filling
// uses the non-zero winding rule, so overlapping subpaths of the same orientation unite and
// a reversed inner subpath cuts a hole. Strokes are turned into filled outlines (quads along
// each segment and discs at each vertex), so one fill operation draws everything and the
// score writer and the rasteriser agree pixel for point. Value types, no shared state.
#pragma once

#include <vector>

namespace demo {

struct Point {
  double x = 0;
  double y = 0;
};

// Affine map p -> (a*x + c*y + e, b*x + d*y + f), as in a PDF matrix.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  Point Apply(Point p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  // The map that applies `first`, then this one.
  Affine Then(const Affine& first) const;
  static Affine Translate(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }
  static Affine Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
  static Affine Rotate(double degrees);
};

// A point of a stroked line with the stroke's full width there.
struct StrokePoint {
  double x = 0;
  double y = 0;
  double width = 0;
};

class Path {
 public:
  enum class Op { kMove, kLine, kCubic, kClose };
  struct Command {
    Op op;
    Point p[3];  // kMove/kLine use p[0]; kCubic: control 1, control 2, end point
  };

  Path& MoveTo(Point p);
  Path& LineTo(Point p);
  Path& CubicTo(Point c1, Point c2, Point p);
  Path& Close();

  // Closed ellipse centred at `c`, rotated by `degrees`; `reverse` flips its orientation
  // (use it for a hole inside a shape of the normal orientation).
  Path& Ellipse(Point c, double rx, double ry, double degrees = 0, bool reverse = false);
  // Closed rectangle with corners (x0, y0) and (x1, y1), normal orientation.
  Path& Rect(double x0, double y0, double x1, double y1);
  // Closed polygon through the points, turned counter-clockwise (y up) if needed.
  Path& Polygon(const std::vector<Point>& pts);
  // Outline of a stroke through the points with a width per point and round joins and ends.
  Path& Stroke(const std::vector<StrokePoint>& pts);
  // Outline of a straight stroke of constant width.
  Path& Line(Point a, Point b, double width);
  Path& Append(const Path& other);

  Path Transformed(const Affine& m) const;
  const std::vector<Command>& commands() const { return commands_; }

  // The subpaths as polylines, each curve split into `steps_per_curve` straight pieces.
  std::vector<std::vector<Point>> Flatten(int steps_per_curve = 16) const;

 private:
  std::vector<Command> commands_;
};

// A smooth line through the control points (Catmull-Rom), sampled into `samples` points per
// segment; widths are interpolated along with the positions.
std::vector<StrokePoint> SmoothLine(const std::vector<StrokePoint>& ctrl, int samples = 10);

}  // namespace demo
