// Indexes over their life: entries growing by insertion, the change
// counter, references and release, named and packet-defined indexes, and
// the sort requests that make a cursor's own index.
#include <gtest/gtest.h>

#include <numeric>

#include "dataset/index/index_list.h"
#include "dataset/packet/packet_format.h"
#include "tests/dataset/index_support.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;
using E = std::vector<std::uint32_t>;

TEST(IndexLifecycleTest, OrderedInsertionGrowsBy50AndCountsEveryChange) {
  std::vector<std::optional<std::string>> words;
  for (int i = 0; i < 60; ++i) words.emplace_back(i % 2 ? "B" : "A");
  auto table = LoadTable(HeadwordRows(words));
  DSIDX index(table.get(), IndexKind::kPlain);
  ASSERT_EQ(index.Define(KeyOn("KSZOVEG", {kKszoveg})), 0);
  EXPECT_EQ(index.Capacity(), 0u);
  ASSERT_EQ(index.Insert(2), 0);  // B
  EXPECT_EQ(index.Capacity(), 50u);
  ASSERT_EQ(index.Insert(1), 0);  // A before B
  ASSERT_EQ(index.Insert(4), 0);  // B after the B already there
  ASSERT_EQ(index.Insert(3), 0);  // A after the A already there
  EXPECT_EQ(EntriesOf(index), (E{1, 3, 2, 4}));
  for (std::uint32_t r = 5; r <= 51; ++r) ASSERT_EQ(index.Insert(r), 0);
  EXPECT_EQ(index.Count(), 51u);
  EXPECT_EQ(index.Capacity(), 100u);
  EXPECT_EQ(index.ChangeCounter(), 51u);
  index.RemoveAt(1);
  EXPECT_EQ(index.ChangeCounter(), 52u);
  EXPECT_EQ(index.Count(), 50u);

  // A unique index refuses an equal key and keeps what it has.
  DSIDX unique(table.get(), IndexKind::kPlain);
  IndexDescriptor d = KeyOn("U", {kKszoveg});
  d.uniqueness = kIndexUnique;
  ASSERT_EQ(unique.Define(d), 0);
  ASSERT_EQ(unique.Insert(1), 0);
  ASSERT_EQ(unique.Insert(2), 0);
  EXPECT_EQ(unique.Insert(3), dbr::kKeyViolation);
  EXPECT_EQ(EntriesOf(unique), (E{1, 2}));
  EXPECT_EQ(unique.ChangeCounter(), 2u);
}

std::vector<std::uint8_t> U16s(std::initializer_list<std::uint16_t> values) {
  std::vector<std::uint8_t> out;
  for (std::uint16_t v : values) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  return out;
}

PacketParam KeyParam(const char* name, std::initializer_list<std::uint16_t> columns) {
  return PacketParam{name, packet::MakeTypeWord(packet::kTcUInt, 2, packet::kArray), U16s(columns)};
}

TEST(IndexLifecycleTest, PacketDefinesDefaultOrderAndUniqueIndexes) {
  PacketModel m = DictionaryModel(HeadwordRows({"B", "A", "C", "A", "B"}));
  // Headword descending (bit 0x8000), stable; a primary key on Index.
  m.tableParams.push_back(KeyParam("DEFAULT_ORDER", {0x8000 | kKszoveg}));
  m.tableParams.push_back(KeyParam("PRIMARY_KEY", {kIndex}));
  auto table = LoadTable(m);
  EXPECT_EQ(EntriesOf(*IndexesOf(*table).DefaultOrder()), (E{3, 1, 5, 2, 4}));
  std::vector<IndexDescriptor> descs;
  ASSERT_EQ(table->GetIndexDescs(&descs), 0);
  ASSERT_EQ(descs.size(), 3u);
  EXPECT_STREQ(descs[0].name, "DEFAULT_ORDER");
  EXPECT_EQ(descs[0].descending[0], 1);
  EXPECT_EQ(descs[0].keyLength, 41u);
  EXPECT_STREQ(descs[1].name, "PRIMARY_KEY");
  EXPECT_EQ(descs[1].uniqueness, kIndexPrimary);
  EXPECT_STREQ(descs[2].name, "CHANGEINDEX");

  // Equal keys in a packet's unique index make the packet unloadable.
  PacketModel dup = DictionaryModel(HeadwordRows({"A", "A"}));
  dup.tableParams.push_back(KeyParam("UNIQUE_KEY", {kKszoveg}));
  TDSBASE* raw = nullptr;
  ASSERT_EQ(DSBASE_Factory(&raw), 0);
  EngineRef<TDSBASE> bad(raw);
  EXPECT_EQ(bad->AppendData(Encode(dup), true), dbr::kKeyViolation);
}

TEST(IndexLifecycleTest, CreatedIndexesAreNamedAndChosenByName) {
  auto table = LoadTable(HeadwordRows({"B", "A", "C"}));
  IndexDescriptor d = KeyOn("BYINDEX", {kIndex});
  d.descending[0] = 1;
  ASSERT_EQ(table->CreateIndex(d), 0);
  EXPECT_EQ(table->CreateIndex(d), dbr::kInvalidParameter);  // the name is taken
  EXPECT_EQ(table->CreateIndex(KeyOn("", {kIndex})), dbr::kInvalidParameter);
  EXPECT_EQ(table->CreateIndex(KeyOn("MEMO", {kSzovmagy})), dbr::kInvalidFieldType);
  IndexDescriptor u = KeyOn("U", {kFajlnev});  // every file name is null
  u.uniqueness = kIndexUnique;
  EXPECT_EQ(table->CreateIndex(u), dbr::kKeyViolation);
  std::vector<IndexDescriptor> descs;
  ASSERT_EQ(table->GetIndexDescs(&descs), 0);
  ASSERT_EQ(descs.size(), 3u);  // DEFAULT_ORDER, CHANGEINDEX, BYINDEX
  EXPECT_STREQ(descs[2].name, "BYINDEX");
  EXPECT_EQ(descs[2].keyLength, 4u);

  auto cursor = OpenCursor(table.get());
  EXPECT_EQ(cursor->UseIndex("byindex"), dbr::kIndexNotFound);  // case counts
  ASSERT_EQ(cursor->UseIndex("BYINDEX"), 0);
  EXPECT_EQ(Walk(cursor.get()), (E{3, 2, 1}));
  ASSERT_EQ(cursor->UseIndex(""), 0);
  EXPECT_EQ(Walk(cursor.get()), (E{1, 2, 3}));
  IndexDescriptor active;
  ASSERT_EQ(cursor->GetIndexDescriptor(&active), 0);
  EXPECT_STREQ(active.name, "DEFAULT_ORDER");
}

TEST(IndexLifecycleTest, SortRequestsMakeATemporaryIndexThatGoesWithItsCursor) {
  auto table = LoadTable(HeadwordRows({"B", "A", "C"}));
  DSIDX* defaultOrder = IndexesOf(*table).DefaultOrder();
  {
    auto cursor = OpenCursor(table.get());
    EXPECT_EQ(defaultOrder->References(), 2u);  // the table's and the cursor's
    const std::uint32_t head[] = {kKszoveg};
    ASSERT_EQ(cursor->SortByFields(1, head, nullptr, nullptr), 0);
    EXPECT_EQ(defaultOrder->References(), 1u);
    DSIDX* temp = cursor->ActiveIndex();
    EXPECT_TRUE(temp->Temporary());
    EXPECT_STREQ(temp->Descriptor().name, "KSZOVEG");
    EXPECT_EQ(temp->References(), 1u);
    EXPECT_EQ(IndexesOf(*table).All().size(), 3u);
    EXPECT_EQ(Walk(cursor.get()), (E{2, 1, 3}));
    // A temporary index cannot be chosen by name.
    EXPECT_EQ(cursor->UseIndex("KSZOVEG"), dbr::kIndexNotFound);

    // Another request redefines the temporary index in place.
    const std::uint32_t byIndex[] = {kIndex};
    const std::int32_t all[] = {-1};
    ASSERT_EQ(cursor->SortByFields(1, byIndex, all, nullptr), 0);
    EXPECT_EQ(cursor->ActiveIndex(), temp);
    EXPECT_STREQ(temp->Descriptor().name, "Index");
    EXPECT_EQ(Walk(cursor.get()), (E{3, 2, 1}));

    ASSERT_EQ(cursor->UseIndex("DEFAULT_ORDER"), 0);
    EXPECT_EQ(IndexesOf(*table).All().size(), 2u);  // the temporary index is gone
    EXPECT_EQ(defaultOrder->References(), 2u);
  }
  EXPECT_EQ(defaultOrder->References(), 1u);
}

TEST(IndexLifecycleTest, BadSortRequestsLeaveTheOrderAlone) {
  auto table = LoadTable(HeadwordRows({"B", "A", "C"}));
  auto cursor = OpenCursor(table.get());
  ASSERT_EQ(cursor->Advance(2), 0);
  std::uint32_t fields[17];
  std::fill(std::begin(fields), std::end(fields), kKszoveg);
  EXPECT_EQ(cursor->SortByFields(0, fields, nullptr, nullptr), dbr::kInvalidParameter);
  EXPECT_EQ(cursor->SortByFields(1, nullptr, nullptr, nullptr), dbr::kInvalidParameter);
  EXPECT_EQ(cursor->SortByFields(17, fields, nullptr, nullptr), dbr::kInvalidParameter);
  const std::uint32_t zero[] = {0}, beyond[] = {6}, memo[] = {kKszoveg, kSzovmagy};
  EXPECT_EQ(cursor->SortByFields(1, zero, nullptr, nullptr), dbr::kInvalidParameter);
  EXPECT_EQ(cursor->SortByFields(1, beyond, nullptr, nullptr), dbr::kInvalidParameter);
  EXPECT_EQ(cursor->SortByFields(2, memo, nullptr, nullptr), dbr::kInvalidFieldType);
  EXPECT_EQ(cursor->ActiveIndex(), IndexesOf(*table).DefaultOrder());
  EXPECT_EQ(IndexesOf(*table).All().size(), 2u);
  EXPECT_EQ(CurrentRecord(cursor.get()), 2u);
}

TEST(IndexLifecycleTest, ALeadingPartOfTheActiveKeysKeepsTheIndex) {
  auto table = LoadTable(HeadwordRows({"B", "A", "A"}));
  auto cursor = OpenCursor(table.get());
  const std::uint32_t both[] = {kKszoveg, kIndex};
  const std::int32_t flags[] = {0, 1};
  ASSERT_EQ(cursor->SortByFields(2, both, flags, nullptr), 0);
  EXPECT_EQ(Walk(cursor.get()), (E{3, 2, 1}));
  ASSERT_EQ(cursor->Advance(-1), 0);  // on record 1, the last
  const std::uint32_t counter = cursor->ActiveIndex()->ChangeCounter();
  DSIDX* active = cursor->ActiveIndex();
  ASSERT_EQ(cursor->SortByFields(1, both, nullptr, nullptr), 0);
  EXPECT_EQ(cursor->ActiveIndex(), active);
  EXPECT_EQ(active->ChangeCounter(), counter);
  EXPECT_EQ(CurrentRecord(cursor.get()), 1u);
  // A different flag is a different order.
  const std::int32_t ci[] = {1};
  ASSERT_EQ(cursor->SortByFields(1, both, nullptr, ci), 0);
  EXPECT_EQ(active->Descriptor().fieldCount, 1);
  EXPECT_EQ(CurrentRecord(cursor.get()), 1u);
}

TEST(IndexLifecycleTest, ASortRequestCopiesAnIndexLedByTheSameKeys) {
  // 25 equal headwords: a sort would reorder them, a copy of the stable
  // default order keeps record order.
  PacketModel m = DictionaryModel(HeadwordRows(std::vector<std::optional<std::string>>(25, "A")));
  m.tableParams.push_back(KeyParam("DEFAULT_ORDER", {kKszoveg, kIndex}));
  auto table = LoadTable(m);
  IndexDescriptor d = KeyOn("BYINDEX", {kIndex});
  ASSERT_EQ(table->CreateIndex(d), 0);
  auto cursor = OpenCursor(table.get());
  ASSERT_EQ(cursor->UseIndex("BYINDEX"), 0);
  const std::uint32_t head[] = {kKszoveg};
  ASSERT_EQ(cursor->SortByFields(1, head, nullptr, nullptr), 0);
  E recordOrder(25);
  std::iota(recordOrder.begin(), recordOrder.end(), 1);
  EXPECT_EQ(Walk(cursor.get()), recordOrder);
}

}  // namespace
}  // namespace dorvem
