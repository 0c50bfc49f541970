#include "dataset/expr/text_conversions.h"

#include <charconv>
#include <string>

namespace dorvem::expr {
namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Reads 1 to `maxDigits` digits at *pos.
bool ReadNumber(std::string_view s, std::size_t* pos, int maxDigits, int* value, int* digits) {
  std::size_t p = *pos;
  int v = 0, n = 0;
  while (p < s.size() && IsDigit(s[p]) && n < maxDigits) {
    v = v * 10 + (s[p] - '0');
    ++p;
    ++n;
  }
  if (n == 0 || (p < s.size() && IsDigit(s[p]))) return false;
  *pos = p;
  *value = v;
  if (digits) *digits = n;
  return true;
}

void SkipBlanks(std::string_view s, std::size_t* pos) {
  while (*pos < s.size() && IsBlank(s[*pos])) ++*pos;
}

// Parses a date at the start of `s`; *pos receives where it ended.
bool ParseDate(std::string_view s, std::size_t* pos, std::int32_t* dayNumber) {
  std::size_t p = 0;
  int part[3], digits[3];
  char sep = 0;
  for (int i = 0; i < 3; ++i) {
    if (!ReadNumber(s, &p, 4, &part[i], &digits[i])) return false;
    if (i == 2) break;
    if (p >= s.size() || (s[p] != '-' && s[p] != '.' && s[p] != '/')) return false;
    if (i == 0) sep = s[p];
    if (s[p] != sep) return false;
    ++p;
    SkipBlanks(s, &p);
  }
  if (sep == '.' && p < s.size() && s[p] == '.') ++p;
  int year, month, day;
  if (digits[0] > 2) {
    year = part[0], month = part[1], day = part[2];
  } else if (digits[2] > 2) {
    year = part[2];
    if (sep == '/')
      month = part[0], day = part[1];
    else
      day = part[0], month = part[1];
  } else {
    return false;
  }
  if (!ValidDate(year, month, day)) return false;
  *dayNumber = static_cast<std::int32_t>(DayNumber(year, month, day));
  *pos = p;
  return true;
}

bool ParseTime(std::string_view s, std::uint32_t* milliseconds) {
  std::size_t p = 0;
  int hour, minute, second = 0, ms = 0;
  if (!ReadNumber(s, &p, 2, &hour, nullptr)) return false;
  if (p >= s.size() || s[p] != ':') return false;
  ++p;
  if (!ReadNumber(s, &p, 2, &minute, nullptr)) return false;
  if (p < s.size() && s[p] == ':') {
    ++p;
    if (!ReadNumber(s, &p, 2, &second, nullptr)) return false;
    if (p < s.size() && s[p] == '.') {
      ++p;
      int digits = 0;
      if (!ReadNumber(s, &p, 3, &ms, &digits)) return false;
      for (; digits < 3; ++digits) ms *= 10;
    }
  }
  if (p != s.size() || hour > 23 || minute > 59 || second > 59) return false;
  *milliseconds = static_cast<std::uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + ms);
  return true;
}

}  // namespace

bool TextToDouble(std::string_view text, char decimalSeparator, double* out) {
  const std::string_view s = Trimmed(text);
  std::string normal;
  std::size_t p = 0;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) normal.push_back(s[p++]);
  std::size_t mantissaDigits = 0;
  while (p < s.size() && IsDigit(s[p])) normal.push_back(s[p++]), ++mantissaDigits;
  if (p < s.size() && s[p] == decimalSeparator) {
    normal.push_back('.');
    ++p;
    while (p < s.size() && IsDigit(s[p])) normal.push_back(s[p++]), ++mantissaDigits;
  }
  if (mantissaDigits == 0) return false;
  if (p < s.size() && (s[p] == 'E' || s[p] == 'e')) {
    normal.push_back('e');
    ++p;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) normal.push_back(s[p++]);
    std::size_t exponentDigits = 0;
    while (p < s.size() && IsDigit(s[p])) normal.push_back(s[p++]), ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  if (p != s.size()) return false;
  const char* begin = normal.c_str() + (normal[0] == '+' ? 1 : 0);
  double value = 0;
  const auto [end, ec] = std::from_chars(begin, normal.c_str() + normal.size(), value);
  if (ec != std::errc() || end != normal.c_str() + normal.size()) return false;
  *out = value;
  return true;
}

bool TextToDate(std::string_view text, std::int32_t* dayNumber) {
  const std::string_view s = Trimmed(text);
  std::size_t end = 0;
  std::int32_t day = 0;
  if (!ParseDate(s, &end, &day) || end != s.size()) return false;
  *dayNumber = day;
  return true;
}

bool TextToTime(std::string_view text, std::uint32_t* milliseconds) {
  return ParseTime(Trimmed(text), milliseconds);
}

bool TextToDateTime(std::string_view text, std::int32_t* dayNumber, std::uint32_t* milliseconds) {
  const std::string_view s = Trimmed(text);
  std::size_t end = 0;
  std::int32_t day = 0;
  std::uint32_t ms = 0;
  if (ParseDate(s, &end, &day)) {
    const std::string_view rest = Trimmed(s.substr(end));
    if (!rest.empty() && (!IsBlank(s[end]) || !ParseTime(rest, &ms))) return false;
  } else {
    day = kDayNumberOf18991230;
    if (!ParseTime(s, &ms)) return false;
  }
  *dayNumber = day;
  *milliseconds = ms;
  return true;
}

bool ValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && IsCalendarDate(year, month, day);
}

}  // namespace dorvem::expr
