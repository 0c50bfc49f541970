// The search box's text as a key and a filter text.
#include "app/search_key.h"

#include <gtest/gtest.h>

namespace dorvem {
namespace {

TEST(SearchKeyTest, ConvertsToTheDataCodePageWithQuestionMarksForTheRest) {
  EXPECT_EQ(ToCodePage(QStringLiteral(u"ŐRÜLT ű"), 1250), "\xD5R\xDCLT \xFB");
  EXPECT_EQ(ToCodePage(QStringLiteral(u"ŠŽ"), 1250), "\x8A\x8E");
  // Cyrillic, the euro sign's neighbour in 1252 and a character outside
  // the basic plane: one "?" each.
  EXPECT_EQ(ToCodePage(QStringLiteral(u"AЖB"), 1250), "A?B");
  EXPECT_EQ(ToCodePage(QString::fromUcs4(U"\U0001D11EX"), 1250), "?X");
  // The same text in another single-byte code page.
  EXPECT_EQ(ToCodePage(QStringLiteral(u"ŐÉ"), 1252), "?\xC9");
}

TEST(SearchKeyTest, CapitalisesPlainLettersOnlyAndTrimsControlBytes) {
  EXPECT_EQ(SearchKey("  ab "), "AB");
  EXPECT_EQ(SearchKey("\t\x01x y\x1F \r\n"), "X Y");
  EXPECT_EQ(SearchKey("   "), "");
  // Accented bytes stay as they are, lower case included.
  EXPECT_EQ(SearchKey("\xF5r\xD5"), "\xF5R\xD5");
  EXPECT_EQ(SearchKey("d'amore"), "D'AMORE");
  // Byte 0xA0 (no-break space) is above 32 and stays.
  EXPECT_EQ(SearchKey("\xA0"
                      "a"),
            "\xA0"
            "A");
}

TEST(SearchKeyTest, PutsTheKeyBetweenTheQuotesUnescaped) {
  EXPECT_EQ(SearchFilter("A"), "KSZOVEG='A*'");
  EXPECT_EQ(SearchFilter(""), "KSZOVEG='*'");
  EXPECT_EQ(SearchFilter("D'AMORE"), "KSZOVEG='D'AMORE*'");
  EXPECT_STREQ(kEmptySearchFilter, "KSZOVEG='.*'");
}

}  // namespace
}  // namespace dorvem
