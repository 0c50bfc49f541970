// Value texts of the XML packet form: dates, times, date-times and SQL
// date-times, and the day numbers dates are held as.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dataset/core/byte_layout.h"
#include "dataset/core/day_number.h"
#include "dataset/core/sql_time_stamp.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/text_datetime.h"
#include "dataset/packet/text_values.h"

namespace dorvem::packet {
namespace {

using namespace packet;

constexpr double kMsPerDay = static_cast<double>(kMillisecondsPerDay);

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

// "YYYYMMDD" at the start of t.
bool ParseDate(std::string_view t, std::int64_t* dayNumber) {
  int y, m, d;
  if (!Digits(t, 4, &y) || !Digits(t.substr(4), 2, &m) || !Digits(t.substr(6), 2, &d)) return false;
  if (!IsCalendarDate(y, m, d)) return false;
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
      // The text's fraction counts nanoseconds.
      const std::int64_t hours = ms / 3600000;
      if (hours > 0xFFFF) return dbr::kPacketMismatch;
      int y, mo, d;
      DateOfDayNumber(day, &y, &mo, &d);
      SqlTimeStamp stamp;
      stamp.year = static_cast<std::int16_t>(y);
      stamp.month = static_cast<std::uint16_t>(mo);
      stamp.day = static_cast<std::uint16_t>(d);
      stamp.hour = static_cast<std::uint16_t>(hours);
      stamp.minute = static_cast<std::uint16_t>(ms / 60000 % 60);
      stamp.second = static_cast<std::uint16_t>(ms / 1000 % 60);
      stamp.fraction = static_cast<std::uint32_t>(ms % 1000) * 1000000 + sub;
      std::uint8_t bytes[kSqlTimeStampSize];
      StoreSqlTimeStamp(bytes, stamp);
      out->insert(out->end(), bytes, bytes + kSqlTimeStampSize);
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
      if (size != kSqlTimeStampSize) return dbr::kInvalidParameter;
      const SqlTimeStamp t = LoadSqlTimeStamp(value);
      const int y = t.year, mo = t.month, d = t.day;
      const unsigned h = t.hour, mi = t.minute, s = t.second;
      const std::uint32_t fraction = t.fraction;
      // The text form has four year digits and two hour digits.
      if (y < 0 || y > 9999 || !IsCalendarDate(y, mo, d) || h > 99 || mi > 59 || s > 59 ||
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

}  // namespace dorvem::packet
