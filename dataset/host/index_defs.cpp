#include "dataset/host/index_defs.h"

#include "dataset/locale/locale_services.h"

namespace dorvem {

TIndexDef& TIndexDefs::Add(TIndexDef def) {
  defs_.push_back(std::move(def));
  return defs_.back();
}

const TIndexDef* TIndexDefs::Find(std::string_view name) const {
  const std::string key(name);
  for (const TIndexDef& d : defs_)
    if (locale::lstrcmpiA(d.name.c_str(), key.c_str()) == 0) return &d;
  return nullptr;
}

std::vector<std::string> SplitFieldList(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::vector<std::string> names;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find(';', pos);
    if (end == std::string_view::npos) end = text.size();
    std::size_t first = pos, last = end;
    while (first < last && blank(text[first])) ++first;
    while (last > first && blank(text[last - 1])) --last;
    names.emplace_back(text.substr(first, last - first));
    pos = end + 1;
  }
  return names;
}

}  // namespace dorvem
