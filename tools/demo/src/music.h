// The note model behind every sound, MIDI file and score the builder makes.
//
// A Tune is a sequence of events (a note, a chord or a rest) with durations in quarter
// beats, plus tempo, metre, clef and instrument. Tunes are written in a compact text form
// in the media recipes: "C4:1 E4+G4:2 R:1" (letter, optional # or b or ## or bb, octave
// number with C4 = middle C; ":" duration in quarters; "+" joins the notes of a chord;
// R is a rest). Value types and free functions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace demo {

struct Pitch {
  int letter = 0;  // 0 = C, 1 = D, ... 6 = B
  int alter = 0;   // -2 .. 2 semitones
  int octave = 4;  // scientific octave number, C4 = middle C

  // MIDI key number (C4 = 60).
  int Midi() const;
  // Diatonic steps from C0, for placing the note on a staff.
  int Steps() const { return octave * 7 + letter; }
  // Frequency in Hz in equal temperament with A4 = 440 Hz.
  double Frequency() const;
  // The Hungarian name with octave marks: C4 -> "c'", F#4 -> "fisz'", Bb3 -> "b",
  // B3 -> "h", Eb2 -> "Esz" (great octave in capitals, higher octaves with apostrophes).
  std::string HungarianName() const;
};

struct Event {
  std::vector<Pitch> pitches;  // empty: a rest
  double beats = 1;            // duration in quarter beats
};

struct Tune {
  std::vector<Event> events;
  double tempo = 90;       // quarter beats per minute
  int bar_beats = 4;       // metre numerator
  int bar_unit = 4;        // metre denominator
  bool bass_clef = false;  // written in F clef instead of G clef
  std::string instrument = "zongora";
  bool labels = true;  // print note names under a score

  double TotalBeats() const;
};

// Parses "C4", "F#4", "Bb3", "Ebb5". Throws std::runtime_error on other text.
Pitch ParsePitch(std::string_view text);

// Parses a whole note sequence (tokens separated by blanks). Throws std::runtime_error
// naming the bad token.
std::vector<Event> ParseEvents(std::string_view text);

}  // namespace demo
