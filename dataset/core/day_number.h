// Day numbers: dates as counts of days in the proleptic Gregorian calendar,
// day 1 being 0001-01-01. Date fields hold them; date-times hold day number
// x 86400000 + milliseconds since midnight.
#pragma once

#include <cstdint>

namespace dorvem {

std::int64_t DayNumber(int year, int month, int day);
void DateOfDayNumber(std::int64_t dayNumber, int* year, int* month, int* day);

}  // namespace dorvem
