// Vector outlines, their rasterisation, and the layout of printed music.
#include <gtest/gtest.h>

#include <cmath>

#include "path.h"
#include "raster.h"
#include "score_layout.h"
#include "symbols.h"

namespace demo {
namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

double SignedArea(const std::vector<Point>& poly) {
  double a = 0;
  for (size_t i = 0; i < poly.size(); ++i) {
    const Point& p = poly[i];
    const Point& q = poly[(i + 1) % poly.size()];
    a += p.x * q.y - q.x * p.y;
  }
  return a / 2;
}

TEST(Geometry, AffineComposesInTheStatedOrder) {
  const Affine m = Affine::Translate(10, 0).Then(Affine::Scale(2, 3));  // scale, then move
  const Point p = m.Apply({1, 1});
  EXPECT_DOUBLE_EQ(p.x, 12);
  EXPECT_DOUBLE_EQ(p.y, 3);
  const Point r = Affine::Rotate(90).Apply({1, 0});
  EXPECT_NEAR(r.x, 0, 1e-12);
  EXPECT_NEAR(r.y, 1, 1e-12);
}

TEST(Geometry, PolygonsAndShapesShareOneOrientation) {
  // A clockwise polygon is turned round, so that it unites with discs under the
  // non-zero rule instead of cancelling them.
  const auto cw = Path().Polygon({{0, 0}, {0, 1}, {1, 1}, {1, 0}}).Flatten();
  EXPECT_GT(SignedArea(cw[0]), 0);
  EXPECT_GT(SignedArea(Path().Ellipse({0, 0}, 2, 1).Flatten()[0]), 0);
  EXPECT_LT(SignedArea(Path().Ellipse({0, 0}, 2, 1, 30, true).Flatten()[0]), 0);
  for (const auto& poly : Path().Stroke({{0, 0, 1}, {5, 1, 1}, {5, 5, 0.5}}).Flatten()) {
    EXPECT_GT(SignedArea(poly), 0);
  }
  const auto flat = Path().Ellipse({0, 0}, 1, 1).Flatten(8);
  ASSERT_EQ(flat.size(), 1u);
  EXPECT_EQ(flat[0].size(), 33u);  // start point plus 4 curves of 8 pieces
}

TEST(Raster, CoverageIsExactOnPixelEdgesAndBlendsInside) {
  Canvas c(6, 4, kWhite);
  c.Fill(Path().Rect(1, 1, 3, 3), kBlack);
  EXPECT_EQ(c.At(1, 1), kBlack);
  EXPECT_EQ(c.At(2, 2), kBlack);
  EXPECT_EQ(c.At(0, 1), kWhite);
  EXPECT_EQ(c.At(3, 1), kWhite);
  EXPECT_EQ(c.At(1, 3), kWhite);
  Canvas half(4, 1, kWhite);
  half.Fill(Path().Rect(0.5, 0, 1.5, 1), kBlack);  // half of two pixels
  EXPECT_EQ(half.At(0, 0).r, 128);
  EXPECT_EQ(half.At(1, 0).r, 128);
  Canvas faint(2, 2, kWhite);
  faint.Fill(Path().Rect(0, 0, 2, 2), kBlack, 0.25);
  EXPECT_EQ(faint.At(1, 1).r, 191);
}

TEST(Raster, ReversedInnerShapeCutsAHoleAndOutsideIsClipped) {
  Canvas c(21, 21, kWhite);
  Path ring;
  ring.Ellipse({10.5, 10.5}, 10, 10);
  ring.Ellipse({10.5, 10.5}, 5, 5, 0, true);
  ring.Rect(-50, -50, -40, 100);  // wholly outside: ignored
  c.Fill(ring, kBlack);
  EXPECT_EQ(c.At(10, 10), kWhite);  // the hole
  EXPECT_EQ(c.At(10, 3), kBlack);   // the ring
  EXPECT_EQ(c.At(0, 0), kWhite);    // outside the circle
}

TEST(ScoreLayout, BarsFollowTheMetreAndWrapWithinTheWidth) {
  Tune t;
  t.events = ParseEvents("C4:1 D4:1 E4:1 F4:1 G4:1 A4:1 B4:1 C5:1 C5:4");
  const auto wide = LayoutScore(t, 500);
  ASSERT_EQ(wide.size(), 1u);
  EXPECT_EQ(wide[0].labels.size(), 2u + 9u);  // time signature digits and nine names
  const auto narrow = LayoutScore(t, 25);
  EXPECT_GT(narrow.size(), 1u);
  for (const ScoreSystem& s : narrow) EXPECT_LE(s.width, 25 + 20);  // at most one bar over
  // Only the first system carries the time signature.
  EXPECT_EQ(narrow[0].labels[0].text, "4");
  EXPECT_NE(narrow[1].labels[0].text, "4");
}

TEST(ScoreLayout, AccidentalsLastToTheBarLineAndNamesCanBeOmitted) {
  Tune one_bar;
  one_bar.events = ParseEvents("F#4:1 F#4:1 F4:1 F#4:1");  // sharp, -, natural, sharp
  Tune two_bars;
  two_bars.events = ParseEvents("F#4:1 F#4:1 F#4:1 F#4:1 F#4:1 F#4:1 F#4:1 F#4:1");
  auto commands = [](const Tune& t) {
    size_t n = 0;
    for (const auto& s : LayoutScore(t, 500)) n += s.path.commands().size();
    return n;
  };
  const size_t sharp = AccidentalSign(Accidental::kSharp).commands().size();
  const size_t natural = AccidentalSign(Accidental::kNatural).commands().size();
  Tune plain = one_bar;
  plain.events = ParseEvents("F4:1 F4:1 F4:1 F4:1");
  EXPECT_EQ(commands(one_bar), commands(plain) + 2 * sharp + natural);
  Tune plain2 = two_bars;
  plain2.events = ParseEvents("F4:1 F4:1 F4:1 F4:1 F4:1 F4:1 F4:1 F4:1");
  EXPECT_EQ(commands(two_bars), commands(plain2) + 2 * sharp);  // once per bar
  one_bar.labels = false;
  EXPECT_EQ(LayoutScore(one_bar, 500)[0].labels.size(), 2u);  // the time signature only
}

}  // namespace
}  // namespace demo
