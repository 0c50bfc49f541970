// Texts of the filter parser's messages and of the constant conversions it
// runs while flattening. Each is raised as EDatabaseError; "%s" places are
// filled with msg::Fmt.
#pragma once

#include <string_view>

namespace dorvem::msg {

inline constexpr std::string_view kExprInvalidChar = "Invalid filter expression character: '%s'";
inline constexpr std::string_view kExprStringTerm = "Unterminated string constant";
inline constexpr std::string_view kExprNameTerm = "Unterminated field name";
inline constexpr std::string_view kExprKeywordUse = "Invalid use of keyword";
inline constexpr std::string_view kExprNoArith = "Arithmetic in filter expressions not supported";
inline constexpr std::string_view kExprLParenExpected = "'(' expected but %s found";
inline constexpr std::string_view kExprRParenOrCommaExpected = "')' or ',' expected but %s found";
inline constexpr std::string_view kExprRParenExpected = "')' expected but %s found";
inline constexpr std::string_view kExprExpected = "Expression expected but %s found";
inline constexpr std::string_view kExprEmptyInList = "IN predicate list may not be empty";
inline constexpr std::string_view kExprTermination = "Filter expression incorrectly terminated";
inline constexpr std::string_view kExprIncorrect = "Incorrectly formed filter expression";
inline constexpr std::string_view kExprTypeMismatch = "Type mismatch in expression";
inline constexpr std::string_view kExprBadScope =
    "Operation cannot mix aggregate value with record-varying value";
inline constexpr std::string_view kExprNoAggregates =
    "Aggregate expressions not allowed in filters";
inline constexpr std::string_view kExprNotAgg = "Expression is not an aggregate expression";
inline constexpr std::string_view kExprNullLike = "NULL only allowed with '=' and '<>'";
inline constexpr std::string_view kExprRangeError = "Constant out of range";
inline constexpr std::string_view kExprBadConst = "Constant is not correct type %s";
inline constexpr std::string_view kExprBadField =
    "Field '%s' cannot be used in a filter expression";
inline constexpr std::string_view kExprNotInternalCalc =
    "Field '%s' is not the correct type of calculated field to be used in an aggregate, use an "
    "internalcalc";
// The word used for an exhausted text in the "%s found" messages.
inline constexpr std::string_view kExprNothing = "nothing";

// Texts of the constant conversions (text to number, date, time).
inline constexpr std::string_view kInvalidFloat = "'%s' is not a valid floating point value";
inline constexpr std::string_view kInvalidInteger = "'%s' is not a valid integer value";
inline constexpr std::string_view kInvalidBcd = "'%s' is not a valid BCD value";
inline constexpr std::string_view kInvalidDate = "'%s' is not a valid date";
inline constexpr std::string_view kInvalidTime = "'%s' is not a valid time";
inline constexpr std::string_view kInvalidDateTime = "'%s' is not a valid date and time";

// The words for true and false in filter texts.
inline constexpr std::string_view kTrueWord = "True";
inline constexpr std::string_view kFalseWord = "False";

}  // namespace dorvem::msg
