// Reading and writing operand values while a program runs
// (engine-internal): where an operand's bytes are for a record, numbers of
// any numeric type, and temporal values as milliseconds. Values are loaded
// and stored with the little-endian helpers of byte_layout.h.
#pragma once

#include <cstdint>
#include <cstring>

#include "dataset/core/byte_layout.h"
#include "dataset/core/day_number.h"
#include "dataset/eval/program.h"
#include "dataset/store/table.h"

namespace dorvem::eval {

struct Value {
  const std::uint8_t* p;
  bool null;
};

// The bytes and null state of `o` for `record`.
inline Value Read(const DSBASE& table, const Operand& o, std::uint32_t record) {
  if (o.fieldId != 0)
    return {table.ValuePtr(record, o.fieldId), table.NullFlag(record, o.fieldId) != 0};
  return {o.value, o.null != nullptr && *o.null != 0};
}

inline std::size_t StringLength(const Value& v, const Operand& o) {
  return strnlen(reinterpret_cast<const char*>(v.p), o.size);
}

inline constexpr double kMsPerDay = static_cast<double>(kMillisecondsPerDay);

// A number of any numeric logical type as a float64 (BCD decoded).
double NumberValue(const std::uint8_t* p, std::uint32_t type, std::uint32_t size);

// A date, time, date-time or SQL time stamp as milliseconds since day 0 (a
// time is taken on 1899-12-30, as a date-time holds it); and back into the
// bytes of `type` (4, 8 or 16 bytes at `out`).
double TemporalMs(const std::uint8_t* p, std::uint32_t type);
void StoreTemporal(std::uint8_t* out, std::uint32_t type, double ms);

}  // namespace dorvem::eval
