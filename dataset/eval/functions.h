// The functions a filter may call, run over one record (engine-internal).
//
// UPPER and LOWER map each byte by the table's locale; SUBSTRING(s, from
// [, count]) counts characters from 1 (a start before 1 shortens the count,
// a missing count runs to the end); TRIM, TRIMLEFT and TRIMRIGHT remove
// blanks and control characters (codes up to 32); YEAR .. SECOND take the
// parts of a date, time, date-time, SQL time stamp or a text in date form;
// DATE and TIME its date and time parts; GETDATE the local date and time.
#pragma once

#include <cstdint>

#include "dataset/eval/program.h"

namespace dorvem::eval {

// Computes `in`'s function of its arguments (in.list) for `record` into its
// result area. False when the result is null: a null argument, or a text
// that is not a date.
bool RunFunction(const DSBASE& table, Instruction& in, std::uint32_t record);

}  // namespace dorvem::eval
