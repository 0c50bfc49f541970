#include "dataset/eval/functions.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <ctime>
#include <string>

#include "dataset/eval/values.h"
#include "dataset/expr/text_conversions.h"
#include "dataset/locale/locale_services.h"
#include "dataset/store/logical_types.h"

namespace dorvem::eval {
namespace {

bool IsBlank(unsigned char c) {
  return c <= 32;
}

// Milliseconds since day 0 of a temporal value or of a text in date form.
bool MomentOf(const Value& v, const Operand& o, double* ms) {
  if (o.type != kLtString) {
    *ms = TemporalMs(v.p, o.type);
    return true;
  }
  const std::string_view text(reinterpret_cast<const char*>(v.p), StringLength(v, o));
  std::int32_t day = 0;
  std::uint32_t within = 0;
  if (!expr::TextToDateTime(text, &day, &within)) return false;
  *ms = day * kMsPerDay + within;
  return true;
}

double Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::int64_t day = DayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  return static_cast<double>(day) * kMsPerDay +
         ((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 1000.0 +
         static_cast<double>(ms);
}

}  // namespace

bool RunFunction(const DSBASE& table, Instruction& in, std::uint32_t record) {
  std::uint8_t* out = in.result;
  if (in.function == FunctionId::kGetDate) {
    StoreLE(out, Now());
    return true;
  }
  const Operand& o = in.list[0];
  const Value v = Read(table, o, record);
  bool valid = !v.null;
  for (std::size_t i = 1; i < in.list.size(); ++i)
    valid = valid && !Read(table, in.list[i], record).null;

  switch (in.function) {
    case FunctionId::kUpper:
    case FunctionId::kLower: {
      const locale::CaseTable& map = *in.caseTable;
      const std::size_t n = StringLength(v, o);
      for (std::size_t i = 0; i < n; ++i) out[i] = map[v.p[i]];
      out[n] = 0;
      return valid;
    }
    case FunctionId::kTrim:
    case FunctionId::kTrimLeft:
    case FunctionId::kTrimRight: {
      std::size_t begin = 0, end = StringLength(v, o);
      if (in.function != FunctionId::kTrimRight)
        while (begin < end && IsBlank(v.p[begin])) ++begin;
      if (in.function != FunctionId::kTrimLeft)
        while (end > begin && IsBlank(v.p[end - 1])) --end;
      std::memmove(out, v.p + begin, end - begin);
      out[end - begin] = 0;
      return valid;
    }
    case FunctionId::kSubstring: {
      const auto n = static_cast<double>(StringLength(v, o));
      double from = std::floor(LoadLE<double>(Read(table, in.list[1], record).p));
      double to = n + 1;  // exclusive, 1-based
      if (in.list.size() > 2)
        to = from + std::floor(LoadLE<double>(Read(table, in.list[2], record).p));
      if (!std::isfinite(from)) from = n + 1;
      if (!std::isfinite(to)) to = from;
      from = std::clamp(from, 1.0, n + 1);
      to = std::clamp(to, from, n + 1);
      const auto first = static_cast<std::size_t>(from) - 1;
      const auto count = static_cast<std::size_t>(to - from);
      std::memmove(out, v.p + first, count);
      out[count] = 0;
      return valid;
    }
    default:
      break;
  }
  // The parts of a moment.
  double ms = 0;
  if (!valid || !MomentOf(v, o, &ms)) {
    std::memset(out, 0, in.resultSize);
    return false;
  }
  if (in.function == FunctionId::kDate || in.function == FunctionId::kTime) {
    StoreTemporal(out, in.resultType, ms);
    return true;
  }
  const double days = std::floor(ms / kMsPerDay);
  const auto within = static_cast<std::int64_t>(ms - days * kMsPerDay);
  int y = 0, m = 0, d = 0;
  // Every day number has its date; the bound only keeps the conversion
  // within 64 bits for values no date field can hold.
  DateOfDayNumber(static_cast<std::int64_t>(std::clamp(days, -4e9, 4e9)), &y, &m, &d);
  std::int32_t part = 0;
  switch (in.function) {
    case FunctionId::kYear:
      part = y;
      break;
    case FunctionId::kMonth:
      part = m;
      break;
    case FunctionId::kDay:
      part = d;
      break;
    case FunctionId::kHour:
      part = static_cast<std::int32_t>(within / 3600000);
      break;
    case FunctionId::kMinute:
      part = static_cast<std::int32_t>(within / 60000 % 60);
      break;
    default:
      part = static_cast<std::int32_t>(within / 1000 % 60);
      break;
  }
  StoreLE(out, part);
  return true;
}

}  // namespace dorvem::eval
