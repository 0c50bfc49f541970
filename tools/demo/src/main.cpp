// dorvem-demo-builder: makes the demo dictionary's media files and the description of its
// data packet from the sources in tools/demo.
//
//   dorvem-demo-builder SOURCE_DIR OUT_DIR
//
// Writes OUT_DIR/Sounds/... (sounds, MIDI files, videos, score documents) and
// OUT_DIR/packet/dorvem1.json with the memo and picture files it names; the packet tool
// turns the JSON into OUT_DIR/Data/dorvem1.cds. Equal sources give equal bytes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "entries.h"
#include "file_io.h"
#include "media.h"
#include "memo.h"
#include "packet_json.h"
#include "pictures.h"

namespace fs = std::filesystem;

namespace {

// The cue sounds belong to no entry.
bool IsCue(const std::string& name) {
  return name == "hangkep.mp3" || name == "kottakep.mp3";
}

int Build(const fs::path& source, const fs::path& out) {
  const std::vector<demo::Entry> entries = demo::LoadEntries(source / "entries");
  demo::ValidateEntries(entries);
  demo::CheckReferences(entries);
  const std::vector<demo::MediaRecipe> recipes =
      demo::ParseRecipes(demo::ReadFile(source / "media.txt"));

  // Every named media file needs a recipe; every recipe but the cues needs an entry.
  std::map<std::string, const demo::MediaRecipe*> by_name;
  for (const auto& r : recipes) {
    if (!by_name.emplace(r.name, &r).second) throw std::runtime_error(r.where + ": twice");
  }
  std::map<std::string, std::string> title_of;  // media name -> headword
  for (const auto& e : entries) {
    if (!e.media || e.media->empty()) continue;
    if (!by_name.contains(*e.media)) {
      throw std::runtime_error(e.where + ": no recipe for media " + *e.media);
    }
    title_of.emplace(*e.media, e.headword);
  }
  for (const auto& r : recipes) {
    if (!IsCue(r.name) && !title_of.contains(r.name)) {
      throw std::runtime_error(r.where + ": " + r.name + " belongs to no entry");
    }
  }

  fs::remove_all(out / "Sounds");
  fs::remove_all(out / "packet");
  int sounds = 0;
  int midis = 0;
  int scores = 0;
  for (const auto& r : recipes) {
    for (const std::string& f : demo::MakeMedia(r, title_of[r.name], out / "Sounds", source)) {
      if (f.starts_with("PICTURES/")) {
        ++scores;
      } else if (f.ends_with(".mid") || f.ends_with(".MID")) {
        ++midis;
      } else if (r.kind == "hang") {
        ++sounds;
      }
    }
  }

  std::vector<demo::PacketRow> rows;
  std::set<std::string> pictures;
  int plain = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const demo::Entry& e = entries[i];
    char memo_name[32];
    std::snprintf(memo_name, sizeof memo_name, "memo/%04zu.%s", i + 1, e.plain ? "txt" : "rtf");
    demo::WriteFile(out / "packet" / memo_name,
                    e.plain ? demo::RenderPlain(e) : demo::RenderRtf(e));
    plain += e.plain ? 1 : 0;
    demo::PacketRow row{e.media, e.headword, memo_name, std::nullopt, static_cast<int>(i + 1)};
    if (e.picture) {
      row.picture = "pictures/" + *e.picture + ".bmp";
      if (pictures.insert(*e.picture).second) {
        demo::WriteFile(out / "packet" / *row.picture, demo::RenderPicture(*e.picture));
      }
    }
    rows.push_back(std::move(row));
  }
  demo::WriteFile(out / "packet" / "dorvem1.json", demo::PacketJson(rows));
  std::printf("%zu entries (%d plain text), %zu pictures, %d sounds, %d MIDI files, %d scores\n",
              entries.size(), plain, pictures.size(), sounds, midis, scores);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dorvem-demo-builder SOURCE_DIR OUT_DIR\n");
    return 2;
  }
  try {
    return Build(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dorvem-demo-builder: %s\n", e.what());
    return 1;
  }
}
