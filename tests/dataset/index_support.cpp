#include "tests/dataset/index_support.h"

#include <gtest/gtest.h>

namespace dorvem::testing {

std::vector<DictRow> HeadwordRows(const std::vector<std::optional<std::string>>& words) {
  std::vector<DictRow> rows;
  for (std::size_t i = 0; i < words.size(); ++i)
    rows.push_back(
        {std::nullopt, words[i], std::nullopt, std::nullopt, static_cast<std::int32_t>(i + 1)});
  return rows;
}

EngineRef<DSBASE> LoadTable(const PacketModel& model) {
  TDSBASE* raw = nullptr;
  EXPECT_EQ(DSBASE_Factory(&raw), 0);
  EngineRef<DSBASE> table(static_cast<DSBASE*>(raw));
  EXPECT_EQ(table->AppendData(Encode(model), true), 0);
  return table;
}

EngineRef<DSCursor> OpenCursor(DSBASE* table) {
  TDSCursor* raw = nullptr;
  EXPECT_EQ(DSCursor_Factory(&raw), 0);
  EngineRef<DSCursor> cursor(static_cast<DSCursor*>(raw));
  EXPECT_EQ(cursor->InitCursor(table), 0);
  return cursor;
}

std::vector<std::uint32_t> EntriesOf(const DSIDX& index) {
  std::vector<std::uint32_t> out;
  for (std::uint32_t pos = 1; pos <= index.Count(); ++pos) out.push_back(index.Entry(pos));
  return out;
}

void BuildIndex(DSBASE* table, const IndexDescriptor& d, BuiltIndex* out, const DSIDX* source) {
  out->index = new DSIDX(table, IndexKind::kPlain);
  out->status = out->index->Define(d);
  if (out->status == 0) out->status = out->index->Build(source);
}

IndexDescriptor KeyOn(const char* name, std::vector<std::int32_t> fields) {
  IndexDescriptor d;
  SetIndexName(&d, name);
  d.fieldCount = static_cast<std::int32_t>(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) d.fields[i] = fields[i];
  return d;
}

std::vector<std::uint32_t> Walk(DSCursor* cursor) {
  std::vector<std::uint32_t> out;
  EXPECT_EQ(cursor->ToBeforeFirst(), 0);
  while (cursor->Advance(1) == 0) out.push_back(CurrentRecord(cursor));
  return out;
}

std::uint32_t CurrentRecord(DSCursor* cursor) {
  EngineBookmark b;
  EXPECT_EQ(cursor->GetPosition(&b), 0);
  return b.status == 0 ? b.record : 0;
}

}  // namespace dorvem::testing
