#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/locale/collator.h"
#include "dataset/locale/locale_services.h"

namespace dorvem {
namespace {

using locale::CompareStringA;
using locale::CompareStringW;
using locale::kCompareFailed;
using locale::kEqual;
using locale::kGreater;
using locale::kIgnoreCase;
using locale::kLess;

constexpr locale::LCID kHungarian = 1038;

int Cmp(const std::string& a, const std::string& b, std::uint32_t flags = 0,
        locale::LCID lcid = kHungarian) {
  return CompareStringA(lcid, flags, a.c_str(), -1, b.c_str(), -1);
}

// Each string sorts strictly before the next one, and after it in reverse.
void ExpectStrictOrder(const std::vector<std::string>& ordered, std::uint32_t flags = 0) {
  for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
    EXPECT_EQ(Cmp(ordered[i], ordered[i + 1], flags), kLess) << i;
    EXPECT_EQ(Cmp(ordered[i + 1], ordered[i], flags), kGreater) << i;
  }
}

TEST(CollationTest, HungarianDigraphsAndAccentedVowelsSortAsLetters) {
  ExpectStrictOrder({"CA", "CZ", "CSA", "D"});
  ExpectStrictOrder({"O", "OZ", "\xD6",
                     "\xD6"
                     "A"});  // O OZ Ö ÖA
  ExpectStrictOrder({"SZ", "SZA", "T"});
  ExpectStrictOrder({"ZA", "ZSA"});
  // An accent weighs less than a later letter: AB < ÁB < AC, and so on.
  ExpectStrictOrder({"AB",
                     "\xC1"
                     "B",
                     "AC"});
  ExpectStrictOrder({"EB",
                     "\xC9"
                     "B",
                     "EC"});
  ExpectStrictOrder({"\xF6k", "\xF5k", "\xF6l"});  // ök ők öl
  ExpectStrictOrder({"\xFCt", "\xFBt", "\xFCv"});  // üt űt üv
}

TEST(CollationTest, CaseCountsOnlyWithoutTheIgnoreCaseFlag) {
  const std::string lower = "\xE9nek";  // ének
  const std::string upper = "\xC9NEK";  // ÉNEK
  EXPECT_NE(Cmp(lower, upper), kEqual);
  EXPECT_EQ(Cmp(lower, upper), 4 - Cmp(upper, lower));
  EXPECT_EQ(Cmp(lower, upper, kIgnoreCase), kEqual);
  EXPECT_EQ(Cmp("\xF5r\xFClt", "\xD5R\xDCLT", kIgnoreCase), kEqual);  // őrült / ŐRÜLT
  // Ignoring case ignores nothing else: accents and letters still count.
  EXPECT_EQ(Cmp("\xE9nek", "enek", kIgnoreCase), kGreater);
  EXPECT_EQ(Cmp("\xF5r", "\xF6r", kIgnoreCase), kGreater);  // őr / ör
  ExpectStrictOrder({"ca", "CZ", "csa", "D"}, kIgnoreCase);
}

TEST(CollationTest, IgnoreCaseKeepsWidthAndFollowsTurkishCasing) {
  const std::u16string fullWidthA = u"\uFF21";
  const std::u16string a = u"a";
  EXPECT_EQ(CompareStringW(kHungarian, kIgnoreCase, u"A", 1, a.c_str(), 1), kEqual);
  EXPECT_NE(CompareStringW(kHungarian, kIgnoreCase, fullWidthA.c_str(), 1, a.c_str(), 1), kEqual);
  constexpr locale::LCID kTurkish = 1055;  // windows-1254: ı=0xFD, İ=0xDD
  EXPECT_EQ(Cmp("I", "\xFD", kIgnoreCase, kTurkish), kEqual);
  EXPECT_EQ(Cmp("\xDD", "i", kIgnoreCase, kTurkish), kEqual);
  EXPECT_NE(Cmp("I", "i", kIgnoreCase, kTurkish), kEqual);
  EXPECT_EQ(Cmp("I", "i", kIgnoreCase), kEqual);
  constexpr locale::LCID kGreek = 1032;
  EXPECT_EQ(
      CompareStringW(kGreek, kIgnoreCase, u"\u0391\u0392\u0393", -1, u"\u03B1\u03B2\u03B3", -1),
      kEqual);
}

TEST(CollationTest, TrailingBlanksAndExplicitLengthsCount) {
  for (const std::uint32_t flags : {0u, kIgnoreCase}) {
    EXPECT_EQ(Cmp("abc  ", "abc", flags), kGreater);
    EXPECT_EQ(Cmp("abc", "abc ", flags), kLess);
    EXPECT_EQ(Cmp("", "", flags), kEqual);
    EXPECT_EQ(Cmp("", "a", flags), kLess);
  }
  // Explicit lengths compare prefixes; the bytes after them do not matter.
  EXPECT_EQ(CompareStringA(kHungarian, 0, "CSAK", 2, "CS!", 2), kEqual);
  EXPECT_EQ(CompareStringA(kHungarian, 0, "CSAK", 3, "CSB", -1), kLess);
  EXPECT_EQ(CompareStringW(kHungarian, 0, u"ab", 2, u"abc", 2), kEqual);
}

TEST(CollationTest, FailsForUnknownLocalesAndBadArguments) {
  EXPECT_EQ(Cmp("a", "b", 0, 0x0FFF), kCompareFailed);
  EXPECT_EQ(Cmp("a", "b", 0, 0x0476), kCompareFailed);  // known, not installed
  EXPECT_EQ(Cmp("a", "b", 2), kCompareFailed);          // unknown flag
  EXPECT_EQ(CompareStringA(kHungarian, 0, nullptr, -1, "b", -1), kCompareFailed);
  EXPECT_EQ(CompareStringA(kHungarian, 0, "a", -2, "b", -1), kCompareFailed);
  EXPECT_EQ(CompareStringW(kHungarian, 0, u"a", -1, nullptr, 0), kCompareFailed);
  EXPECT_EQ(locale::Collator::For(0x0FFF, 0), nullptr);
  // Identifier 0, the user's default locale, always compares.
  EXPECT_EQ(Cmp("a", "b", 0, 0), kLess);
  EXPECT_EQ(Cmp("a", "A", kIgnoreCase, 0), kEqual);
}

TEST(CollationTest, WideAndSingleByteComparisonsAgree) {
  // The same words in windows-1250 and in UTF-16.
  const std::vector<std::pair<std::string, std::u16string>> words = {
      {"cs\xE1rd\xE1s", u"csárdás"}, {"Cz\xE9ge", u"Czége"},
      {"\xF6t\xF6s", u"ötös"},       {"\xD5sz", u"Ősz"},
      {"zsoltar", u"zsoltar"},       {"zongora", u"zongora"},
      {"ZONGORA", u"ZONGORA"},       {"a-moll", u"a-moll"},
      {"d'Alembert", u"d'Alembert"}};
  for (const auto& [a8, a16] : words) {
    for (const auto& [b8, b16] : words) {
      for (const std::uint32_t flags : {0u, kIgnoreCase}) {
        EXPECT_EQ(Cmp(a8, b8, flags),
                  CompareStringW(kHungarian, flags, a16.c_str(), -1, b16.c_str(), -1))
            << a8 << " / " << b8 << " flags " << flags;
      }
    }
  }
}

TEST(CollationTest, LongStringsCompareThroughTheOverflowBuffer) {
  const std::string base(1000, 'a');
  for (const std::uint32_t flags : {0u, kIgnoreCase}) {
    EXPECT_EQ(Cmp(base + "b", base + "c", flags), kLess);
    EXPECT_EQ(Cmp(base + "cs", base + "cz", flags), kGreater);
    const std::u16string wide(1000, u'a');
    const std::u16string wa = wide + u"B";
    const std::u16string wb = wide + u"b";
    EXPECT_EQ(CompareStringW(kHungarian, flags, wa.c_str(), -1, wb.c_str(), -1),
              flags == 0 ? kGreater : kEqual);
  }
}

}  // namespace
}  // namespace dorvem
