// Comparison and sort keys over a cached collator, and the free functions of
// the locale services that use them.
//
// Single-byte strings are decoded through the collator's 256-entry table into
// a stack buffer; only strings longer than that buffer go to a per-thread
// buffer that grows once and is reused. Nothing allocates per call otherwise.
#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "dataset/locale/collator.h"

namespace dorvem::locale {
namespace {

constexpr std::int32_t kStackUnits = 256;

// Overflow buffer `slot` (0 or 1: the two sides of a comparison) of this
// thread, at least `units` long.
char16_t* Overflow(int slot, std::size_t units) {
  thread_local std::vector<char16_t> buffers[2];
  auto& buffer = buffers[slot];
  if (buffer.size() < units) buffer.resize(units);
  return buffer.data();
}

// Resolves a length of -1 to the zero-terminated length; -2 for bad input.
template <typename Char>
std::int32_t LengthOf(const Char* s, int len) {
  if (s == nullptr || len < -1) return -2;
  if (len >= 0) return len;
  std::int32_t n = 0;
  while (s[n] != 0) ++n;
  return n;
}

int ToResult(UCollationResult r) {
  return r == UCOL_LESS ? kLess : r == UCOL_EQUAL ? kEqual : kGreater;
}

const Collator* Lookup(LCID lcid, std::uint32_t flags) {
  // Callers compare under one (locale, flags) for long runs: remember the
  // last handle so the cache's lock is taken only when they change.
  struct Memo {
    bool set = false;
    LCID lcid = 0;
    std::uint32_t flags = 0;
    const Collator* collator = nullptr;
  };
  thread_local Memo memo;
  if (!memo.set || memo.lcid != lcid || memo.flags != flags) {
    memo = {true, lcid, flags, Collator::For(lcid, flags)};
  }
  return memo.collator;
}

}  // namespace

const char16_t* Collator::DecodeA(const char* s, std::int32_t len, int slot,
                                  char16_t* stack) const {
  char16_t* out = len <= kStackUnits ? stack : Overflow(slot, static_cast<std::size_t>(len));
  const auto* bytes = reinterpret_cast<const unsigned char*>(s);
  for (std::int32_t i = 0; i < len; ++i) out[i] = decode_[bytes[i]];
  return out;
}

const char16_t* Collator::FoldW(const char16_t* s, std::int32_t len, std::int32_t* outLen, int slot,
                                char16_t* stack) const {
  // A code point never folds to more units than twice its own.
  const std::size_t room = 2 * static_cast<std::size_t>(len);
  char16_t* out = room <= kStackUnits ? stack : Overflow(slot, room);
  std::int32_t i = 0;
  std::int32_t n = 0;
  while (i < len) {
    UChar32 c = 0;
    U16_NEXT(s, i, len, c);
    U16_APPEND_UNSAFE(out, n, u_foldCase(c, foldOptions_));
  }
  *outLen = n;
  return out;
}

int Collator::CompareA(const char* a, int lenA, const char* b, int lenB) const {
  const std::int32_t na = LengthOf(a, lenA);
  const std::int32_t nb = LengthOf(b, lenB);
  if (na < 0 || nb < 0) return kCompareFailed;
  if (na == nb && std::memcmp(a, b, static_cast<std::size_t>(na)) == 0) return kEqual;
  char16_t stackA[kStackUnits];
  char16_t stackB[kStackUnits];
  const char16_t* ua = DecodeA(a, na, 0, stackA);
  const char16_t* ub = DecodeA(b, nb, 1, stackB);
  return ToResult(ucol_strcoll(collator_, ua, na, ub, nb));
}

int Collator::CompareW(const char16_t* a, int lenA, const char16_t* b, int lenB) const {
  std::int32_t na = LengthOf(a, lenA);
  std::int32_t nb = LengthOf(b, lenB);
  if (na < 0 || nb < 0) return kCompareFailed;
  if (!ignoreCase_) return ToResult(ucol_strcoll(collator_, a, na, b, nb));
  char16_t stackA[kStackUnits];
  char16_t stackB[kStackUnits];
  const char16_t* fa = FoldW(a, na, &na, 0, stackA);
  const char16_t* fb = FoldW(b, nb, &nb, 1, stackB);
  return ToResult(ucol_strcoll(collator_, fa, na, fb, nb));
}

bool Collator::SortKeyA(const char* s, int len, std::vector<std::uint8_t>* out) const {
  const std::int32_t n = LengthOf(s, len);
  if (n < 0 || out == nullptr) return false;
  char16_t stack[kStackUnits];
  const char16_t* u = DecodeA(s, n, 0, stack);

  // Write straight into *out: a first guess that fits most keys, then once
  // more with the exact size when it did not.
  const std::size_t base = out->size();
  std::int32_t room =
      static_cast<std::int32_t>(std::min<std::int64_t>(4 * std::int64_t{n} + 16, INT32_MAX));
  out->resize(base + static_cast<std::size_t>(room));
  std::int32_t need = ucol_getSortKey(collator_, u, n, out->data() + base, room);
  if (need > room) {
    room = need;
    out->resize(base + static_cast<std::size_t>(room));
    need = ucol_getSortKey(collator_, u, n, out->data() + base, room);
  }
  if (need <= 0 || need > room) {
    out->resize(base);
    return false;
  }
  out->resize(base + static_cast<std::size_t>(need - 1));  // without the terminating zero
  return true;
}

int CompareStringA(LCID lcid, std::uint32_t flags, const char* a, int lenA, const char* b,
                   int lenB) {
  const Collator* collator = Lookup(lcid, flags);
  return collator == nullptr ? kCompareFailed : collator->CompareA(a, lenA, b, lenB);
}

int CompareStringW(LCID lcid, std::uint32_t flags, const char16_t* a, int lenA, const char16_t* b,
                   int lenB) {
  const Collator* collator = Lookup(lcid, flags);
  return collator == nullptr ? kCompareFailed : collator->CompareW(a, lenA, b, lenB);
}

bool SortKeyA(LCID lcid, std::uint32_t flags, const char* s, int len,
              std::vector<std::uint8_t>* out) {
  const Collator* collator = Lookup(lcid, flags);
  return collator != nullptr && collator->SortKeyA(s, len, out);
}

}  // namespace dorvem::locale
