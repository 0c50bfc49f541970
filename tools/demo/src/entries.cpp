#include "entries.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "cp1250.h"
#include "file_io.h"

namespace demo {
namespace {

[[noreturn]] void Fail(const std::string& file, int line, const std::string& why) {
  throw std::runtime_error(file + ":" + std::to_string(line) + ": " + why);
}

// Splits "key: value" for the known attribute keys; returns false for body lines.
bool SplitAttribute(const std::string& line, std::string& key, std::string& value) {
  for (const char* k : {"eredet", "fajl", "kep"}) {
    const std::string prefix = std::string(k) + ":";
    if (line.starts_with(prefix)) {
      key = k;
      value = Trim(std::string_view(line).substr(prefix.size()));
      return true;
    }
  }
  return false;
}

// Windows-1250 bytes of the lower-case letters (ASCII and the accented ones).
bool IsLowerCp1250(unsigned char b) {
  if (b >= 'a' && b <= 'z') return true;
  static const std::string kLower = Utf8ToCp1250("áâăäĺćçčéęëěíîďđńňóôőöřůúűüýţŕšśťžźłąşľżß");
  return kLower.find(static_cast<char>(b)) != std::string::npos;
}

}  // namespace

std::vector<Entry> ParseEntries(std::string_view text, const std::string& file_name) {
  std::vector<Entry> entries;
  bool plain_file = false;
  bool in_attributes = false;
  bool paragraph_open = false;
  std::istringstream in{std::string(text)};
  std::string raw;
  int line_no = 0;
  while (std::getline(in, raw)) {
    ++line_no;
    const std::string line = Trim(raw);
    if (line.starts_with("#")) continue;
    if (line.starts_with("@")) {
      if (line != "@sima") Fail(file_name, line_no, "unknown directive " + line);
      if (!entries.empty()) Fail(file_name, line_no, "@sima must precede the first entry");
      plain_file = true;
      continue;
    }
    if (line.starts_with("==")) {
      if (!entries.empty() && entries.back().blocks.empty()) {
        Fail(file_name, line_no, "entry " + entries.back().headword + " has no text");
      }
      Entry e;
      e.headword = Trim(std::string_view(line).substr(2));
      e.plain = plain_file;
      e.where = file_name + ":" + std::to_string(line_no);
      entries.push_back(std::move(e));
      in_attributes = true;
      paragraph_open = false;
      continue;
    }
    if (line.empty()) {
      paragraph_open = false;
      continue;
    }
    if (entries.empty()) Fail(file_name, line_no, "text before the first entry");
    Entry& e = entries.back();
    std::string key;
    std::string value;
    if (in_attributes && SplitAttribute(line, key, value)) {
      if (key == "eredet") {
        if (!e.origin.empty()) Fail(file_name, line_no, "second eredet");
        e.origin = value;
      } else if (key == "fajl") {
        if (e.media) Fail(file_name, line_no, "second fajl");
        e.media = value == "\"\"" ? std::string() : value;
      } else {
        if (e.picture) Fail(file_name, line_no, "second kep");
        e.picture = value;
      }
      continue;
    }
    in_attributes = false;
    if (line.starts_with("- ")) {
      e.blocks.push_back({true, line.substr(2)});
      paragraph_open = true;  // a following line continues the item
    } else if (paragraph_open) {
      e.blocks.back().text += " " + line;
    } else {
      e.blocks.push_back({false, line});
      paragraph_open = true;
    }
  }
  if (!entries.empty() && entries.back().blocks.empty()) {
    Fail(file_name, line_no, "entry " + entries.back().headword + " has no text");
  }
  return entries;
}

std::vector<Entry> LoadEntries(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> files;
  for (const auto& f : std::filesystem::directory_iterator(dir)) {
    if (f.is_regular_file() && f.path().extension() == ".txt") files.push_back(f.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<Entry> all;
  for (const auto& f : files) {
    auto part = ParseEntries(ReadFile(f), f.filename().string());
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

void ValidateEntries(const std::vector<Entry>& entries) {
  std::set<std::string> seen;
  for (const Entry& e : entries) {
    const std::string where = e.where + ": " + e.headword + ": ";
    if (e.headword.empty()) throw std::runtime_error(where + "empty headword");
    const std::string bytes = Utf8ToCp1250(e.headword);
    if (bytes.size() > 40) throw std::runtime_error(where + "headword longer than 40 bytes");
    for (const char c : bytes) {
      if (IsLowerCp1250(static_cast<unsigned char>(c))) {
        throw std::runtime_error(where + "headword has a lower-case letter");
      }
    }
    if (!seen.insert(bytes).second) throw std::runtime_error(where + "duplicate headword");
    if (e.media && Utf8ToCp1250(*e.media).size() > 255) {
      throw std::runtime_error(where + "media name longer than 255 bytes");
    }
  }
}

}  // namespace demo
