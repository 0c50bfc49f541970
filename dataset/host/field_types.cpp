#include "dataset/host/field_types.h"

#include "dataset/packet/packet_format.h"
#include "dataset/store/logical_types.h"

namespace dorvem {

const std::array<std::uint8_t, kFieldTypeCount> kFieldTypeMap = {
    0,                            // ftUnknown
    1,  5,  6,  12, 4,  7, 7, 8,  // ftString .. ftBCD
    2,  10, 11, 9,  15, 6,        // ftDate .. ftAutoInc
    3,  3,  3,  3,  3,  3, 3,     // ftBlob .. ftTypedBinary
    17, 1,  1,  18,               // ftCursor, ftFixedChar, ftWideString, ftLargeint
    20, 21, 22, 23,               // ftADT, ftArray, ftReference, ftDataSet
    3,  3,                        // ftOraBlob, ftOraClob
    0,  0,  0,                    // ftVariant, ftInterface, ftIDispatch
    1,  24, 25,                   // ftGuid, ftTimeStamp, ftFMTBcd
};

int CompatibilityClass(TFieldType t) {
  switch (t) {
    case ftString:
    case ftFixedChar:
    case ftGuid:
      return 100;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
      return 101;
    case ftFloat:
    case ftCurrency:
      return 102;
    case ftDate:
    case ftTime:
    case ftDateTime:
      return 103;
    case ftInterface:
    case ftIDispatch:
      return 104;
    case ftWideString:
    case ftCursor:
    case ftUnknown:
      return ftUnknown;
    default:
      if (IsBlobFieldType(t)) return 105;
      return t;
  }
}

TFieldType HostFieldType(const DSFLDDesc& d) {
  const bool guid = d.subtype == packet::kSubtypeGuid;
  switch (d.logicalType) {
    case kLtString:
      if (guid) return ftGuid;
      return d.subtype == packet::kSubtypeFixedChar ? ftFixedChar : ftString;
    case kLtDate:
      return ftDate;
    case kLtBlob:
      switch (d.subtype) {
        case packet::kSubtypeText:
          return ftMemo;
        case packet::kSubtypeBinary:
          return ftBlob;
        case packet::kSubtypeFormatted:
          return ftFmtMemo;
        case packet::kSubtypeOle:
          return ftParadoxOle;
        case packet::kSubtypeGraphics:
          return ftGraphic;
        case packet::kSubtypeDBaseOle:
          return ftDBaseOle;
        case packet::kSubtypeTypedBinary:
          return ftTypedBinary;
        case packet::kSubtypeHMemo:
          return ftOraClob;
        case packet::kSubtypeHBinary:
          return ftOraBlob;
        default:
          return ftBlob;
      }
    case kLtBool16:
      return ftBoolean;
    case kLtInt16:
      return ftSmallint;
    case kLtInt32:
      return d.subtype == packet::kSubtypeAutoinc ? ftAutoInc : ftInteger;
    case kLtFloat64:
      return d.subtype == packet::kSubtypeMoney ? ftCurrency : ftFloat;
    case kLtBcd:
      return ftBCD;
    case kLtBytes:
      return guid ? ftGuid : ftBytes;
    case kLtTime:
      return ftTime;
    case kLtTimeStamp:
      return ftDateTime;
    case kLtUInt16:
      return ftWord;
    case kLtUInt32:
      return ftInteger;
    case kLtVarBytes:
      return guid ? ftGuid : ftVarBytes;
    case kLtInt64:
    case kLtUInt64:
      return ftLargeint;
    case kLtAdt:
      return guid ? ftGuid : ftADT;
    case kLtArray:
      return guid ? ftGuid : ftArray;
    case kLtReference:
      return ftReference;
    case kLtNestedTable:
      return d.subtype == packet::kSubtypeReference ? ftReference : ftDataSet;
    case kLtSqlTimeStamp:
      return ftTimeStamp;
    case kLtFmtBcd:
      return ftFMTBcd;
    case kLtUnicode:
      return ftWideString;
    default:
      return ftUnknown;
  }
}

}  // namespace dorvem
