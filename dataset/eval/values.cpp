#include "dataset/eval/values.h"

#include <algorithm>
#include <cmath>

#include "dataset/filter/text_conversions.h"
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
      return Load<std::int16_t>(p);
    case kLtUInt16:
      return Load<std::uint16_t>(p);
    case kLtInt32:
      return Load<std::int32_t>(p);
    case kLtUInt32:
      return Load<std::uint32_t>(p);
    case kLtInt64:
      return static_cast<double>(Load<std::int64_t>(p));
    case kLtUInt64:
      return static_cast<double>(Load<std::uint64_t>(p));
    case kLtInt8:
      return static_cast<std::int8_t>(p[0]);
    case kLtUInt8:
      return p[0];
    case kLtFloat64:
      return Load<double>(p);
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
      return Load<std::int32_t>(p) * kMsPerDay;
    case kLtTime:
      return filter::kDayNumberOf18991230 * kMsPerDay + Load<std::uint32_t>(p);
    case kLtTimeStamp:
      return Load<double>(p);
    case kLtSqlTimeStamp: {
      const int y = Load<std::uint16_t>(p), m = Load<std::uint16_t>(p + 2),
                d = Load<std::uint16_t>(p + 4);
      const int day = filter::ValidDate(y, m, d) ? filter::DayNumberOf(y, m, d) : 0;
      const double seconds =
          (Load<std::uint16_t>(p + 6) * 60.0 + Load<std::uint16_t>(p + 8)) * 60.0 +
          Load<std::uint16_t>(p + 10);
      return day * kMsPerDay + seconds * 1000 + Load<std::uint32_t>(p + 12);
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
      Store(out, static_cast<std::int32_t>(std::clamp(days, -2e9, 2e9)));
      return;
    case kLtTime:
      Store(out, static_cast<std::uint32_t>(within));
      return;
    case kLtTimeStamp:
      Store(out, ms);
      return;
    case kLtSqlTimeStamp: {
      int y = 0, m = 0, d = 0;
      const auto day = static_cast<std::int32_t>(std::clamp(days, 1.0, 3652059.0));
      filter::CivilOf(day, &y, &m, &d);
      const auto msOfDay = static_cast<std::uint32_t>(within);
      const std::uint32_t secs = msOfDay / 1000;
      const std::uint16_t parts[6] = {static_cast<std::uint16_t>(y),
                                      static_cast<std::uint16_t>(m),
                                      static_cast<std::uint16_t>(d),
                                      static_cast<std::uint16_t>(secs / 3600),
                                      static_cast<std::uint16_t>(secs / 60 % 60),
                                      static_cast<std::uint16_t>(secs % 60)};
      std::memcpy(out, parts, sizeof parts);
      Store(out + 12, msOfDay % 1000);
      return;
    }
    default:
      return;
  }
}

}  // namespace dorvem::eval
