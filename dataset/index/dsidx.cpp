#include "dataset/index/dsidx.h"

#include <new>

#include "dataset/store/dsbase.h"

namespace dorvem {

DSIDX::DSIDX(DSBASE* table, const IndexDescriptor& descriptor, IndexKind kind)
    : table_(table), descriptor_(descriptor), kind_(kind), entries_(2, 0) {}

DSIDX::~DSIDX() = default;

std::uint32_t DSIDX::Release() {
  const std::uint32_t left = --refs_;
  if (left == 0) {
    table_->Unlink(this);
    delete this;
  }
  return left;
}

std::uint32_t DSIDX::FindRecord(std::uint32_t record) const {
  for (std::uint32_t pos = 1; pos <= count_; ++pos)
    if (entries_[pos] == record) return pos;
  return 0;
}

void DSIDX::Clear() {
  if (count_) ++changeCounter_;
  count_ = 0;
}

DBResult DSIDX::Append(std::uint32_t record) {
  // Slot 0 and the slot after the last entry are kept free for sentinels.
  if (count_ + 2 > entries_.size()) {
    try {
      entries_.resize(entries_.size() + 50);
    } catch (const std::bad_alloc&) {
      return dbr::kOutOfMemory;
    }
  }
  entries_[++count_] = record;
  ++changeCounter_;
  return dbr::kOk;
}

DBResult DSIDX::Build() {
  Clear();
  if (kind_ == IndexKind::kChangeLog) return dbr::kOk;
  const std::uint32_t records = table_->RecordCount();
  try {
    if (entries_.size() < static_cast<std::size_t>(records) + 2) entries_.resize(records + 2);
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  for (std::uint32_t r = 1; r <= records; ++r)
    if (table_->RecordVisible(r))
      if (DBResult e = Append(r)) return e;
  return dbr::kOk;
}

}  // namespace dorvem
