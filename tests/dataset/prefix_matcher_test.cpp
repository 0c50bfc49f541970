// The prefix matcher answers exactly as the collator does, in every locale,
// while asking it only where the bytes cannot decide.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "dataset/eval/prefix_matcher.h"
#include "dataset/locale/collator.h"
#include "dataset/locale/locale_services.h"

namespace dorvem {
namespace {

// Bytes that make collation interesting in windows-125x text: contraction
// letters in both cases, accented letters, ignorable controls and the soft
// hyphen, blanks, punctuation, digits.
const std::string kAlphabet =
    "CSZDGLNTYHKAEOcszdglntyhkaeo\xC1\xC9\xD6\xDC\xD5\xE1\xE9\xF6\xFC\xF5\x8A\x9A\xC8\xE8"
    "\x01\x02\xAD\x7F -'.019";

std::string RandomText(std::mt19937& rng, std::size_t maxLength) {
  std::uniform_int_distribution<std::size_t> length(0, maxLength);
  std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
  std::uniform_int_distribution<int> anyByte(1, 255);
  std::uniform_int_distribution<int> percent(0, 99);
  std::string s(length(rng), ' ');
  for (char& c : s) c = percent(rng) < 90 ? kAlphabet[pick(rng)] : static_cast<char>(anyByte(rng));
  return s;
}

bool CollatorSays(const locale::Collator& c, const std::string& value, const std::string& t) {
  const std::size_t n = std::min(value.size(), t.size());
  return c.CompareA(value.data(), static_cast<int>(n), t.data(), static_cast<int>(t.size())) ==
         locale::kEqual;
}

TEST(PrefixMatcherTest, AgreesWithTheCollatorInEveryLocaleAndCaseMode) {
  std::mt19937 rng(20240131);
  int checked = 0;
  for (locale::LCID lcid : {1038u, 1029u, 1051u, 1033u, 1031u, 1055u, 1030u, 1045u, 1050u, 1061u,
                            1041u, 1066u, 1037u, 1025u, 1054u, 1049u, 0u}) {
    for (std::uint32_t flags : {0u, locale::kIgnoreCase}) {
      const locale::Collator* c = locale::Collator::For(lcid, flags);
      if (c == nullptr) continue;
      for (int i = 0; i < 120; ++i) {
        std::string t = RandomText(rng, 5);
        if (t.empty()) t = "C";
        eval::PrefixMatcher matcher(c, t);
        for (int j = 0; j < 150; ++j) {
          // Values that share a leading part of T reach deeper rules.
          std::uniform_int_distribution<std::size_t> keep(0, t.size());
          const std::string value = t.substr(0, keep(rng)) + RandomText(rng, 6);
          ASSERT_EQ(matcher.Equal(value.c_str()), CollatorSays(*c, value, t))
              << "lcid " << lcid << " flags " << flags << " T '" << t << "' value '" << value
              << "'";
          ++checked;
        }
      }
    }
  }
  EXPECT_GT(checked, 100000);
}

TEST(PrefixMatcherTest, DecidesHungarianHeadwordsMostlyFromTheirBytes) {
  const locale::Collator* c = locale::Collator::For(1038, 0);
  ASSERT_NE(c, nullptr);
  std::mt19937 rng(7);
  const char* const pieces[] = {"A",  "E",  "K",  "L",    "M",    "CS", "SZ", "ZS", "GY", "NY",
                                "LY", "TY", "DZ", "\xC1", "\xD6", "O",  "R",  "T",  "N",  "S"};
  std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
  std::vector<std::string> words(20000);
  for (std::string& w : words)
    for (int k = 0; k < 4; ++k) w += pieces[piece(rng)];
  for (const char* search : {"A", "AL", "ALL", "ALLE", "CS", "SZ", "\xC1", "T"}) {
    eval::PrefixMatcher matcher(c, search);
    std::size_t matches = 0;
    for (const std::string& w : words) {
      const bool equal = matcher.Equal(w.c_str());
      ASSERT_EQ(equal, CollatorSays(*c, w, search)) << search << " " << w;
      matches += equal;
    }
    // Every answer needing the collator is asked once per distinct prefix.
    EXPECT_LT(matcher.CollatorCalls(), 60u) << search << " (" << matches << " matches)";
  }
}

// A search text made of letters that begin or continue Hungarian
// contractions (N as in NY, S and Z as in SZ, and the accented and
// dotted letters around them), as a fuzzed filter had it. Working out the
// tables looks back from each position only as far as the longest
// contraction reaches (DDZS: 4 characters), and not at all past the first
// 256 positions; the answers stay the collator's.
TEST(PrefixMatcherTest, LongConstantsAreWorkedOutInStepsLinearInTheirLength) {
  const locale::Collator* c = locale::Collator::For(1038, locale::kIgnoreCase);
  ASSERT_NE(c, nullptr);
  const std::string t = "DSZOVEG='A" + std::string(50, '\xFF') + "S" + std::string(40, '\xD2') +
                        std::string(120, 'N') + "TIM";
  eval::PrefixMatcher matcher(c, t);
  EXPECT_LE(matcher.SplitPointsExamined(), 4 * t.size());
  std::string lower = t;
  for (char& ch : lower)
    if (ch >= 'A' && ch <= 'Z')
      ch = static_cast<char>(ch - 'A' + 'a');
    else if (ch == '\xD2')
      ch = '\xF2';  // N with caron
  std::string last = t;
  last.back() = 'N';
  EXPECT_TRUE(matcher.Equal((t + "EK").c_str()));
  EXPECT_TRUE(matcher.Equal(lower.c_str()));
  EXPECT_FALSE(matcher.Equal(last.c_str()));
  EXPECT_FALSE(matcher.Equal(t.substr(0, t.size() - 1).c_str()));
  EXPECT_FALSE(matcher.Equal((t.substr(0, 200) + "Y").c_str()));  // NY, not N

  const std::string runs(65535, 'N');
  eval::PrefixMatcher longest(c, runs);
  EXPECT_LE(longest.SplitPointsExamined(), 4u * 256u);
  EXPECT_TRUE(longest.Equal((runs + "Y").c_str()));
  EXPECT_FALSE(longest.Equal((runs.substr(0, 100) + "Y").c_str()));
  EXPECT_FALSE(longest.Equal((runs.substr(0, 300) + "Y").c_str()));
  EXPECT_FALSE(longest.Equal((runs.substr(0, 65534) + "M").c_str()));
}

TEST(PrefixMatcherTest, NoCollatorMeansNoMatch) {
  eval::PrefixMatcher matcher(nullptr, "A");
  EXPECT_FALSE(matcher.Equal("A"));
  EXPECT_FALSE(matcher.Equal(""));
}

}  // namespace
}  // namespace dorvem
