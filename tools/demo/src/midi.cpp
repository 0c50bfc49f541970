#include "midi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "synth.h"

namespace demo {
namespace {

constexpr int kTicksPerQuarter = 480;

struct TimedEvent {
  uint32_t tick;
  int order;  // note-offs (0) before meta (1) before note-ons (2) at the same tick
  std::string bytes;
};

std::string VarLen(uint32_t v) {
  std::string s(1, static_cast<char>(v & 0x7F));
  while ((v >>= 7) != 0) s.insert(s.begin(), static_cast<char>(0x80 | (v & 0x7F)));
  return s;
}

std::string Be32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

std::string Meta(int type, const std::string& data) {
  return std::string{'\xFF', static_cast<char>(type)} + VarLen(static_cast<uint32_t>(data.size())) +
         data;
}

std::string Track(std::vector<TimedEvent> events) {
  std::stable_sort(events.begin(), events.end(), [](const TimedEvent& a, const TimedEvent& b) {
    return std::tie(a.tick, a.order) < std::tie(b.tick, b.order);
  });
  std::string body;
  uint32_t now = 0;
  for (const TimedEvent& e : events) {
    body += VarLen(e.tick - now) + e.bytes;
    now = e.tick;
  }
  body += VarLen(0) + Meta(0x2F, "");
  return "MTrk" + Be32(static_cast<uint32_t>(body.size())) + body;
}

std::vector<TimedEvent> ConductorEvents(const Tune& tune, const std::string& title) {
  const auto usec = static_cast<uint32_t>(std::lround(60'000'000.0 / tune.tempo));
  const int log2_unit = tune.bar_unit == 8 ? 3 : tune.bar_unit == 2 ? 1 : 2;
  return {
      {0, 1, Meta(0x03, title)},
      {0, 1,
       Meta(0x51, {static_cast<char>(usec >> 16), static_cast<char>(usec >> 8),
                   static_cast<char>(usec)})},
      {0, 1, Meta(0x58, {static_cast<char>(tune.bar_beats), static_cast<char>(log2_unit), 24, 8})},
  };
}

std::vector<TimedEvent> NoteEvents(const Tune& tune) {
  std::vector<TimedEvent> events;
  events.push_back({0, 1, {'\xC0', static_cast<char>(TimbreByName(tune.instrument).midi_program)}});
  double beat = 0;
  for (const Event& e : tune.events) {
    const auto on = static_cast<uint32_t>(std::lround(beat * kTicksPerQuarter));
    const auto off = static_cast<uint32_t>(std::lround((beat + e.beats) * kTicksPerQuarter));
    for (const Pitch& p : e.pitches) {
      const auto key = static_cast<char>(p.Midi());
      events.push_back({on, 2, {'\x90', key, 80}});
      events.push_back({off, 0, {'\x80', key, 64}});
    }
    beat += e.beats;
  }
  return events;
}

}  // namespace

std::string EncodeMidi(const Tune& tune, int format, const std::string& title) {
  if (format != 0 && format != 1) throw std::invalid_argument("MIDI format must be 0 or 1");
  std::string header = "MThd" + Be32(6);
  header += {0, static_cast<char>(format), 0, static_cast<char>(format == 0 ? 1 : 2)};
  header += {static_cast<char>(kTicksPerQuarter >> 8), static_cast<char>(kTicksPerQuarter & 0xFF)};
  if (format == 0) {
    std::vector<TimedEvent> all = ConductorEvents(tune, title);
    const std::vector<TimedEvent> notes = NoteEvents(tune);
    all.insert(all.end(), notes.begin(), notes.end());
    return header + Track(all);
  }
  return header + Track(ConductorEvents(tune, title)) + Track(NoteEvents(tune));
}

}  // namespace demo
