// Rows appended from further packets: blob values of every packet stay
// readable, also after a further packet that fails half-way.
#include <gtest/gtest.h>

#include "dataset/core/byte_layout.h"
#include "dataset/cursor/cursor_interface.h"
#include "dataset/index/index_list.h"
#include "dataset/store/table.h"
#include "tests/dataset/test_packets.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::DictRow;
using testing::Encode;

// A further packet: a header without metadata, then the rows of `rows`.
std::vector<std::uint8_t> FurtherPacket(const std::vector<DictRow>& rows) {
  const std::vector<std::uint8_t> empty = Encode(DictionaryModel({}));
  const std::vector<std::uint8_t> full = Encode(DictionaryModel(rows));
  // The rows of `full` follow its metadata, which is as long as `empty`.
  std::vector<std::uint8_t> out;
  for (std::size_t i = 0; i < full.size(); ++i)
    if (i < 24 || i >= empty.size()) out.push_back(full[i]);
  StoreU32(out.data() + 18, 0);  // flags: no metadata, rows right after the header
  StoreU32(out.data() + 8, 24);  // header length
  return out;
}

// Calls `each` with the cursor and the record image of every record, in
// record order.
template <class Each>
void ForEachRecord(TDSBASE* table, Each each) {
  EngineRef<TDSCursor> cursor;
  EXPECT_EQ(DSCursor_Factory(cursor.Receive()), 0);
  EXPECT_EQ(cursor->InitCursor(table), 0);
  DSProps props;
  EXPECT_EQ(cursor->GetCursorProps(&props), dbr::kOk);
  std::vector<std::uint8_t> image(props.recordSize);
  while (cursor->Advance(1) == 0) {
    EXPECT_EQ(cursor->ReadCurrent(image.data()), 0);
    each(*cursor, image.data());
  }
}

std::vector<std::string> Memos(TDSBASE* table) {
  std::vector<std::string> memos;
  ForEachRecord(table, [&memos](TDSCursor& cursor, std::uint8_t* image) {
    std::uint32_t length = 0;
    EXPECT_EQ(cursor.GetBlobLen(image, 3, &length), 0);
    std::string memo(length, '\0');
    std::uint32_t count = length;
    if (length) {
      EXPECT_EQ(cursor.GetBlob(image, 3, 0, &count, memo.data()), 0);
    }
    memos.push_back(memo);
  });
  return memos;
}

TEST(FurtherPacketTest, BlobsOfEveryPacketStayReadable) {
  EngineRef<TDSBASE> table;
  ASSERT_EQ(DSBASE_Factory(table.Receive()), 0);
  ASSERT_EQ(table->AppendData(Encode(DictionaryModel({{{}, "A", "first", {}, 1}})), false), 0);
  ASSERT_EQ(table->AppendData(
                FurtherPacket({{{}, "B", "second", {}, 2}, {{}, "C", "third", {}, 3}}), false),
            0);
  EXPECT_EQ(Memos(table.get()), (std::vector<std::string>{"first", "second", "third"}));

  // A further packet cut inside its second row fails. The row stored before
  // the failure is part of the table from the next rebuild of its indexes,
  // and its memo is still readable then: its packet was kept.
  std::vector<std::uint8_t> cut =
      FurtherPacket({{{}, "D", "fourth", {}, 4}, {{}, "E", "fifth", {}, 5}});
  cut.resize(cut.size() - 3);
  EXPECT_NE(table->AppendData(cut, false), 0);
  EXPECT_EQ(table->AppendData(FurtherPacket({{{}, "F", "sixth", {}, 6}}), true), 0);
  EXPECT_EQ(Memos(table.get()),
            (std::vector<std::string>{"first", "second", "third", "fourth", "sixth"}));
}

// Index values of every record, in record order; -1 stands for blank.
std::vector<std::int32_t> Indexes(TDSBASE* table) {
  std::vector<std::int32_t> out;
  ForEachRecord(table, [&out](TDSCursor& cursor, std::uint8_t* image) {
    std::int32_t v = 0;
    std::uint8_t blank = 0;
    EXPECT_EQ(cursor.GetField(image, 5, &v, &blank), 0);
    out.push_back(blank ? -1 : v);
  });
  return out;
}

// Rows numbered from `first`; every seventh has a blank index and memo.
std::vector<DictRow> Numbered(int first, int count) {
  std::vector<DictRow> rows;
  for (int i = first; i < first + count; ++i) {
    DictRow r{{}, "W" + std::to_string(i), "m" + std::to_string(i), {}, i};
    if (i % 7 == 0) r.index.reset(), r.szovmagy.reset();
    rows.push_back(r);
  }
  return rows;
}

// A first packet reserves its rows plus 25; appended rows grow the store by
// its size, by half of it beyond 1000 records. Every record on either side
// of each growth keeps its values and its blanks.
TEST(FurtherPacketTest, RowsPastTheFirstReservationGrowTheStore) {
  struct Case {
    int firstRows, furtherRows;
    std::uint32_t reserved, grown;
  };
  for (const Case& c : {Case{1, 60, 26, 104}, Case{1000, 600, 1025, 2305}}) {
    SCOPED_TRACE(c.firstRows);
    EngineRef<TDSBASE> table;
    ASSERT_EQ(DSBASE_Factory(table.Receive()), 0);
    ASSERT_EQ(table->AppendData(Encode(DictionaryModel(Numbered(1, c.firstRows))), false), 0);
    EXPECT_EQ(static_cast<DSBASE*>(table.get())->Capacity(), c.reserved);
    ASSERT_EQ(table->AppendData(FurtherPacket(Numbered(c.firstRows + 1, c.furtherRows)), true), 0);
    EXPECT_EQ(static_cast<DSBASE*>(table.get())->Capacity(), c.grown);
    const int total = c.firstRows + c.furtherRows;
    std::vector<std::int32_t> indexes;
    std::vector<std::string> memos;
    for (int i = 1; i <= total; ++i) {
      indexes.push_back(i % 7 == 0 ? -1 : i);
      memos.push_back(i % 7 == 0 ? "" : "m" + std::to_string(i));
    }
    EXPECT_EQ(Indexes(table.get()), indexes);
    EXPECT_EQ(Memos(table.get()), memos);
  }
}

}  // namespace
}  // namespace dorvem
