#include "dataset/core/sql_time_stamp.h"

#include "dataset/core/byte_layout.h"
#include "dataset/core/day_number.h"

namespace dorvem {
namespace {

int Sign(long long a, long long b) {
  return a < b ? -1 : a > b ? 1 : 0;
}

}  // namespace

SqlTimeStamp LoadSqlTimeStamp(const std::uint8_t* p) {
  SqlTimeStamp t;
  t.year = static_cast<std::int16_t>(LoadU16(p));
  t.month = LoadU16(p + 2);
  t.day = LoadU16(p + 4);
  t.hour = LoadU16(p + 6);
  t.minute = LoadU16(p + 8);
  t.second = LoadU16(p + 10);
  t.fraction = LoadU32(p + 12);
  return t;
}

void StoreSqlTimeStamp(std::uint8_t* p, const SqlTimeStamp& t) {
  StoreU16(p, static_cast<std::uint16_t>(t.year));
  StoreU16(p + 2, t.month);
  StoreU16(p + 4, t.day);
  StoreU16(p + 6, t.hour);
  StoreU16(p + 8, t.minute);
  StoreU16(p + 10, t.second);
  StoreU32(p + 12, t.fraction);
}

int CompareSqlTimeStamps(const std::uint8_t* a, const std::uint8_t* b) {
  const SqlTimeStamp x = LoadSqlTimeStamp(a), y = LoadSqlTimeStamp(b);
  if (int c = Sign(x.year, y.year)) return c;
  if (int c = Sign(x.month, y.month)) return c;
  if (int c = Sign(x.day, y.day)) return c;
  if (int c = Sign(x.hour, y.hour)) return c;
  if (int c = Sign(x.minute, y.minute)) return c;
  if (int c = Sign(x.second, y.second)) return c;
  return Sign(x.fraction, y.fraction);
}

SqlTimeStamp SqlTimeStampOf(std::int64_t dayNumber, std::uint32_t msOfDay) {
  static const std::int64_t kFirst = DayNumber(-32768, 1, 1);
  static const std::int64_t kLast = DayNumber(32767, 12, 31);
  if (msOfDay >= kMillisecondsPerDay) msOfDay = kMillisecondsPerDay - 1;
  if (dayNumber < kFirst) {
    dayNumber = kFirst;
    msOfDay = 0;
  } else if (dayNumber > kLast) {
    dayNumber = kLast;
    msOfDay = kMillisecondsPerDay - 1;
  }
  int y = 0, m = 0, d = 0;
  DateOfDayNumber(dayNumber, &y, &m, &d);
  const std::uint32_t seconds = msOfDay / 1000;
  SqlTimeStamp t;
  t.year = static_cast<std::int16_t>(y);
  t.month = static_cast<std::uint16_t>(m);
  t.day = static_cast<std::uint16_t>(d);
  t.hour = static_cast<std::uint16_t>(seconds / 3600);
  t.minute = static_cast<std::uint16_t>(seconds / 60 % 60);
  t.second = static_cast<std::uint16_t>(seconds % 60);
  t.fraction = msOfDay % 1000;
  return t;
}

std::int64_t DayNumberOf(const SqlTimeStamp& t) {
  return IsCalendarDate(t.year, t.month, t.day) ? DayNumber(t.year, t.month, t.day) : 0;
}

}  // namespace dorvem
