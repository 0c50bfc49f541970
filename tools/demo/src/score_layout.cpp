#include "score_layout.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "symbols.h"

namespace demo {
namespace {

struct Bar {
  Path path;
  std::vector<ScoreLabel> labels;
  double width = 0;
};

HeadKind HeadFor(double beats) {
  if (beats >= 4) return HeadKind::kWhole;
  if (beats >= 2) return HeadKind::kHalf;
  return HeadKind::kBlack;
}

// Beats without a dot: 3 -> 2, 1.5 -> 1, 0.75 -> 0.5.
double UndottedBeats(double beats, bool* dotted) {
  for (const double base : {4.0, 2.0, 1.0, 0.5, 0.25}) {
    if (std::abs(beats - base * 1.5) < 1e-9) {
      *dotted = true;
      return base;
    }
  }
  *dotted = false;
  return beats;
}

Accidental SignFor(int alter) {
  switch (alter) {
    case 2:
      return Accidental::kDoubleSharp;
    case 1:
      return Accidental::kSharp;
    case -1:
      return Accidental::kFlat;
    case -2:
      return Accidental::kDoubleFlat;
    default:
      return Accidental::kNatural;
  }
}

// Approximate advance of sans-serif text, enough to centre short note names.
double TextWidth(const std::string& s, double size) {
  double w = 0;
  for (const char c : s) w += c == '\'' ? 0.19 : 0.55;
  return w * size;
}

double StaffY(const Pitch& p, bool bass) {
  return (p.Steps() - (bass ? 18 : 30)) / 2.0;
}

Bar LayoutBar(const std::vector<const Event*>& events, const Tune& tune, double label_y) {
  Bar bar;
  std::map<int, int> alters;  // accidentals in force in this bar, by diatonic step
  double x = 0.8;
  for (const Event* e : events) {
    bool dotted = false;
    const double base = UndottedBeats(e->beats, &dotted);
    if (e->pitches.empty()) {
      bar.path.Append(Rest(base).Transformed(Affine::Translate(x, 0)));
      if (dotted) bar.path.Append(Dot(x + RestWidth(base) + 0.4, 2.5));
      x += RestWidth(base) + 1.0 + 1.6 * std::pow(e->beats, 0.6);
      continue;
    }
    double acc_width = 0;
    for (const Pitch& p : e->pitches) {
      const auto it = alters.find(p.Steps());
      if ((it == alters.end() ? 0 : it->second) != p.alter) {
        acc_width = std::max(acc_width, AccidentalWidth(SignFor(p.alter)) + 0.25);
      }
    }
    const HeadKind head = HeadFor(base);
    const double hw = HeadHalfWidth(head);
    const double hx = x + acc_width + hw;
    double lo = 1e9;
    double hi = -1e9;
    for (const Pitch& p : e->pitches) {
      const double y = StaffY(p, tune.bass_clef);
      lo = std::min(lo, y);
      hi = std::max(hi, y);
      bar.path.Append(NoteHead(head, hx, y));
      const auto it = alters.find(p.Steps());
      if ((it == alters.end() ? 0 : it->second) != p.alter) {
        bar.path.Append(AccidentalSign(SignFor(p.alter)).Transformed(Affine::Translate(x, y)));
        alters[p.Steps()] = p.alter;
      }
      if (dotted) {
        const double dy = std::fmod(y, 1.0) == 0 ? y + 0.5 : y;  // dots sit in spaces
        bar.path.Append(Dot(hx + hw + 0.45, dy));
      }
    }
    for (double k = -1; k >= lo; k -= 1) bar.path.Append(LedgerLine(hx, k, hw + 0.45));
    for (double k = 5; k <= hi; k += 1) bar.path.Append(LedgerLine(hx, k, hw + 0.45));
    if (head != HeadKind::kWhole) {
      const bool up = (lo + hi) / 2 < 2;
      const double sx = up ? hx + hw - 0.06 : hx - hw + 0.06;
      const double end = up ? std::max(hi + 3.5, 2.0) : std::min(lo - 3.5, 2.0);
      bar.path.Append(up ? Stem(sx, lo, end) : Stem(sx, end, hi));
      const int flags = base <= 0.25 ? 2 : base <= 0.5 ? 1 : 0;
      if (flags > 0) bar.path.Append(Flags(flags, sx, end, up));
    }
    if (tune.labels && e->pitches.size() == 1) {
      const std::string name = e->pitches[0].HungarianName();
      bar.labels.push_back({hx - TextWidth(name, 1.5) / 2, label_y, name, 1.5, false});
    }
    x = hx + hw + (dotted ? 0.7 : 0) + 1.0 + 1.6 * std::pow(e->beats, 0.6);
  }
  bar.width = x;
  return bar;
}

}  // namespace

std::vector<ScoreSystem> LayoutScore(const Tune& tune, double max_width) {
  double lowest = 0;
  for (const Event& e : tune.events) {
    for (const Pitch& p : e.pitches) lowest = std::min(lowest, StaffY(p, tune.bass_clef));
  }
  const double label_y = std::min(-3.0, lowest - 2.6);

  // Split into bars by the metre.
  const double bar_len = tune.bar_beats * 4.0 / tune.bar_unit;
  std::vector<std::vector<const Event*>> bars(1);
  double in_bar = 0;
  for (const Event& e : tune.events) {
    if (in_bar >= bar_len - 1e-9) {
      bars.emplace_back();
      in_bar = 0;
    }
    bars.back().push_back(&e);
    in_bar += e.beats;
  }

  std::vector<ScoreSystem> systems;
  const double clef_width = tune.bass_clef ? 3.6 : 3.0;
  for (size_t i = 0; i < bars.size(); ++i) {
    Bar bar = LayoutBar(bars[i], tune, label_y);
    const bool last = i + 1 == bars.size();
    if (systems.empty() || systems.back().width + bar.width > max_width) {
      ScoreSystem s;
      s.path.Append(
          (tune.bass_clef ? BassClef() : TrebleClef()).Transformed(Affine::Translate(0.5, 0)));
      s.width = clef_width;
      if (systems.empty()) {
        const double size = 2.8;
        s.labels.push_back({s.width, 2.03, std::to_string(tune.bar_beats), size, true});
        s.labels.push_back({s.width, 0.03, std::to_string(tune.bar_unit), size, true});
        s.width += 2.2;
      }
      systems.push_back(std::move(s));
    }
    ScoreSystem& s = systems.back();
    s.path.Append(bar.path.Transformed(Affine::Translate(s.width, 0)));
    for (ScoreLabel l : bar.labels) {
      l.x += s.width;
      s.labels.push_back(l);
    }
    s.width += bar.width;
    if (last) {
      s.width += 0.4;
      s.path.Append(FinalBarLine(s.width));
    } else {
      s.path.Append(BarLine(s.width));
      s.width += 0.12;
    }
  }
  for (ScoreSystem& s : systems) {
    s.path.Append(StaffLines(0, s.width));
    s.lowest = tune.labels ? label_y - 0.6 : std::min(-1.0, lowest - 4.0);
  }
  return systems;
}

}  // namespace demo
