// Test helpers for indexes and the engine cursor: tables loaded straight
// into the engine from dictionary-shaped packets, and readers of an index's
// entries and of a cursor's walk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dataset/core/engine_object.h"
#include "dataset/cursor/cursor.h"
#include "dataset/index/dsidx.h"
#include "dataset/index/index_list.h"
#include "dataset/store/collation_ranks.h"
#include "dataset/store/table.h"
#include "tests/dataset/test_packets.h"

namespace dorvem::testing {

// Column numbers of the dictionary's table.
inline constexpr std::uint32_t kFajlnev = 1, kKszoveg = 2, kSzovmagy = 3, kGraphic = 4, kIndex = 5;

// Rows with these headwords (nullopt: null) and Index = 1, 2, 3, ...
std::vector<DictRow> HeadwordRows(const std::vector<std::optional<std::string>>& words);

// A table loaded from `model` (the test fails on a load error).
EngineRef<DSBASE> LoadTable(const PacketModel& model);
inline EngineRef<DSBASE> LoadTable(const std::vector<DictRow>& rows, std::uint32_t lcid = 1038) {
  return LoadTable(DictionaryModel(rows, lcid));
}

// A cursor opened on `table` (on "DEFAULT_ORDER", before the first entry).
EngineRef<DSCursor> OpenCursor(DSBASE* table);

// Entries 1..Count() of an index.
std::vector<std::uint32_t> EntriesOf(const DSIDX& index);

// A plain index of `table` defined by `d` and built (from `source` when
// given); owned by the caller, not registered with the table.
struct BuiltIndex {
  DSIDX* index = nullptr;
  DBResult status = 0;
  ~BuiltIndex() { delete index; }
};
void BuildIndex(DSBASE* table, const IndexDescriptor& d, BuiltIndex* out,
                const DSIDX* source = nullptr);

// A descriptor over the given columns, ascending and case-sensitive.
IndexDescriptor KeyOn(const char* name, std::vector<std::int32_t> fields);

// Record numbers from the cursor's current place to the end of its order,
// starting before the first entry.
std::vector<std::uint32_t> Walk(DSCursor* cursor);

// The record the cursor stands on (0 when none).
std::uint32_t CurrentRecord(DSCursor* cursor);

}  // namespace dorvem::testing
