#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "dataset/locale/locale_services.h"

namespace dorvem {
namespace {

using locale::CompareStringA;
using locale::kIgnoreCase;
using locale::SortKeyA;

constexpr locale::LCID kHungarian = 1038;

std::vector<std::uint8_t> KeyOf(const std::string& s, std::uint32_t flags) {
  std::vector<std::uint8_t> key;
  EXPECT_TRUE(SortKeyA(kHungarian, flags, s.c_str(), -1, &key));
  return key;
}

// -1, 0 or 1 as unsigned byte strings compare: memcmp, then the shorter first.
int KeyOrder(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c != 0) return c < 0 ? -1 : 1;
  return (a.size() > b.size()) - (a.size() < b.size());
}

// Hungarian-like words in windows-1250: accented letters, the digraphs and
// doubled digraphs, spaces, apostrophes and hyphens, in mixed case.
class WordMaker {
 public:
  std::string Make() {
    static const char* const kPieces[] = {
        "a",    "b",    "c",    "d",    "e",    "g",    "k",    "l",    "m",    "n",
        "o",    "r",    "s",    "t",    "u",    "z",    "A",    "C",    "O",    "S",
        "Z",    "\xE1", "\xE9", "\xED", "\xF3", "\xF6", "\xF5", "\xFA", "\xFC", "\xFB",
        "\xC1", "\xC9", "\xD6", "\xD5", "\xDC", "\xDB", "cs",   "sz",   "zs",   "gy",
        "ny",   "ly",   "ty",   "dz",   "dzs",  "CS",   "Sz",   "ZS",   "Gy",   "ccs",
        "ssz",  "nny",  " ",    "'",    "-",    "1",    "9"};
    std::uniform_int_distribution<int> length(0, 8);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
    std::string word;
    for (int n = length(rng_); n > 0; --n) word += kPieces[piece(rng_)];
    return word;
  }

  // A variant of `word` with the case of some ASCII letters flipped.
  std::string FlipCase(std::string word) {
    std::bernoulli_distribution flip(0.5);
    for (char& ch : word) {
      if (ch >= 'a' && ch <= 'z' && flip(rng_))
        ch = static_cast<char>(ch - 'a' + 'A');
      else if (ch >= 'A' && ch <= 'Z' && flip(rng_))
        ch = static_cast<char>(ch - 'A' + 'a');
    }
    return word;
  }

  std::mt19937& rng() { return rng_; }

 private:
  std::mt19937 rng_{20240611};
};

TEST(SortKeyTest, KeysOrderExactlyAsTheComparisonOnHungarianWords) {
  WordMaker maker;
  std::vector<std::string> words;
  for (int i = 0; i < 1500; ++i) {
    words.push_back(maker.Make());
    if (i % 5 == 0) words.push_back(words.back());                         // equal pair
    if (i % 3 == 0) words.push_back(maker.FlipCase(words.back()));         // case pair
    if (i % 7 == 0) words.push_back(words.back() + (i % 2 ? " " : "  "));  // trailing blanks
  }
  std::shuffle(words.begin(), words.end(), maker.rng());

  for (const std::uint32_t flags : {0u, kIgnoreCase}) {
    std::vector<std::vector<std::uint8_t>> keys;
    for (const auto& w : words) keys.push_back(KeyOf(w, flags));
    int equal = 0;
    // Every word against its neighbours in the shuffled list and in sorted
    // order, where the close (and equal) pairs meet.
    std::vector<std::size_t> order(words.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](std::size_t x, std::size_t y) { return KeyOrder(keys[x], keys[y]) < 0; });
    for (std::size_t k = 0; k + 1 < words.size(); ++k) {
      for (const auto& [i, j] : {std::pair{order[k], order[k + 1]}, std::pair{k, k + 1}}) {
        const int compared =
            CompareStringA(kHungarian, flags, words[i].c_str(), -1, words[j].c_str(), -1);
        ASSERT_NE(compared, locale::kCompareFailed);
        ASSERT_EQ(KeyOrder(keys[i], keys[j]), compared - locale::kEqual)
            << "'" << words[i] << "' / '" << words[j] << "' flags " << flags;
        equal += compared == locale::kEqual;
      }
    }
    EXPECT_GT(equal, 100) << "the words should include many equal pairs";
  }
}

TEST(SortKeyTest, CaseAndTrailingBlanksShowInTheKeys) {
  EXPECT_NE(KeyOf("\xE9nek", 0), KeyOf("\xC9NEK", 0));
  EXPECT_EQ(KeyOf("\xE9nek", kIgnoreCase), KeyOf("\xC9NEK", kIgnoreCase));
  EXPECT_NE(KeyOf("ab  ", kIgnoreCase), KeyOf("ab", kIgnoreCase));
}

TEST(SortKeyTest, KeysAppendAndFailuresLeaveTheOutputAlone) {
  std::vector<std::uint8_t> out = {7, 7};
  ASSERT_TRUE(SortKeyA(kHungarian, 0, "csak", -1, &out));
  const auto key = KeyOf("csak", 0);
  ASSERT_EQ(out.size(), 2 + key.size());
  EXPECT_TRUE(std::equal(key.begin(), key.end(), out.begin() + 2));
  EXPECT_EQ(key.back() != 0, true) << "no terminating zero";

  const auto before = out;
  EXPECT_FALSE(SortKeyA(0x0FFF, 0, "csak", -1, &out));
  EXPECT_FALSE(SortKeyA(kHungarian, 0, nullptr, -1, &out));
  EXPECT_FALSE(SortKeyA(kHungarian, 0, "csak", -5, &out));
  EXPECT_EQ(out, before);
}

TEST(SortKeyTest, LongAndExpandingStringsGetWholeKeys) {
  // ß expands to two letters, so its key outgrows the first size guess.
  const std::string sharpS(300, '\xDF');
  const std::string ss(600, 's');
  const std::string longWord = std::string(2000, 'a') + "cs";
  for (const std::uint32_t flags : {0u, kIgnoreCase}) {
    for (const auto& [a, b] :
         {std::pair{sharpS, ss}, std::pair{sharpS + "a", ss + "b"},
          std::pair{sharpS + "a", sharpS + "A"}, std::pair{longWord, longWord + " "}}) {
      const int compared = CompareStringA(kHungarian, flags, a.c_str(), -1, b.c_str(), -1);
      EXPECT_EQ(KeyOrder(KeyOf(a, flags), KeyOf(b, flags)), compared - locale::kEqual);
    }
  }
}

}  // namespace
}  // namespace dorvem
