#include "media.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "audio_files.h"
#include "avi.h"
#include "cp1250.h"
#include "file_io.h"
#include "midi.h"
#include "pdf.h"
#include "synth.h"

namespace demo {
namespace {

constexpr int kSampleRate = 22050;

std::string UpperExtension(const std::string& name) {
  const size_t sep = name.find_last_of("\\:/");
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return "";
  std::string ext = name.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

std::string ScmText(const MediaRecipe& r, const std::string& title) {
  std::string notes;
  for (const Event& e : r.tune.events) {
    std::string token;
    for (const Pitch& p : e.pitches) {
      if (!token.empty()) token += "+";
      token += "CDEFGAB"[p.letter];
      token += std::string(p.alter > 0 ? p.alter : 0, '#') +
               std::string(p.alter < 0 ? -p.alter : 0, 'b');
      token += std::to_string(p.octave);
    }
    std::ostringstream beats;
    beats << e.beats;
    notes += (token.empty() ? "R" : token) + ":" + beats.str() + "\n";
  }
  std::ostringstream s;
  s << "MORVEL-SCM 1\nkodolas: utf-8\ncim: " << title << "\ntempo: " << r.tune.tempo
    << "\nutem: " << r.tune.bar_beats << "/" << r.tune.bar_unit
    << "\nhangszer: " << r.tune.instrument << "\nkulcs: " << (r.tune.bass_clef ? "F" : "G")
    << "\nhangok:\n"
    << notes;
  return s.str();
}

}  // namespace

std::string ScoreFileName(std::string_view media_name) {
  const std::string name(media_name);
  const size_t sep = name.find_last_of("\\:");
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return name + ".PDF";
  return name.substr(0, dot) + ".PDF";
}

std::vector<MediaRecipe> ParseRecipes(std::string_view text) {
  std::vector<MediaRecipe> recipes;
  std::istringstream in{std::string(text)};
  std::string line;
  int line_no = 0;
  while (std::getline(in, line)) {
    ++line_no;
    const std::string where = "media.txt:" + std::to_string(line_no);
    const std::string t = Trim(line);
    if (t.empty() || t.starts_with("#")) continue;
    MediaRecipe r;
    r.where = where;
    const size_t bar1 = t.find('|');
    const size_t bar2 = bar1 == std::string::npos ? bar1 : t.find('|', bar1 + 1);
    std::istringstream head(t.substr(0, bar1));
    head >> r.name >> r.kind;
    if (r.kind.empty()) throw std::runtime_error(where + ": name and kind expected");
    if (r.kind != "hang" && r.kind != "scm" && r.kind != "video" && r.kind != "masolat" &&
        r.kind != "hianyzik") {
      throw std::runtime_error(where + ": unknown kind " + r.kind);
    }
    std::string opt;
    while (head >> opt) {
      const size_t eq = opt.find('=');
      r.options[opt.substr(0, eq)] = eq == std::string::npos ? "" : opt.substr(eq + 1);
    }
    try {
      if (bar1 != std::string::npos) {
        r.tune.events = ParseEvents(
            t.substr(bar1 + 1, bar2 == std::string::npos ? std::string::npos : bar2 - bar1 - 1));
      }
      if (bar2 != std::string::npos) r.subtitle = Trim(t.substr(bar2 + 1));
      if (r.options.contains("hangszer")) r.tune.instrument = r.options["hangszer"];
      TimbreByName(r.tune.instrument);
      if (r.options.contains("tempo")) r.tune.tempo = std::stod(r.options["tempo"]);
      if (r.options.contains("utem")) {
        const std::string& m = r.options["utem"];
        const size_t slash = m.find('/');
        r.tune.bar_beats = std::stoi(m.substr(0, slash));
        r.tune.bar_unit = std::stoi(m.substr(slash + 1));
      }
      r.tune.bass_clef = r.options["kulcs"] == "f";
      r.tune.labels = r.options["nevek"] != "nem";
    } catch (const std::exception& e) {
      throw std::runtime_error(where + ": " + e.what());
    }
    const std::string ext = UpperExtension(r.name);
    if (r.kind == "hang" && ext != ".WAV" && ext != ".MP3" && ext != ".MID") {
      throw std::runtime_error(where + ": a sound must be .wav, .mp3 or .mid");
    }
    if ((r.kind == "hang" || r.kind == "scm") && r.tune.events.empty()) {
      throw std::runtime_error(where + ": notes expected after |");
    }
    recipes.push_back(std::move(r));
  }
  return recipes;
}

std::vector<std::string> MakeMedia(const MediaRecipe& r, const std::string& title,
                                   const std::filesystem::path& sounds_dir,
                                   const std::filesystem::path& source_dir) {
  std::vector<std::string> written;
  const std::string ext = UpperExtension(r.name);
  std::string bytes;
  if (r.kind == "hianyzik") return written;
  if (r.kind == "hang" && ext == ".MID") {
    const int format = r.options.contains("midi") ? std::stoi(r.options.at("midi")) : 0;
    // Track names are plain ASCII: the title without its accents would be wrong Hungarian,
    // so the file name stands in for it.
    bytes = EncodeMidi(r.tune, format, r.name);
  } else if (r.kind == "hang") {
    const std::vector<float> samples = RenderTune(r.tune, kSampleRate);
    bytes = ext == ".WAV" ? EncodeWav(samples, kSampleRate) : EncodeMp3(samples, kSampleRate);
  } else if (r.kind == "scm") {
    bytes = ScmText(r, title);
  } else if (r.kind == "video") {
    bytes = ConductingAvi(r.tune.bar_beats, r.tune.tempo,
                          r.options.contains("ismetles") ? std::stoi(r.options.at("ismetles")) : 1);
  } else if (r.kind == "masolat") {
    if (!r.options.contains("forras")) throw std::runtime_error(r.where + ": forras= missing");
    bytes = ReadFile(source_dir / r.options.at("forras"));
  }
  WriteFile(sounds_dir / r.name, bytes);
  written.push_back(r.name);
  if (r.options.contains("kotta")) {
    const std::string pdf_name = "PICTURES/" + ScoreFileName(r.name);
    WriteFile(sounds_dir / pdf_name, ScorePdf(title, r.subtitle, r.tune));
    written.push_back(pdf_name);
  }
  return written;
}

}  // namespace demo
