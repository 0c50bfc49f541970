// FilterList: the filters attached to one filtered index, as the index asks
// them while it is built (the RecordFilter it owns).
//
// An entry is an expression filter (a private copy of its expression buffer
// and the program compiled from it) or a callback filter (a function and
// its user data, called with a work copy of the record image) or a record
// set (the records it passes, one bit each). Entries
// stay in order of attachment; a record passes when no entry rejects it,
// and the first entry that rejects it ends the test. Handles are issued
// from a counter that starts at 1 for each list and only grows.
//
// The list belongs to its filtered index (DSIDXFILT) and is used under the
// table's lock; the table must outlive it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dataset/core/result_codes.h"
#include "dataset/eval/prefix_matcher.h"
#include "dataset/eval/program.h"
#include "dataset/index/record_filter.h"

namespace dorvem {

class DSBASE;

// A record callback: nonzero accepts the record whose image it is given.
using FilterCallback = int (*)(void* userData, const std::uint8_t* recordImage);

class FilterList final : public RecordFilter {
 public:
  explicit FilterList(const DSBASE& table) : table_(table) {}

  // Compiles and appends an expression filter; *handle receives its
  // handle. On failure (Program::Compile's statuses) nothing is added and
  // no handle is used up.
  DBResult AddExpression(const std::uint8_t* buffer, std::size_t size, std::uint32_t* handle);
  // Appends a callback filter.
  DBResult AddCallback(void* userData, FilterCallback callback, std::uint32_t* handle);
  // Appends a record set filter: a copy of `wordCount` words, bit r - 1
  // for record r.
  DBResult AddRecordSet(const std::uint64_t* words, std::uint32_t wordCount, std::uint32_t* handle);
  // Removes the entry with `handle`; kObjectNotFound when there is none.
  DBResult Remove(std::uint32_t handle);

  bool Accepts(std::uint32_t record) override;
  bool Empty() const override { return entries_.empty(); }
  // A list of one prefix comparison (=) over a large table is answered by
  // a search over the byte order of the field's values (prefix_search.h);
  // a list of one record set by the set itself.
  bool AcceptedAtOnce(std::vector<std::uint64_t>* accepted) override;

 private:
  struct Entry {
    std::uint32_t handle = 0;
    std::uint32_t kind = 0;  // 0: a filter
    std::vector<std::uint8_t> buffer;
    std::unique_ptr<eval::Program> program;  // null for a callback filter
    // A program that is one prefix comparison, answered here directly.
    eval::PrefixTest prefix;
    void* userData = nullptr;
    FilterCallback callback = nullptr;
    // The records a record set filter passes (bit r - 1 for record r).
    std::vector<std::uint64_t> records;
    bool recordSet = false;
  };

  const DSBASE& table_;
  std::vector<Entry> entries_;
  std::uint32_t nextHandle_ = 1;
  std::vector<std::uint8_t> image_;  // the work record image of callbacks
};

}  // namespace dorvem
