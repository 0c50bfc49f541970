// Collation ranks stand in for collator calls: the orders they give must be
// exactly those of direct calls, and they must follow every change of the
// values they were computed from.
#include <gtest/gtest.h>

#include <random>

#include "dataset/core/byte_layout.h"
#include "dataset/index/index_list.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_format.h"
#include "tests/dataset/index_support.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;

// Hungarian-like headwords in windows-1250 with repeats, case variants,
// blanks, hyphens, apostrophes, empty and null values.
std::vector<std::optional<std::string>> RandomHeadwords(std::size_t n, std::uint32_t seed) {
  static const char* const kPieces[] = {
      "a",    "e",    "o",    "k",  "l",   "c",    "s",    "z",    "d",    "g",    "n",    "A",
      "E",    "O",    "C",    "S",  "Z",   "\xE1", "\xE9", "\xF6", "\xF5", "\xFC", "\xC1", "\xC9",
      "\xD6", "\xD5", "\xDC", "cs", "sz",  "zs",   "gy",   "ny",   "ly",   "ty",   "dz",   "dzs",
      "CS",   "Sz",   "ZS",   "GY", "ccs", "ssz",  " ",    "-",    "'",    "1"};
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int> length(0, 7), percent(0, 99);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::vector<std::optional<std::string>> words;
  for (std::size_t i = 0; i < n; ++i) {
    const int p = percent(rng);
    if (p < 2) {
      words.emplace_back(std::nullopt);
    } else if (p < 10 && !words.empty()) {
      // A repeat, sometimes with its case changed.
      std::optional<std::string> w = words[rng() % words.size()];
      if (w && p < 5)
        for (char& c : *w)
          if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      words.push_back(w);
    } else {
      std::string w;
      for (int k = length(rng); k > 0; --k) w += kPieces[piece(rng)];
      words.emplace_back(w.substr(0, 40));
    }
  }
  return words;
}

struct Orders {
  std::vector<std::uint32_t> sorted, stable, copied;
};

Orders Build(DSBASE* table, bool caseInsensitive, bool descending) {
  IndexDescriptor d = KeyOn("KSZOVEG", {kKszoveg});
  d.caseInsensitive[0] = caseInsensitive;
  d.descending[0] = descending;
  BuiltIndex sorted, stable, copied;
  BuildIndex(table, d, &sorted);
  SetIndexName(&d, "DEFAULT_ORDER");
  BuildIndex(table, d, &stable);
  BuildIndex(table, d, &copied, sorted.index);
  EXPECT_EQ(sorted.status | stable.status | copied.status, 0);
  return {EntriesOf(*sorted.index), EntriesOf(*stable.index), EntriesOf(*copied.index)};
}

TEST(CollationRanksTest, OrdersEqualThoseOfDirectCollatorCalls) {
  auto table = LoadTable(HeadwordRows(RandomHeadwords(3000, 1038)));
  for (bool caseInsensitive : {false, true}) {
    for (bool descending : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "ci=" << caseInsensitive << " desc=" << descending);
      table->Ranks().SetEnabled(false);
      const Orders direct = Build(table.get(), caseInsensitive, descending);
      table->Ranks().SetEnabled(true);
      const Orders ranked = Build(table.get(), caseInsensitive, descending);
      EXPECT_EQ(ranked.sorted, direct.sorted);
      EXPECT_EQ(ranked.stable, direct.stable);
      EXPECT_EQ(ranked.copied, direct.copied);
    }
  }
}

TEST(CollationRanksTest, RanksAreEqualExactlyWhenTheCollatorSaysEqual) {
  const auto words = RandomHeadwords(1500, 7);
  auto table = LoadTable(HeadwordRows(words));
  for (std::uint32_t flags : {0u, locale::kIgnoreCase}) {
    const std::uint32_t* ranks = table->Ranks().Get(*table.get(), kKszoveg, 1038, flags);
    ASSERT_NE(ranks, nullptr);
    std::mt19937 rng(flags);
    for (int k = 0; k < 40000; ++k) {
      const std::size_t a = rng() % words.size(), b = rng() % words.size();
      if (!words[a] || !words[b]) {
        EXPECT_EQ(ranks[a] == 0, !words[a]);
        continue;
      }
      const int c =
          locale::CompareStringA(1038, flags, words[a]->c_str(), -1, words[b]->c_str(), -1) -
          locale::kEqual;
      EXPECT_EQ((ranks[a] > ranks[b]) - (ranks[a] < ranks[b]), c)
          << "'" << *words[a] << "' vs '" << *words[b] << "'";
    }
  }
}

// A packet whose header says where its rows start, as a further packet of
// the same table must.
std::vector<std::uint8_t> FurtherPacket(const std::vector<DictRow>& rows) {
  std::vector<std::uint8_t> bytes = Encode(DictionaryModel(rows));
  const std::size_t rowStart = Encode(DictionaryModel({})).size();
  StoreU32(bytes.data() + packet::kOffFlags, packet::kFlagMetaData | packet::kFlagRowDataOffset);
  StoreU16(bytes.data() + packet::kOffRowDataOffset, static_cast<std::uint16_t>(rowStart));
  return bytes;
}

TEST(CollationRanksTest, ChangedValuesAndAddedRowsDropTheRanks) {
  PacketModel first = DictionaryModel(HeadwordRows({"C", "A", "B"}));
  TDSBASE* raw = nullptr;
  ASSERT_EQ(DSBASE_Factory(&raw), 0);
  EngineRef<DSBASE> table(static_cast<DSBASE*>(raw));
  ASSERT_EQ(table->AppendData(Encode(first), false), 0);

  auto order = [&] {
    BuiltIndex idx;
    BuildIndex(table.get(), KeyOn("KSZOVEG", {kKszoveg}), &idx);
    EXPECT_EQ(idx.status, 0);
    return EntriesOf(*idx.index);
  };
  using E = std::vector<std::uint32_t>;
  EXPECT_EQ(order(), (E{2, 3, 1}));
  EXPECT_EQ(order(), (E{2, 3, 1}));
  EXPECT_EQ(table->Ranks().Computations(), 1u);  // kept between builds

  // A stored value changes: "C" becomes "0" and sorts first.
  char value[41] = "0";
  ASSERT_EQ(table->PutFieldValue(1, kKszoveg, value), 0);
  EXPECT_EQ(order(), (E{1, 2, 3}));
  // A null flag changes: record 3 becomes null.
  ASSERT_EQ(table->SetFieldStatus(3, kKszoveg, kNullFlagBlank), 0);
  EXPECT_EQ(order(), (E{3, 1, 2}));
  EXPECT_EQ(table->Ranks().Computations(), 3u);
  // A value of another column leaves the headword ranks alone.
  std::int32_t index = 9;
  ASSERT_EQ(table->PutFieldValue(1, kIndex, &index), 0);
  EXPECT_EQ(order(), (E{3, 1, 2}));
  EXPECT_EQ(table->Ranks().Computations(), 3u);

  // Rows of a further packet: new records need new ranks.
  ASSERT_EQ(table->AppendData(FurtherPacket(HeadwordRows({"/", "AA"})), true), 0);
  ASSERT_EQ(table->RecordCount(), 5u);
  EXPECT_EQ(order(), (E{3, 4, 1, 2, 5}));
  EXPECT_EQ(table->Ranks().Computations(), 4u);
}

}  // namespace
}  // namespace dorvem
