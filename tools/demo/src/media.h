// The media files of the dictionary and how each one is made (tools/demo/media.txt).
//
// One recipe per line:  NAME  KIND  [OPTIONS...]  [| NOTES  [| SUBTITLE]]
//   KIND  hang     a sound (.wav, .mp3) or MIDI file (.mid) rendered from the notes
//         scm      a score-player file of our own holding the notes as text
//         video    an uncompressed AVI of a conducting pattern
//         masolat  a copy of a file kept in the sources (option forras=PATH)
//         hianyzik deliberately not made: the entry's file is missing
//   OPTIONS  hangszer=NAME  tempo=BPM  utem=3/4  kulcs=f  nevek=nem  midi=0|1  kotta
// "kotta" also writes the score document "PICTURES/" + ScoreFileName(NAME). The recipes
// are values; MakeMedia writes files and returns what it wrote.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "music.h"

namespace demo {

struct MediaRecipe {
  std::string name;  // FAJLNEV, relative to the Sounds folder
  std::string kind;
  std::map<std::string, std::string> options;  // flags map to ""
  Tune tune;
  std::string subtitle;  // UTF-8, score documents only
  std::string where;     // "media.txt:line"
};

// The score document name for a media name: the extension (from the last "." after the
// last "\" or ":") replaced by ".PDF", or ".PDF" appended when there is none.
std::string ScoreFileName(std::string_view media_name);

// Parses the recipe list. Throws std::runtime_error with "media.txt:line: reason".
std::vector<MediaRecipe> ParseRecipes(std::string_view text);

// Writes the file of `recipe` (and its score document) under `sounds_dir`, with `title`
// (UTF-8, the entry's headword) on the score; copies read from `source_dir`. Returns the
// paths written, relative to `sounds_dir`, with "/" separators.
std::vector<std::string> MakeMedia(const MediaRecipe& recipe, const std::string& title,
                                   const std::filesystem::path& sounds_dir,
                                   const std::filesystem::path& source_dir);

}  // namespace demo
