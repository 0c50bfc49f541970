// RecordFilter: what a filtered index asks of its filters.
//
// A filtered index (kind IndexKind::kFiltered) owns one RecordFilter, the
// list of filters attached to it; while the index is built, every record the
// index would otherwise take is offered to Accepts, and only records it
// accepts enter the index (or, where the list can, it names them all at
// once). Filters never run while a cursor moves.
#pragma once

#include <cstdint>
#include <vector>

namespace dorvem {

class RecordFilter {
 public:
  virtual ~RecordFilter() = default;
  // True when the record (1-based record number of the index's table)
  // passes every filter of the list.
  virtual bool Accepts(std::uint32_t record) = 0;
  // True when the list holds no filter any more (the index then drops it).
  virtual bool Empty() const = 0;
  // Where the list can answer for every record at once at less cost than
  // record by record: marks in *accepted (bit r - 1 for record r, one bit
  // for every record of the table) exactly the records Accepts would
  // accept, and returns true. False when it cannot; the index then asks
  // Accepts for each record.
  virtual bool AcceptedAtOnce(std::vector<std::uint64_t>* accepted) {
    (void)accepted;
    return false;
  }
};

}  // namespace dorvem
