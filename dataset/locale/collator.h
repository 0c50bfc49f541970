// Collators: one ICU collator per (locale identifier, flags), opened on first
// use and kept for the life of the process.
//
// This is the hot path of ordering and filtering. A caller that compares or
// keys many strings under one locale (the index builder, a filter run) takes
// the handle once with Collator::For and calls it directly; CompareStringA and
// friends do the same look-up through a per-thread memo. Handles are owned by
// the process-wide cache and stay valid until exit. After construction a
// collator is only read (ICU's compare and sort-key calls are const), so one
// handle may be used from several threads at once.
//
// Flags 0 compare by the locale's collation at tertiary strength, case
// distinguished. kIgnoreCase compares the simple case folds of both strings
// (Turkic folding for Turkish and Azerbaijani) by the same collation: case
// differences vanish and nothing else does (accents, width and punctuation
// still count), and sort keys stay consistent with the comparison.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "dataset/locale/locale_services.h"

struct UCollator;

namespace dorvem::locale {

class Collator {
 public:
  // The collator of `lcid` under `flags`, or nullptr when the identifier is
  // neither 0 nor an installed locale (IsValidLocale) or `flags` has bits
  // other than kIgnoreCase. Identifier 0 is the user's default locale (the
  // root collation when the environment names none) with windows-1250 text.
  static const Collator* For(LCID lcid, std::uint32_t flags);

  // Compare two strings: kLess, kEqual or kGreater; kCompareFailed for a null
  // string or a length below -1. Single-byte strings are in codePage(); a
  // length of -1 means up to the terminating zero.
  int CompareA(const char* a, int lenA, const char* b, int lenB) const;
  int CompareW(const char16_t* a, int lenA, const char16_t* b, int lenB) const;

  // Appends the sort key of `s` (without ICU's terminating zero) to *out.
  // Keys compare as unsigned byte strings (memcmp over the common length,
  // then the shorter first) exactly as CompareA compares the strings. False,
  // with *out unchanged, for a null string or a length below -1.
  bool SortKeyA(const char* s, int len, std::vector<std::uint8_t>* out) const;

  // Code page of the single-byte strings this collator takes.
  std::uint32_t codePage() const { return codePage_; }

  // For callers that analyse the collation of single-byte text themselves:
  // the ICU collator (owned by this object; only read), and the character
  // each byte is compared as (case-folded when ignoring case).
  const UCollator* Handle() const { return collator_; }
  char16_t DecodeByte(unsigned char b) const { return decode_[b]; }

  ~Collator();
  Collator(const Collator&) = delete;
  Collator& operator=(const Collator&) = delete;

 private:
  Collator(UCollator* collator, std::uint32_t codePage, bool ignoreCase, bool turkic);

  // Single-byte text in UTF-16 (case-folded when ignoring case); `slot`
  // picks the per-thread overflow buffer used for very long strings.
  const char16_t* DecodeA(const char* s, std::int32_t len, int slot, char16_t* stack) const;
  const char16_t* FoldW(const char16_t* s, std::int32_t len, std::int32_t* outLen, int slot,
                        char16_t* stack) const;

  UCollator* collator_;
  std::uint32_t codePage_;
  bool ignoreCase_;
  std::uint32_t foldOptions_;
  std::array<char16_t, 256> decode_{};  // byte -> UTF-16, folded when ignoring case
};

}  // namespace dorvem::locale
