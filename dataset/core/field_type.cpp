#include "dataset/core/field_type.h"

#include <array>

namespace dorvem {

namespace {
constexpr std::array<std::string_view, kFieldTypeCount> kNames = {
    "Unknown",      "String",      "SmallInt", "Integer",     "Word",      "Boolean",
    "Float",        "Currency",    "BCD",      "Date",        "Time",      "DateTime",
    "Bytes",        "VarBytes",    "AutoInc",  "Blob",        "Memo",      "Graphic",
    "FmtMemo",      "ParadoxOle",  "dBaseOle", "TypedBinary", "Cursor",    "FixedChar",
    "WideString",   "LargeInt",    "ADT",      "Array",       "Reference", "DataSet",
    "HugeBlob",     "HugeClob",    "Variant",  "Interface",   "Dispatch",  "Guid",
    "SQLTimeStamp", "FMTBcdField",
};
}  // namespace

std::string_view FieldTypeName(TFieldType type) {
  return type < kFieldTypeCount ? kNames[type] : kNames[0];
}

bool IsStringFieldType(TFieldType t) {
  return t == ftString || t == ftFixedChar || t == ftWideString || t == ftGuid;
}

bool IsNumericFieldType(TFieldType t) {
  switch (t) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc:
    case ftLargeint:
    case ftFMTBcd:
      return true;
    default:
      return false;
  }
}

bool IsTemporalFieldType(TFieldType t) {
  return t == ftDate || t == ftTime || t == ftDateTime || t == ftTimeStamp;
}

bool IsBlobFieldType(TFieldType t) {
  return (t >= ftBlob && t <= ftTypedBinary) || t == ftOraBlob || t == ftOraClob;
}

}  // namespace dorvem
