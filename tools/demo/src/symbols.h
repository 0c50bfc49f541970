// Outlines of the music symbols the dictionary draws: clefs, note heads, stems and flags,
// rests, accidentals, articulation marks and dynamics letters.
//
// Units are staff spaces (the distance between two staff lines), y grows upwards, the
// staff's bottom line is y = 0 and its top line y = 4. Each function says where its symbol
// sits. The same outlines go into the bitmap pictures and into the score documents.
// Free functions returning values.
#pragma once

#include <string_view>

#include "path.h"

namespace demo {

// The five staff lines from x0 to x1.
Path StaffLines(double x0, double x1, double thickness = 0.1);

// Clefs, their left edge at x = 0. G clef curls round the G line (y = 1), about 2 wide.
Path TrebleClef();
// F clef with its dots round the F line (y = 3), about 2.8 wide.
Path BassClef();
// C clef centred on the line at height `center_y` (2: alto, 3: tenor), about 2.4 wide.
Path AltoClef(double center_y = 2);

enum class HeadKind { kBlack, kHalf, kWhole };
// Note head centred at (x, y).
Path NoteHead(HeadKind kind, double x, double y);
// Half width of a note head, for placing stems and accidentals.
double HeadHalfWidth(HeadKind kind);
// A stem from (x, y0) to (x, y1).
Path Stem(double x, double y0, double y1);
// `count` flags (1: eighth, 2: sixteenth) hanging from the stem end (x, y); `up` tells the
// stem's direction (flags of an up-stem point down).
Path Flags(int count, double x, double y, bool up);
// A short ledger line centred at x, at height y.
Path LedgerLine(double x, double y, double half_length = 1.0);

// Rests with their left edge at x = 0 placed on the staff as printed; `value` in quarter
// beats: 4 whole, 2 half, 1 quarter, 0.5 eighth, 0.25 sixteenth.
Path Rest(double value);
double RestWidth(double value);

enum class Accidental { kNone, kSharp, kFlat, kNatural, kDoubleSharp, kDoubleFlat };
// Accidental with its left edge at x = 0, centred vertically on y = 0.
Path AccidentalSign(Accidental a);
double AccidentalWidth(Accidental a);

// Articulation and other marks, left edge at x = 0, resting on y = 0.
Path Fermata();  // about 2 wide, 1 high
Path Accent();   // ">" about 1.3 wide, 1 high
Path Dot(double x, double y, double r = 0.16);
Path EndRepeat();  // two dots, thin and thick bar, spanning the staff; 1.4 wide
Path BarLine(double x, double thickness = 0.12);
Path FinalBarLine(double x);  // thin + thick line ending at x

// Dynamics text in bold italic letters (p, m, f, s, z, r), baseline y = 0, x-height 1.
// Returns the outline and stores the advance width in `*width` when given.
Path DynamicsText(std::string_view letters, double* width = nullptr);
// Crescendo (opening) or decrescendo (closing) hairpin from x = 0 to `length`, centred on y=0.
Path Hairpin(bool opening, double length, double spread = 1.0);

}  // namespace demo
