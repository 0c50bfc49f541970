// Texts of the host-side dataset's messages; msg::Fmt (message_format.h)
// fills their "%s" and "%d" places.
#pragma once

#include <string_view>

#include "dataset/core/message_format.h"

namespace dorvem::msg {

inline constexpr std::string_view kMissingDataPacket = "Missing data provider or data packet";
inline constexpr std::string_view kCannotOpenFile = "Cannot open file \"%s\". %s";
inline constexpr std::string_view kDataSetClosed =
    "Cannot perform this operation on a closed dataset";
inline constexpr std::string_view kRecordNotFound = "Record not found";
inline constexpr std::string_view kFieldNotFound = "Field '%s' not found";
inline constexpr std::string_view kFieldTypeMismatch =
    "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr std::string_view kFieldSizeMismatch =
    "Size mismatch for field '%s', expecting: %d actual: %d";
inline constexpr std::string_view kFieldIndexError = "Field index out of range";
inline constexpr std::string_view kIndexNotFound = "Index '%s' not found";
inline constexpr std::string_view kIndexFieldNotFound = "Cannot access index field '%s'";
inline constexpr std::string_view kDuplicateFieldName = "%s_%d";

}  // namespace dorvem::msg
