// Pictures of notation symbols: clefs, note values, rests, accidentals, dynamics and marks,
// each shown on a stretch of staff (dynamics on their own), black on white.
#include <cmath>

#include "pictures.h"
#include "symbols.h"

namespace demo {
namespace {

constexpr Rgb kInk{0, 0, 0};
constexpr Rgb kStaffInk{60, 60, 60};

// Maps staff units (y up, bottom line 0) to pixels: staff space `ss`, the staff's vertical
// middle at the canvas's middle plus `shift` staff spaces.
Affine StaffMap(const Canvas& c, double ss, double left, double shift = 0) {
  return Affine::Translate(left, c.height() / 2.0 + (2 + shift) * ss).Then(Affine::Scale(ss, -ss));
}

// A staff across the canvas with `symbol` (staff units) drawn on it.
std::function<void(Canvas&)> OnStaff(std::function<Path()> symbol, double ss, double shift = 0,
                                     Rgb ink = kInk) {
  return [=](Canvas& c) {
    const double width = c.width() / ss;
    const Affine m = StaffMap(c, ss, 0, shift);
    c.Fill(StaffLines(0.6, width - 0.6).Transformed(m), kStaffInk);
    c.Fill(symbol().Transformed(m), ink);
  };
}

// A single note (with optional accidental and extra mark) centred at staff x = cx.
Path Note(double beats, double y, double cx, Accidental acc = Accidental::kNone) {
  Path p;
  const HeadKind head = beats >= 4   ? HeadKind::kWhole
                        : beats >= 2 ? HeadKind::kHalf
                                     : HeadKind::kBlack;
  const double hw = HeadHalfWidth(head);
  p.Append(NoteHead(head, cx, y));
  if (acc != Accidental::kNone) {
    p.Append(AccidentalSign(acc).Transformed(
        Affine::Translate(cx - hw - 0.3 - AccidentalWidth(acc), y)));
  }
  for (double k = -1; k >= y; k -= 1) p.Append(LedgerLine(cx, k, hw + 0.45));
  for (double k = 5; k <= y; k += 1) p.Append(LedgerLine(cx, k, hw + 0.45));
  if (head != HeadKind::kWhole) {
    const bool up = y < 2;
    const double sx = up ? cx + hw - 0.06 : cx - hw + 0.06;
    const double end = up ? y + 3.5 : y - 3.5;
    p.Append(up ? Stem(sx, y, end) : Stem(sx, end, y));
    const int flags = beats <= 0.25 ? 2 : beats <= 0.5 ? 1 : 0;
    if (flags > 0) p.Append(Flags(flags, sx, end, up));
  }
  return p;
}

std::function<void(Canvas&)> Dynamics(std::string letters) {
  return [=](Canvas& c) {
    double w = 0;
    Path text = DynamicsText(letters, &w);
    const double size = c.height() * 0.42;
    const Affine m = Affine::Translate((c.width() - w * size) / 2, c.height() * 0.62)
                         .Then(Affine::Scale(size, -size));
    c.Fill(text.Transformed(m), kInk);
  };
}

std::function<void(Canvas&)> HairpinPicture(bool opening) {
  return [=](Canvas& c) {
    const double ss = 20;
    const Affine m = Affine::Translate(30, c.height() / 2.0).Then(Affine::Scale(ss, -ss));
    const double len = (c.width() - 60) / ss;
    c.Fill(Hairpin(opening, len, 3.0).Transformed(m), kInk);
  };
}

}  // namespace

void AddSymbolPictures(std::vector<PictureDef>& out) {
  const BmpKind pal = BmpKind::kPalette;
  // Clefs, large.
  out.push_back(
      {"g_kulcs", 300, 260, pal, false,
       OnStaff([] { return TrebleClef().Transformed(Affine::Translate(3.2, 0)); }, 26, 0)});
  out.push_back({"f_kulcs", 300, 220, pal, true,
                 OnStaff([] { return BassClef().Transformed(Affine::Translate(2.8, 0)); }, 26)});
  out.push_back({"c_kulcs", 300, 220, pal, false,
                 OnStaff([] { return AltoClef(2).Transformed(Affine::Translate(3.4, 0)); }, 26)});
  out.push_back({"tenorkulcs", 300, 220, pal, false,
                 OnStaff([] { return AltoClef(3).Transformed(Affine::Translate(3.4, 0)); }, 26)});
  // Note values.
  struct NoteKind {
    const char* name;
    double beats;
  };
  for (const NoteKind& n :
       {NoteKind{"egeszkotta", 4}, NoteKind{"felkotta", 2}, NoteKind{"negyedkotta", 1},
        NoteKind{"nyolcadkotta", 0.5}, NoteKind{"tizenhatodkotta", 0.25}}) {
    const double beats = n.beats;
    out.push_back(
        {n.name, 280, 220, pal, false, OnStaff([beats] { return Note(beats, 1, 6.5); }, 20)});
  }
  out.push_back({"pontozott", 280, 220, pal, false,
                 OnStaff(
                     [] {
                       Path p = Note(2, 1, 6);
                       p.Append(Dot(7.1, 1.5, 0.22));
                       return p;
                     },
                     20)});
  // Rests.
  for (const NoteKind& n :
       {NoteKind{"egesz_szunet", 4}, NoteKind{"fel_szunet", 2}, NoteKind{"negyed_szunet", 1},
        NoteKind{"nyolcad_szunet", 0.5}, NoteKind{"tizenhatod_szunet", 0.25}}) {
    const double beats = n.beats;
    out.push_back(
        {n.name, 280, 220, pal, false,
         OnStaff([beats] { return Rest(beats).Transformed(Affine::Translate(6.4, 0)); }, 20)});
  }
  // Accidentals before a note (on the G line: the note g').
  struct AccKind {
    const char* name;
    Accidental acc;
    bool header;
  };
  for (const AccKind& a :
       {AccKind{"kereszt", Accidental::kSharp, false}, AccKind{"be", Accidental::kFlat, false},
        AccKind{"feloldojel", Accidental::kNatural, true},
        AccKind{"kettoskereszt", Accidental::kDoubleSharp, false},
        AccKind{"kettosbe", Accidental::kDoubleFlat, false}}) {
    const Accidental acc = a.acc;
    out.push_back(
        {a.name, 280, 220, pal, a.header, OnStaff([acc] { return Note(4, 1, 7.5, acc); }, 20)});
  }
  // Dynamics.
  for (const char* d : {"p", "pp", "f", "ff", "mf", "mp", "sfz", "fp"}) {
    out.push_back(
        {std::string("dinamika_") + d, 260, 150, pal, std::string(d) == "p", Dynamics(d)});
  }
  out.push_back({"crescendo", 360, 120, pal, false, HairpinPicture(true)});
  out.push_back({"decrescendo", 360, 120, pal, false, HairpinPicture(false)});
  // Marks on a note.
  out.push_back({"korona", 280, 240, pal, false,
                 OnStaff(
                     [] {
                       Path p = Note(4, 2, 6.5);
                       p.Append(Fermata().Transformed(Affine::Translate(5.5, 5.6)));
                       return p;
                     },
                     20, -0.6)});
  out.push_back({"staccato", 280, 220, pal, false,
                 OnStaff(
                     [] {
                       Path p = Note(1, 1, 5);
                       p.Append(Dot(5, -0.6, 0.2));
                       p.Append(Note(1, 2, 9));
                       p.Append(Dot(9, 0.5, 0.2));
                       return p;
                     },
                     20)});
  out.push_back({"akcentus", 280, 220, pal, false,
                 OnStaff(
                     [] {
                       Path p = Note(1, 1.5, 6.5);
                       p.Append(Accent().Transformed(Affine::Translate(5.85, -1.6)));
                       return p;
                     },
                     20)});
  out.push_back({"ismetlojel", 320, 200, pal, false,
                 OnStaff(
                     [] {
                       Path p = Note(1, 1, 3);
                       p.Append(Note(1, 2, 6));
                       p.Append(Note(2, 3, 9));
                       p.Append(EndRepeat().Transformed(Affine::Translate(11.5, 0)));
                       return p;
                     },
                     20)});
  out.push_back({"potvonal", 340, 260, pal, false,
                 OnStaff(
                     [] {
                       Path p = Note(4, -1, 3.5);
                       p.Append(Note(4, -2, 7.5));
                       p.Append(Note(4, 5, 11.5));
                       p.Append(Note(4, 6, 15.5));
                       return p;
                     },
                     18)});
  out.push_back(
      {"kotoiv", 320, 220, pal, false,
       OnStaff(
           [] {
             Path p = Note(1, 0, 3.5);
             p.Append(Note(1, 1, 6.5));
             p.Append(Note(1, 2, 9.5));
             p.Append(Note(1, 1, 12.5));
             p.Stroke(SmoothLine(
                 {{3.3, -1.0, 0.05}, {6.0, -2.2, 0.22}, {9.5, -2.2, 0.22}, {12.7, -1.0, 0.05}},
                 10));
             return p;
           },
           20, -0.5, kInk)});
}

}  // namespace demo
