// RecordFilter: what a filtered index asks of its filters.
//
// A filtered index (kind IndexKind::kFiltered) owns one RecordFilter, the
// list of filters attached to it; while the index is built, every record the
// index would otherwise take is offered to Accepts, and only records it
// accepts enter the index. Filters never run while a cursor moves.
#pragma once

#include <cstdint>

namespace dorvem {

class RecordFilter {
 public:
  virtual ~RecordFilter() = default;
  // True when the record (1-based record number of the index's table)
  // passes every filter of the list.
  virtual bool Accepts(std::uint32_t record) = 0;
  // True when the list holds no filter any more (the index then drops it).
  virtual bool Empty() const = 0;
};

}  // namespace dorvem
