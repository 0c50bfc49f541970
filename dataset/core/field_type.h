// The host's field types (TFieldType) and field kinds (TFieldKind), with
// their names and the classes the filter's typing rules and the field
// bindings speak of. A shared vocabulary: the filter parser types its nodes
// with it and the host-side dataset binds field objects by it.
#pragma once

#include <cstdint>
#include <string_view>

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

// How a field object gets its value: stored in the record (data), computed
// by the program (calculated, internal calculated), looked up, aggregated.
enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

// Name used in messages ("String", "Memo", "FMTBcdField", ...); "Unknown"
// for a value outside the enumeration.
std::string_view FieldTypeName(TFieldType type);

// Classes of field types.
bool IsStringFieldType(TFieldType t);    // String, FixedChar, WideString, Guid
bool IsNumericFieldType(TFieldType t);   // Smallint .. Currency, BCD, AutoInc, Largeint, FMTBcd
bool IsTemporalFieldType(TFieldType t);  // Date, Time, DateTime, TimeStamp
bool IsBlobFieldType(TFieldType t);      // Blob .. TypedBinary, OraBlob, OraClob

}  // namespace dorvem
