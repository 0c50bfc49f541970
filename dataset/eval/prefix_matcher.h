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
//   3. Both strings split at m into an equal head and their remainders,
//      which alone decide, when m = 0 or T's m-th character (1-based) is
//      independent; and also when (i) no contraction or context string
//      occurs in T across positions m and m + 1 (1-based) and T's next
//      character is a starter, and (ii) P's next character x is a starter
//      that no such string lets continue: for no string whose first
//      characters are T's characters i+1..m is x the one that follows them.
//      (A unit of P across the split would be such a string.) The
//      remainders are unequal when, for x (see CollationProfile):
//      a. every unit x can begin starts with a fully weighted CE, as T's
//         remainder does, and none of them is that CE; or
//      b. every unit x can begin starts with a nonzero primary, as T's
//         remainder does, and none of them is that primary; or
//      c. x is independent and, on some level, its weights are not a prefix
//         of the weights of T's remainder.
//      Which x are rejected at which m is worked out once per matcher.
//   4. Where the strings need not split at m, they may split earlier: at
//      s < m when s = 0 or no contraction or context string occurs in T
//      across positions s and s + 1 (1-based), T's characters s+1..m and x
//      are starters, and x continues no string whose first characters are
//      T's characters i+1..m for any i < s. P's unit at s is then the
//      longest string (the single character at least) that T's characters
//      s+1..m followed by x begin with, or a longer string that they begin.
//      When each of these has a first CE that, against the first CE of T's
//      remainder from s, is fully weighted on both sides and different, or
//      has a different nonzero primary, P and T are unequal.
//   5. Otherwise (and always for m of 256 or more, where rules 3 and 4 are
//      not tabled) the collator compares P with T; the answer is kept per
//      distinct P, so each prefix is compared at most once.
// Rules 3 and 4 only ever answer "unequal" where the collator would; a randomised
// comparison with the collator checks this for many locales.
//
// Equal reads no byte of the value beyond its first N (nor beyond its end):
// values whose first N bytes are the same, or that are the same string
// shorter than that, get the same answer. Settled tells from a shared
// leading part alone when every value that begins with it is decided, which
// lets a search over values ordered by their bytes (prefix_search.h) skip
// or take whole runs of them.
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
    if (v[m] == 0) return ShortEqual(m);
    if (m < tabled_ && reject_[m * 256 + profile_->Key(v[m])]) return false;
    return Compare(value, m);
  }

  // What the first `d` bytes `q` (none of them 0, d >= 1) settle for every
  // value that begins with them and goes on beyond them.
  enum class Verdict { kEqual, kUnequal, kOpen };
  Verdict Settled(const unsigned char* q, std::size_t d) const {
    if (collator_ == nullptr) return Verdict::kUnequal;
    const std::size_t n = keys_.size();
    std::size_t m = 0;
    while (m < d && m < n && profile_->Key(q[m]) == keys_[m]) ++m;
    if (m == n) return Verdict::kEqual;
    if (m < d)
      return m < tabled_ && reject_[m * 256 + profile_->Key(q[m])] ? Verdict::kUnequal
                                                                   : Verdict::kOpen;
    return Verdict::kOpen;
  }
  // False when every value whose first m bytes have the constant's first m
  // keys (m < N) and whose next byte is `b` (not 0) is unequal, ended there
  // or going on: Settled calls every such prefix kUnequal and Equal rejects
  // it too. True otherwise (the value may still be unequal).
  bool MayFollow(std::size_t m, unsigned char b) const {
    if (collator_ == nullptr) return false;
    const unsigned char key = profile_->Key(b);
    return key == keys_[m] || m >= tabled_ || !reject_[m * 256 + key];
  }
  // Whether byte `b` has the constant's key at position m (m < N).
  bool KeyMatches(std::size_t m, unsigned char b) const {
    return collator_ != nullptr && profile_->Key(b) == keys_[m];
  }
  // N, the number of the constant's characters.
  std::size_t Length() const { return constant_.size(); }
  // True when every byte is its own key (values equal to the collator by
  // their keys are equal by their bytes).
  bool ByteKeys() const { return identity_; }

  // Number of collator calls made so far (for tests and benchmarks).
  std::size_t CollatorCalls() const { return calls_; }
  // Number of earlier split points (rule 4) the tables were worked out from
  // (for tests and benchmarks).
  std::size_t SplitPointsExamined() const { return splitPoints_; }

 private:
  // Rule 3 for a next character with key `x` at split point `m`.
  bool Rejects(std::size_t m, unsigned char x, const LevelWeights* rest, bool restWeighed) const;
  // Rule 4 at split point s for divergence at m: which x it rejects.
  struct EarlierSplit {
    std::u16string joining;  // x that may continue a string begun before s
    bool differs = false;    // P's unit within T's characters s..m-1 differs
    struct Next {
      char16_t ch;         // an x that some string starting at s goes on with
      bool whole = false;  // the string ending with x (else the shorter unit) differs
      bool longer = true;  // every longer string going on with x differs
    };
    std::vector<Next> next;
    bool Rejects(char16_t x) const;
  };
  EarlierSplit Split(const std::u16string& t, std::size_t s, std::size_t m) const;
  // True when the unit's first CE and that of T's remainder from s differ
  // as rule 4 asks.
  bool Differs(const char16_t* unit, std::size_t length, std::size_t s) const;
  bool Compare(const char* value, std::size_t known);
  // Rule 2: whether T's first m characters equal T.
  bool ShortEqual(std::size_t m);

  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };

  const locale::Collator* collator_;
  const CollationProfile* profile_ = nullptr;
  std::string constant_;
  std::vector<unsigned char> keys_;      // the constant's key bytes
  bool identity_ = true;                 // every byte is its own key
  std::vector<std::int8_t> shortEqual_;  // [m]: its first m characters equal it (-1: not known yet)
  // Split points with rule tables: at most kTabled (the longest constant a
  // filter's text can hold, 255 characters, has them all).
  static constexpr std::size_t kTabled = 256;
  std::size_t tabled_ = 0;
  std::vector<std::uint8_t> reject_;        // [m * 256 + key]: rule 3 says unequal
  std::vector<std::uint32_t> restElement_;  // [m]: first CE of characters m.. (no case bits)
  std::vector<std::uint8_t> restFull_;      // [m]: that CE is fully weighted
  std::unordered_map<std::string, bool, Hash, std::equal_to<>> memo_;
  std::string scratch_;
  std::size_t calls_ = 0;
  std::size_t splitPoints_ = 0;
};

}  // namespace dorvem::eval
