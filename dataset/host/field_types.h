// The host's field types (TFieldType), their names, the compatibility
// classes that decide which field object may bind to which definition, the
// mapping from the engine's logical types, and the 38-byte field-type map
// the filter parser receives.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "dataset/store/field_desc.h"

namespace dorvem {

enum TFieldType : std::uint8_t {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftFmtMemo,
  ftParadoxOle,
  ftDBaseOle,
  ftTypedBinary,
  ftCursor,
  ftFixedChar,
  ftWideString,
  ftLargeint,
  ftADT,
  ftArray,
  ftReference,
  ftDataSet,
  ftOraBlob,
  ftOraClob,
  ftVariant,
  ftInterface,
  ftIDispatch,
  ftGuid,
  ftTimeStamp,
  ftFMTBcd,
};
inline constexpr int kFieldTypeCount = 38;

// Name used in messages ("String", "Memo", "FMTBcdField", ...).
std::string_view FieldTypeName(TFieldType type);

// Two types may bind when their classes are equal.
int CompatibilityClass(TFieldType type);

bool IsBlobType(TFieldType type);
bool IsStringType(TFieldType type);

// Host field type of an engine field (by logical type and subtype);
// ftUnknown when the field has no host type.
TFieldType HostFieldType(const DSFLDDesc& desc);

// Logical type of each field type, indexed by TFieldType, as handed to the
// filter parser.
extern const std::array<std::uint8_t, kFieldTypeCount> kFieldTypeMap;

}  // namespace dorvem
