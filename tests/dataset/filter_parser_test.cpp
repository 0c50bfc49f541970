// The filter parser: which buffer each filter text becomes, byte for byte
// where it matters, and which message each refused text raises.
#include <gtest/gtest.h>

#include "dataset/filter/expr_parser.h"
#include "dataset/host/db_errors.h"
#include "dataset/host/field_types.h"
#include "dataset/packet/packet_format.h"
#include "tests/dataset/buffer_render.h"
#include "tests/dataset/typed_table.h"

namespace dorvem {
namespace {

namespace pk = dorvem::packet;
using testing::Hex;
using testing::OpenTable;
using testing::Render;
using testing::TableBuilder;

// Columns of every kind a filter meets: 1 S, 2 FX, 3 B, 4 SI, 5 W, 6 I, 7 F,
// 8 D, 9 T, 10 DT, 11 BY, 12 M, 13 L, 14 N (BCD, 2 decimals), 15 TS.
TableBuilder TypesTable() {
  TableBuilder table;
  table.String("S", 20).String("FX", 10, "FixedChar");
  table.Fixed("B", pk::kTcBool, 2).Fixed("SI", pk::kTcInt, 2).Fixed("W", pk::kTcUInt, 2);
  table.Fixed("I", pk::kTcInt, 4).Fixed("F", pk::kTcFloat, 8).Fixed("D", pk::kTcDate, 4);
  table.Fixed("T", pk::kTcTime, 4).Fixed("DT", pk::kTcTimeStamp, 8).Fixed("BY", pk::kTcBytes, 4);
  table.Blob("M", "Text").Fixed("L", pk::kTcInt, 8).Bcd("N", 10, 2);
  table.Fixed("TS", pk::kTcSqlTimeStamp, 16);
  return table;
}

class FilterParserTest : public ::testing::Test {
 protected:
  std::vector<std::uint8_t> Buffer(TDataSet& ds, std::string_view text, TFilterOptions options = 0,
                                   TParserOptions parserOptions = kPoExtended, char sep = '.') {
    TExprParser parser(ds, text, options, parserOptions, "", nullptr, kFieldTypeMap, sep);
    return parser.FilterData();
  }
  std::string Tree(std::string_view text, TFilterOptions options = 0) {
    return Render(Buffer(dict_.DataSet(), text, options));
  }
  std::string TypedTree(std::string_view text, char sep = '.') {
    return Render(Buffer(types_.DataSet(), text, 0, kPoExtended, sep));
  }
  std::string Error(TDataSet& ds, std::string_view text,
                    TParserOptions parserOptions = kPoExtended) {
    try {
      Buffer(ds, text, 0, parserOptions);
    } catch (const EDatabaseError& e) {
      return e.what();
    }
    return "(accepted)";
  }
  std::string Error(std::string_view text) { return Error(dict_.DataSet(), text); }
  std::string TypedError(std::string_view text) { return Error(types_.DataSet(), text); }

  OpenTable dict_{testing::DictionaryTable({})};
  OpenTable types_{TypesTable()};
};

TEST_F(FilterParserTest, SearchFilterIsTheSixtyFourByteCompareBuffer) {
  const auto buffer = Buffer(dict_.DataSet(), "KSZOVEG='ABC*'");
  ASSERT_EQ(buffer.size(), 64u);
  EXPECT_EQ(Hex(buffer),
            // header: version 2, size 64, no node count, nodes at 10, literals at 52
            "02 00 40 00 ff ff 0a 00 34 00 "
            // Compare =, case 0, partial 3, field node 16, constant node 28
            "03 00 00 00 03 00 00 00 00 00 03 00 10 00 1c 00 "
            // Field node: field 2, name at literal 0
            "04 00 00 00 0d 00 00 00 02 00 00 00 "
            // Constant node: string, 4 bytes at literal 8
            "05 00 00 00 0e 00 00 00 01 00 04 00 08 00 "
            // KSZOVEG\0 ABC\0
            "4b 53 5a 4f 56 45 47 00 41 42 43 00");
  // The operands may stand either way round.
  EXPECT_EQ(Buffer(dict_.DataSet(), "'ABC*'=KSZOVEG"), buffer);
  // Blanks and a comment between tokens change nothing.
  EXPECT_EQ(Buffer(dict_.DataSet(), " /* keresés */ KSZOVEG = 'ABC*' "), buffer);
}

TEST_F(FilterParserTest, ListsAndOperatorsReserveTheirPlaceBeforeTheirOperands) {
  EXPECT_EQ(Hex(Buffer(dict_.DataSet(), "Index IN (1, 2)")),
            "02 00 6c 00 ff ff 0a 00 56 00 "
            // In node at 0: tested node 12, first list element 24
            "02 00 00 00 1f 00 00 00 0c 00 18 00 "
            // Field Index (5), name at literal 0
            "04 00 00 00 0d 00 00 00 05 00 00 00 "
            // List element at 24: value 36, next 50
            "0b 00 00 00 24 00 00 00 24 00 32 00 "
            "05 00 00 00 0e 00 00 00 07 00 08 00 06 00 "
            // List element at 50: value 62, last
            "0b 00 00 00 24 00 00 00 3e 00 00 00 "
            "05 00 00 00 0e 00 00 00 07 00 08 00 0e 00 "
            "49 6e 64 65 78 00 00 00 00 00 00 00 f0 3f 00 00 00 00 00 00 00 40");
  EXPECT_EQ(Tree("Index IN (1, 2)"), "IN(Index#5, [f64:1, f64:2])");
}

TEST_F(FilterParserTest, TrailingStarMakesAPrefixComparisonOnlyWhereItMeansOne) {
  EXPECT_EQ(Tree("KSZOVEG='.*'"), "=[ci=0,n=1](KSZOVEG#2, '.')");
  EXPECT_EQ(Tree("KSZOVEG='*'"), "=(KSZOVEG#2, '*')");
  EXPECT_EQ(Tree("KSZOVEG=''"), "=(KSZOVEG#2, '')");
  EXPECT_EQ(Tree("KSZOVEG='AB*C'"), "=(KSZOVEG#2, 'AB*C')");
  EXPECT_EQ(Tree("KSZOVEG<>'AB*'"), "<>[ci=0,n=2](KSZOVEG#2, 'AB')");
  EXPECT_EQ(Tree("KSZOVEG LIKE 'A%*'"), "LIKE[ci=0,n=2](KSZOVEG#2, 'A%')");
  // Ordering comparisons never take a partial length.
  EXPECT_EQ(Tree("KSZOVEG>'AB*'"), ">(KSZOVEG#2, 'AB*')");

  EXPECT_EQ(Tree("KSZOVEG='ABC*'", foNoPartialCompare), "=(KSZOVEG#2, 'ABC*')");
  EXPECT_EQ(Tree("KSZOVEG='ABC*'", foNoPartialCompare | foCaseInsensitive),
            "=[ci=1,n=0](KSZOVEG#2, 'ABC*')");
  EXPECT_EQ(Tree("KSZOVEG='ABC*'", foCaseInsensitive), "=[ci=1,n=3](KSZOVEG#2, 'ABC')");
  EXPECT_EQ(Tree("KSZOVEG=''", foCaseInsensitive), "=(KSZOVEG#2, '')");
}

TEST_F(FilterParserTest, OperandsSwapSoThatTheFieldStandsLeft) {
  EXPECT_EQ(Tree("'B'<KSZOVEG"), ">(KSZOVEG#2, 'B')");
  EXPECT_EQ(Tree("'B'>=KSZOVEG"), "<=(KSZOVEG#2, 'B')");
  EXPECT_EQ(Tree("'B'<>KSZOVEG"), "<>(KSZOVEG#2, 'B')");
  // LIKE is not relational: no swap, and so no Compare node.
  EXPECT_EQ(Tree("'B*' LIKE KSZOVEG"), "LIKE('B*', KSZOVEG#2)");
}

TEST_F(FilterParserTest, QuotesInsideASearchTextFollowTheLiteralEndTest) {
  EXPECT_EQ(Tree("KSZOVEG='O'B*'"), "=[ci=0,n=3](KSZOVEG#2, 'O'B')");
  EXPECT_EQ(Tree("KSZOVEG='D'AMORE*'"), "=[ci=0,n=7](KSZOVEG#2, 'D'AMORE')");
  EXPECT_EQ(Tree("KSZOVEG='O''B*'"), "=[ci=0,n=3](KSZOVEG#2, 'O'B')");
  EXPECT_EQ(Error("KSZOVEG='A' AND B*'"), "tblAdat: Field 'B' not found");
  EXPECT_EQ(Error("KSZOVEG='A'B'C*'"), "Filter expression incorrectly terminated");
  // A keyword, number or comparison after the quote ends the literal.
  EXPECT_EQ(Tree("KSZOVEG='A' OR KSZOVEG='B'"), "OR(=(KSZOVEG#2, 'A'), =(KSZOVEG#2, 'B'))");
  // After a literal a digit is read as a minus sign, so the last quote opens
  // a new literal.
  EXPECT_EQ(Error("KSZOVEG='A'1'"), "Unterminated string constant");
  EXPECT_EQ(Error("KSZOVEG='A'=B'"), "Filter expression incorrectly terminated");
  EXPECT_EQ(Error("KSZOVEG='A' group by X'"), "Filter expression incorrectly terminated");
  // GROUP alone is an ordinary word: the quote stays in the literal.
  EXPECT_EQ(Tree("KSZOVEG='A' GROUP'"), "=(KSZOVEG#2, 'A' GROUP')");
}

TEST_F(FilterParserTest, LongLiteralsAreCutToTheScannerAndBufferLimits) {
  const std::string t255(255, 'K'), t256(256, 'K'), t300(300, 'K');
  EXPECT_EQ(Tree("KSZOVEG='" + t255 + "*'"), "=[ci=0,n=255](KSZOVEG#2, '" + t255 + "')");
  // The 257th character (the *) is dropped by the scanner; 255 are stored.
  EXPECT_EQ(Tree("KSZOVEG='" + t256 + "*'"), "=(KSZOVEG#2, '" + t255 + "')");
  EXPECT_EQ(Tree("KSZOVEG='" + t300 + "'"), "=(KSZOVEG#2, '" + t255 + "')");
}

TEST_F(FilterParserTest, NullComparisonsBecomeNullTests) {
  EXPECT_EQ(Tree("KSZOVEG = NULL"), "ISNULL(KSZOVEG#2)");
  EXPECT_EQ(Tree("null <> KSZOVEG"), "ISNOTNULL(KSZOVEG#2)");
  EXPECT_EQ(Tree("KSZOVEG is null"), "ISNULL(KSZOVEG#2)");
  EXPECT_EQ(Tree("KSZOVEG IS  NOT\tNULL"), "ISNOTNULL(KSZOVEG#2)");
  EXPECT_EQ(Tree("Index > NULL"), ">(Index#5, null:6)");
  EXPECT_EQ(Error("KSZOVEG LIKE NULL"), "NULL only allowed with '=' and '<>'");
  EXPECT_EQ(Error("NULL"), "Incorrectly formed filter expression");
}

TEST_F(FilterParserTest, ExtendedSyntaxAcceptsArithmeticAndFunctionsButNotAggregates) {
  EXPECT_EQ(Tree("Index + 1 > 2"), ">(+(Index#5, f64:1), f64:2)");
  EXPECT_EQ(Tree("Index * 2 - 1 <= Index / 2"),
            "<=(-(*(Index#5, f64:2), f64:1), /(Index#5, f64:2))");
  EXPECT_EQ(Tree("Index-1=0"), "=(-(Index#5, f64:1), f64:0)");
  EXPECT_EQ(Tree("Index=-1"), "=(Index#5, i32:-1)");
  EXPECT_EQ(Tree("upper(KSZOVEG) = 'A'"), "=(upper(KSZOVEG#2), 'A')");
  EXPECT_EQ(Tree("SUBSTRING(KSZOVEG, 2, 3) = 'A'"), "=(SUBSTRING(KSZOVEG#2, f64:2, f64:3), 'A')");
  EXPECT_EQ(Error("SUM(Index) > 2"), "Aggregate expressions not allowed in filters");
  EXPECT_EQ(Error("COUNT(*) > 2"), "Aggregate expressions not allowed in filters");
  EXPECT_EQ(Error("SUM(Index) > Index"),
            "Operation cannot mix aggregate value with record-varying value");
  EXPECT_EQ(Error("UPPER() = 'A'"), "Type mismatch in expression");
  EXPECT_EQ(Error("KSZOVEG + Index > 1"), "Type mismatch in expression");

  TExprParser aggregate(dict_.DataSet(), "SUM(Index) + 1", 0, kPoExtended | kPoAggregate, "",
                        nullptr, kFieldTypeMap, '.');
  EXPECT_EQ(Render(aggregate.FilterData()), "+(SUM(Index#5), f64:1)");
  EXPECT_EQ(Error(dict_.DataSet(), "Index + 1", kPoExtended | kPoAggregate),
            "Expression is not an aggregate expression");

  // Without extended syntax a function name is a field name.
  EXPECT_EQ(Error(dict_.DataSet(), "Index + 1 > 2", 0),
            "Arithmetic in filter expressions not supported");
  EXPECT_EQ(Error(dict_.DataSet(), "UPPER(KSZOVEG) = 'A'", 0), "tblAdat: Field 'UPPER' not found");
}

TEST_F(FilterParserTest, ConstantsTakeTheTypeOfTheFieldTheyMeet) {
  EXPECT_EQ(TypedTree("B"), "<>(B#3, b:0)");
  EXPECT_EQ(TypedTree("NOT B AND (B OR S='x')"),
            "AND(NOT(<>(B#3, b:0)), OR(<>(B#3, b:0), =(S#1, 'x')))");
  EXPECT_EQ(TypedTree("B = TRUE"), "=(B#3, b:1)");
  EXPECT_EQ(TypedTree("S = false"), "=(S#1, 'False')");
  EXPECT_EQ(TypedTree("I = '12'"), "=(I#6, i32:12)");
  EXPECT_EQ(TypedTree("SI = -32768"), "=(SI#4, i16:-32768)");
  EXPECT_EQ(TypedTree("W = 65535"), "=(W#5, u16:65535)");
  EXPECT_EQ(TypedTree("F = 1.5E1"), "=(F#7, f64:15)");
  EXPECT_EQ(TypedTree("F = 1,5", ','), "=(F#7, f64:1.5)");
  EXPECT_EQ(TypedTree("I IN (1, 2)", ','), "IN(I#6, [f64:1, f64:2])");
  EXPECT_EQ(TypedTree("D = '2000-01-31'"), "=(D#8, date:730150)");
  EXPECT_EQ(TypedTree("'2000. 01. 31.' < D"), ">(D#8, date:730150)");
  EXPECT_EQ(TypedTree("T = '01:00:00'"), "=(T#9, time:3600000)");
  EXPECT_EQ(TypedTree("DT = '1899-12-31 12:00'"), "=(DT#10, ts:59926651200000)");
  EXPECT_EQ(TypedTree("D IN ('2000-01-31')"), "IN(D#8, [date:730150])");
  // Precision 32, scale 2, the digits right-aligned in 32 nibbles.
  EXPECT_EQ(TypedTree("N = '12.34'"), "=(N#14, t8:2002" + std::string(28, '0') + "1234)");
  EXPECT_EQ(TypedTree("N = -0.005"), "=(N#14, t8:2082" + std::string(30, '0') + "01)");
  EXPECT_EQ(TypedTree("TS = '2001-02-03 04:05:06.7'"),
            "=(TS#15, t24:d10702000300040005000600bc020000)");
}

TEST_F(FilterParserTest, EveryMessageOfTheFailureTableIsReachable) {
  EXPECT_EQ(Error("KSZOVEG # 1"), "Invalid filter expression character: '#'");
  EXPECT_EQ(Error("/* a * b */ KSZOVEG='A'"), "Invalid filter expression character: '*'");
  EXPECT_EQ(Error("KSZOVEG='A' /* open"), "Invalid filter expression character: ''");
  EXPECT_EQ(Error("KSZOVEG='ABC"), "Unterminated string constant");
  EXPECT_EQ(Error("[KSZOVEG='A'"), "Unterminated field name");
  EXPECT_EQ(Error("KSZOVEG IS 'A'"), "Invalid use of keyword");
  EXPECT_EQ(Error("KSZOVEG IS NOT 'A'"), "Invalid use of keyword");
  EXPECT_EQ(Error("Index IN 1"), "'(' expected but '1' found");
  EXPECT_EQ(Error("Index IN (1 KSZOVEG)"), "')' or ',' expected but 'KSZOVEG' found");
  EXPECT_EQ(Error("Index IN (1,"), "Expression expected but nothing found");
  EXPECT_EQ(Error("(Index = 1"), "')' expected but nothing found");
  EXPECT_EQ(Error("Index = )"), "Expression expected but ')' found");
  EXPECT_EQ(Error("Index = 'x' 'y'"), "Filter expression incorrectly terminated");
  // A digit after an operand is read as a minus sign.
  EXPECT_EQ(Error("Index 5"), "Expression expected but nothing found");
  EXPECT_EQ(Error("Index IN ()"), "IN predicate list may not be empty");
  EXPECT_EQ(Error("Index = 1 )"), "Filter expression incorrectly terminated");
  EXPECT_EQ(Error("KSZOVEG"), "Incorrectly formed filter expression");
  EXPECT_EQ(Error("'abc'"), "Incorrectly formed filter expression");
  EXPECT_EQ(Error("Index + 1"), "Incorrectly formed filter expression");
  EXPECT_EQ(Error("SZOVMAGY = 'x'"), "Type mismatch in expression");
  EXPECT_EQ(TypedError("BY = 'x'"), "Type mismatch in expression");
  EXPECT_EQ(TypedError("SI = 32768"), "Constant out of range");
  EXPECT_EQ(TypedError("W = -1"), "Constant out of range");
  EXPECT_EQ(TypedError("L = 5"), "Constant is not correct type LargeInt");
  EXPECT_EQ(TypedError("I = 'x'"), "'x' is not a valid integer value");
  EXPECT_EQ(TypedError("D = '2000-02-30'"), "'2000-02-30' is not a valid date");
  EXPECT_EQ(Error("KSZOVEG = 'A' AND NOPE = 1"), "tblAdat: Field 'NOPE' not found");
  // A memo may still be matched against a pattern or tested for null.
  EXPECT_EQ(Tree("SZOVMAGY LIKE '%dur%'"), "LIKE(SZOVMAGY#3, '%dur%')");
  EXPECT_EQ(Tree("GRAPHIC IS NULL"), "ISNULL(GRAPHIC#4)");
}

TEST_F(FilterParserTest, CalculatedFieldsCannotBeFilteredOn) {
  TableBuilder table = testing::DictionaryTable({"A"});
  testing::TempFile file(testing::Encode(table.Model()));
  TClientDataSet ds("tblAdat");
  TStringField kszoveg("KSZOVEG", 40);
  TStringField calc("CALC", 10);
  calc.SetFieldKind(fkCalculated);
  kszoveg.SetDataSet(&ds);
  calc.SetDataSet(&ds);
  ds.SetFileName(file.Path());
  ds.Open();
  EXPECT_EQ(Error(ds, "CALC = 'x'"), "Field 'CALC' cannot be used in a filter expression");
  EXPECT_EQ(Error(ds, "SUM(CALC) > 1", kPoExtended | kPoAggregate),
            "Field 'CALC' is not the correct type of calculated field to be used in an "
            "aggregate, use an internalcalc");
}

TEST_F(FilterParserTest, CallerFieldOptionsNameDependOnAndAssignTheCallersField) {
  TDataSet& ds = dict_.DataSet();
  TExprParser given(ds, "x = 'A*'", 0, kPoExtended | kPoFieldNameGiven, "KSZOVEG", nullptr,
                    kFieldTypeMap, '.');
  EXPECT_EQ(Render(given.FilterData()), "=[ci=0,n=1](KSZOVEG#2, 'A')");

  DependentFields depends;
  TExprParser dependent(ds, "Index > 1 OR KSZOVEG = 'A'", 0, kPoExtended | kPoFieldDepend, "",
                        &depends, kFieldTypeMap, '.');
  EXPECT_EQ(depends, (DependentFields{false, true, false, false, true}));

  TExprParser assign(ds, "Index + 1", 0, kPoExtended | kPoDefaultExpr, "Index", nullptr,
                     kFieldTypeMap, '.');
  EXPECT_EQ(Render(assign.FilterData()), ":=(+(Index#5, f64:1), Index#5)");

  // A new text replaces the old tree; an empty one leaves no buffer.
  given.SetExprParams("KSZOVEG = 'B'", foCaseInsensitive, kPoExtended, "");
  EXPECT_EQ(Render(given.FilterData()), "=[ci=1,n=0](KSZOVEG#2, 'B')");
  given.SetExprParams("", 0, kPoExtended, "");
  EXPECT_EQ(given.DataSize(), 0u);
}

TEST_F(FilterParserTest, DeepOrHugeTextsAreRefusedNotOverflowed) {
  std::string deep(100000, '(');
  EXPECT_EQ(Error(deep), "Incorrectly formed filter expression");
  std::string wide = "Index = 1";
  for (int i = 0; i < 20000; ++i) wide += " AND Index = 1";
  EXPECT_EQ(Error(wide), "Incorrectly formed filter expression");
}

}  // namespace
}  // namespace dorvem
