// Value texts of the XML packet form: numbers, booleans, BCD, arrays.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dataset/core/ascii.h"
#include "dataset/core/byte_layout.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/text_datetime.h"
#include "dataset/packet/text_values.h"

namespace dorvem::packet {
namespace {

using namespace packet;

std::string_view Trim(std::string_view s) {
  while (!s.empty() &&
         (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() &&
         (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
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
      if (EqualIgnoringAsciiCase(t, "TRUE")) {
        Append(out, ~std::uint64_t{0}, size);
      } else if (EqualIgnoringAsciiCase(t, "FALSE")) {
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
    case kTcDate:
    case kTcTime:
    case kTcTimeStamp:
    case kTcSqlTimeStamp:
      return ParseDateTime(code, size, t, out);
    default:
      return dbr::kPacketMismatch;
  }
}

}  // namespace

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
    case kTcTimeStamp:
    case kTcSqlTimeStamp:
      return FormatDateTime(code, value, size, out);
    default:
      return dbr::kInvalidParameter;
  }
}

}  // namespace dorvem::packet
