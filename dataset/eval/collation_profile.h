// CollationProfile: what the filter engine knows about how one collator
// treats each byte of single-byte text, so that most comparisons of a
// string's first N characters with a constant can be decided from the
// bytes alone, without asking the collator (prefix_matcher.h).
//
// A collator compares strings by their collation elements (CEs): first the
// sequences of nonzero primary weights, then of secondary, then of tertiary
// weights (case bits aside). For each byte the profile records:
//   - its key: bytes that the collator reads as the same character (a byte
//     and its case partner when case is ignored) share one key, so strings
//     with equal keys are equal to the collator;
//   - whether it is independent: its character takes part in no contraction
//     or context rule and is not a combining mark, so it always forms a
//     collation unit of its own and a string's CEs split right after it;
//   - its weights: for an independent character whose CEs are complete (no
//     continuation), its nonzero weights on each of the three levels;
//   - its lead elements: the first CE of every unit that can start with it
//     (the character alone and each contraction it begins), whether all of
//     them are fully weighted, and whether all their primaries are nonzero.
// From these follow sound rules (see PrefixMatcher): strings that agree key
// for key up to a split point compare as their remainders do; remainders
// whose first CEs differ while both are fully weighted, or whose first
// primaries differ while both are nonzero, are unequal; and a remainder that
// starts with an independent character whose weights on some level are not
// a prefix of the other remainder's weights on that level is unequal to it.
//
// Profiles are computed once per collator, on first use, and kept for the
// life of the process (like the collators themselves).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "dataset/locale/collator.h"

namespace dorvem::eval {

// The nonzero weights of a text on the primary, secondary and tertiary
// levels, in order.
struct LevelWeights {
  std::vector<std::uint16_t> level[3];
};

class CollationProfile {
 public:
  // The profile of `collator`. Thread-safe; the reference stays valid.
  static const CollationProfile& For(const locale::Collator& collator);
  // The profile of the collator that filters comparing under locale `lcid`,
  // case as it is or ignored, compare with; null when the locale has none.
  // Thread-safe.
  static const CollationProfile* ForLocale(locale::LCID lcid, bool ignoreCase);

  unsigned char Key(unsigned char b) const { return key_[b]; }
  // For key bytes:
  bool Independent(unsigned char key) const { return independent_[key]; }
  // The character's weights, or null when it is not independent or its CEs
  // are not complete.
  const LevelWeights* Weights(unsigned char key) const {
    return hasWeights_[key] ? &weights_[key] : nullptr;
  }
  // True when every unit starting with the character begins with a fully
  // weighted CE; LeadElementMayBe then tells whether `element` (a first CE
  // without case bits, as FirstElement gives it) is one of them.
  bool LeadFull(unsigned char key) const { return leadFull_[key]; }
  bool LeadElementMayBe(unsigned char key, std::uint32_t element) const;
  // False when some unit starting with the character may begin with a zero
  // primary weight (ignorable characters, for instance); LeadMayBe then
  // tells whether `primary` (the high 16 bits of a primary weight) is the
  // first primary of one of them.
  bool LeadKnown(unsigned char key) const { return leadKnown_[key]; }
  bool LeadMayBe(unsigned char key, std::uint16_t primary) const;

  // False when the collator's settings leave nothing known (numeric digit
  // runs, shifted punctuation, fewer than three levels): then no character
  // is independent and the contraction list is empty.
  bool Analysed() const { return analysed_; }
  // Every string of the collator's contractions and context rules (matched
  // against the text as the collator is given it, case-folded when it
  // ignores case). A unit of more than one character is always one of them.
  const std::vector<std::u16string>& Contractions() const { return contractions_; }
  // Those of them that begin with `c`, and the length of the longest.
  const std::vector<std::u16string>& ContractionsFrom(char16_t c) const;
  std::size_t LongestContraction() const { return longestContraction_; }
  // For key bytes: the character never attaches to the one before it (its
  // canonical combining class is 0).
  bool Starter(unsigned char key) const { return starter_[key]; }

  // The first CE of `text` without its case bits; *full tells whether all
  // its weights are nonzero. 0 when there is none.
  std::uint32_t FirstElement(const char16_t* text, std::int32_t length, bool* full) const;
  // The weights of `text` on each level; false when its CEs are not
  // complete (or ICU fails). With `enough`, only the first `enough` weights
  // of each level (all of a level that has fewer), read from the CEs up to
  // the one after them; false when one of those is not complete, or when
  // more than 8 * enough + 32 values go by before they are all there.
  bool TextWeights(const char16_t* text, std::int32_t length, LevelWeights* out,
                   std::size_t enough = SIZE_MAX) const;
  // The most weights any character's Weights hold on one level: as many as
  // a comparison with them reads.
  std::size_t LongestWeights() const { return longestWeights_; }

  const locale::Collator& Collator() const { return collator_; }

 private:
  explicit CollationProfile(const locale::Collator& collator);

  const locale::Collator& collator_;
  std::array<unsigned char, 256> key_{};
  bool analysed_ = false;
  std::vector<std::u16string> contractions_;
  std::unordered_map<char16_t, std::vector<std::u16string>> byFirst_;
  std::size_t longestContraction_ = 0;
  std::array<bool, 256> starter_{};
  std::array<bool, 256> independent_{};
  std::array<bool, 256> hasWeights_{};
  std::array<LevelWeights, 256> weights_;
  std::size_t longestWeights_ = 0;
  std::array<bool, 256> leadFull_{};
  std::array<bool, 256> leadKnown_{};
  std::array<std::vector<std::uint32_t>, 256> leadElements_;
  std::array<std::vector<std::uint16_t>, 256> leadPrimaries_;
};

}  // namespace dorvem::eval
