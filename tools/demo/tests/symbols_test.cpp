// Placement of the music symbols on the staff: a symbol drawn in the wrong place or size
// would make every picture and score that uses it wrong.
#include <gtest/gtest.h>

#include <algorithm>

#include "symbols.h"

namespace demo {
namespace {

struct Box {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
};

Box Bounds(const Path& p) {
  Box b;
  for (const auto& poly : p.Flatten()) {
    for (const Point& q : poly) {
      b.x0 = std::min(b.x0, q.x);
      b.y0 = std::min(b.y0, q.y);
      b.x1 = std::max(b.x1, q.x);
      b.y1 = std::max(b.y1, q.y);
    }
  }
  return b;
}

TEST(Symbols, ClefsSpanTheStaffAsPrinted) {
  const Box g = Bounds(TrebleClef());
  EXPECT_LT(g.y0, -1.0);  // the tail hangs below the staff
  EXPECT_GT(g.y1, 5.0);   // the loop rises above it
  EXPECT_GE(g.x0, 0.0);
  EXPECT_LT(g.x1, 2.6);
  const Box f = Bounds(BassClef());
  EXPECT_NEAR(f.y1, 4.0, 0.2);  // from the top line
  EXPECT_GT(f.y0, -0.3);        // down to the bottom line
  EXPECT_LT(f.x1, 2.9);         // dots included
  const Box alto = Bounds(AltoClef(2));
  const Box tenor = Bounds(AltoClef(3));
  EXPECT_NEAR(alto.y0, 0.0, 0.15);  // the bars span the staff, the curls barely more
  EXPECT_NEAR(alto.y1, 4.0, 0.15);
  EXPECT_NEAR(tenor.y0 - alto.y0, 1.0, 1e-9);  // the tenor clef is a line higher
}

TEST(Symbols, RestsSitOnTheirLines) {
  const Box whole = Bounds(Rest(4));
  const Box half = Bounds(Rest(2));
  EXPECT_NEAR(whole.y1, 3.0, 1e-9);  // hangs from the fourth line
  EXPECT_NEAR(half.y0, 2.0, 1e-9);   // sits on the middle line
  for (const double v : {1.0, 0.5, 0.25}) {
    const Box b = Bounds(Rest(v));
    EXPECT_GT(b.y0, 0.0) << v;  // inside the staff
    EXPECT_LT(b.y1, 4.0) << v;
    EXPECT_LE(b.x1, RestWidth(v) + 0.1) << v;
  }
}

TEST(Symbols, NotesAccidentalsAndMarksKeepTheirAnchors) {
  const Box head = Bounds(NoteHead(HeadKind::kBlack, 3, 2));
  EXPECT_NEAR((head.x0 + head.x1) / 2, 3, 1e-6);
  EXPECT_NEAR((head.y0 + head.y1) / 2, 2, 1e-6);
  EXPECT_LE(head.x1 - head.x0, 2 * HeadHalfWidth(HeadKind::kBlack) + 0.05);
  EXPECT_LT(head.y1 - head.y0, 1.0);  // fits in a space
  const Box up = Bounds(Flags(2, 0, 5, true));
  const Box down = Bounds(Flags(2, 0, -1, false));
  EXPECT_LT(up.y1, 5.2);     // flags of an up-stem hang down from its end
  EXPECT_GT(down.y0, -1.2);  // and rise from a down-stem's end
  for (const Accidental a : {Accidental::kSharp, Accidental::kFlat, Accidental::kNatural,
                             Accidental::kDoubleSharp, Accidental::kDoubleFlat}) {
    const Box b = Bounds(AccidentalSign(a));
    EXPECT_GE(b.x0, -0.15);
    EXPECT_LE(b.x1, AccidentalWidth(a) + 0.05);
    EXPECT_LT(b.y0, 0.0);  // straddles the note's line
    EXPECT_GT(b.y1, 0.0);
  }
  EXPECT_EQ(AccidentalWidth(Accidental::kNone), 0);
  const Box bar = Bounds(FinalBarLine(10));
  EXPECT_NEAR(bar.x1, 10, 1e-9);  // ends exactly at the given x
}

TEST(Symbols, DynamicsTextAdvancesPerLetter) {
  double one = 0;
  double two = 0;
  DynamicsText("p", &one);
  DynamicsText("pp", &two);
  EXPECT_GT(one, 0.5);
  EXPECT_NEAR(two, 2 * one - 0.1, 1e-9);
  const Box f = Bounds(DynamicsText("f"));
  EXPECT_LT(f.y0, 0.0);  // the f descends below the baseline
  EXPECT_GT(f.y1, 1.5);  // and rises above the x-height
}

}  // namespace
}  // namespace demo
