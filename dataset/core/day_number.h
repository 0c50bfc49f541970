// Day numbers: dates as counts of days in the proleptic Gregorian calendar,
// day 1 being 0001-01-01. Date fields hold them; date-times hold day number
// x 86400000 + milliseconds since midnight. Both conversions are defined for
// every year (0 and negative years included, year 0 being 1 BC), so a date
// converts the same way whatever its year.
#pragma once

#include <cstdint>

namespace dorvem {

inline constexpr std::int64_t kMillisecondsPerDay = 86400000;
// Day number of 1899-12-30, the day a time of day alone is taken on.
inline constexpr std::int32_t kDayNumberOf18991230 = 693594;

std::int64_t DayNumber(int year, int month, int day);
void DateOfDayNumber(std::int64_t dayNumber, int* year, int* month, int* day);

// True when `month` and `day` name a day of that month of `year` (leap years
// by the Gregorian rule; any year).
bool IsCalendarDate(int year, int month, int day);

}  // namespace dorvem
