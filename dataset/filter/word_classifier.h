// The word classifier of the filter scanner's literal-end test.
//
// A quote inside a string literal of a filter text either ends the literal
// or is an ordinary character of it. The scanner decides by classifying the
// word of SQL-like text that follows the quote: when it is an ordinary name
// the quote belongs to the literal (KSZOVEG='D'AMORE*' compares with the
// prefix D'AMORE), otherwise the quote ends it (KSZOVEG='A' AND B*').
// Stateless; words are compared without regard to case in the user's locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace dorvem::filter {

enum class WordClass {
  kEnd,         // nothing but separators up to the end of the text
  kKeyword,     // ASC, AND, SELECT, GROUP BY, ...
  kNumber,      // starts with a digit
  kComparison,  // starts with <, = or >
  kComment,     // starts with /* or //
  kQuoted,      // a closed quoted word ('...', "..." or `...`)
  kTableName,   // a word ended by a '.'
  kName,        // an ordinary name (also a field name that starts with '.')
};

// Classifies the word that starts at or after `pos` in `text` (a zero byte
// or the end of `text` ends the text). Separators (blank, carriage return,
// line feed, '(' and ',') are skipped before the word and end it.
WordClass ClassifyWord(std::string_view text, std::size_t pos);

}  // namespace dorvem::filter
