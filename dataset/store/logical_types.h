// Logical field types of the engine and how a packet's type word maps to
// them, with each type's record length (the bytes a value takes in a record).
#pragma once

#include <cstdint>

namespace dorvem {

enum LogicalType : std::uint32_t {
  kLtNone = 0,
  kLtString = 1,
  kLtDate = 2,
  kLtBlob = 3,
  kLtBool16 = 4,
  kLtInt16 = 5,
  kLtInt32 = 6,
  kLtFloat64 = 7,
  kLtBcd = 8,
  kLtBytes = 9,
  kLtTime = 10,
  kLtTimeStamp = 11,
  kLtUInt16 = 12,
  kLtUInt32 = 13,
  kLtFloat80 = 14,
  kLtVarBytes = 15,
  kLtInt64 = 18,
  kLtUInt64 = 19,
  kLtAdt = 20,
  kLtArray = 21,
  kLtReference = 22,
  kLtNestedTable = 23,
  kLtSqlTimeStamp = 24,
  kLtFmtBcd = 25,
  kLtInt8 = 0x1001,
  kLtUInt8 = 0x1002,
  kLtBool8 = 0x1003,
  kLtBool32 = 0x1004,
  kLtUnicode = 0x1007,
};

// Logical type of a column's type word; kLtNone for a code or size the
// engine does not accept.
LogicalType LogicalTypeOfTypeWord(std::uint32_t typeWord);

// Fixed record length of a logical type that does not depend on units
// (0 for strings, bytes, varbytes, unicode, bcd, structures and arrays).
std::uint32_t FixedRecordLength(LogicalType type);

// Record length of a BCD value of the given precision.
inline std::uint32_t BcdRecordLength(std::uint32_t precision) {
  return precision == 0 ? 34 : (precision + 1) / 2 + 2;
}

}  // namespace dorvem
