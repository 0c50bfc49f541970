#include "dataset/eval/prefix_search.h"

#include <algorithm>
#include <new>

#include "dataset/eval/prefix_matcher.h"
#include "dataset/store/collation_ranks.h"
#include "dataset/store/table.h"

namespace dorvem::eval {

namespace {

class Walk {
 public:
  Walk(PrefixMatcher& matcher, const DSBASE& table, std::uint32_t fieldId,
       const std::uint32_t* order, std::uint32_t count, std::uint32_t budget,
       std::vector<std::uint64_t>* accepted, std::uint32_t* firstByteStarts)
      : matcher_(matcher),
        table_(table),
        fieldId_(fieldId),
        width_(table.Field(fieldId).recordLength),
        order_(order),
        count_(count),
        budget_(budget),
        accepted_(*accepted),
        firstByteStarts_(firstByteStarts) {}

  // Runs [lo, hi) of values sharing their first d bytes; `onTrack` when
  // those bytes have the constant's first d keys. False when over budget.
  bool Run(std::uint32_t lo, std::uint32_t hi, std::uint32_t d, bool onTrack) {
    if (lo >= hi) return true;
    if (budget_-- == 0) return false;
    if (d >= matcher_.Length()) {
      // Every value has the same first N bytes: one answer for all.
      if (Equal(lo)) Mark(lo, hi);
      return true;
    }
    // Values that end at d come first: one string.
    std::uint32_t s = lo;
    if (Byte(lo, d) == 0) {
      s = End(lo, hi, d, 0);
      if (Equal(lo)) Mark(lo, s);
    }
    while (s < hi) {
      const std::uint8_t b = Byte(s, d);
      if (onTrack && !matcher_.MayFollow(d, b)) {
        // Every value of this sub-run is unequal, ended or not: go on at
        // the next byte that may follow, past the sub-runs between.
        unsigned next = b + 1u;
        while (next < 256 && !matcher_.MayFollow(d, static_cast<unsigned char>(next))) ++next;
        if (next == 256) break;
        s = LowerBound(s + 1, hi, d, static_cast<std::uint8_t>(next));
        continue;
      }
      const std::uint32_t e = End(s, hi, d, b);
      const auto* q = reinterpret_cast<const unsigned char*>(table_.ValuePtr(order_[s], fieldId_));
      const PrefixMatcher::Verdict v = matcher_.Settled(q, d + 1);
      if (v == PrefixMatcher::Verdict::kOpen) {
        if (!Run(s, e, d + 1, onTrack && matcher_.KeyMatches(d, b))) return false;
      } else {
        // Those that end at d + 1 are asked; the others are settled.
        std::uint32_t t = s;
        if (d + 1 >= width_ || Byte(s, d + 1) == 0) {
          t = d + 1 >= width_ ? e : End(s, e, d + 1, 0);
          if (Equal(s)) Mark(s, t);
        }
        if (v == PrefixMatcher::Verdict::kEqual) Mark(t, e);
      }
      s = e;
    }
    return true;
  }

 private:
  std::uint8_t Byte(std::uint32_t at, std::uint32_t d) const {
    return d < width_ ? table_.ValuePtr(order_[at], fieldId_)[d] : 0;
  }
  bool Equal(std::uint32_t at) {
    return matcher_.Equal(reinterpret_cast<const char*>(table_.ValuePtr(order_[at], fieldId_)));
  }
  // The end of the run from `from` whose byte d is b: the first place in
  // [from, hi) whose byte d is greater.
  std::uint32_t End(std::uint32_t from, std::uint32_t hi, std::uint32_t d, std::uint8_t b) const {
    return b == 255 ? hi : LowerBound(from + 1, hi, d, static_cast<std::uint8_t>(b + 1));
  }
  // The first place in [lo, hi) whose byte d is at least b; hi when none.
  std::uint32_t LowerBound(std::uint32_t lo, std::uint32_t hi, std::uint32_t d,
                           std::uint8_t b) const {
    if (d == 0 && firstByteStarts_ != nullptr) {
      // The whole order is sorted by the first byte: the place over all of
      // it, once noted, answers for any part of it.
      std::uint32_t& start = firstByteStarts_[b];
      if (start == CollationRanks::kStartNotNoted) start = Search(0, count_, 0, b);
      return std::clamp(start, lo, hi);
    }
    return Search(lo, hi, d, b);
  }
  std::uint32_t Search(std::uint32_t lo, std::uint32_t hi, std::uint32_t d, std::uint8_t b) const {
    while (lo < hi) {
      const std::uint32_t mid = lo + (hi - lo) / 2;
      if (Byte(mid, d) < b)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo;
  }
  void Mark(std::uint32_t lo, std::uint32_t hi) {
    for (std::uint32_t i = lo; i < hi; ++i) {
      const std::uint32_t r = order_[i] - 1;
      accepted_[r >> 6] |= std::uint64_t{1} << (r & 63);
    }
  }

  PrefixMatcher& matcher_;
  const DSBASE& table_;
  std::uint32_t fieldId_;
  std::uint32_t width_;
  const std::uint32_t* order_;
  std::uint32_t count_;
  std::uint32_t budget_;
  std::vector<std::uint64_t>& accepted_;
  std::uint32_t* firstByteStarts_;
};

}  // namespace

bool FindPrefixMatches(PrefixMatcher& matcher, const DSBASE& table, std::uint32_t fieldId,
                       const std::uint32_t* order, std::uint32_t count, std::uint32_t budget,
                       std::vector<std::uint64_t>* accepted, std::uint32_t* firstByteStarts) {
  try {
    accepted->assign(static_cast<std::size_t>(table.RecordCount()) / 64 + 1, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (matcher.Length() == 0) return false;
  Walk walk(matcher, table, fieldId, order, count, budget, accepted, firstByteStarts);
  return walk.Run(0, count, 0, true);
}

}  // namespace dorvem::eval
