// Conversions of text to numbers, dates and times, as the filter parser
// reads the literals of a filter text and the filter engine's functions read
// string values. Stateless. Dates come out as day numbers (day_number.h).
//
// Numbers: optional blanks, a sign, digits with the given decimal separator
// and an optional exponent (1,5 or 1.5E3). Dates: year-month-day with '-',
// '.' or '/' between the parts (2024-01-31, 2024. 01. 31.), or day.month.year
// and month/day/year when the year comes last. Times: hours:minutes with
// optional :seconds and .milliseconds. A date-time is a date, a time, or a
// date, blanks and a time.
#pragma once

#include <cstdint>
#include <string_view>

#include "dataset/core/day_number.h"

namespace dorvem::expr {

// Each returns false, leaving *out alone, when the text is not of its form.
bool TextToDouble(std::string_view text, char decimalSeparator, double* out);
bool TextToDate(std::string_view text, std::int32_t* dayNumber);
bool TextToTime(std::string_view text, std::uint32_t* milliseconds);
// A time alone has day number kDayNumberOf18991230.
bool TextToDateTime(std::string_view text, std::int32_t* dayNumber, std::uint32_t* milliseconds);

// True for the dates a text may name: years 1 to 9999, a day of the month.
bool ValidDate(int year, int month, int day);

}  // namespace dorvem::expr
