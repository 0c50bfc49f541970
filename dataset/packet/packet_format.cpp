#include "dataset/packet/packet_format.h"

#include <array>
#include <cstddef>

#include "dataset/core/ascii.h"

namespace dorvem::packet {
namespace {

// Index i holds the name of parameter code i + 1.
constexpr std::array<std::string_view, 33> kParamNames = {
    "UNIQUE_KEY",    "DEFAULT_ORDER",   "CHANGE_LOG",      "SERVER_COL",
    "CONSTRAINTS",   "DATASET_CONTEXT", "DATASET_DELTA",   "READONLY",
    "SUBTYPE",       "DECIMALS",        "WIDTH",           "LCID",
    "BDEDOMAIN_X",   "BDERECORD_X",     "BDEDEFAULT_X",    "AUTOINCVALUE",
    "ELEMENTS",      "TABLENAME",       "MD_FIELDLINKS",   "TYPENAME",
    "UPDATEMODE",    "MD_SEMANTICS",    "CALCULATED",      "BDEDOMAIN_CL",
    "BDERECORD_CL",  "BDEDEFAULT_CL",   "DELTA",           "PRIMARY_KEY",
    "MINVALUE",      "MAXVALUE",        "DISABLE_DELETES", "DISABLE_INSERTS",
    "DISABLE_EDITS",
};

struct Subtype {
  std::string_view name;
  std::uint32_t code;
};

constexpr std::array<Subtype, 18> kSubtypes = {{
    {"Text", kSubtypeText},
    {"Binary", kSubtypeBinary},
    {"Formatted", kSubtypeFormatted},
    {"Ole", kSubtypeOle},
    {"Graphics", kSubtypeGraphics},
    {"dBASEOle", kSubtypeDBaseOle},
    {"TypedBinary", kSubtypeTypedBinary},
    {"Money", kSubtypeMoney},
    {"Autoinc", kSubtypeAutoinc},
    {"AccessOle", kSubtypeAccessOle},
    {"HMemo", kSubtypeHMemo},
    {"HBinary", kSubtypeHBinary},
    {"ADTNestedTable", kSubtypeAdtNestedTable},
    {"FixedChar", kSubtypeFixedChar},
    {"Reference", kSubtypeReference},
    {"BFile", kSubtypeBFile},
    {"ADTDate", kSubtypeAdtDate},
    {"Guid", kSubtypeGuid},
}};

}  // namespace

ParamCode ParamCodeOf(std::string_view name) {
  for (std::size_t i = 0; i < kParamNames.size(); ++i)
    if (EqualIgnoringAsciiCase(name, kParamNames[i])) return static_cast<ParamCode>(i + 1);
  return kParamUnknown;
}

std::string_view ParamNameOf(ParamCode code) {
  if (code < 1 || static_cast<std::size_t>(code) > kParamNames.size()) return {};
  return kParamNames[static_cast<std::size_t>(code) - 1];
}

std::uint32_t SubtypeCodeOf(std::string_view name) {
  for (const Subtype& s : kSubtypes)
    if (EqualIgnoringAsciiCase(name, s.name)) return s.code;
  return kSubtypeUnknown;
}

std::string_view SubtypeNameOf(std::uint32_t code) {
  for (const Subtype& s : kSubtypes)
    if (s.code == code) return s.name;
  return {};
}

}  // namespace dorvem::packet
