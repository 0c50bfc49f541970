// Text helpers of cdstool: single-byte text to UTF-8, TSV and JSON escaping,
// and the display of one field of the current record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dataset/host/fields.h"

namespace cdstool {

// TSV escaping: tab, newline, carriage return and backslash.
std::string EscapeTsv(std::string_view text);
// A JSON string literal (with quotes) of UTF-8 text.
std::string JsonString(std::string_view utf8);

enum class ValueKind { kNull, kText, kInteger, kOther };

// The value of `field` for printing, as UTF-8, and what kind it is: strings
// and memos are text, integers are integers, other blobs read
// "<blob N bytes>", other types their display text.
ValueKind FieldValue(const dorvem::TField& field, std::uint32_t codePage, std::string* out);

}  // namespace cdstool
