// The SQL time stamp record, the one place its 16 bytes are read, written,
// compared and converted.
//
//   offset 0  i16  year (signed: 0 and negative years are before 0001)
//          2  u16  month
//          4  u16  day
//          6  u16  hour
//          8  u16  minute
//         10  u16  second
//         12  u32  fraction
//
// Little-endian, like every number the engine stores. Records order by
// year, month, day, hour, minute, second and fraction, in that order.
#pragma once

#include <cstdint>

namespace dorvem {

inline constexpr std::uint32_t kSqlTimeStampSize = 16;

struct SqlTimeStamp {
  std::int16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint32_t fraction = 0;
};

SqlTimeStamp LoadSqlTimeStamp(const std::uint8_t* p);
void StoreSqlTimeStamp(std::uint8_t* p, const SqlTimeStamp& t);

// -1, 0 or +1: record a against record b, part by part.
int CompareSqlTimeStamps(const std::uint8_t* a, const std::uint8_t* b);

// The record of a day number and the milliseconds since its midnight
// (0 <= msOfDay < 86400000); the fraction holds the milliseconds of the
// second. Total: a day whose year lies outside the record's years
// (-32768 to 32767) gives the first or the last moment the record can hold.
SqlTimeStamp SqlTimeStampOf(std::int64_t dayNumber, std::uint32_t msOfDay);

// The day number of a record's date; 0 when its month and day name no day
// of that month. Every year counts.
std::int64_t DayNumberOf(const SqlTimeStamp& t);

}  // namespace dorvem
