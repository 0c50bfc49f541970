// Dates and times in the XML packet form (see text_values.h for the texts
// and the values they stand for). Used by the scalar value texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/core/result_codes.h"

namespace dorvem::packet {

// Appends the value of a date, time, date-time or SQL date-time text (type
// code `code`, declared size `size`). kPacketMismatch for any other text.
DBResult ParseDateTime(std::uint32_t code, std::uint32_t size, std::string_view text,
                       std::vector<std::uint8_t>* out);
// Appends the text of such a value. kInvalidParameter when the bytes are not
// one (wrong size, or a date outside the years 0 to 9999).
DBResult FormatDateTime(std::uint32_t code, const std::uint8_t* value, std::size_t size,
                        std::string* out);

}  // namespace dorvem::packet
