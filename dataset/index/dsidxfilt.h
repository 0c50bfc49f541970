// DSIDXFILT: a filtered index, the order of a cursor narrowed by filters.
//
// It orders like a plain index (same descriptor kinds, same build paths)
// but takes only the records its filter list accepts. The index owns its
// list (a RecordFilter, record_filter.h) from the first filter attached
// until the list is removed; without a list it takes every visible record.
// A filtered index belongs to one cursor, which holds its only reference.
//
// How a cursor's order becomes filtered, and how it is rebuilt when filters
// come and go, is DSCursor's business (FilterActiveIndex and
// RebuildFilteredIndex in cursor/cursor.h); the filter list itself is the filter
// evaluation's.
#pragma once

#include <memory>

#include "dataset/index/dsidx.h"
#include "dataset/index/record_filter.h"

namespace dorvem {

class DSIDXFILT final : public DSIDX {
 public:
  explicit DSIDXFILT(DSBASE* table) : DSIDX(table, IndexKind::kFiltered) {}

  // The filter list, or null when there is none.
  RecordFilter* Filters() const { return filters_.get(); }
  // Gives the index its list (replacing and destroying any previous one).
  // Takes effect at the next build.
  void SetFilters(std::unique_ptr<RecordFilter> filters) { filters_ = std::move(filters); }
  // Removes the list and hands it to the caller. Takes effect at the next
  // build.
  std::unique_ptr<RecordFilter> TakeFilters() { return std::move(filters_); }

 protected:
  bool Takes(std::uint32_t record) override {
    return DSIDX::Takes(record) && (!filters_ || filters_->Accepts(record));
  }
  bool Filtered() const override { return filters_ != nullptr; }
  bool AcceptedAtOnce(std::vector<std::uint64_t>* accepted) override {
    return filters_ && filters_->AcceptedAtOnce(accepted);
  }

 private:
  std::unique_ptr<RecordFilter> filters_;
};

}  // namespace dorvem
