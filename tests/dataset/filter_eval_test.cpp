// The filter engine on records: texts parsed as the client dataset parses
// them, compiled for the table and run over every record.
#include <gtest/gtest.h>

#include "dataset/core/byte_layout.h"
#include "dataset/eval/filter_list.h"
#include "dataset/eval/program.h"
#include "dataset/filter/expr_parser.h"
#include "dataset/host/field_types.h"
#include "dataset/packet/packet_format.h"
#include "dataset/store/table.h"
#include "tests/dataset/typed_table.h"

namespace dorvem {
namespace {

namespace pk = dorvem::packet;
using Records = std::vector<std::uint32_t>;
using testing::Bool;
using testing::F64;
using testing::I32;
using testing::kNull;
using testing::OpenTable;
using testing::Str;
using testing::TableBuilder;
using testing::U16;

const DSBASE& Base(OpenTable& t) {
  return *static_cast<DSBASE*>(t->Table());
}

std::vector<std::uint8_t> Parse(OpenTable& t, std::string_view text, TFilterOptions options = 0) {
  TExprParser parser(t.DataSet(), text, options, kPoExtended, "", nullptr, kFieldTypeMap, '.');
  return parser.FilterData();
}

// The records `text` lets through, in record order.
Records Passing(OpenTable& t, std::string_view text, TFilterOptions options = 0) {
  const std::vector<std::uint8_t> buffer = Parse(t, text, options);
  std::unique_ptr<eval::Program> program;
  const DBResult r = eval::Program::Compile(buffer.data(), buffer.size(), Base(t), &program);
  EXPECT_EQ(r, dbr::kOk) << text;
  Records out;
  if (r != dbr::kOk) return out;
  for (std::uint32_t rec = 1; rec <= Base(t).RecordCount(); ++rec)
    if (program->Passes(rec)) out.push_back(rec);
  return out;
}

DBResult CompileStatus(OpenTable& t, const std::vector<std::uint8_t>& buffer) {
  std::unique_ptr<eval::Program> program;
  return eval::Program::Compile(buffer.data(), buffer.size(), Base(t), &program);
}

TEST(FilterEvalTest, SearchFiltersSelectByPrefixCaseAndNull) {
  OpenTable t(testing::DictionaryTable({"ABC", "ABD", "B", "abc", std::nullopt, "*", "", ".X"}));
  EXPECT_EQ(Passing(t, "KSZOVEG='AB*'"), (Records{1, 2}));
  EXPECT_EQ(Passing(t, "KSZOVEG='A*'"), (Records{1, 2}));
  EXPECT_EQ(Passing(t, "KSZOVEG='ABCD*'"), Records{});
  EXPECT_EQ(Passing(t, "KSZOVEG='.*'"), Records{8});
  EXPECT_EQ(Passing(t, "KSZOVEG='AB*'", foCaseInsensitive), (Records{1, 2, 4}));
  EXPECT_EQ(Passing(t, "KSZOVEG='*'"), Records{6});
  EXPECT_EQ(Passing(t, "KSZOVEG=''"), Records{7});
  // Not equal to a prefix, and ordering comparisons; the null headword
  // never passes a comparison on the headword.
  EXPECT_EQ(Passing(t, "KSZOVEG<>'AB*'"), (Records{3, 4, 6, 7, 8}));
  EXPECT_EQ(Passing(t, "KSZOVEG >= 'B'"), Records{3});
  // Or sees both values whatever their null flags.
  EXPECT_EQ(Passing(t, "KSZOVEG IS NULL OR KSZOVEG = 'B*'"), (Records{3, 5}));
  EXPECT_EQ(Passing(t, "KSZOVEG IS NOT NULL AND KSZOVEG LIKE '_B%'"), (Records{1, 2}));
}

TEST(FilterEvalTest, LikeInArithmeticAndFunctions) {
  OpenTable t(testing::DictionaryTable({"ABC", "ABD", "50%", "  x ", "A\\B"}));
  EXPECT_EQ(Passing(t, "KSZOVEG LIKE 'A_C'"), Records{1});
  EXPECT_EQ(Passing(t, "KSZOVEG LIKE '%D'"), Records{2});
  EXPECT_EQ(Passing(t, "KSZOVEG LIKE '50\\%'"), Records{3});
  EXPECT_EQ(Passing(t, "KSZOVEG LIKE '%\\\\%'"), Records{5});
  EXPECT_EQ(Passing(t, "KSZOVEG LIKE 'a%'", foCaseInsensitive), (Records{1, 2, 5}));
  // The partial length is not used by LIKE: the pattern lost its '*'.
  EXPECT_EQ(Passing(t, "KSZOVEG LIKE 'AB*'"), Records{});
  EXPECT_EQ(Passing(t, "Index IN (1, 3, 7)"), (Records{1, 3}));
  EXPECT_EQ(Passing(t, "Index + 1 > 3"), (Records{3, 4, 5}));
  EXPECT_EQ(Passing(t, "Index * 2 = 4 OR Index - 1 = 3"), (Records{2, 4}));
  EXPECT_EQ(Passing(t, "Index / (Index - 2) > 0"), (Records{3, 4, 5}));
  EXPECT_EQ(Passing(t, "LOWER(KSZOVEG) = 'abc'"), Records{1});
  EXPECT_EQ(Passing(t, "UPPER(LOWER(KSZOVEG)) = 'ABD'"), Records{2});
  EXPECT_EQ(Passing(t, "SUBSTRING(KSZOVEG, 2, 2) = 'BC'"), Records{1});
  EXPECT_EQ(Passing(t, "SUBSTRING(KSZOVEG, 2) = '0%'"), Records{3});
  EXPECT_EQ(Passing(t, "TRIM(KSZOVEG) = 'x'"), Records{4});
  EXPECT_EQ(Passing(t, "TRIMLEFT(KSZOVEG) = 'x '"), Records{4});
  EXPECT_EQ(Passing(t, "TRIMRIGHT(KSZOVEG) = '  x'"), Records{4});
  EXPECT_EQ(Passing(t, "KSZOVEG + '!' = 'ABC!'"), Records{1});
  EXPECT_EQ(Passing(t, "YEAR(GETDATE()) > 2000"), (Records{1, 2, 3, 4, 5}));
}

// Hungarian, so that the case-insensitive pattern below compares by the
// data's locale and not the desktop's (a Turkish "IN" is not "in").
TableBuilder TypedTable() {
  TableBuilder table;
  table.Lcid(1038);
  table.String("S", 20).String("FX", 10, "FixedChar").Fixed("B", pk::kTcBool, 2);
  table.Fixed("F", pk::kTcFloat, 8).Fixed("D", pk::kTcDate, 4).Fixed("DT", pk::kTcTimeStamp, 8);
  table.Fixed("W", pk::kTcUInt, 2).Blob("M", "Text");
  const double day = 730150;  // 2000-01-31
  table.Row({Str("true"), Str("AB  "), Bool(true), F64(0.1 + 0.2), I32(730150),
             F64(day * 86400000 + 3600000), U16(40000), Str("dur and moll")});
  table.Row({Str("TRUE "), Str("AB"), Bool(false), F64(0.3), I32(730151), F64((day + 1) * 86400000),
             U16(1), kNull});
  table.Row({kNull, kNull, kNull, kNull, kNull, kNull, kNull, Str("in moll")});
  return table;
}

TEST(FilterEvalTest, TypedValuesCompareByTheirOwnRules) {
  OpenTable t(TypedTable());
  // A fixed-width string equals its text without the trailing blanks, and
  // is still not equal to it.
  EXPECT_EQ(Passing(t, "FX = 'AB'"), (Records{1, 2}));
  EXPECT_EQ(Passing(t, "FX <> 'AB'"), Records{1});
  // Floats closer than 1e-15 are equal and not equal at once.
  EXPECT_EQ(Passing(t, "F = 0.3"), (Records{1, 2}));
  EXPECT_EQ(Passing(t, "F <> 0.3"), Records{1});
  EXPECT_EQ(Passing(t, "F > 0.3"), Records{1});
  // A string meets a boolean as true exactly when it reads TRUE.
  EXPECT_EQ(Passing(t, "S = B"), (Records{1, 2}));
  EXPECT_EQ(Passing(t, "B"), Records{1});
  EXPECT_EQ(Passing(t, "NOT B"), (Records{2, 3}));
  // Dates, date-times and their parts.
  EXPECT_EQ(Passing(t, "D = '2000-01-31'"), Records{1});
  EXPECT_EQ(Passing(t, "D > '2000-01-31'"), Records{2});
  EXPECT_EQ(Passing(t, "DT < '2000-02-01'"), Records{1});
  EXPECT_EQ(Passing(t, "HOUR(DT) = 1 AND DAY(DT) = 31 AND MONTH(D) = 1"), Records{1});
  EXPECT_EQ(Passing(t, "DATE(DT) = D"), (Records{1, 2}));
  EXPECT_EQ(Passing(t, "D = DT"), Records{2});
  EXPECT_EQ(Passing(t, "D + 1 > DT"), (Records{1, 2}));
  EXPECT_EQ(Passing(t, "DT - D > 0.04"), Records{1});
  // Unsigned 16-bit fields are read as signed: 40000 is negative.
  EXPECT_EQ(Passing(t, "W < 0"), Records{1});
  // A memo matches a pattern; a blank one matches nothing.
  EXPECT_EQ(Passing(t, "M LIKE '%moll'"), (Records{1, 3}));
  EXPECT_EQ(Passing(t, "M LIKE 'IN%'", foCaseInsensitive), Records{3});
}

// An SQL time stamp record: six 16-bit parts and the fraction, the
// milliseconds of the second.
testing::Value SqlStamp(std::uint16_t y, std::uint16_t mo, std::uint16_t d, std::uint16_t h,
                        std::uint16_t mi, std::uint16_t s, std::uint32_t milliseconds) {
  std::vector<std::uint8_t> b(16);
  const std::uint16_t parts[] = {y, mo, d, h, mi, s};
  for (int i = 0; i < 6; ++i) StoreU16(b.data() + 2 * i, parts[i]);
  StoreU32(b.data() + 12, milliseconds);
  return b;
}

// A BCD record: precision, sign bit and scale, then the digits two to a byte.
testing::Value Bcd(std::uint8_t precision, bool negative, std::uint8_t scale,
                   std::vector<std::uint8_t> digitPairs) {
  std::vector<std::uint8_t> b(18);
  b[0] = precision;
  b[1] = static_cast<std::uint8_t>((negative ? 0x80 : 0) | scale);
  for (std::size_t i = 0; i < digitPairs.size(); ++i) b[2 + i] = digitPairs[i];
  return b;
}

// Times of day, SQL time stamps and BCD numbers in filters: each compares
// by the value it stands for, against literals read as the column's type.
TEST(FilterEvalTest, TimesSqlTimeStampsAndBcdCompareByValue) {
  TableBuilder table;
  table.Fixed("T", pk::kTcTime, 4).Fixed("TS", pk::kTcSqlTimeStamp, 16).Bcd("N", 10, 2);
  table.Row({I32(45000000), SqlStamp(2024, 2, 29, 23, 59, 58, 123),
             Bcd(4, false, 2, {0x12, 0x50})});  // 12:30, 12.50
  table.Row({I32(28800500), SqlStamp(2024, 3, 1, 0, 0, 0, 0),
             Bcd(3, true, 2, {0x32, 0x50})});  // 08:00:00.5, -3.25
  table.Row({kNull, kNull, kNull});
  table.Row({I32(86399999), SqlStamp(1999, 12, 31, 12, 0, 0, 0),
             Bcd(3, false, 1, {0x12, 0x50})});  // 23:59:59.999, 12.5
  OpenTable t(table);
  const struct {
    const char* text;
    Records passing;
  } cases[] = {
      {"T = '12:30:00'", {1}},
      {"T = '12:30'", {1}},
      {"T > '12:30'", {4}},
      {"T < '12:30:00'", {2}},
      {"T >= '08:00:00.500'", {1, 2, 4}},
      {"T <= '08:00:00.499'", {}},
      {"T <> '23:59:59.999'", {1, 2}},
      {"T IS NULL", {3}},
      {"HOUR(T) = 23", {4}},
      {"MINUTE(T) = 30", {1}},
      {"TS = '2024-02-29 23:59:58.123'", {1}},
      {"TS > '2024-02-29'", {1, 2}},
      {"TS > '2024-02-29 23:59:58.122'", {1, 2}},
      {"TS > '2024-02-29 23:59:58.123'", {2}},
      {"TS < '2000-01-01'", {4}},
      {"TS <> '2024-03-01 00:00'", {1, 4}},
      {"TS >= '2024-03-01'", {2}},
      {"YEAR(TS) = 1999", {4}},
      {"N = 12.5", {1, 4}},
      {"N > 0", {1, 4}},
      {"N < 0", {2}},
      {"N = -3.25", {2}},
      {"N + 1 = 13.5", {1, 4}},
      {"N IS NOT NULL AND N <= 12.4", {2}},
  };
  for (const auto& c : cases) EXPECT_EQ(Passing(t, c.text), c.passing) << c.text;
}

TEST(FilterEvalTest, EngineRefusesWhatItCannotEvaluate) {
  OpenTable t(TypedTable());
  EXPECT_EQ(CompileStatus(t, Parse(t, "S = F")), dbr::kTypeMismatch);
  EXPECT_EQ(CompileStatus(t, Parse(t, "S AND B")), dbr::kTypeMismatch);
  EXPECT_EQ(CompileStatus(t, Parse(t, "S > B")), dbr::kTypeMismatch);
  EXPECT_EQ(CompileStatus(t, Parse(t, "D = DT")), dbr::kOk);

  std::vector<std::uint8_t> good = Parse(t, "S = 'x'");
  std::vector<std::uint8_t> bad = good;
  bad.resize(bad.size() - 3);
  EXPECT_EQ(CompileStatus(t, bad), dbr::kInvalidParameter);
  bad = good;
  StoreU16(bad.data() + 8 + 10, 0);  // the root's left operand is the root itself
  EXPECT_EQ(CompileStatus(t, bad), dbr::kInvalidParameter);
  bad = good;
  bad[bad.size() - 4] = 'Q';  // field name S becomes Q (literal "S\0x\0")
  EXPECT_EQ(CompileStatus(t, bad), dbr::kObjectNotFound);
  EXPECT_EQ(CompileStatus(t, {}), dbr::kInvalidParameter);
}

TEST(FilterEvalTest, FilterListTriesEntriesInOrderWithHandlesThatOnlyGrow) {
  OpenTable t(testing::DictionaryTable({"ABC", "ABD", "B"}));
  FilterList list(Base(t));
  EXPECT_TRUE(list.Empty());
  const auto buffer = Parse(t, "KSZOVEG='AB*'");
  std::uint32_t first = 0, second = 0, third = 0;
  ASSERT_EQ(list.AddExpression(buffer.data(), buffer.size(), &first), dbr::kOk);
  static int calls = 0;
  auto notTwo = [](void* user, const std::uint8_t* image) -> int {
    ++calls;
    const DSBASE& base = *static_cast<const DSBASE*>(user);
    return LoadU32(image + base.Field(5).offset) != 2;
  };
  ASSERT_EQ(list.AddCallback(const_cast<DSBASE*>(&Base(t)), notTwo, &second), dbr::kOk);
  EXPECT_EQ(first, 1u);
  EXPECT_EQ(second, 2u);
  EXPECT_TRUE(list.Accepts(1));
  EXPECT_FALSE(list.Accepts(2));
  EXPECT_FALSE(list.Accepts(3));
  EXPECT_EQ(calls, 2);  // record 3 was rejected before the callback
  const auto mismatch = Parse(t, "KSZOVEG = Index");
  EXPECT_EQ(list.AddExpression(mismatch.data(), mismatch.size(), &third), dbr::kTypeMismatch);
  EXPECT_EQ(list.Remove(first), dbr::kOk);
  EXPECT_EQ(list.Remove(first), dbr::kObjectNotFound);
  EXPECT_TRUE(list.Accepts(3));
  ASSERT_EQ(list.AddExpression(buffer.data(), buffer.size(), &third), dbr::kOk);
  EXPECT_EQ(third, 3u);
  EXPECT_EQ(list.Remove(second), dbr::kOk);
  EXPECT_EQ(list.Remove(third), dbr::kOk);
  EXPECT_TRUE(list.Empty());
}

}  // namespace
}  // namespace dorvem
