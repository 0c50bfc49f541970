#include "music.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace demo {
namespace {

constexpr int kSemitone[7] = {0, 2, 4, 5, 7, 9, 11};

}  // namespace

int Pitch::Midi() const {
  return (octave + 1) * 12 + kSemitone[letter] + alter;
}

double Pitch::Frequency() const {
  return 440.0 * std::pow(2.0, (Midi() - 69) / 12.0);
}

std::string Pitch::HungarianName() const {
  static const char* kLetters[7] = {"c", "d", "e", "f", "g", "a", "h"};
  std::string name;
  if (letter == 6 && alter == -1) {
    name = "b";  // B flat has a name of its own
  } else if (letter == 6 && alter == -2) {
    name = "besz";
  } else {
    name = kLetters[letter];
    // Flats: -esz, but a and e take -sz (asz, esz); sharps: -isz.
    const bool vowel = letter == 2 || letter == 5;
    if (alter == -1) name += vowel ? "sz" : "esz";
    if (alter == -2) name += vowel ? "szesz" : "eszesz";
    if (alter == 1) name += "isz";
    if (alter == 2) name += "iszisz";
  }
  if (octave <= 2) {
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    if (octave == 1) name += ",";
  }
  for (int i = 4; i <= octave; ++i) name += "'";
  return name;
}

double Tune::TotalBeats() const {
  double total = 0;
  for (const Event& e : events) total += e.beats;
  return total;
}

Pitch ParsePitch(std::string_view text) {
  static const std::string kLetters = "CDEFGAB";
  const auto bad = [&] { return std::runtime_error("bad pitch \"" + std::string(text) + "\""); };
  if (text.size() < 2) throw bad();
  Pitch p;
  const size_t letter = kLetters.find(text[0]);
  if (letter == std::string::npos) throw bad();
  p.letter = static_cast<int>(letter);
  size_t i = 1;
  while (i < text.size() && (text[i] == '#' || text[i] == 'b')) {
    if (i > 1 && text[i] != text[1]) throw bad();  // sharps and flats do not mix
    p.alter += text[i] == '#' ? 1 : -1;
    ++i;
  }
  if (p.alter < -2 || p.alter > 2 || i + 1 != text.size() || text[i] < '0' || text[i] > '8') {
    throw bad();
  }
  p.octave = text[i] - '0';
  return p;
}

std::vector<Event> ParseEvents(std::string_view text) {
  std::vector<Event> events;
  std::istringstream in{std::string(text)};
  std::string token;
  while (in >> token) {
    const size_t colon = token.find(':');
    if (colon == std::string::npos) throw std::runtime_error("no duration in \"" + token + "\"");
    Event e;
    try {
      e.beats = std::stod(token.substr(colon + 1));
    } catch (const std::exception&) {
      throw std::runtime_error("bad duration in \"" + token + "\"");
    }
    if (e.beats <= 0) throw std::runtime_error("bad duration in \"" + token + "\"");
    const std::string notes = token.substr(0, colon);
    if (notes != "R") {
      size_t start = 0;
      while (start <= notes.size()) {
        const size_t plus = notes.find('+', start);
        const size_t end = plus == std::string::npos ? notes.size() : plus;
        e.pitches.push_back(ParsePitch(std::string_view(notes).substr(start, end - start)));
        if (plus == std::string::npos) break;
        start = plus + 1;
      }
    }
    events.push_back(std::move(e));
  }
  return events;
}

}  // namespace demo
