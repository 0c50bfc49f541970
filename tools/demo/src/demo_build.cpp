#include "demo_build.h"

#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>

#include "entries.h"
#include "file_io.h"
#include "media.h"
#include "memo.h"
#include "packet_json.h"
#include "pictures.h"

namespace demo {

namespace fs = std::filesystem;

namespace {

// The cue sounds belong to no entry.
bool IsCue(const std::string& name) {
  return name == "hangkep.mp3" || name == "kottakep.mp3";
}

}  // namespace

BuildSummary BuildDemo(const fs::path& source, const fs::path& out) {
  const std::vector<Entry> entries = LoadEntries(source / "entries");
  ValidateEntries(entries);
  CheckReferences(entries);
  const std::vector<MediaRecipe> recipes = ParseRecipes(ReadFile(source / "media.txt"));

  // Every named media file needs a recipe; every recipe but the cues needs an entry.
  std::map<std::string, const MediaRecipe*> by_name;
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
    for (const std::string& f : MakeMedia(r, title_of[r.name], out / "Sounds", source)) {
      if (f.starts_with("PICTURES/")) {
        ++scores;
      } else if (f.ends_with(".mid") || f.ends_with(".MID")) {
        ++midis;
      } else if (r.kind == "hang") {
        ++sounds;
      }
    }
  }

  std::vector<PacketRow> rows;
  std::set<std::string> pictures;
  size_t plain = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    char memo_name[32];
    std::snprintf(memo_name, sizeof memo_name, "memo/%04zu.%s", i + 1, e.plain ? "txt" : "rtf");
    WriteFile(out / "packet" / memo_name, e.plain ? RenderPlain(e) : RenderRtf(e));
    plain += e.plain ? 1 : 0;
    PacketRow row{e.media, e.headword, memo_name, std::nullopt, static_cast<int>(i + 1)};
    if (e.picture) {
      row.picture = "pictures/" + *e.picture + ".bmp";
      if (pictures.insert(*e.picture).second) {
        WriteFile(out / "packet" / *row.picture, RenderPicture(*e.picture));
      }
    }
    rows.push_back(std::move(row));
  }
  WriteFile(out / "packet" / "dorvem1.json", PacketJson(rows));
  return {entries.size(), plain, pictures.size(), sounds, midis, scores};
}

}  // namespace demo
