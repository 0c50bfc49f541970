// TableIndexes: the indexes of a table, as the table itself needs them.
//
// The record store knows that its table has indexes but not how they order:
// it owns one TableIndexes, made by the index layer (index/index_list.h),
// and calls it when rows arrive, when the host asks for an index, and when
// the table is emptied. A table without one (a bare record store) keeps no
// indexes: CreateIndex answers kNotApplicable and GetIndexDescs lists none.
//
// Every member is called under the table's lock.
#pragma once

#include <vector>

#include "dataset/core/result_codes.h"
#include "dataset/store/index_descriptor.h"

namespace dorvem {

class TableIndexes {
 public:
  virtual ~TableIndexes() = default;

  // Makes the indexes of a freshly loaded table: kDefaultOrderName (the
  // packet's default order, or load order), the packet's keys and, unless
  // the table is a delta, the change log.
  [[nodiscard]] virtual DBResult CreateLoadIndexes() = 0;
  // Rebuilds every index in place after rows were appended.
  [[nodiscard]] virtual DBResult RebuildAll() = 0;
  // See TDSBASE::CreateIndex and TDSBASE::GetIndexDescs.
  [[nodiscard]] virtual DBResult CreateIndex(const IndexDescriptor& d) = 0;
  [[nodiscard]] virtual DBResult GetIndexDescs(std::vector<IndexDescriptor>* descs) const = 0;
  // Destroys every index the table keeps.
  virtual void Clear() = 0;
};

}  // namespace dorvem
