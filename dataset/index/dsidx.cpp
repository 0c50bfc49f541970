// The entries of an index: definition, references, growth, ordered
// insertion and look-ups. The whole-index build paths are in index_build.cpp.
#include "dataset/index/dsidx.h"

#include <cstring>
#include <new>

#include "dataset/index/index_list.h"
#include "dataset/store/table.h"

namespace dorvem {

namespace {
constexpr std::uint32_t kInsertGrowth = 50;
}

DSIDX::DSIDX(DSBASE* table, IndexKind kind) : table_(table), kind_(kind), entries_(1, 0) {}

DSIDX::~DSIDX() = default;

DBResult DSIDX::Define(const IndexDescriptor& d) {
  std::uint32_t keyLength = 0;
  if (DBResult r = comparator_.Define(*table_, d, &keyLength)) return r;
  descriptor_ = d;
  descriptor_.name[sizeof descriptor_.name - 1] = 0;
  for (int i = d.fieldCount; i < kMaxIndexFields; ++i) {
    descriptor_.fields[i] = 0;
    descriptor_.descending[i] = 0;
    descriptor_.caseInsensitive[i] = 0;
  }
  descriptor_.keyLength = keyLength;
  return dbr::kOk;
}

std::uint32_t DSIDX::Release() {
  const std::uint32_t left = --refs_;
  if (left == 0) {
    IndexesOf(*table_).Unlink(this);
    delete this;
  }
  return left;
}

void DSIDX::ResolveLazy(std::uint32_t pos) const {
  lazy_->Resolve(pos);
  if (lazy_->Done()) lazy_.reset();
}

void DSIDX::SettleLazy() const {
  lazy_->ResolveAll();
  lazy_.reset();
}

std::uint32_t DSIDX::FindRecord(std::uint32_t record) const {
  if (lazy_) {
    const std::uint32_t pos = lazy_->FindRecord(record);
    if (lazy_->Done()) lazy_.reset();
    return pos;
  }
  for (std::uint32_t pos = 1; pos <= count_; ++pos)
    if (entries_[pos] == record) return pos;
  return 0;
}

std::uint32_t DSIDX::LowerBound(std::uint32_t record) {
  comparator_.Prepare(*table_, false);
  std::uint32_t lo = 1, hi = count_ + 1;
  while (lo < hi) {
    const std::uint32_t mid = lo + (hi - lo) / 2;
    if (comparator_.Compare(Entry(mid), record) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

void DSIDX::Clear() {
  lazy_.reset();
  if (count_) ++changeCounter_;
  count_ = 0;
}

// Makes room for `slots` entry slots (and slot 0). On failure the capacity
// is unchanged.
DBResult DSIDX::Reserve(std::uint32_t slots) {
  Settle();
  if (slots <= capacity_) return dbr::kOk;
  try {
    ResizeToWrite(entries_, static_cast<std::size_t>(slots) + 1);
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  capacity_ = slots;
  return dbr::kOk;
}

DBResult DSIDX::Append(std::uint32_t record) {
  if (count_ == capacity_)
    if (DBResult r = Reserve(capacity_ + kInsertGrowth)) return r;
  entries_[++count_] = record;
  ++changeCounter_;
  return dbr::kOk;
}

// Where an ordered insertion puts `record`: the slot it will occupy.
// *equal tells whether an entry with an equal key was met.
std::uint32_t DSIDX::InsertPosition(std::uint32_t record, bool* equal) {
  *equal = false;
  const std::uint32_t n = count_;
  if (n == 0) return 1;
  // After the last entry equal to `record`, starting from an equal `pos`.
  auto afterEquals = [&](std::uint32_t pos) {
    *equal = true;
    while (pos < n && comparator_.Compare(record, entries_[pos + 1]) == 0) ++pos;
    return pos + 1;
  };
  int c = comparator_.Compare(record, entries_[n]);
  if (c >= 0) {
    *equal = c == 0;
    return n + 1;
  }
  c = comparator_.Compare(record, entries_[1]);
  if (c < 0) return 1;
  if (c == 0) return afterEquals(1);
  // entry low < record < entry high; with a consistent order the search
  // never ends next to an entry equal to `record` without meeting it.
  std::uint32_t low = 1, high = n;
  while (low + 1 < high) {
    const std::uint32_t mid = low + (high - low) / 2;
    c = comparator_.Compare(record, entries_[mid]);
    if (c < 0)
      high = mid;
    else if (c > 0)
      low = mid;
    else
      return afterEquals(mid);
  }
  return low + 1;
}

DBResult DSIDX::Insert(std::uint32_t record) {
  Settle();
  if (comparator_.FieldCount() == 0) return Append(record);
  comparator_.Prepare(*table_, false);
  return InsertPrepared(record);
}

DBResult DSIDX::InsertPrepared(std::uint32_t record) {
  Settle();
  bool equal = false;
  const std::uint32_t pos = InsertPosition(record, &equal);
  if (equal && Unique()) return dbr::kKeyViolation;
  if (pos == count_ + 1) return Append(record);
  if (count_ == capacity_)
    if (DBResult r = Reserve(capacity_ + kInsertGrowth)) return r;
  std::memmove(&entries_[pos + 1], &entries_[pos], (count_ - pos + 1) * sizeof(std::uint32_t));
  entries_[pos] = record;
  ++count_;
  ++changeCounter_;
  return dbr::kOk;
}

void DSIDX::RemoveAt(std::uint32_t pos) {
  Settle();
  if (pos == 0 || pos > count_) return;
  std::memmove(&entries_[pos], &entries_[pos + 1], (count_ - pos) * sizeof(std::uint32_t));
  --count_;
  ++changeCounter_;
}

bool DSIDX::Takes(std::uint32_t record) {
  return table_->RecordVisible(record);
}

DBResult DSIDXCHG::Build(const DSIDX*) {
  // No pending changes are ever kept: the log's order is empty.
  return dbr::kOk;
}

}  // namespace dorvem
