#include "dataset/filter/word_classifier.h"

#include <array>
#include <string>

#include "dataset/locale/locale_services.h"

namespace dorvem::filter {
namespace {

char At(std::string_view text, std::size_t i) {
  return i < text.size() ? text[i] : '\0';
}

bool IsSeparator(char c) {
  return c == ' ' || c == '\r' || c == '\n' || c == '(' || c == ',';
}

bool IsQuote(char c) {
  return c == '\'' || c == '"' || c == '`';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool SameWord(const std::string& word, const char* keyword) {
  return locale::lstrcmpiA(word.c_str(), keyword) == 0;
}

// Reads one word from *pos. Returns its class when the characters decide it
// (kEnd, kNumber, kComparison, kComment, kQuoted, kTableName, or kName for a
// field name that starts with '.'); otherwise stores the word's text in
// *word and returns kName, for the caller to tell keywords from names.
WordClass ReadWord(std::string_view text, std::size_t* pos, std::string* word) {
  std::size_t p = *pos;
  word->clear();
  while (IsSeparator(At(text, p))) ++p;
  const char first = At(text, p);
  if (first == '\0') {
    *pos = p;
    return WordClass::kEnd;
  }
  if (IsDigit(first)) return WordClass::kNumber;
  if (first == '<' || first == '=' || first == '>') return WordClass::kComparison;
  if (first == '/' && (At(text, p + 1) == '*' || At(text, p + 1) == '/'))
    return WordClass::kComment;

  bool fieldName = false;
  if (first == '.') {
    fieldName = true;
    ++p;
  }
  for (;;) {
    const char c = At(text, p);
    if (c == '\0' || IsSeparator(c)) break;
    if (IsQuote(c)) {
      const std::size_t close = text.find(c, p + 1);
      if (close != std::string_view::npos && close < text.find('\0', p + 1)) {
        // A closed quoted word, unless it continues a dotted name.
        if (At(text, p - 1) != '.') return WordClass::kQuoted;
        word->append(text.substr(p, close + 1 - p));
        p = close + 1;
        continue;
      }
      // An unclosed quote is an ordinary character of the word.
      word->push_back(c);
      ++p;
      continue;
    }
    if (c == '.' && !word->empty()) return WordClass::kTableName;
    word->push_back(c);
    ++p;
  }
  *pos = p;
  if (fieldName) return WordClass::kName;
  return word->empty() ? WordClass::kEnd : WordClass::kName;
}

constexpr std::array<const char*, 15> kKeywords = {
    "ASC", "ASCENDING", "DESC",  "DESCENDING", "SELECT", "AND",  "OR",   "LIKE",
    "IS",  "FROM",      "WHERE", "HAVING",     "UNION",  "PLAN", "NULL",
};

}  // namespace

WordClass ClassifyWord(std::string_view text, std::size_t pos) {
  std::string word;
  const WordClass c = ReadWord(text, &pos, &word);
  if (c != WordClass::kName || word.empty()) return c;
  for (const char* keyword : kKeywords)
    if (SameWord(word, keyword)) return WordClass::kKeyword;
  // GROUP BY, ORDER BY and FOR UPDATE are keywords only as pairs.
  const char* second = SameWord(word, "GROUP")   ? "BY"
                       : SameWord(word, "ORDER") ? "BY"
                       : SameWord(word, "FOR")   ? "UPDATE"
                                                 : nullptr;
  if (second != nullptr) {
    std::string next;
    if (ReadWord(text, &pos, &next) == WordClass::kName && SameWord(next, second))
      return WordClass::kKeyword;
  }
  return WordClass::kName;
}

}  // namespace dorvem::filter
