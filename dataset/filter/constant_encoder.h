// Constant values of a filter expression as the expression buffer stores
// them, and the text conversions that get them there.
//
// Every literal of a filter text is still text when the buffer is written;
// by then its node carries the type it is to have (a field's type when it is
// compared with a field). EncodeConstant converts the text (or a truth
// value) to that type's bytes:
//
//   string types  length + 1 bytes: the characters (at most 255) and a zero
//   Smallint      i16, -32768 .. 32767       Word      u16, 0 .. 65535
//   Integer       i32                        AutoInc   i32
//   Boolean       u16, 1 true / 0 false
//   Float         f64                        Currency  f64
//   BCD, FMTBcd   18 bytes: precision 32, sign bit and scale, 32 digit nibbles
//   Date          i32 day number (0001-01-01 is day 1)
//   Time          u32 milliseconds since midnight
//   DateTime      f64 day number x 86400000 + milliseconds
//   TimeStamp     16 bytes: year, month, day, hour, minute, second (u16 each),
//                 fraction in milliseconds (u32)
//
// A null value encodes as no bytes. Text is read by text_conversions.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/filter/expr_node.h"
#include "dataset/filter/filter_expr.h"

namespace dorvem::filter {

// Longest string constant stored in a buffer.
inline constexpr std::size_t kMaxStoredString = 255;

struct EncodedConstant {
  std::uint16_t logicalType = 0;
  std::vector<std::uint8_t> bytes;
};

// The text of a string or truth value ("True" / "False"); "" for null.
std::string ConstantText(const ExprValue& value);

// Encodes `value` as `type` (data size `size`: the scale of BCD values).
// Raises EDatabaseError "Constant is not correct type %s" for a type with no
// encoding, "Constant out of range" for Smallint and Word values out of
// range, and the conversion's own message when the text is not a number,
// date or time.
EncodedConstant EncodeConstant(const ExprValue& value, TFieldType type, int size,
                               const FieldTypeMap& fieldMap, char decimalSeparator);

}  // namespace dorvem::filter
