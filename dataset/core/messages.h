// The program's message table: the text of every engine result code.
//
// A text is looked up by its code, exactly as a string resource would be:
// at most 127 characters, and the empty text for a code that has none.
#pragma once

#include <string>
#include <string_view>

#include "dataset/core/result_codes.h"

namespace dorvem {

inline constexpr std::size_t kMaxMessageLength = 127;

// Returns the message of `code` (never longer than kMaxMessageLength), or an
// empty view when the table has no text for it.
std::string_view MessageOf(DBResult code);

}  // namespace dorvem
