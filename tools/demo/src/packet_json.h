// Writes the JSON description of the dictionary's data packet, which the project's packet
// tool ("cdstool build") turns into the binary packet.
//
// The description fixes the table's columns (FAJLNEV, KSZOVEG, SZOVMAGY, GRAPHIC, Index),
// the locale parameter and one row per entry; memo and picture blobs are named as files
// relative to the JSON file. Plain data in, text out; no state.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace demo {

struct PacketRow {
  std::optional<std::string> media;    // FAJLNEV, UTF-8; nullopt = null
  std::string headword;                // KSZOVEG, UTF-8
  std::string memo_file;               // SZOVMAGY blob, path relative to the JSON file
  std::optional<std::string> picture;  // GRAPHIC blob path; nullopt = null
  int index = 0;                       // Index
};

// Quotes a UTF-8 string as a JSON string literal.
std::string JsonQuote(const std::string& s);

// The whole packet description, one row per line, ending in a newline.
std::string PacketJson(const std::vector<PacketRow>& rows);

}  // namespace demo
