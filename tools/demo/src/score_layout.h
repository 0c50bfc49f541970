// Lays out a tune as lines of printed music (systems) in staff-space units.
//
// Each system is one staff with its clef (the first also with the time signature), the
// notes, rests, accidentals (valid to the end of their bar), ledger lines, bar lines and,
// when the tune asks for them, the Hungarian note names under the staff. Bars are never
// split: a bar that would overflow the width starts a new system. The result is outlines
// plus text labels, which the score document writer places on a page.
#pragma once

#include <string>
#include <vector>

#include "music.h"
#include "path.h"

namespace demo {

struct ScoreLabel {
  double x = 0;  // left end of the text's baseline, staff units
  double y = 0;
  std::string text;  // UTF-8
  double size = 1;   // font size in staff spaces
  bool bold = false;
};

struct ScoreSystem {
  Path path;  // everything but the labels, y up, staff bottom line at y = 0
  std::vector<ScoreLabel> labels;
  double width = 0;
  double lowest = 0;  // lowest y used by any outline or label
};

// Lays out `tune` in systems no wider than `max_width` staff spaces (a single bar wider
// than that still gets a system of its own).
std::vector<ScoreSystem> LayoutScore(const Tune& tune, double max_width);

}  // namespace demo
