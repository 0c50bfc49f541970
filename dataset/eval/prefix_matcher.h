// PrefixMatcher: whether the first N characters of a string compare equal,
// under a collator, to a constant of N characters (the search filter's
// partial comparison), decided without a collator call wherever the bytes
// settle it, and with one call per distinct N-character prefix otherwise.
//
// For a value v, let P be its first N characters (all of it when shorter)
// and m the number of leading characters P shares with the constant T (by
// collation key, CollationProfile::Key). Then:
//   1. m = N: P is T, so they are equal.
//   2. v ends at m: P is T's first m characters; the answer for each m < N
//      is worked out once.
//   3. If m = 0, or T's m-th character (1-based) is independent, both
//      strings split at m into an equal head and their remainders, which
//      alone decide. The remainders are unequal when, for P's next
//      character x (see CollationProfile):
//      a. every unit x can begin starts with a fully weighted CE, as T's
//         remainder does, and none of them is that CE; or
//      b. every unit x can begin starts with a nonzero primary, as T's
//         remainder does, and none of them is that primary; or
//      c. x is independent and, on some level, its weights are not a prefix
//         of the weights of T's remainder.
//      Which x are rejected at which m is worked out once per matcher.
//   4. Otherwise the collator compares P with T; the answer is kept per
//      distinct P, so each prefix is compared at most once.
// Rule 3 only ever answers "unequal" where the collator would; a randomised
// comparison with the collator checks this for many locales.
//
// One matcher per compiled comparison; it owns its tables and memo. Not
// thread-safe (the filter runs under the table's lock).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dataset/eval/collation_profile.h"
#include "dataset/locale/collator.h"

namespace dorvem::eval {

class PrefixMatcher {
 public:
  // `collator` may be null (the table's locale cannot be collated): then no
  // comparison succeeds. `constant` is T; N is its length (at least 1).
  PrefixMatcher(const locale::Collator* collator, std::string_view constant);

  // Whether the first N characters of the zero-terminated `value` compare
  // equal to the constant.
  bool Equal(const char* value) {
    if (collator_ == nullptr) return false;
    const auto* v = reinterpret_cast<const unsigned char*>(value);
    const std::size_t n = keys_.size();
    std::size_t m = 0;
    if (identity_)
      while (m < n && v[m] != 0 && v[m] == keys_[m]) ++m;
    else
      while (m < n && v[m] != 0 && profile_->Key(v[m]) == keys_[m]) ++m;
    if (m == n) return true;
    if (v[m] == 0) return shortEqual_[m] != 0;
    if (reject_[m * 256 + profile_->Key(v[m])]) return false;
    return Compare(value, m);
  }

  // Number of collator calls made so far (for tests and benchmarks).
  std::size_t CollatorCalls() const { return calls_; }

 private:
  // Rule 3 for a next character with key `x` at split point `m`.
  bool Rejects(std::size_t m, unsigned char x, const LevelWeights* rest, bool restWeighed) const;
  bool Compare(const char* value, std::size_t known);

  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };

  const locale::Collator* collator_;
  const CollationProfile* profile_ = nullptr;
  std::string constant_;
  std::vector<unsigned char> keys_;         // the constant's key bytes
  bool identity_ = true;                    // every byte is its own key
  std::vector<std::uint8_t> shortEqual_;    // [m]: its first m characters equal it
  std::vector<std::uint8_t> reject_;        // [m * 256 + key]: rule 3 says unequal
  std::vector<std::uint32_t> restElement_;  // [m]: first CE of characters m.. (no case bits)
  std::vector<std::uint8_t> restFull_;      // [m]: that CE is fully weighted
  std::unordered_map<std::string, bool, Hash, std::equal_to<>> memo_;
  std::string scratch_;
  std::size_t calls_ = 0;
};

}  // namespace dorvem::eval
