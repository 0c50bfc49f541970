#include <gtest/gtest.h>

#include <string>

#include "dataset/locale/locale_services.h"

namespace dorvem {
namespace {

using locale::CharLowerA;
using locale::CharUpperA;
using locale::lstrcmpiA;

constexpr locale::LCID kHungarian = 1038;

// "árvíztűrő tükörfúrógép" and its upper case, in windows-1250.
const std::string kLower = "\xE1rv\xEDzt\xFBr\xF5 t\xFCk\xF6rf\xFAr\xF3g\xE9p";
const std::string kUpper = "\xC1RV\xCDZT\xDBR\xD5 T\xDCK\xD6RF\xDAR\xD3G\xC9P";

TEST(CaseMappingTest, AccentedLettersMapBothWays) {
  EXPECT_EQ(CharUpperA(kHungarian, kLower), kUpper);
  EXPECT_EQ(CharLowerA(kHungarian, kUpper), kLower);
  EXPECT_EQ(CharUpperA(kHungarian, "\xB9\xE8\xB3"), "\xA5\xC8\xA3");  // ąčł -> ĄČŁ
  EXPECT_EQ(CharUpperA(kHungarian, "kotta.mp3"), "KOTTA.MP3");
  EXPECT_EQ(CharLowerA(kHungarian, "ABC-123"), "abc-123");
}

TEST(CaseMappingTest, CharactersWithoutASingleByteCounterpartStayUnchanged) {
  // ß upper-cases to two letters, µ to a Greek letter windows-1250 lacks.
  EXPECT_EQ(CharUpperA(kHungarian, "\xDF\xB5"), "\xDF\xB5");
  EXPECT_EQ(CharUpperA(kHungarian, std::string("a\0b", 3)), std::string("A\0B", 3));
  EXPECT_EQ(CharUpperA(kHungarian, "\x81\xA0"), "\x81\xA0");  // undefined byte, no-break space
}

TEST(CaseMappingTest, UpperBufferMapsOnlyTheGivenLength) {
  std::string text = "\xF5sz kotta";
  locale::CharUpperBuffA(kHungarian, text.data(), 3);
  EXPECT_EQ(text, "\xD5SZ kotta");
  locale::CharUpperBuffA(kHungarian, nullptr, 5);  // ignored
}

TEST(CaseMappingTest, NameComparisonIgnoresCaseOnly) {
  EXPECT_EQ(lstrcmpiA("TRUE", "true"), 0);
  EXPECT_EQ(lstrcmpiA("KSZOVEG", "kszoveg"), 0);
  EXPECT_EQ(lstrcmpiA(kUpper.c_str(), kLower.c_str()), 0);
  EXPECT_LT(lstrcmpiA("TRUE", "truer"), 0);
  EXPECT_GT(lstrcmpiA("true ", "TRUE"), 0);
  EXPECT_NE(lstrcmpiA("\xD5", "O"), 0);  // Ő is not O
  EXPECT_EQ(lstrcmpiA(nullptr, nullptr), 0);
  EXPECT_LT(lstrcmpiA(nullptr, ""), 0);
}

}  // namespace
}  // namespace dorvem
