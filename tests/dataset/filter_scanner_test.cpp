// The pieces under the filter parser: the scanner's tokens, the word
// classifier of the literal-end test, and the text conversions of
// constants.
#include <gtest/gtest.h>

#include "dataset/expr/text_conversions.h"
#include "dataset/filter/expr_scanner.h"
#include "dataset/filter/word_classifier.h"
#include "dataset/host/db_errors.h"

namespace dorvem::filter {
namespace {

using namespace expr;

TEST(WordClassifierTest, TellsOrdinaryNamesFromEverythingThatEndsALiteral) {
  EXPECT_EQ(ClassifyWord("", 0), WordClass::kEnd);
  EXPECT_EQ(ClassifyWord(" ,( \r\n", 0), WordClass::kEnd);
  EXPECT_EQ(ClassifyWord("AND B", 0), WordClass::kKeyword);
  EXPECT_EQ(ClassifyWord("(or x", 0), WordClass::kKeyword);
  EXPECT_EQ(ClassifyWord("Descending", 0), WordClass::kKeyword);
  EXPECT_EQ(ClassifyWord("ANDY", 0), WordClass::kName);
  EXPECT_EQ(ClassifyWord("AMORE*'", 0), WordClass::kName);  // the unclosed quote is a letter
  EXPECT_EQ(ClassifyWord("12ab", 0), WordClass::kNumber);
  EXPECT_EQ(ClassifyWord(">= 1", 0), WordClass::kComparison);
  EXPECT_EQ(ClassifyWord("/* c */", 0), WordClass::kComment);
  EXPECT_EQ(ClassifyWord("// c", 0), WordClass::kComment);
  EXPECT_EQ(ClassifyWord("\"quoted\" x", 0), WordClass::kQuoted);
  EXPECT_EQ(ClassifyWord("B'C*'", 0), WordClass::kQuoted);
  EXPECT_EQ(ClassifyWord("T.X", 0), WordClass::kTableName);
  EXPECT_EQ(ClassifyWord(".X", 0), WordClass::kName);
  EXPECT_EQ(ClassifyWord("GROUP  by", 0), WordClass::kKeyword);
  EXPECT_EQ(ClassifyWord("ORDER BY", 0), WordClass::kKeyword);
  EXPECT_EQ(ClassifyWord("FOR UPDATE", 0), WordClass::kKeyword);
  EXPECT_EQ(ClassifyWord("GROUP", 0), WordClass::kName);
  EXPECT_EQ(ClassifyWord("FOR BY", 0), WordClass::kName);
  // The word is read from the given position on.
  EXPECT_EQ(ClassifyWord("xx NULL", 2), WordClass::kKeyword);
}

std::vector<std::string> Tokens(std::string_view text, char sep = '.') {
  ExprScanner s;
  s.Reset(text, sep);
  std::vector<std::string> out;
  for (s.Next(); s.Token() != TokenKind::kEnd; s.Next())
    out.push_back(std::to_string(static_cast<int>(s.Token())) + ":" + s.Text());
  return out;
}

TEST(ExprScannerTest, SplitsOperatorsNamesAndLiterals) {
  using V = std::vector<std::string>;
  // 1 name, 2 bracketed name, 3 literal, 10 minus, 11 =, 12 <>, 14 <=, 16 >=
  EXPECT_EQ(Tokens("a<=[b c]<>'x''y'>=-1.5E3"),
            (V{"1:a", "14:<=", "2:b c", "12:<>", "3:x'y", "16:>=", "3:-1.5E3"}));
  EXPECT_EQ(Tokens("x-1 = y"), (V{"1:x", "10:-", "3:1", "11:=", "1:y"}));
  EXPECT_EQ(Tokens("f(1,5)", ','), (V{"1:f", "4:(", "3:1,5", "5:)"}));
  EXPECT_EQ(Tokens("f(1, 5)", ','), (V{"1:f", "4:(", "3:1", "6:,", "3:5", "5:)"}));
  EXPECT_EQ(Tokens("a is  not\tnull OR b IS NULL"), (V{"1:a", "20:is", "1:OR", "1:b", "19:IS"}));
  EXPECT_EQ(Tokens("A.B[1] Like x In"), (V{"1:A.B[1]", "17:Like", "1:x", "18:In"}));
  EXPECT_EQ(Tokens(std::string_view("x\0= y", 5)), V{"1:x"});  // a zero byte ends the text

  ExprScanner s;
  s.Reset("  'abc' ", '.');
  s.Next();
  EXPECT_EQ(s.Found(), "''abc''");
  s.Next();
  EXPECT_EQ(s.Found(), "nothing");
}

TEST(TextConversionsTest, ReadNumbersDatesAndTimesInTheirForms) {
  double d = 0;
  EXPECT_TRUE(TextToDouble(" -1,5E2 ", ',', &d));
  EXPECT_EQ(d, -150);
  EXPECT_TRUE(TextToDouble(".5", '.', &d));
  EXPECT_EQ(d, 0.5);
  EXPECT_FALSE(TextToDouble("1.5", ',', &d));
  EXPECT_FALSE(TextToDouble("E3", '.', &d));
  EXPECT_FALSE(TextToDouble("1e", '.', &d));
  EXPECT_FALSE(TextToDouble("inf", '.', &d));

  std::int32_t day = 0;
  EXPECT_TRUE(TextToDate("0001-01-01", &day));
  EXPECT_EQ(day, 1);
  EXPECT_TRUE(TextToDate("1899. 12. 30.", &day));
  EXPECT_EQ(day, kDayNumberOf18991230);
  EXPECT_TRUE(TextToDate("29.02.2024", &day));
  EXPECT_EQ(day, 738945);  // proleptic Gregorian ordinal of 2024-02-29
  EXPECT_TRUE(TextToDate("12/31/2024", &day));
  EXPECT_EQ(day, 739251);
  EXPECT_FALSE(TextToDate("2023-02-29", &day));
  EXPECT_FALSE(TextToDate("2024-1-1x", &day));
  int y = 0, m = 0, dd = 0;
  DateOfDayNumber(730179, &y, &m, &dd);
  EXPECT_EQ((std::vector<int>{y, m, dd}), (std::vector<int>{2000, 2, 29}));

  std::uint32_t ms = 0;
  EXPECT_TRUE(TextToTime("23:59:59.5", &ms));
  EXPECT_EQ(ms, 86399500u);
  EXPECT_FALSE(TextToTime("24:00", &ms));
  EXPECT_TRUE(TextToDateTime("2024-01-02 10:00", &day, &ms));
  EXPECT_EQ(day, 738887);
  EXPECT_EQ(ms, 36000000u);
  EXPECT_TRUE(TextToDateTime("10:00", &day, &ms));
  EXPECT_EQ(day, kDayNumberOf18991230);
  EXPECT_FALSE(TextToDateTime("2024-01-0210:00", &day, &ms));
}

}  // namespace
}  // namespace dorvem::filter
