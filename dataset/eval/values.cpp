#include "dataset/eval/values.h"

#include <algorithm>
#include <cmath>

#include "dataset/core/sql_time_stamp.h"
#include "dataset/store/logical_types.h"

namespace dorvem::eval {
namespace {

// Packed BCD: precision byte, sign bit and scale, then digit nibbles, most
// significant first; the first `precision` nibbles are the digits.
double BcdValue(const std::uint8_t* p, std::uint32_t size) {
  if (size < 2) return 0;
  const std::uint32_t nibbles = 2 * (size - 2);
  const std::uint32_t precision = std::min<std::uint32_t>(p[0], nibbles);
  const int scale = p[1] & 0x3F;
  double v = 0;
  for (std::uint32_t i = 0; i < precision; ++i) {
    const std::uint8_t byte = p[2 + i / 2];
    v = v * 10 + ((i % 2 == 0) ? byte >> 4 : byte & 0x0F);
  }
  v /= std::pow(10.0, scale);
  return (p[1] & 0x80) ? -v : v;
}

}  // namespace

double NumberValue(const std::uint8_t* p, std::uint32_t type, std::uint32_t size) {
  switch (type) {
    case kLtInt16:
      return LoadLE<std::int16_t>(p);
    case kLtUInt16:
      return LoadLE<std::uint16_t>(p);
    case kLtInt32:
      return LoadLE<std::int32_t>(p);
    case kLtUInt32:
      return LoadLE<std::uint32_t>(p);
    case kLtInt64:
      return static_cast<double>(LoadLE<std::int64_t>(p));
    case kLtUInt64:
      return static_cast<double>(LoadLE<std::uint64_t>(p));
    case kLtInt8:
      return static_cast<std::int8_t>(p[0]);
    case kLtUInt8:
      return p[0];
    case kLtFloat64:
      return LoadLE<double>(p);
    case kLtBcd:
    case kLtFmtBcd:
      return BcdValue(p, size);
    default:
      return 0;
  }
}

double TemporalMs(const std::uint8_t* p, std::uint32_t type) {
  switch (type) {
    case kLtDate:
      return LoadLE<std::int32_t>(p) * kMsPerDay;
    case kLtTime:
      return kDayNumberOf18991230 * kMsPerDay + LoadLE<std::uint32_t>(p);
    case kLtTimeStamp:
      return LoadLE<double>(p);
    case kLtSqlTimeStamp: {
      const SqlTimeStamp t = LoadSqlTimeStamp(p);
      const double seconds = (t.hour * 60.0 + t.minute) * 60.0 + t.second;
      return static_cast<double>(DayNumberOf(t)) * kMsPerDay + seconds * 1000 + t.fraction;
    }
    default:
      return 0;
  }
}

void StoreTemporal(std::uint8_t* out, std::uint32_t type, double ms) {
  if (!std::isfinite(ms)) ms = 0;
  const double days = std::floor(ms / kMsPerDay);
  const double within = ms - days * kMsPerDay;
  switch (type) {
    case kLtDate:
      StoreLE(out, static_cast<std::int32_t>(std::clamp(days, -2e9, 2e9)));
      return;
    case kLtTime:
      StoreLE(out, static_cast<std::uint32_t>(within));
      return;
    case kLtTimeStamp:
      StoreLE(out, ms);
      return;
    case kLtSqlTimeStamp:
      // Days beyond the record's years become its first or last moment.
      StoreSqlTimeStamp(out, SqlTimeStampOf(static_cast<std::int64_t>(std::clamp(days, -4e9, 4e9)),
                                            static_cast<std::uint32_t>(within)));
      return;
    default:
      return;
  }
}

}  // namespace dorvem::eval
