// ASCII-only text helpers for the engine's fixed vocabularies (parameter
// names, subtype names, XML element and type names), which are plain ASCII
// and compare the same in every locale.
#pragma once

#include <string_view>

namespace dorvem {

inline char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when `a` and `b` are equal ignoring the case of ASCII letters.
inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

}  // namespace dorvem
