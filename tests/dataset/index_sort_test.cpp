// The order of equal keys: the sort of a whole index (not stable, fixed to
// the last swap) against the paths that keep arrival order.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "dataset/index/entry_sort.h"
#include "dataset/index/lazy_order.h"
#include "dataset/store/collation_ranks.h"
#include "tests/dataset/index_support.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;

// Sorts records 1..n that all compare equal, counting comparisons.
std::vector<std::uint32_t> SortEqual(std::uint32_t n, int* comparisons = nullptr) {
  std::vector<std::uint32_t> e(n + 2);
  std::iota(e.begin(), e.end(), 0);
  e[n + 1] = 0xFFFFFFFF;
  int count = 0;
  SortEntries(e.data(), n, [&](std::uint32_t x, std::uint32_t y) {
    ++count;
    if (x == 0 || y == 0xFFFFFFFF) return x != y;
    return false;
  });
  if (comparisons) *comparisons = count;
  return {e.begin() + 1, e.end() - 1};
}

const std::vector<std::uint32_t> kTwentyFiveEqual = {
    20, 15, 16, 17, 18, 19, 14, 21, 22, 23, 24, 25, 1, 7, 2, 3, 4, 5, 6, 13, 8, 9, 10, 11, 12};
const std::vector<std::uint32_t> kElevenEqual = {7, 11, 10, 9, 8, 1, 6, 5, 4, 3, 2};

TEST(IndexSortTest, EqualKeysEndWhereTheSortLeavesThem) {
  std::vector<std::uint32_t> ten(10);
  std::iota(ten.begin(), ten.end(), 1);
  EXPECT_EQ(SortEqual(10), ten);  // only the insertion pass runs
  EXPECT_EQ(SortEqual(11), kElevenEqual);
  EXPECT_EQ(SortEqual(25), kTwentyFiveEqual);

  int comparisons = -1;
  EXPECT_EQ(SortEqual(0, &comparisons), std::vector<std::uint32_t>{});
  EXPECT_EQ(comparisons, 0);
  EXPECT_EQ(SortEqual(1, &comparisons), std::vector<std::uint32_t>{1});
  EXPECT_EQ(comparisons, 0);
}

TEST(IndexSortTest, SortsAnyInputIntoOrderKeepingEveryEntry) {
  std::mt19937 rng(5);
  for (std::uint32_t n : {2u, 3u, 11u, 12u, 13u, 50u, 1000u}) {
    for (int round = 0; round < 20; ++round) {
      // Keys with many repeats; entries are (key, id) pairs sorted by key.
      std::vector<std::uint64_t> e(n + 2);
      std::uniform_int_distribution<std::uint64_t> key(1, n / 3 + 1);
      for (std::uint32_t i = 1; i <= n; ++i) e[i] = (key(rng) << 32) | i;
      e[0] = 0;
      e[n + 1] = ~0ull;
      std::vector<std::uint64_t> before(e.begin() + 1, e.end() - 1);
      SortEntries(e.data(), n,
                  [](std::uint64_t x, std::uint64_t y) { return (x >> 32) < (y >> 32); });
      std::vector<std::uint64_t> after(e.begin() + 1, e.end() - 1);
      EXPECT_TRUE(std::is_sorted(after.begin(), after.end(),
                                 [](auto x, auto y) { return (x >> 32) < (y >> 32); }));
      std::sort(before.begin(), before.end());
      std::sort(after.begin(), after.end());
      EXPECT_EQ(before, after);
      EXPECT_EQ(e[0], 0u);
      EXPECT_EQ(e[n + 1], ~0ull);
    }
  }
}

std::vector<std::optional<std::string>> Same(std::size_t n, const std::string& word) {
  return std::vector<std::optional<std::string>>(n, word);
}

TEST(IndexSortTest, HeadwordIndexOfEqualHeadwordsFollowsTheSortWithRanksAndWithout) {
  for (bool ranks : {true, false}) {
    SCOPED_TRACE(ranks ? "ranks" : "direct");
    for (auto [n, expected] :
         {std::pair{std::size_t{25}, kTwentyFiveEqual}, std::pair{std::size_t{11}, kElevenEqual}}) {
      auto table = LoadTable(HeadwordRows(Same(n, "ALLEGRO")));
      table->Ranks().SetEnabled(ranks);
      BuiltIndex idx;
      BuildIndex(table.get(), KeyOn("KSZOVEG", {kKszoveg}), &idx);
      ASSERT_EQ(idx.status, 0);
      EXPECT_EQ(EntriesOf(*idx.index), expected);
      EXPECT_EQ(table->Ranks().Computations(), ranks ? 1u : 0u);
    }
  }
}

TEST(IndexSortTest, DefaultOrderAndCopiesKeepArrivalOrderOfEqualKeys) {
  auto table = LoadTable(HeadwordRows(Same(25, "ALLEGRO")));
  std::vector<std::uint32_t> recordOrder(25);
  std::iota(recordOrder.begin(), recordOrder.end(), 1);

  // Stable: "DEFAULT_ORDER" with key fields inserts record by record.
  BuiltIndex stable;
  BuildIndex(table.get(), KeyOn("DEFAULT_ORDER", {kKszoveg}), &stable);
  ASSERT_EQ(stable.status, 0);
  EXPECT_EQ(EntriesOf(*stable.index), recordOrder);

  // A copy from a source keeps the source's order of equal keys.
  BuiltIndex sorted, copy;
  BuildIndex(table.get(), KeyOn("KSZOVEG", {kKszoveg}), &sorted);
  BuildIndex(table.get(), KeyOn("KSZOVEG", {kKszoveg}), &copy, sorted.index);
  ASSERT_EQ(copy.status, 0);
  EXPECT_EQ(EntriesOf(*copy.index), kTwentyFiveEqual);

  // Without key fields a source changes nothing: record order.
  BuiltIndex none;
  BuildIndex(table.get(), KeyOn("X", {}), &none, sorted.index);
  EXPECT_EQ(EntriesOf(*none.index), recordOrder);
}

TEST(IndexSortTest, KeyOnHeadwordThenIndexOrdersEqualHeadwordsByIndex) {
  // Equal headwords with Index values in falling order.
  std::vector<DictRow> rows;
  for (int i = 0; i < 15; ++i) rows.push_back({{}, i % 2 ? "B" : "A", {}, {}, 100 - i});
  auto table = LoadTable(rows);
  BuiltIndex idx;
  BuildIndex(table.get(), KeyOn("KSZOVEG", {kKszoveg, kIndex}), &idx);
  ASSERT_EQ(idx.status, 0);
  EXPECT_EQ(EntriesOf(*idx.index),
            (std::vector<std::uint32_t>{15, 13, 11, 9, 7, 5, 3, 1, 14, 12, 10, 8, 6, 4, 2}));
}

TEST(IndexSortTest, EmptyTableAndSingleRecordGiveEmptyAndSingleIndexes) {
  auto empty = LoadTable(HeadwordRows({}));
  BuiltIndex a;
  BuildIndex(empty.get(), KeyOn("KSZOVEG", {kKszoveg}), &a);
  EXPECT_EQ(a.status, 0);
  EXPECT_EQ(a.index->Count(), 0u);
  EXPECT_EQ(empty->Ranks().Computations(), 0u);  // nothing was compared

  auto one = LoadTable(HeadwordRows({"ADAGIO"}));
  BuiltIndex b;
  BuildIndex(one.get(), KeyOn("KSZOVEG", {kKszoveg}), &b);
  EXPECT_EQ(EntriesOf(*b.index), std::vector<std::uint32_t>{1});
}

// The lazy sort against the whole sort: the same record in every slot, equal
// keys included, whichever slots are asked for first and in what order.
TEST(IndexSortTest, LazyOrderGivesTheWholeSortsOrderInAnyOrderOfReading) {
  std::mt19937 rng(11);
  const auto less = [](std::uint64_t x, std::uint64_t y) { return (x >> 32) < (y >> 32); };
  for (std::uint32_t n : {1u, 10u, 11u, 12u, 40u, 1000u, 5000u}) {
    for (int round = 0; round < 12; ++round) {
      SCOPED_TRACE(::testing::Message() << "n=" << n << " round=" << round);
      std::vector<std::uint64_t> e(n + 2);
      // Few distinct keys in some rounds (long runs of equal keys), many in
      // others.
      std::uniform_int_distribution<std::uint64_t> key(1, round % 3 == 0 ? 3 : n / 2 + 1);
      std::vector<std::uint32_t> records(n);
      std::iota(records.begin(), records.end(), 1);
      std::shuffle(records.begin(), records.end(), rng);
      for (std::uint32_t i = 1; i <= n; ++i) e[i] = (key(rng) << 32) | records[i - 1];
      e[0] = 0;
      e[n + 1] = ~0ull;
      std::vector<std::uint64_t> whole = e;
      SortEntries(whole.data(), n, less);

      std::vector<std::uint32_t> out(n + 2, 0);
      LazyOrder lazy(SortPairs(e.begin(), e.end()), out.data());
      // Read some slots in random order, find a few records, then the rest.
      std::uniform_int_distribution<std::uint32_t> slot(1, n);
      for (int k = 0; k < 5; ++k) {
        const std::uint32_t pos = slot(rng);
        lazy.Resolve(pos);
        ASSERT_TRUE(lazy.IsFinal(pos));
        EXPECT_EQ(out[pos], static_cast<std::uint32_t>(whole[pos]));
      }
      for (int k = 0; k < 3; ++k) {
        const std::uint32_t pos = slot(rng);
        EXPECT_EQ(lazy.FindRecord(static_cast<std::uint32_t>(whole[pos])), pos);
      }
      EXPECT_EQ(lazy.FindRecord(n + 5), 0u);
      // A few marked records: each ends in the slot the whole sort gives
      // it, and the marked records of the final slots, in slot order, are
      // those of the whole sort.
      std::vector<std::uint64_t> marked(n / 64 + 1, 0);
      std::vector<std::uint32_t> wholeMarked, lazyMarked;
      for (int k = 0; k < 4; ++k) {
        const std::uint32_t r = records[rng() % n] - 1;
        marked[r >> 6] |= std::uint64_t{1} << (r & 63);
      }
      const auto isMarked = [&marked](std::uint64_t entry) {
        const auto r = static_cast<std::uint32_t>(entry) - 1;
        return ((marked[r >> 6] >> (r & 63)) & 1) != 0;
      };
      lazy.ResolveMarked(marked);
      for (std::uint32_t pos = 1; pos <= n; ++pos) {
        if (isMarked(whole[pos])) wholeMarked.push_back(static_cast<std::uint32_t>(whole[pos]));
        if (lazy.IsFinal(pos) && isMarked(out[pos])) lazyMarked.push_back(out[pos]);
        if (lazy.IsFinal(pos)) {
          ASSERT_EQ(out[pos], static_cast<std::uint32_t>(whole[pos]));
        }
      }
      EXPECT_EQ(lazyMarked, wholeMarked);
      lazy.ResolveAll();
      EXPECT_TRUE(lazy.Done());
      for (std::uint32_t pos = 1; pos <= n; ++pos)
        ASSERT_EQ(out[pos], static_cast<std::uint32_t>(whole[pos])) << "slot " << pos;
    }
  }
}

TEST(IndexSortTest, HeadwordIndexLeftUnsortedReadsAsTheSortedOne) {
  // Equal and distinct headwords: the index built with ranks may leave its
  // sort unfinished; reading it gives the order of a finished sort.
  std::vector<std::optional<std::string>> words;
  for (int i = 0; i < 60; ++i)
    words.push_back(i % 4 == 0 ? "ALLEGRO" : "W" + std::to_string(i % 9));
  auto table = LoadTable(HeadwordRows(words));
  BuiltIndex lazy, copy;
  BuildIndex(table.get(), KeyOn("KSZOVEG", {kKszoveg}), &lazy);
  ASSERT_EQ(lazy.status, 0);
  // A copy settles its source first and then takes its entries in order.
  BuildIndex(table.get(), KeyOn("KSZOVEG", {kKszoveg}), &copy, lazy.index);
  EXPECT_FALSE(lazy.index->Unsettled());
  EXPECT_EQ(EntriesOf(*copy.index), EntriesOf(*lazy.index));
  // The order of records 1, 5, 9, ... (all "ALLEGRO") as the whole sort of
  // those pairs leaves it, then W1..W8 in ascending order.
  std::vector<std::uint32_t> got = EntriesOf(*lazy.index);
  ASSERT_EQ(got.size(), 60u);
  for (std::size_t i = 0; i < 15; ++i) EXPECT_EQ((got[i] - 1) % 4, 0u) << i;
  for (std::size_t i = 15; i + 1 < got.size(); ++i)
    EXPECT_LE(*words[got[i] - 1], *words[got[i + 1] - 1]) << i;
}

}  // namespace
}  // namespace dorvem
