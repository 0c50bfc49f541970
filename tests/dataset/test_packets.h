// Test helpers: packets shaped like the dictionary's table, written by the
// engine's own writer, and temporary files to open them from.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dataset/packet/packet_model.h"

namespace dorvem::testing {

// One row of the dictionary's table; std::nullopt is a blank value.
struct DictRow {
  std::optional<std::string> fajlnev;
  std::optional<std::string> kszoveg;
  std::optional<std::string> szovmagy;
  std::optional<std::string> graphic;
  std::optional<std::int32_t> index;
};

// Columns FAJLNEV string(255), KSZOVEG string(40), SZOVMAGY memo,
// GRAPHIC binary blob, Index int32; LCID 1038 unless `lcid` is 0.
PacketModel DictionaryModel(const std::vector<DictRow>& rows, std::uint32_t lcid = 1038);

// Encodes a model with the engine's writer (binary unless `xml`).
std::vector<std::uint8_t> Encode(const PacketModel& model, bool xml = false);

// A file in a fresh temporary directory, removed with the object.
class TempFile {
 public:
  explicit TempFile(const std::vector<std::uint8_t>& bytes, const std::string& name = "t.cds");
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& Path() const { return path_; }
  void Rewrite(const std::vector<std::uint8_t>& bytes) const;

 private:
  std::filesystem::path dir_;
  std::string path_;
};

}  // namespace dorvem::testing
