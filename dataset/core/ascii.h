// ASCII-only text helpers for the engine's fixed vocabularies (parameter
// names, subtype names, XML element and type names, the filter language's
// keywords and function names), which are plain ASCII and compare the same
// in every locale.
#pragma once

#include <string>
#include <string_view>

namespace dorvem {

inline char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// `s` with its ASCII letters upper-cased.
inline std::string ToAsciiUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

// True when `a` and `b` are equal ignoring the case of ASCII letters.
inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

}  // namespace dorvem
