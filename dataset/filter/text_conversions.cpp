#include "dataset/filter/text_conversions.h"

#include <charconv>
#include <string>

namespace dorvem::filter {
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
  *dayNumber = DayNumberOf(year, month, day);
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

// Days from 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// Day number of 0001-01-01 is 1; of 1970-01-01, 719163.
constexpr std::int64_t kDayNumberOf19700101 = 719163;

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
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::int32_t DayNumberOf(int year, int month, int day) {
  return static_cast<std::int32_t>(
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
      kDayNumberOf19700101);
}

void CivilOf(std::int32_t dayNumber, int* year, int* month, int* day) {
  // Inverse of DaysFromCivil.
  std::int64_t z = dayNumber - kDayNumberOf19700101 + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
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

}  // namespace dorvem::filter
