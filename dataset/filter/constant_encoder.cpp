#include "dataset/filter/constant_encoder.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "dataset/core/ascii.h"
#include "dataset/core/byte_layout.h"
#include "dataset/core/db_errors.h"
#include "dataset/core/message_format.h"
#include "dataset/core/sql_time_stamp.h"
#include "dataset/expr/text_conversions.h"
#include "dataset/filter/filter_messages.h"

namespace dorvem::filter {

using namespace expr;

namespace {

constexpr int kBcdPrecision = 32;
constexpr std::size_t kBcdSize = 18;

[[noreturn]] void Fail(std::string_view pattern, std::string_view text) {
  DatabaseError(msg::Fmt(pattern, {text}));
}

// The value as a number: a truth value is 1 or 0, text is read.
double NumberOf(const ExprValue& value, char sep, std::string_view invalid) {
  if (const bool* b = std::get_if<bool>(&value)) return *b ? 1 : 0;
  const std::string& text = std::get<std::string>(value);
  double v = 0;
  if (!TextToDouble(text, sep, &v)) Fail(invalid, text);
  return v;
}

// The value as a whole number between lo and hi; `outOfRange` is the
// message for values outside (empty: the conversion's own).
std::int64_t IntegerOf(const ExprValue& value, char sep, std::int64_t lo, std::int64_t hi,
                       bool rangeMessage) {
  const double v = std::nearbyint(NumberOf(value, sep, msg::kInvalidInteger));
  if (!(v >= static_cast<double>(lo) && v <= static_cast<double>(hi))) {
    if (rangeMessage) DatabaseError(msg::kExprRangeError);
    Fail(msg::kInvalidInteger, ConstantText(value));
  }
  return static_cast<std::int64_t>(v);
}

bool BoolOf(const ExprValue& value, char sep) {
  if (const bool* b = std::get_if<bool>(&value)) return *b;
  const std::string& text = std::get<std::string>(value);
  if (EqualIgnoringAsciiCase(text, msg::kTrueWord)) return true;
  if (EqualIgnoringAsciiCase(text, msg::kFalseWord)) return false;
  double v = 0;
  if (!TextToDouble(text, sep, &v)) Fail("'%s' is not a valid boolean value", text);
  return v != 0;
}

// Reads a decimal text exactly into 32 digits with `scale` of them after
// the point (rounding half away from zero) as a packed BCD record.
std::vector<std::uint8_t> BcdOf(const ExprValue& value, int scale, char sep) {
  const bool* truth = std::get_if<bool>(&value);
  const std::string text = truth ? std::string(1, *truth ? '1' : '0') : ConstantText(value);
  double check = 0;
  if (!TextToDouble(text, sep, &check)) Fail(msg::kInvalidBcd, text);
  // Digits of the mantissa, and the power of ten of its last digit.
  std::vector<std::uint8_t> digits;
  bool negative = false;
  int exponent = 0;
  std::size_t p = 0;
  while (p < text.size() && static_cast<unsigned char>(text[p]) <= 32) ++p;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
  bool fraction = false;
  for (; p < text.size(); ++p) {
    const char c = text[p];
    if (c >= '0' && c <= '9') {
      digits.push_back(static_cast<std::uint8_t>(c - '0'));
      if (fraction) --exponent;
    } else if (c == sep && !fraction) {
      fraction = true;
    } else {
      break;
    }
  }
  if (p < text.size() && (text[p] == 'E' || text[p] == 'e')) {
    const long e = std::strtol(text.c_str() + p + 1, nullptr, 10);
    exponent += static_cast<int>(std::max(-1000L, std::min(e, 1000L)));
  }
  // Scale to `scale` fraction digits, rounding half away from zero.
  const int shift = exponent + scale;
  if (shift >= 0) {
    digits.resize(digits.size() + static_cast<std::size_t>(std::min(shift, 100)), 0);
  } else {
    const std::size_t drop = static_cast<std::size_t>(-shift);
    const bool roundUp = drop <= digits.size() && digits[digits.size() - drop] >= 5;
    digits.resize(digits.size() > drop ? digits.size() - drop : 0);
    if (roundUp) {
      std::size_t i = digits.size();
      while (i > 0 && digits[i - 1] == 9) digits[--i] = 0;
      if (i == 0)
        digits.insert(digits.begin(), 1);
      else
        ++digits[i - 1];
    }
  }
  std::size_t lead = 0;
  while (lead < digits.size() && digits[lead] == 0) ++lead;
  const std::size_t count = digits.size() - lead;
  if (count > static_cast<std::size_t>(kBcdPrecision)) Fail(msg::kInvalidBcd, text);

  std::vector<std::uint8_t> bcd(kBcdSize, 0);
  bcd[0] = kBcdPrecision;
  bcd[1] = static_cast<std::uint8_t>(scale & 0x3F);
  if (negative && count > 0) bcd[1] |= 0x80;
  // Right-aligned in the 32 nibbles, most significant first.
  const std::size_t start = static_cast<std::size_t>(kBcdPrecision) - count;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t nibble = start + i;
    const std::uint8_t d = digits[lead + i];
    bcd[2 + nibble / 2] |= static_cast<std::uint8_t>(nibble % 2 == 0 ? d << 4 : d);
  }
  return bcd;
}

void DateTimeOf(const ExprValue& value, TFieldType type, std::int32_t* day, std::uint32_t* ms) {
  if (!std::holds_alternative<std::string>(value)) DatabaseError(msg::kExprTypeMismatch);
  const std::string& text = std::get<std::string>(value);
  switch (type) {
    case ftDate:
      *ms = 0;
      if (!TextToDate(text, day)) Fail(msg::kInvalidDate, text);
      return;
    case ftTime:
      *day = kDayNumberOf18991230;
      if (!TextToTime(text, ms)) Fail(msg::kInvalidTime, text);
      return;
    default:
      if (!TextToDateTime(text, day, ms)) Fail(msg::kInvalidDateTime, text);
      return;
  }
}

template <typename T>
std::vector<std::uint8_t> BytesOf(T v) {
  std::vector<std::uint8_t> out(sizeof v);
  StoreLE(out.data(), v);
  return out;
}

}  // namespace

std::string ConstantText(const ExprValue& value) {
  if (const bool* b = std::get_if<bool>(&value))
    return std::string(*b ? msg::kTrueWord : msg::kFalseWord);
  if (const std::string* s = std::get_if<std::string>(&value)) return *s;
  return {};
}

EncodedConstant EncodeConstant(const ExprValue& value, TFieldType type, int size,
                               const FieldTypeMap& fieldMap, char sep) {
  EncodedConstant out;
  out.logicalType = type < kFieldTypeCount ? fieldMap[type] : 0;
  if (std::holds_alternative<std::monostate>(value)) return out;

  switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid: {
      std::string text = ConstantText(value);
      if (text.size() > kMaxStoredString) text.resize(kMaxStoredString);
      out.bytes.assign(text.begin(), text.end());
      out.bytes.push_back(0);
      break;
    }
    case ftSmallint:
      out.bytes = BytesOf(static_cast<std::int16_t>(IntegerOf(value, sep, -32768, 32767, true)));
      break;
    case ftWord:
      out.bytes = BytesOf(static_cast<std::uint16_t>(IntegerOf(value, sep, 0, 65535, true)));
      break;
    case ftInteger:
    case ftAutoInc:
      out.bytes = BytesOf(
          static_cast<std::int32_t>(IntegerOf(value, sep, std::numeric_limits<std::int32_t>::min(),
                                              std::numeric_limits<std::int32_t>::max(), false)));
      break;
    case ftBoolean:
      out.bytes = BytesOf(static_cast<std::uint16_t>(BoolOf(value, sep) ? 1 : 0));
      break;
    case ftFloat:
    case ftCurrency:
      out.bytes = BytesOf(NumberOf(value, sep, msg::kInvalidFloat));
      break;
    case ftBCD:
    case ftFMTBcd:
      out.bytes = BcdOf(value, std::max(0, std::min(size, 32)), sep);
      break;
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: {
      std::int32_t day = 0;
      std::uint32_t ms = 0;
      DateTimeOf(value, type, &day, &ms);
      if (type == ftDate) {
        out.bytes = BytesOf(day);
      } else if (type == ftTime) {
        out.bytes = BytesOf(ms);
      } else if (type == ftDateTime) {
        out.bytes = BytesOf(static_cast<double>(day) * kMillisecondsPerDay + ms);
      } else {
        out.bytes.resize(kSqlTimeStampSize);
        StoreSqlTimeStamp(out.bytes.data(), SqlTimeStampOf(day, ms));
      }
      break;
    }
    default:
      DatabaseError(msg::Fmt(msg::kExprBadConst, {FieldTypeName(type)}));
  }
  return out;
}

}  // namespace dorvem::filter
