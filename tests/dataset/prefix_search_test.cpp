// The search over the byte order finds exactly the records whose first N
// characters the collator calls equal to the constant, in every locale and
// case mode, and gives up rather than walk too long.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "dataset/cursor/cursor.h"
#include "dataset/eval/prefix_matcher.h"
#include "dataset/eval/prefix_search.h"
#include "dataset/host/client_dataset.h"
#include "dataset/locale/collator.h"
#include "dataset/locale/locale_services.h"
#include "tests/dataset/index_support.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;

// Contraction letters in both cases, accented letters, controls, the soft
// hyphen, blanks, punctuation and digits (windows-125x bytes).
const std::string kAlphabet =
    "CSZDGLNTYHKAEOcszdglntyhkaeo\xC1\xC9\xD6\xDC\xD5\xE1\xE9\xF6\xFC\xF5\x8A\x9A\xC8\xE8"
    "\x01\x02\xAD\x7F -'.019";

std::string RandomText(std::mt19937& rng, std::size_t maxLength) {
  std::uniform_int_distribution<std::size_t> length(0, maxLength), pick(0, kAlphabet.size() - 1);
  std::string s(length(rng), ' ');
  for (char& c : s) c = kAlphabet[pick(rng)];
  return s;
}

bool CollatorSays(const locale::Collator& c, const std::string& value, const std::string& t) {
  const std::size_t n = std::min(value.size(), t.size());
  return c.CompareA(value.data(), static_cast<int>(n), t.data(), static_cast<int>(t.size())) ==
         locale::kEqual;
}

std::vector<std::uint32_t> Marked(const std::vector<std::uint64_t>& bits) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i < bits.size() * 64; ++i)
    if ((bits[i / 64] >> (i % 64)) & 1) out.push_back(static_cast<std::uint32_t>(i + 1));
  return out;
}

TEST(PrefixSearchTest, FindsExactlyTheRecordsTheCollatorCallsEqual) {
  std::mt19937 rng(1622);
  int searches = 0;
  for (locale::LCID lcid : {1038u, 1029u, 1051u, 1033u, 1031u, 1055u, 1050u}) {
    for (std::uint32_t flags : {0u, locale::kIgnoreCase}) {
      const locale::Collator* c = locale::Collator::For(lcid, flags);
      if (c == nullptr) continue;
      // Values that share leading parts with each other and with the
      // constants, repeats, empty values and nulls.
      std::vector<std::string> stems;
      for (int i = 0; i < 12; ++i) stems.push_back(RandomText(rng, 4));
      std::vector<std::optional<std::string>> words;
      std::uniform_int_distribution<int> percent(0, 99);
      std::uniform_int_distribution<std::size_t> stem(0, stems.size() - 1);
      for (int i = 0; i < 700; ++i) {
        const int p = percent(rng);
        if (p < 3)
          words.emplace_back(std::nullopt);
        else if (p < 8 && !words.empty())
          words.push_back(words[rng() % words.size()]);
        else
          words.emplace_back(stems[stem(rng)] + RandomText(rng, 5));
      }
      auto table = LoadTable(HeadwordRows(words), lcid);
      std::uint32_t count = 0;
      // Every search notes first places in one table, as the filter's do.
      std::uint32_t* firstByteStarts = nullptr;
      const std::uint32_t* order =
          table->Ranks().ByteOrder(*table, kKszoveg, &count, &firstByteStarts);
      ASSERT_NE(order, nullptr);
      ASSERT_EQ(count,
                static_cast<std::uint32_t>(std::count_if(
                    words.begin(), words.end(), [](const auto& w) { return w.has_value(); })));
      for (int i = 0; i < 40; ++i) {
        std::string t = stems[stem(rng)].substr(0, 1 + rng() % 3) + RandomText(rng, 2);
        if (t.empty()) t = "C";
        SCOPED_TRACE(::testing::Message()
                     << "lcid " << lcid << " flags " << flags << " T '" << t << "'");
        std::vector<std::uint32_t> expected;
        for (std::uint32_t r = 1; r <= words.size(); ++r)
          if (words[r - 1] && CollatorSays(*c, *words[r - 1], t)) expected.push_back(r);
        eval::PrefixMatcher matcher(c, t);
        std::vector<std::uint64_t> bits;
        ASSERT_TRUE(eval::FindPrefixMatches(matcher, *table, kKszoveg, order, count, 1u << 30,
                                            &bits, firstByteStarts));
        EXPECT_EQ(Marked(bits), expected);
        ++searches;
      }
    }
  }
  EXPECT_GT(searches, 400);
}

TEST(PrefixSearchTest, GivesUpBeyondItsBudget) {
  std::vector<std::optional<std::string>> words;
  for (int i = 0; i < 100; ++i) words.emplace_back("A" + std::to_string(1000 + i));
  auto table = LoadTable(HeadwordRows(words));
  std::uint32_t count = 0;
  const std::uint32_t* order = table->Ranks().ByteOrder(*table, kKszoveg, &count);
  ASSERT_EQ(count, 100u);
  eval::PrefixMatcher matcher(locale::Collator::For(1038, 0), "A10");
  std::vector<std::uint64_t> bits;
  // Runs: the whole, "A", "A1"; the run "A10" is settled whole there.
  EXPECT_FALSE(eval::FindPrefixMatches(matcher, *table, kKszoveg, order, count, 2, &bits));
  ASSERT_TRUE(eval::FindPrefixMatches(matcher, *table, kKszoveg, order, count, 4, &bits));
  std::vector<std::uint32_t> expected(100);
  for (std::uint32_t r = 1; r <= 100; ++r) expected[r - 1] = r;
  EXPECT_EQ(Marked(bits), expected);
}

TEST(PrefixSearchTest, ByteOrderSortsValuesThatShareEightBytesByTheRest) {
  // By bytes, a value that ends first comes first; equal values by record.
  auto table = LoadTable(HeadwordRows({"ABCDEFGHZ", "ABCDEFGHA", "ABCDEFGH", "ABCDEFGHA", "ABCDEFG",
                                       std::nullopt, "ABCDEFGHAB", "ABCDEFGG"}));
  std::uint32_t count = 0;
  const std::uint32_t* order = table->Ranks().ByteOrder(*table, kKszoveg, &count);
  ASSERT_NE(order, nullptr);
  EXPECT_EQ(std::vector<std::uint32_t>(order, order + count),
            (std::vector<std::uint32_t>{5, 8, 3, 2, 4, 7, 1}));
}

// The search as the window runs it, on a table large enough for the byte
// order to answer, against the same dataset with ranks and byte orders
// switched off (every record asked, as before): the same records in the
// same order, equal headwords included, after each keystroke and after the
// filter is switched off and on (which copies the headword order).
TEST(PrefixSearchTest, LargeDatasetSearchesGiveTheRecordByRecordOrder) {
  const char* const pieces[] = {"A",    "AL",  "LE", "GRO", "C",  "CS", "CZ",   "D",
                                "DZ",   "DZS", "GY", "NY",  "SZ", "ZS", "\xC1", "\xC9",
                                "\xD6", " ",   "-",  "O",   "T",  "R",  "E",    "."};
  std::mt19937 rng(25000);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1), parts(1, 5);
  std::vector<std::optional<std::string>> words;
  for (int i = 0; i < 26000; ++i) {
    if (i % 50 == 7) {
      words.emplace_back(std::nullopt);
    } else if (i % 9 == 4) {
      words.push_back(words[rng() % words.size()]);  // equal headwords
    } else {
      std::string w;
      for (std::size_t k = parts(rng); k > 0; --k) w += pieces[piece(rng)];
      words.emplace_back(w);
    }
  }
  // Some rows are hidden: kept in the data, never listed by a search.
  PacketModel model = DictionaryModel(HeadwordRows(words));
  auto hidden = [](std::size_t i) { return i % 97 == 3; };
  for (std::size_t i = 0; i < model.rows.size(); ++i)
    if (hidden(i)) model.rows[i].status = 0x01;
  TempFile file(Encode(model));
  TClientDataSet fast("fast"), slow("slow");
  for (TClientDataSet* ds : {&fast, &slow}) {
    ds->SetFileName(file.Path());
    ds->SetIndexFieldNames("KSZOVEG");
    ds->SetFilter("KSZOVEG='.*'");
    ds->SetFiltered(true);
    ds->Open();
  }
  static_cast<DSCursor*>(slow.Cursor())->Table()->Ranks().SetEnabled(false);
  const locale::Collator* hu = locale::Collator::For(1038, 0);
  auto rows = [](TClientDataSet& ds) {
    std::vector<std::string> out;
    ds.GoFirst();
    while (!ds.IsEmpty()) {
      out.push_back(ds.FieldByName("Index")->AsString());
      ds.GoNext();
      if (ds.AtEnd()) break;
    }
    return out;
  };
  for (const char* text : {"A", "AL", "C", "CS", "CZ", "D", "DZ", "DZS", "GY", "\xC1", ".", "-",
                           "ALLEGRO", "Q", "A ", "SZ"}) {
    SCOPED_TRACE(text);
    for (TClientDataSet* ds : {&fast, &slow}) {
      ds->SetFilterOptions(0);
      ds->SetFilter(std::string("KSZOVEG='") + text + "*'");
    }
    const std::vector<std::string> got = rows(fast);
    EXPECT_EQ(got, rows(slow));
    std::size_t expected = 0;
    for (std::size_t i = 0; i < words.size(); ++i)
      expected += !hidden(i) && words[i] && CollatorSays(*hu, *words[i], text);
    EXPECT_EQ(got.size(), expected);
    // Switched off and on: the filter is applied to a copy of the order.
    for (TClientDataSet* ds : {&fast, &slow}) {
      ds->SetFiltered(false);
      ds->SetFiltered(true);
    }
    EXPECT_EQ(rows(fast), got);
    EXPECT_EQ(rows(slow), got);
  }
}

}  // namespace
}  // namespace dorvem
