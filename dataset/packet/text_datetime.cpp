// Value texts of the XML packet form: dates, times, date-times and SQL
// date-times, and the day numbers dates are held as.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dataset/core/byte_layout.h"
#include "dataset/core/day_number.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/text_datetime.h"
#include "dataset/packet/text_values.h"

namespace dorvem::textform {
namespace {

using namespace packet;

constexpr double kMsPerDay = 86400000.0;

bool Digits(std::string_view s, std::size_t n, int* out) {
  if (s.size() < n) return false;
  int v = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  *out = v;
  return true;
}

void Append(std::vector<std::uint8_t>* out, std::uint64_t v, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) out->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

bool ValidDate(int y, int m, int d) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m < 1 || m > 12 || d < 1) return false;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

// "YYYYMMDD" at the start of t.
bool ParseDate(std::string_view t, std::int64_t* dayNumber) {
  int y, m, d;
  if (!Digits(t, 4, &y) || !Digits(t.substr(4), 2, &m) || !Digits(t.substr(6), 2, &d)) return false;
  if (!ValidDate(y, m, d)) return false;
  *dayNumber = DayNumber(y, m, d);
  return true;
}

// "HH:MM:" and digits; `secondDigits` of them form the seconds field (padded
// on the right). Stores the whole part as milliseconds, the digits beyond
// the milliseconds as nanoseconds within the millisecond.
bool ParseTime(std::string_view t, std::size_t secondDigits, std::int64_t* ms,
               std::uint32_t* subMs) {
  int h, m;
  if (!Digits(t, 2, &h) || t.size() < 3 || t[2] != ':' || !Digits(t.substr(3), 2, &m) ||
      t.size() < 6 || t[5] != ':')
    return false;
  std::string_view rest = t.substr(6);
  if (rest.size() > secondDigits) return false;
  char padded[16] = {};
  std::memset(padded, '0', secondDigits);
  std::memcpy(padded, rest.data(), rest.size());
  int sec = 0, milli = 0, sub = 0;
  if (!Digits(padded, 2, &sec) || !Digits(padded + 2, 3, &milli)) return false;
  if (secondDigits > 5 && !Digits(padded + 5, secondDigits - 5, &sub)) return false;
  *ms = (std::int64_t{h} * 60 + m) * 60000 + std::int64_t{sec} * 1000 + milli;
  *subMs = static_cast<std::uint32_t>(sub);
  return true;
}

}  // namespace

DBResult ParseDateTime(std::uint32_t code, std::uint32_t size, std::string_view t,
                       std::vector<std::uint8_t>* out) {
  switch (code) {
    case kTcDate: {
      std::int64_t day = 0;
      if (size != 4 || t.size() != 8 || !ParseDate(t, &day)) return dbr::kPacketMismatch;
      Append(out, static_cast<std::uint64_t>(day), 4);
      return dbr::kOk;
    }
    case kTcTime: {
      std::int64_t ms = 0;
      std::uint32_t sub = 0;
      if (size != 4 || !ParseTime(t, 5, &ms, &sub)) return dbr::kPacketMismatch;
      Append(out, static_cast<std::uint64_t>(ms), 4);
      return dbr::kOk;
    }
    case kTcTimeStamp:
    case kTcSqlTimeStamp: {
      std::int64_t day = 0, ms = 0;
      std::uint32_t sub = 0;
      const bool sql = code == kTcSqlTimeStamp;
      if (t.size() < 8 || !ParseDate(t, &day)) return dbr::kPacketMismatch;
      if (t.size() > 8 && (t[8] != 'T' || !ParseTime(t.substr(9), sql ? 11 : 5, &ms, &sub)))
        return dbr::kPacketMismatch;
      if (!sql) {
        const double v = static_cast<double>(day) * kMsPerDay + static_cast<double>(ms);
        std::uint8_t b[8];
        std::memcpy(b, &v, 8);
        out->insert(out->end(), b, b + 8);
        return dbr::kOk;
      }
      int y, mo, d;
      DateOfDayNumber(day, &y, &mo, &d);
      const std::int64_t hours = ms / 3600000;
      if (hours > 0xFFFF) return dbr::kPacketMismatch;
      for (std::int64_t v : {std::int64_t{y}, std::int64_t{mo}, std::int64_t{d}, hours,
                             ms / 60000 % 60, ms / 1000 % 60})
        Append(out, static_cast<std::uint64_t>(v), 2);
      Append(out, static_cast<std::uint64_t>(ms % 1000) * 1000000 + sub, 4);
      return dbr::kOk;
    }
    default:
      return dbr::kPacketMismatch;
  }
}

DBResult FormatDateTime(std::uint32_t code, const std::uint8_t* value, std::size_t size,
                        std::string* out) {
  char buf[64];
  switch (code) {
    case kTcDate:
    case kTcTime:
    case kTcTimeStamp: {
      std::int64_t day = 0, ms = 0;
      if (code == kTcTimeStamp) {
        if (size != 8) return dbr::kInvalidParameter;
        double v;
        std::memcpy(&v, value, 8);
        if (!std::isfinite(v) || std::fabs(v) > 1e15) return dbr::kInvalidParameter;
        day = static_cast<std::int64_t>(std::floor(v / kMsPerDay));
        ms = std::llround(v - static_cast<double>(day) * kMsPerDay);
        if (ms >= 86400000) ++day, ms -= 86400000;
      } else {
        if (size != 4) return dbr::kInvalidParameter;
        (code == kTcDate ? day : ms) = static_cast<std::int32_t>(LoadU32(value));
        if (code == kTcTime && ms < 0) return dbr::kInvalidParameter;
      }
      if (code != kTcTime) {
        int y, m, d;
        DateOfDayNumber(day, &y, &m, &d);
        if (y < 0 || y > 9999) return dbr::kInvalidParameter;
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", y, m, d);
        out->append(buf);
        if (code == kTcDate) return dbr::kOk;
        out->push_back('T');
      }
      std::snprintf(buf, sizeof buf, "%02d:%02d:%05d", static_cast<int>(ms / 3600000),
                    static_cast<int>(ms / 60000 % 60), static_cast<int>(ms % 60000));
      out->append(buf);
      return dbr::kOk;
    }
    case kTcSqlTimeStamp: {
      if (size != 16) return dbr::kInvalidParameter;
      const int y = static_cast<std::int16_t>(LoadU16(value));
      const int mo = LoadU16(value + 2), d = LoadU16(value + 4);
      const unsigned h = LoadU16(value + 6), mi = LoadU16(value + 8), s = LoadU16(value + 10);
      const std::uint32_t fraction = LoadU32(value + 12);
      if (y < 0 || y > 9999 || !ValidDate(y, mo, d) || h > 99 || mi > 59 || s > 59 ||
          fraction > 999999999)
        return dbr::kInvalidParameter;
      std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02u:%02u:%02u", y, mo, d, h, mi, s);
      out->append(buf);
      if (fraction % 1000000 == 0) {
        std::snprintf(buf, sizeof buf, "%03u", fraction / 1000000);
      } else {
        std::snprintf(buf, sizeof buf, "%09u", fraction);
      }
      out->append(buf);
      return dbr::kOk;
    }
    default:
      return dbr::kInvalidParameter;
  }
}

}  // namespace dorvem::textform
