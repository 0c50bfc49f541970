// Field definitions: the host's view of the engine's fields, rebuilt on every
// open of a client dataset, and the persistent field objects bind to them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/host/field_types.h"
#include "dataset/store/field_desc.h"

namespace dorvem {

struct TFieldDef {
  std::string name;
  TFieldType dataType = ftUnknown;
  int size = 0;
  int precision = 0;
  int fieldNo = 0;  // 1-based engine field number
  std::uint32_t attributes = 0;
  bool fixedChar = false;     // a FixedChar string
  bool internalCalc = false;  // calculated inside the engine
};

class TFieldDefs {
 public:
  void Clear() { defs_.clear(); }
  // Builds the definitions from the engine's descriptors: a link field
  // takes a field number but makes no definition; a repeated name becomes
  // "<name>_1", "<name>_2", ...; a field without a host type makes none.
  void Build(const std::vector<DSFLDDesc>& descs);

  int Count() const { return static_cast<int>(defs_.size()); }
  const TFieldDef& operator[](int i) const { return defs_[i]; }
  // Definition with this name, ignoring case; null when none.
  const TFieldDef* Find(std::string_view name) const;
  int IndexOf(std::string_view name) const;

 private:
  std::vector<TFieldDef> defs_;
};

}  // namespace dorvem
