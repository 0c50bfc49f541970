#include "dataset/index/lazy_order.h"

#include "dataset/index/entry_sort.h"

namespace dorvem {

namespace {

// A function object, not a function, so that the sort's loops inline it.
struct KeyLessT {
  bool operator()(std::uint64_t x, std::uint64_t y) const { return (x >> 32) < (y >> 32); }
};
constexpr KeyLessT KeyLess;

}  // namespace

LazyOrder::LazyOrder(SortPairs pairs, std::uint32_t* out) : e_(std::move(pairs)), out_(out) {
  n_ = static_cast<std::uint32_t>(e_.size() - 2);
  final_.assign(static_cast<std::size_t>(n_ + 2) / 64 + 1, 0);
  if (n_ > kInsertionPartMax)
    pending_.emplace(1, n_);
  else
    FinishSmall(1, n_);
}

void LazyOrder::MarkFinal(std::uint32_t pos) {
  final_[pos >> 6] |= std::uint64_t{1} << (pos & 63);
  out_[pos] = static_cast<std::uint32_t>(e_[pos]);
}

void LazyOrder::FinishSmall(std::int64_t first, std::int64_t last) {
  InsertionRange(e_.data(), first, last, KeyLess);
  for (std::int64_t p = first; p <= last; ++p) MarkFinal(static_cast<std::uint32_t>(p));
}

void LazyOrder::Split(std::map<std::uint32_t, std::uint32_t>::iterator range) {
  const std::int64_t lo = range->first, hi = range->second;
  pending_.erase(range);
  const std::int64_t j = PartitionEntries(e_.data(), lo, hi, KeyLess);
  MarkFinal(static_cast<std::uint32_t>(j));
  if (j - lo > kInsertionPartMax)
    pending_.emplace(static_cast<std::uint32_t>(lo), static_cast<std::uint32_t>(j - 1));
  else
    FinishSmall(lo, j - 1);
  if (hi - j > kInsertionPartMax)
    pending_.emplace(static_cast<std::uint32_t>(j + 1), static_cast<std::uint32_t>(hi));
  else
    FinishSmall(j + 1, hi);
}

void LazyOrder::Resolve(std::uint32_t pos) {
  while (!IsFinal(pos)) {
    // The pending range that holds pos: the last one starting at or before.
    auto it = pending_.upper_bound(pos);
    --it;
    Split(it);
  }
}

void LazyOrder::ResolveMarked(const std::vector<std::uint64_t>& marked) {
  const auto isMarked = [&marked](std::uint64_t entry) {
    const auto r = static_cast<std::uint32_t>(entry) - 1;
    return ((marked[r >> 6] >> (r & 63)) & 1) != 0;
  };
  // Pending ranges still to look at, by their first slot.
  std::vector<std::uint32_t> work;
  for (const auto& [lo, hi] : pending_) work.push_back(lo);
  while (!work.empty()) {
    const std::uint32_t lo = work.back();
    work.pop_back();
    const auto it = pending_.find(lo);
    if (it == pending_.end()) continue;
    const std::uint32_t hi = it->second;
    bool any = false;
    for (std::uint32_t i = lo; i <= hi && !any; ++i) any = isMarked(e_[i]);
    if (!any) continue;
    Split(it);
    // The parts Split left pending start at lo and just after the pivot.
    const auto right = pending_.upper_bound(lo);
    if (right != pending_.end() && right->first <= hi) work.push_back(right->first);
    if (pending_.count(lo)) work.push_back(lo);
  }
}

void LazyOrder::ResolveAll() {
  while (!pending_.empty()) Split(pending_.begin());
}

std::uint32_t LazyOrder::FindRecord(std::uint32_t record) {
  // A search's cursor looks for the record it stood on, which has mostly
  // left the list: the whole scan is the usual case. Blocks are compared
  // without a branch per entry, so that they compile to vector compares;
  // the block that holds the record is then searched entry by entry.
  constexpr std::uint32_t kBlock = 64;
  std::uint32_t at = 0;
  std::uint32_t from = 1;
  auto holds = [&](std::uint32_t first) {
    const std::uint64_t* const block = e_.data() + first;
    unsigned hit = 0;
    for (std::size_t i = 0; i < kBlock; ++i)
      hit |= static_cast<std::uint32_t>(block[i]) == record ? 1u : 0u;
    return hit != 0;
  };
  while (from + kBlock - 1 <= n_ && !holds(from)) from += kBlock;
  for (std::uint32_t i = from; i <= n_; ++i) {
    if (static_cast<std::uint32_t>(e_[i]) == record) {
      at = i;
      break;
    }
  }
  if (at == 0 || IsFinal(at)) return at;
  // The record stays inside its pending range, and once that range is
  // sorted its entries with the record's key fill one run of slots: the
  // record is in that run.
  auto it = pending_.upper_bound(at);
  --it;
  const std::uint32_t lo = it->first, hi = it->second;
  const std::uint64_t key = e_[at] >> 32;
  std::uint32_t smaller = 0, equal = 0;
  for (std::uint32_t i = lo; i <= hi; ++i) {
    const std::uint64_t k = e_[i] >> 32;
    smaller += k < key;
    equal += k == key;
  }
  // Alone with its key, it is preceded by exactly the smaller entries; the
  // partitions that would settle its slot are left to whoever reads it (a
  // cursor looks for its old record in a rebuilt list and is often sent
  // elsewhere next).
  if (equal == 1) return lo + smaller;
  for (std::uint32_t p = lo + smaller; p < lo + smaller + equal; ++p) {
    Resolve(p);
    if (out_[p] == record) return p;
  }
  return 0;  // not reached: the run holds the record
}

}  // namespace dorvem
