// LikePattern: a LIKE pattern prepared for matching.
//
// '%' matches any run of characters (none included), '_' exactly one
// character, a backslash makes the next character literal (a trailing one
// is itself literal), and every other character matches a character that
// the collator calls equal to it (case ignored when the collator ignores
// case). The whole value must match the whole pattern. Which pairs of bytes
// the collator calls equal is asked once per pair and remembered.
//
// A constant pattern is prepared once per compiled filter; a pattern read
// from a record is prepared for that record. Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "dataset/locale/collator.h"

namespace dorvem::eval {

class LikePattern {
 public:
  // `collator` may be null: then only identical bytes match.
  LikePattern(const locale::Collator* collator, std::string_view pattern);

  bool Matches(const unsigned char* text, std::size_t length);

 private:
  enum class Kind : std::uint8_t { kAnyRun, kOne, kChar };
  struct Token {
    Kind kind;
    unsigned char c;
  };
  bool CharEqual(unsigned char a, unsigned char b);

  const locale::Collator* collator_;
  std::vector<Token> tokens_;
  std::vector<std::uint8_t> equal_;  // 256 x 256: 0 unknown, 1 equal, 2 not
};

}  // namespace dorvem::eval
