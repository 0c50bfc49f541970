// The dictionary's entries as written in the content sources (tools/demo/entries/*.txt).
//
// A source file holds entries in a small line-based markup:
//
//   # a comment line
//   @sima                      (file directive: every entry of this file is plain text)
//   == HEADWORD
//   eredet: ol. aria 'dal'     (optional: origin of the word, shown in italics)
//   fajl: aria.mp3             (optional: media file name; `fajl: ""` is an empty name)
//   kep: g_kulcs               (optional: name of a picture the builder draws)
//   Body text; lines of a paragraph are joined, a blank line starts a new paragraph,
//   a line starting with "- " is a list item. Inline: //italic//, **bold**, [[REFERENCE]].
//
// The parser owns nothing beyond the returned values; all texts are UTF-8.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace demo {

// One paragraph of an explanation: ordinary paragraph or list item, text with inline markup.
struct Block {
  bool item = false;
  std::string text;
};

struct Entry {
  std::string headword;                // as stored in KSZOVEG (upper case)
  std::string origin;                  // empty when the entry names no origin
  std::optional<std::string> media;    // FAJLNEV; nullopt = null, "" = empty name
  std::optional<std::string> picture;  // picture name for GRAPHIC; nullopt = null
  bool plain = false;                  // explanation stored as plain text instead of RTF
  std::vector<Block> blocks;
  std::string where;  // "file:line" of the "==" line, for messages
};

// Parses one source text; `file_name` is used in messages only. Throws std::runtime_error
// with "file:line: reason" on malformed input (unknown directive, attribute without entry,
// duplicate attribute, entry without body).
std::vector<Entry> ParseEntries(std::string_view text, const std::string& file_name);

// Reads every *.txt file of `dir` in file name order and concatenates their entries.
std::vector<Entry> LoadEntries(const std::filesystem::path& dir);

// Checks the rules a packet's rows must keep: headword non-empty, at most 40 bytes in
// windows-1250, no lower-case letter, unique; media names at most 255 bytes. Throws
// std::runtime_error naming the first offending entry.
void ValidateEntries(const std::vector<Entry>& entries);

}  // namespace demo
