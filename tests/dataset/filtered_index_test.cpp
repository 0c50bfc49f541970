// A cursor's filtered order, built and rebuilt through the cursor with a
// trivial filter list: which path each rebuild takes (visible in the order
// of equal keys), and the cursor keeping its record while it passes.
#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "dataset/index/dsidxfilt.h"
#include "dataset/index/entry_sort.h"
#include "dataset/index/index_list.h"
#include "tests/dataset/index_support.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;
using E = std::vector<std::uint32_t>;

// Accepts the records of a set the test changes at will.
class SetFilter final : public RecordFilter {
 public:
  explicit SetFilter(std::set<std::uint32_t>* accepted) : accepted_(accepted) {}
  bool Accepts(std::uint32_t record) override { return accepted_->count(record) != 0; }
  bool Empty() const override { return accepted_->empty(); }

 private:
  std::set<std::uint32_t>* accepted_;
};

std::set<std::uint32_t> Range(std::uint32_t from, std::uint32_t to) {
  std::set<std::uint32_t> s;
  for (std::uint32_t r = from; r <= to; ++r) s.insert(r);
  return s;
}

// The order the sort leaves records 1..n with equal keys in.
E SortedEqual(std::uint32_t n) {
  E e(n + 2);
  std::iota(e.begin(), e.end(), 0);
  SortEntries(e.data(), n, [](std::uint32_t x, std::uint32_t y) {
    return x != y && (x == 0 || y == 0xFFFFFFFF);
  });
  return {e.begin() + 1, e.end() - 1};
}

E Descending(std::uint32_t from, std::uint32_t to, std::uint32_t skip = 0) {
  E out;
  for (std::uint32_t r = to; r >= from; --r)
    if (r != skip) out.push_back(r);
  return out;
}

class FilteredIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // 25 equal headwords, and a named index that orders them by Index
    // descending: a copy of it (led by the same key) shows 25, 24, ... 1,
    // a sort by headword alone shows another order.
    table_ = LoadTable(HeadwordRows(std::vector<std::optional<std::string>>(25, "LARGO")));
    IndexDescriptor d = KeyOn("HEADIDX", {kKszoveg, kIndex});
    d.descending[1] = 1;
    ASSERT_EQ(table_->CreateIndex(d), 0);
    cursor_ = OpenCursor(table_.get());
    const std::uint32_t head[] = {kKszoveg};
    ASSERT_EQ(cursor_->SortByFields(1, head, nullptr, nullptr), 0);
  }

  void GoTo(std::uint32_t record) {
    EngineBookmark b;
    ASSERT_EQ(cursor_->GetPosition(&b), 0);
    b.record = record;
    b.indexSerial = 0;
    b.status = 0;
    ASSERT_EQ(cursor_->GoToPosition(b), 0);
    ASSERT_EQ(CurrentRecord(cursor_.get()), record);
  }

  EngineRef<DSBASE> table_;
  EngineRef<DSCursor> cursor_;
  std::set<std::uint32_t> accepted_;
};

TEST_F(FilteredIndexTest, FilteringCopiesTheActiveOrderAndKeepsTheRecord) {
  EXPECT_EQ(Walk(cursor_.get()), Descending(1, 25));  // copied from HEADIDX
  GoTo(10);
  DSIDX* plain = cursor_->ActiveIndex();
  const std::size_t indexes = IndexesOf(*table_).All().size();

  accepted_ = Range(1, 25);
  accepted_.erase(5);
  ASSERT_EQ(cursor_->FilterActiveIndex(std::make_unique<SetFilter>(&accepted_)), 0);
  DSIDXFILT* filtered = cursor_->ActiveFilteredIndex();
  ASSERT_NE(filtered, nullptr);
  EXPECT_NE(static_cast<DSIDX*>(filtered), plain);  // the temporary index was released
  EXPECT_EQ(IndexesOf(*table_).All().size(), indexes);
  EXPECT_EQ(filtered->Descriptor().fieldCount, 1);
  EXPECT_EQ(CurrentRecord(cursor_.get()), 10u);
  EXPECT_EQ(Walk(cursor_.get()), Descending(1, 25, 5));

  // Filtering again is a rebuild, not a new index.
  EXPECT_EQ(cursor_->FilterActiveIndex(std::make_unique<SetFilter>(&accepted_)),
            dbr::kNotApplicable);
}

TEST_F(FilteredIndexTest, AddedFiltersRebuildByTheIndexsOwnPath) {
  accepted_ = Range(1, 25);
  ASSERT_EQ(cursor_->FilterActiveIndex(std::make_unique<SetFilter>(&accepted_)), 0);
  GoTo(10);

  // Narrower: sorted anew from the passing records in record order.
  accepted_ = Range(1, 12);
  ASSERT_EQ(cursor_->RebuildFilteredIndex(FilterChange::kAdded), 0);
  EXPECT_EQ(CurrentRecord(cursor_.get()), 10u);
  std::uint32_t count = 0;
  ASSERT_EQ(cursor_->GetRecordCount(&count), 0);
  EXPECT_EQ(count, 12u);
  E walked = Walk(cursor_.get());
  EXPECT_EQ(walked, SortedEqual(12));
  EXPECT_NE(walked, Descending(1, 12));

  // The cursor's record no longer passes: before the first entry.
  GoTo(10);
  accepted_ = Range(1, 8);
  ASSERT_EQ(cursor_->RebuildFilteredIndex(FilterChange::kAdded), 0);
  EXPECT_EQ(cursor_->Advance(0), dbr::kAtBeginning);
}

TEST_F(FilteredIndexTest, RemovedFiltersRebuildFromAPlainIndexWithTheSameKeys) {
  accepted_ = Range(1, 12);
  ASSERT_EQ(cursor_->FilterActiveIndex(std::make_unique<SetFilter>(&accepted_)), 0);
  ASSERT_EQ(cursor_->RebuildFilteredIndex(FilterChange::kAdded), 0);
  GoTo(3);
  accepted_ = Range(2, 12);
  ASSERT_EQ(cursor_->RebuildFilteredIndex(FilterChange::kRemoved), 0);
  EXPECT_EQ(Walk(cursor_.get()), Descending(2, 12));
  // An empty list goes away: every record shows, copied from HEADIDX.
  GoTo(3);
  accepted_.clear();
  ASSERT_EQ(cursor_->RebuildFilteredIndex(FilterChange::kRemoved), 0);
  EXPECT_EQ(cursor_->ActiveFilteredIndex()->Filters(), nullptr);
  EXPECT_EQ(CurrentRecord(cursor_.get()), 3u);
  EXPECT_EQ(Walk(cursor_.get()), Descending(1, 25));
}

TEST_F(FilteredIndexTest, NewOrdersRedefineTheFilteredIndexKeepingItsFilters) {
  accepted_ = {2, 4, 6};
  ASSERT_EQ(cursor_->FilterActiveIndex(std::make_unique<SetFilter>(&accepted_)), 0);
  DSIDXFILT* filtered = cursor_->ActiveFilteredIndex();
  const std::uint32_t byIndex[] = {kIndex};
  ASSERT_EQ(cursor_->SortByFields(1, byIndex, nullptr, nullptr), 0);
  EXPECT_EQ(cursor_->ActiveFilteredIndex(), filtered);
  EXPECT_EQ(Walk(cursor_.get()), (E{2, 4, 6}));
  ASSERT_EQ(cursor_->UseIndex("HEADIDX"), 0);
  EXPECT_EQ(cursor_->ActiveFilteredIndex(), filtered);
  EXPECT_STREQ(filtered->Descriptor().name, "HEADIDX");
  EXPECT_EQ(Walk(cursor_.get()), (E{6, 4, 2}));

  // A plain cursor has nothing to rebuild.
  auto other = OpenCursor(table_.get());
  EXPECT_EQ(other->RebuildFilteredIndex(FilterChange::kAdded), dbr::kNotApplicable);
}

}  // namespace
}  // namespace dorvem
