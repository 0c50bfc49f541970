// The engine cursor: moves at and past both ends, reading, bookmarks, and
// finding its record again when the index changes under it.
#include <gtest/gtest.h>

#include "dataset/index/index_list.h"
#include "tests/dataset/index_support.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;
using E = std::vector<std::uint32_t>;

std::uint32_t Seq(DSCursor* c) {
  std::uint32_t seq = 0;
  return c->SequenceNumber(&seq) == 0 ? seq : 0;
}

TEST(EngineCursorTest, MovesStopAtBothEnds) {
  auto table = LoadTable(HeadwordRows({"A", "B", "C", "D", "E"}));
  auto c = OpenCursor(table.get());
  std::uint32_t count = 0;
  ASSERT_EQ(c->GetRecordCount(&count), 0);
  EXPECT_EQ(count, 5u);

  EXPECT_EQ(c->Advance(1), 0);
  EXPECT_EQ(CurrentRecord(c.get()), 1u);
  EXPECT_EQ(Seq(c.get()), 1u);
  ASSERT_EQ(c->ToAfterLast(), 0);
  EXPECT_EQ(c->Advance(-1), 0);
  EXPECT_EQ(CurrentRecord(c.get()), 5u);

  ASSERT_EQ(c->MoveToSeqNo(4), 0);
  EXPECT_EQ(c->Advance(2), dbr::kAtEnd);
  std::uint32_t seq = 0;
  EXPECT_EQ(c->SequenceNumber(&seq), dbr::kAtEnd);
  std::vector<std::uint8_t> image(table->RecordSize());
  EXPECT_EQ(c->ReadCurrent(image.data()), dbr::kAtEnd);
  EXPECT_EQ(c->Advance(1), dbr::kAtEnd);  // stays after the last
  EXPECT_EQ(c->Advance(-1), 0);
  EXPECT_EQ(CurrentRecord(c.get()), 5u);

  ASSERT_EQ(c->MoveToSeqNo(4), 0);
  EXPECT_EQ(c->Advance(-10), dbr::kAtBeginning);
  EXPECT_EQ(c->Advance(-1), dbr::kAtBeginning);  // stays before the first
  EXPECT_EQ(c->Advance(0), dbr::kAtBeginning);
  EXPECT_EQ(c->Advance(3), 0);
  EXPECT_EQ(c->Advance(0), 0);  // the status, no move
  EXPECT_EQ(Seq(c.get()), 3u);
  ASSERT_EQ(c->ReadCurrent(image.data()), 0);
  const DSFLDDesc& head = table->Field(kKszoveg);
  EXPECT_STREQ(reinterpret_cast<const char*>(image.data() + head.offset), "C");
}

TEST(EngineCursorTest, AnEmptyIndexHasNoRecordToMoveTo) {
  auto table = LoadTable(HeadwordRows({}));
  auto c = OpenCursor(table.get());
  EXPECT_EQ(c->Advance(1), dbr::kAtEnd);
  EXPECT_EQ(c->Advance(-1), dbr::kAtBeginning);
  std::uint32_t count = 9;
  ASSERT_EQ(c->GetRecordCount(&count), 0);
  EXPECT_EQ(count, 0u);
  EngineBookmark b;
  ASSERT_EQ(c->GetPosition(&b), 0);
  ASSERT_EQ(c->GoToPosition(b), 0);
  EXPECT_EQ(c->Advance(0), dbr::kAtBeginning);
}

TEST(EngineCursorTest, BookmarksReturnToTheirRecordAcrossARebuild) {
  auto table = LoadTable(HeadwordRows({"E", "D", "C", "B", "A"}));
  auto c = OpenCursor(table.get());
  ASSERT_EQ(c->Advance(2), 0);  // record 2, "D"
  EngineBookmark onD;
  ASSERT_EQ(c->GetPosition(&onD), 0);
  EXPECT_EQ(onD.record, 2u);
  EXPECT_EQ(onD.indexSerial, IndexesOf(*table).DefaultOrder()->Serial());

  // A new order: the cursor stays on its record at its new place.
  const std::uint32_t head[] = {kKszoveg};
  ASSERT_EQ(c->SortByFields(1, head, nullptr, nullptr), 0);
  EXPECT_EQ(CurrentRecord(c.get()), 2u);
  EXPECT_EQ(Seq(c.get()), 4u);
  // The old bookmark names another index: its record is looked up.
  ASSERT_EQ(c->ToBeforeFirst(), 0);
  ASSERT_EQ(c->GoToPosition(onD), 0);
  EXPECT_EQ(CurrentRecord(c.get()), 2u);
  EXPECT_EQ(Seq(c.get()), 4u);

  // A bookmark of this index in its present state names a position.
  EngineBookmark here;
  ASSERT_EQ(c->GetPosition(&here), 0);
  EngineBookmark forged = here;
  forged.position = 1;
  ASSERT_EQ(c->GoToPosition(forged), 0);
  EXPECT_EQ(CurrentRecord(c.get()), 5u);  // "A", whatever the record says
  // ... and after the last entry it is after the last entry.
  ASSERT_EQ(c->ToAfterLast(), 0);
  EngineBookmark atEnd;
  ASSERT_EQ(c->GetPosition(&atEnd), 0);
  ASSERT_EQ(c->ToBeforeFirst(), 0);
  ASSERT_EQ(c->GoToPosition(atEnd), 0);
  EXPECT_EQ(c->Advance(0), dbr::kAtEnd);

  // A record the index does not hold puts the cursor before the first entry.
  EngineBookmark gone = onD;
  gone.record = 99;
  ASSERT_EQ(c->GoToPosition(gone), 0);
  EXPECT_EQ(c->Advance(0), dbr::kAtBeginning);
}

TEST(EngineCursorTest, ARebuiltIndexIsFollowedByEveryOperation) {
  auto table = LoadTable(HeadwordRows({"A", "B", "C", "D", "E"}));
  auto c = OpenCursor(table.get());
  const std::uint32_t head[] = {kKszoveg};
  ASSERT_EQ(c->SortByFields(1, head, nullptr, nullptr), 0);
  ASSERT_EQ(c->MoveToSeqNo(2), 0);  // record 2
  DSIDX* index = c->ActiveIndex();

  // The record moves: every operation finds it at its new place.
  char value[41] = "Z";
  ASSERT_EQ(table->PutFieldValue(2, kKszoveg, value), 0);
  ASSERT_EQ(index->Build(), 0);
  EXPECT_EQ(Seq(c.get()), 5u);
  EXPECT_EQ(CurrentRecord(c.get()), 2u);

  // The record leaves: the cursor names the entry that took its place.
  ASSERT_EQ(c->MoveToSeqNo(3), 0);  // record 4, "D"
  index->RemoveAt(3);
  std::vector<std::uint8_t> image(table->RecordSize());
  EXPECT_EQ(c->ReadCurrent(image.data()), dbr::kRecordDeleted);
  EXPECT_EQ(c->Advance(5), 0);  // lands on that entry whatever the count
  EXPECT_EQ(CurrentRecord(c.get()), 5u);
  index->RemoveAt(3);
  EXPECT_EQ(c->Advance(-1), 0);  // one less than asked: on that entry
  EXPECT_EQ(CurrentRecord(c.get()), 2u);
  EXPECT_EQ(Walk(c.get()), (E{1, 3, 2}));
}

TEST(EngineCursorTest, AUniqueIndexFindsTheNextKeyOfAVanishedRecord) {
  auto table = LoadTable(HeadwordRows({"A", "B", "C", "D", "E"}));
  IndexDescriptor d = KeyOn("U", {kKszoveg});
  d.uniqueness = kIndexUnique;
  ASSERT_EQ(table->CreateIndex(d), 0);
  for (bool unique : {true, false}) {
    SCOPED_TRACE(unique ? "unique" : "duplicates");
    auto c = OpenCursor(table.get());
    if (unique) {
      ASSERT_EQ(c->UseIndex("U"), 0);
    } else {
      const std::uint32_t head[] = {kKszoveg};
      ASSERT_EQ(c->SortByFields(1, head, nullptr, nullptr), 0);
    }
    ASSERT_EQ(c->MoveToSeqNo(4), 0);  // "D"
    c->ActiveIndex()->RemoveAt(4);    // "D" leaves...
    c->ActiveIndex()->RemoveAt(1);    // ... and so does "A"
    // By key: on "E", the next key; by position: past the end of B C E.
    EXPECT_EQ(c->Advance(1), unique ? dbr::kOk : dbr::kAtEnd);
    EXPECT_EQ(CurrentRecord(c.get()), unique ? 5u : 0u);
    ASSERT_EQ(c->ActiveIndex()->Build(), 0);
  }
}

}  // namespace
}  // namespace dorvem
