// Additive synthesis of tunes into mono sample buffers.
//
// A timbre is a set of partials (harmonic or, for bells, inharmonic) with an attack, a
// decay for struck and plucked instruments, a release and an optional vibrato. Rendering is
// plain floating-point arithmetic with no randomness, so equal input gives equal samples.
// Free functions and a static timbre table.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "music.h"

namespace demo {

struct Partial {
  double ratio;      // frequency as a multiple of the note's frequency
  double amplitude;  // relative level
  double decay;      // extra exponential decay per second of this partial
};

struct Timbre {
  std::string name;
  std::vector<Partial> partials;
  double attack = 0.01;      // seconds to full level
  double decay = 0;          // exponential decay per second while held (0: sustained)
  double release = 0.15;     // seconds of fade after the note ends
  double vibrato_depth = 0;  // relative frequency swing
  double vibrato_rate = 5;   // Hz
  int midi_program = 0;      // General MIDI program (0-based) of the nearest instrument
};

// The timbre of the named instrument (Hungarian names, e.g. "zongora", "hegedu").
// Throws std::runtime_error for an unknown name.
const Timbre& TimbreByName(std::string_view name);

// Renders the tune at `sample_rate` Hz; the peak is scaled to 0.8 and the ends faded, so the
// result never clips.
std::vector<float> RenderTune(const Tune& tune, int sample_rate);

}  // namespace demo
