#include "dataset/store/logical_types.h"

#include "dataset/packet/packet_format.h"

namespace dorvem {

LogicalType LogicalTypeOfTypeWord(std::uint32_t w) {
  using namespace packet;
  const std::uint32_t size = TypeSize(w);
  const bool varying = (w & kVarying) != 0;
  switch (TypeCode(w)) {
    case kTcInt:
      switch (size) {
        case 1:
          return kLtInt8;
        case 2:
          return kLtInt16;
        case 4:
          return kLtInt32;
        case 8:
          return kLtInt64;
      }
      return kLtNone;
    case kTcUInt:
      switch (size) {
        case 1:
          return kLtUInt8;
        case 2:
          return kLtUInt16;
        case 4:
          return kLtUInt32;
        case 8:
          return kLtUInt64;
      }
      return kLtNone;
    case kTcBool:
      switch (size) {
        case 1:
          return kLtBool8;
        case 2:
          return kLtBool16;
        case 4:
          return kLtBool32;
      }
      return kLtNone;
    case kTcFloat:
      if (size == 8) return kLtFloat64;
      if (size == 10) return kLtFloat80;
      return kLtNone;
    case kTcBcd:
      return kLtBcd;
    case kTcFmtBcd:
      return kLtFmtBcd;
    case kTcDate:
      return size == 4 ? kLtDate : kLtNone;
    case kTcTime:
      return size == 4 ? kLtTime : kLtNone;
    case kTcTimeStamp:
      return size == 8 ? kLtTimeStamp : kLtNone;
    case kTcString:
      return kLtString;
    case kTcUnicode:
      return varying ? kLtUnicode : kLtNone;
    case kTcBytes:
    case kTcBytes2:
      if (!varying) return kLtBytes;
      return size == 4 ? kLtBlob : kLtVarBytes;
    case kTcAdt:
      return kLtAdt;
    case kTcArray:
      return kLtArray;
    case kTcNested:
      return kLtNestedTable;
    case kTcSqlTimeStamp:
      return size == 16 ? kLtSqlTimeStamp : kLtNone;
    default:
      return kLtNone;
  }
}

std::uint32_t FixedRecordLength(LogicalType type) {
  switch (type) {
    case kLtDate:
    case kLtTime:
    case kLtInt32:
    case kLtUInt32:
    case kLtBlob:
    case kLtBool32:
    case kLtNestedTable:
      return 4;
    case kLtBool16:
    case kLtInt16:
    case kLtUInt16:
    case kLtInt8:
    case kLtUInt8:
    case kLtBool8:
      return 2;
    case kLtFloat64:
    case kLtTimeStamp:
    case kLtInt64:
    case kLtUInt64:
      return 8;
    case kLtFloat80:
      return 10;
    case kLtSqlTimeStamp:
      return 16;
    default:
      return 0;
  }
}

}  // namespace dorvem
