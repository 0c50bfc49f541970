// Value texts of the XML packet form: numbers, booleans, BCD, dates and
// times, arrays.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dataset/core/byte_layout.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/text_values.h"

namespace dorvem::textform {
namespace {

using namespace packet;

constexpr double kMsPerDay = 86400000.0;

std::string_view Trim(std::string_view s) {
  while (!s.empty() &&
         (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}

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

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

void Append(std::vector<std::uint8_t>* out, std::uint64_t v, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) out->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint64_t Load(const std::uint8_t* p, std::size_t size) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < size; ++i) v |= std::uint64_t{p[i]} << (8 * i);
  return v;
}

bool IsIntegerSize(std::uint32_t size) {
  return size == 1 || size == 2 || size == 4 || size == 8;
}

DBResult ParseInteger(bool isSigned, std::uint32_t size, std::string_view t,
                      std::vector<std::uint8_t>* out) {
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (isSigned) {
    std::int64_t v = 0;
    const auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || p != t.data() + t.size() || t.empty()) return dbr::kPacketMismatch;
    if (size < 8) {
      const std::int64_t limit = std::int64_t{1} << (8 * size - 1);
      if (v < -limit || v >= limit) return dbr::kPacketMismatch;
    }
    Append(out, static_cast<std::uint64_t>(v), size);
  } else {
    std::uint64_t v = 0;
    const auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || p != t.data() + t.size() || t.empty()) return dbr::kPacketMismatch;
    if (size < 8 && v >> (8 * size)) return dbr::kPacketMismatch;
    Append(out, v, size);
  }
  return dbr::kOk;
}

// 80-bit extended: sign and 15-bit exponent in the top two bytes, a 64-bit
// mantissa with its integer bit below them.
void ToExtended(long double v, std::uint8_t* out) {
  std::uint16_t top = std::signbit(v) ? 0x8000 : 0;
  std::uint64_t mantissa = 0;
  v = std::fabs(v);
  if (std::isnan(v)) {
    top |= 0x7FFF;
    mantissa = 0xC000000000000000ULL;
  } else if (std::isinf(v)) {
    top |= 0x7FFF;
    mantissa = 0x8000000000000000ULL;
  } else if (v != 0) {
    int exp = 0;
    const long double m = std::frexp(v, &exp);  // v = m * 2^exp, 0.5 <= m < 1
    int biased = exp - 1 + 16383;
    long double scaled = std::ldexp(m, 64);
    if (biased <= 0) {  // subnormal
      scaled = std::ldexp(scaled, biased - 1);
      biased = 0;
    }
    mantissa = static_cast<std::uint64_t>(scaled);
    top |= static_cast<std::uint16_t>(biased);
  }
  StoreU64(out, mantissa);
  StoreU16(out + 8, top);
}

long double FromExtended(const std::uint8_t* p) {
  const std::uint64_t mantissa = LoadU64(p);
  const std::uint16_t top = LoadU16(p + 8);
  const int exp = top & 0x7FFF;
  long double v;
  if (exp == 0x7FFF) {
    v = (mantissa << 1) ? NAN : INFINITY;
  } else {
    v = std::ldexp(static_cast<long double>(mantissa), (exp ? exp : 1) - 16383 - 63);
  }
  return (top & 0x8000) ? -v : v;
}

DBResult ParseBcd(std::string_view t, std::vector<std::uint8_t>* out) {
  bool negative = false;
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
    negative = t.front() == '-';
    t.remove_prefix(1);
  }
  const std::size_t point = t.find('.');
  std::string_view whole = t.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? "" : t.substr(point + 1);
  if (whole.empty() && fraction.empty()) return dbr::kPacketMismatch;
  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  if (whole.empty()) whole = "0";
  const std::size_t digits = whole.size() + fraction.size();
  if (digits > 32 || fraction.size() > 63) return dbr::kPacketMismatch;
  std::uint8_t bcd[18] = {};
  bcd[0] = static_cast<std::uint8_t>(digits);
  bcd[1] = static_cast<std::uint8_t>((negative ? 0x80 : 0) | fraction.size());
  std::size_t i = 0;
  for (std::string_view part : {whole, fraction}) {
    for (char c : part) {
      if (c < '0' || c > '9') return dbr::kPacketMismatch;
      const auto d = static_cast<std::uint8_t>(c - '0');
      bcd[2 + i / 2] |= (i % 2) ? d : static_cast<std::uint8_t>(d << 4);
      ++i;
    }
  }
  out->insert(out->end(), bcd, bcd + 18);
  return dbr::kOk;
}

DBResult FormatBcd(const std::uint8_t* p, std::string* out) {
  const unsigned precision = p[0];
  const unsigned places = p[1] & 0x3F;
  if (precision > 32 || places > precision) return dbr::kInvalidParameter;
  std::string digits;
  for (unsigned i = 0; i < precision; ++i)
    digits.push_back(static_cast<char>('0' + ((i % 2) ? p[2 + i / 2] & 0xF : p[2 + i / 2] >> 4)));
  for (char c : digits)
    if (c > '9') return dbr::kInvalidParameter;
  std::string_view whole(digits.data(), precision - places);
  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  if (p[1] & 0x80) out->push_back('-');
  out->append(whole.empty() ? "0" : whole);
  if (places) {
    out->push_back('.');
    out->append(digits, precision - places, places);
  }
  return dbr::kOk;
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

DBResult ParseOne(std::uint32_t word, std::string_view t, std::vector<std::uint8_t>* out) {
  const std::uint32_t code = TypeCode(word);
  const std::uint32_t size = TypeSize(word);
  t = Trim(t);
  switch (code) {
    case kTcInt:
    case kTcUInt:
      if (!IsIntegerSize(size)) return dbr::kPacketMismatch;
      return ParseInteger(code == kTcInt, size, t, out);
    case kTcBool:
      if (!IsIntegerSize(size)) return dbr::kPacketMismatch;
      if (EqualNoCase(t, "TRUE")) {
        Append(out, ~std::uint64_t{0}, size);
      } else if (EqualNoCase(t, "FALSE")) {
        Append(out, 0, size);
      } else {
        return dbr::kPacketMismatch;
      }
      return dbr::kOk;
    case kTcFloat: {
      // The library's long double parsing may look for a terminating zero:
      // parse from a terminated copy.
      char text[128];
      if (t.empty() || t.size() >= sizeof text) return dbr::kPacketMismatch;
      std::memcpy(text, t.data(), t.size());
      text[t.size()] = '\0';
      const char* end = text + t.size();
      if (size == 8) {
        double d = 0;
        const auto [p, ec] = std::from_chars(text, end, d);
        if (ec != std::errc() || p != end) return dbr::kPacketMismatch;
        std::uint8_t b[8];
        std::memcpy(b, &d, 8);
        out->insert(out->end(), b, b + 8);
      } else if (size == 10) {
        long double v = 0;
        const auto [p, ec] = std::from_chars(text, end, v);
        if (ec != std::errc() || p != end) return dbr::kPacketMismatch;
        std::uint8_t b[10];
        ToExtended(v, b);
        out->insert(out->end(), b, b + 10);
      } else {
        return dbr::kPacketMismatch;
      }
      return dbr::kOk;
    }
    case kTcBcd:
    case kTcFmtBcd:
      return ParseBcd(t, out);
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

}  // namespace

std::int64_t DayNumber(int year, int month, int day) {
  // Days from 1970-01-01 of a proleptic Gregorian date.
  auto civil = [](std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
  };
  return civil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - civil(1, 1, 1) + 1;
}

void DateOfDayNumber(std::int64_t dayNumber, int* year, int* month, int* day) {
  // Days from 1970-01-01 (0001-01-01 is day -719162), shifted to an era
  // starting in March of year 0.
  const std::int64_t z = (dayNumber - 1 - 719162) + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  *year = static_cast<int>(y + (m <= 2));
  *month = static_cast<int>(m);
  *day = static_cast<int>(d);
}

DBResult ParseScalar(std::uint32_t word, std::string_view text, std::vector<std::uint8_t>* out) {
  if (!(word & kArray)) return ParseOne(word, text, out);
  const std::uint32_t element = word & ~(kArray | kRoundTrip);
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t stop = text.find_first_of(", \t\r\n", i);
    const std::string_view item = text.substr(i, stop == std::string_view::npos ? stop : stop - i);
    if (!item.empty())
      if (DBResult r = ParseOne(element, item, out)) return r;
    if (stop == std::string_view::npos) break;
    i = stop + 1;
  }
  return dbr::kOk;
}

DBResult FormatScalar(std::uint32_t word, const std::uint8_t* value, std::size_t size,
                      std::string* out) {
  const std::uint32_t code = TypeCode(word);
  const std::uint32_t typeSize = TypeSize(word);
  char buf[64];
  if (word & kArray) {
    if (!IsIntegerSize(typeSize) || size % typeSize) return dbr::kInvalidParameter;
    const std::uint32_t element = word & ~(kArray | kRoundTrip);
    for (std::size_t i = 0; i < size; i += typeSize) {
      if (i) out->push_back(',');
      if (DBResult r = FormatScalar(element, value + i, typeSize, out)) return r;
    }
    return dbr::kOk;
  }
  auto text = [&](auto v) {
    const auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out->append(buf, p);
  };
  switch (code) {
    case kTcInt:
    case kTcUInt: {
      if (!IsIntegerSize(typeSize) || size != typeSize) return dbr::kInvalidParameter;
      const std::uint64_t v = Load(value, size);
      if (code == kTcUInt) {
        text(v);
      } else {
        const unsigned shift = 64 - 8 * static_cast<unsigned>(size);
        text(static_cast<std::int64_t>(v << shift) >> shift);
      }
      return dbr::kOk;
    }
    case kTcBool:
      if (!IsIntegerSize(typeSize) || size != typeSize) return dbr::kInvalidParameter;
      out->append(Load(value, size) ? "TRUE" : "FALSE");
      return dbr::kOk;
    case kTcFloat:
      if (typeSize == 8 && size == 8) {
        double d;
        std::memcpy(&d, value, 8);
        text(d);
      } else if (typeSize == 10 && size == 10) {
        text(FromExtended(value));
      } else {
        return dbr::kInvalidParameter;
      }
      return dbr::kOk;
    case kTcBcd:
    case kTcFmtBcd:
      if (size != 18) return dbr::kInvalidParameter;
      return FormatBcd(value, out);
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
