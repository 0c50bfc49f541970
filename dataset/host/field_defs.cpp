#include "dataset/host/field_defs.h"

#include <cstdlib>

#include "dataset/host/host_messages.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_format.h"
#include "dataset/store/logical_types.h"

namespace dorvem {

void TFieldDefs::Build(const std::vector<DSFLDDesc>& descs) {
  defs_.clear();
  int fieldNo = 0;
  for (const DSFLDDesc& d : descs) {
    ++fieldNo;
    if (d.attributes & packet::kAttrLinkField) continue;
    const TFieldType type = HostFieldType(d);
    if (type == ftUnknown) continue;
    TFieldDef def;
    def.name = d.name;
    for (int n = 1; Find(def.name) != nullptr; ++n)
      def.name = msg::Fmt(msg::kDuplicateFieldName, {d.name, std::to_string(n)});
    def.dataType = type;
    def.fieldNo = fieldNo;
    switch (d.logicalType) {
      case kLtBcd:
      case kLtFmtBcd:
        def.size = std::abs(static_cast<int>(d.units2));
        def.precision = static_cast<int>(d.units1);
        break;
      case kLtUnicode:
        def.size = static_cast<int>(d.units1 / 2);
        break;
      case kLtString:
      case kLtBytes:
      case kLtVarBytes:
      case kLtAdt:
      case kLtArray:
      case kLtBlob:
        def.size = static_cast<int>(d.units1);
        break;
      default:
        break;
    }
    def.attributes = d.attributes;
    def.fixedChar = d.subtype == packet::kSubtypeFixedChar;
    def.internalCalc = d.calculated != 0;
    defs_.push_back(std::move(def));
  }
}

const TFieldDef* TFieldDefs::Find(std::string_view name) const {
  const int i = IndexOf(name);
  return i < 0 ? nullptr : &defs_[i];
}

int TFieldDefs::IndexOf(std::string_view name) const {
  const std::string key(name);
  for (std::size_t i = 0; i < defs_.size(); ++i)
    if (locale::lstrcmpiA(defs_[i].name.c_str(), key.c_str()) == 0) return static_cast<int>(i);
  return -1;
}

}  // namespace dorvem
