// SQL time stamps of every year: the record layout, the conversion from
// day numbers, and the same values through the filter, an index and the
// packet round trip. Years outside 1..9999 and the date field meeting a
// time stamp field are where the readers of the record used to disagree.
#include <gtest/gtest.h>

#include "dataset/core/day_number.h"
#include "dataset/core/sql_time_stamp.h"
#include "dataset/eval/program.h"
#include "dataset/filter/expr_parser.h"
#include "dataset/host/field_types.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/packet_model.h"
#include "dataset/store/table.h"
#include "tests/dataset/typed_table.h"

namespace dorvem {
namespace {

namespace pk = dorvem::packet;
using Bytes = std::vector<std::uint8_t>;
using testing::I32;
using testing::OpenTable;
using testing::TableBuilder;

// Day numbers counted by hand from 0001-01-01 = day 1 (year 0 is a leap
// year, year -1 is not): 0000-01-01 is 366 days before day 1, -0001-01-01
// 365 days before that; 9999-12-31 is 9999 x 365 + 2424 leap days.
constexpr std::int32_t kDayMinus1Jan1 = -730;
constexpr std::int32_t kDay0Jan1 = -365;
constexpr std::int32_t kDay1999Dec31 = 730119;
constexpr std::int32_t kDay10000Jan1 = 3652060;
constexpr std::int32_t kDay32767Dec31 = 11967900;

Bytes Stamp(std::int16_t y, std::uint16_t mo, std::uint16_t d, std::uint16_t h = 0,
            std::uint16_t mi = 0, std::uint16_t s = 0, std::uint32_t fraction = 0) {
  // Little-endian by hand: i16 year, five u16 parts, u32 fraction.
  const auto u = static_cast<std::uint16_t>(y);
  Bytes b = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8)};
  for (std::uint16_t part : {mo, d, h, mi, s}) {
    b.push_back(static_cast<std::uint8_t>(part));
    b.push_back(static_cast<std::uint8_t>(part >> 8));
  }
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(fraction >> (8 * i)));
  return b;
}

TEST(SqlTimeStampTest, RecordLayoutAndConversionFromDayNumbers) {
  struct Case {
    std::int64_t day;
    std::uint32_t msOfDay;
    Bytes expected;
  };
  const Case cases[] = {
      {kDay1999Dec31, 86399999, Stamp(1999, 12, 31, 23, 59, 59, 999)},
      {kDay10000Jan1, 0, Stamp(10000, 1, 1)},
      {kDay0Jan1, 3723004, Stamp(0, 1, 1, 1, 2, 3, 4)},
      {kDayMinus1Jan1, 0, Stamp(-1, 1, 1)},
      {kDay32767Dec31, 1000, Stamp(32767, 12, 31, 0, 0, 1, 0)},
      // Beyond the record's years: its last and first moments.
      {kDay32767Dec31 + 1, 0, Stamp(32767, 12, 31, 23, 59, 59, 999)},
      {-20000000, 5, Stamp(-32768, 1, 1)},
  };
  for (const Case& c : cases) {
    Bytes out(kSqlTimeStampSize);
    StoreSqlTimeStamp(out.data(), SqlTimeStampOf(c.day, c.msOfDay));
    EXPECT_EQ(out, c.expected) << c.day;
  }
  // Back to day numbers, every year; a record naming no day is day 0.
  EXPECT_EQ(DayNumberOf(LoadSqlTimeStamp(Stamp(10000, 1, 1).data())), kDay10000Jan1);
  EXPECT_EQ(DayNumberOf(LoadSqlTimeStamp(Stamp(-1, 1, 1).data())), kDayMinus1Jan1);
  EXPECT_EQ(DayNumberOf(LoadSqlTimeStamp(Stamp(2023, 2, 29).data())), 0);
  // Records order by signed year first.
  EXPECT_EQ(CompareSqlTimeStamps(Stamp(-1, 12, 31).data(), Stamp(0, 1, 1).data()), -1);
  EXPECT_EQ(CompareSqlTimeStamps(Stamp(10000, 1, 1).data(), Stamp(9999, 12, 31).data()), 1);
  EXPECT_EQ(CompareSqlTimeStamps(Stamp(5, 1, 1, 0, 0, 0, 2).data(), Stamp(5, 1, 1).data()), 1);
}

TEST(SqlTimeStampTest, EveryPartDecidesTheOrderWhenTheEarlierPartsAreEqual) {
  // Pairs that differ in one part only, from the year to the fraction; the
  // first of each pair is the later moment.
  const std::pair<Bytes, Bytes> pairs[] = {
      {Stamp(2001, 1, 1), Stamp(2000, 12, 31, 23, 59, 59, 999)},
      {Stamp(2000, 3, 1), Stamp(2000, 2, 29, 23, 59, 59, 999)},
      {Stamp(2000, 3, 2), Stamp(2000, 3, 1, 23, 59, 59, 999)},
      {Stamp(2000, 3, 1, 13), Stamp(2000, 3, 1, 12, 59, 59, 999)},
      {Stamp(2000, 3, 1, 12, 31), Stamp(2000, 3, 1, 12, 30, 59, 999)},
      {Stamp(2000, 3, 1, 12, 30, 46), Stamp(2000, 3, 1, 12, 30, 45, 999)},
      {Stamp(2000, 3, 1, 12, 30, 45, 1000), Stamp(2000, 3, 1, 12, 30, 45, 999)},
  };
  for (const auto& [later, earlier] : pairs) {
    EXPECT_EQ(CompareSqlTimeStamps(later.data(), earlier.data()), 1);
    EXPECT_EQ(CompareSqlTimeStamps(earlier.data(), later.data()), -1);
    EXPECT_EQ(CompareSqlTimeStamps(later.data(), later.data()), 0);
  }
  // Each part read from its own bytes.
  const SqlTimeStamp t = LoadSqlTimeStamp(Stamp(-2, 3, 4, 5, 6, 7, 0x01020304).data());
  EXPECT_EQ(
      std::vector<long long>({t.year, t.month, t.day, t.hour, t.minute, t.second, t.fraction}),
      std::vector<long long>({-2, 3, 4, 5, 6, 7, 0x01020304}));
}

TEST(SqlTimeStampTest, CalendarRulesOfTheGregorianCalendar) {
  // Leap years: every fourth, but not a century unless it divides by 400.
  EXPECT_TRUE(IsCalendarDate(2024, 2, 29));
  EXPECT_TRUE(IsCalendarDate(2000, 2, 29));
  EXPECT_TRUE(IsCalendarDate(1600, 2, 29));
  EXPECT_FALSE(IsCalendarDate(1900, 2, 29));
  EXPECT_FALSE(IsCalendarDate(2100, 2, 29));
  EXPECT_FALSE(IsCalendarDate(2023, 2, 29));
  EXPECT_TRUE(IsCalendarDate(2023, 12, 31));
  EXPECT_FALSE(IsCalendarDate(2023, 4, 31));
  EXPECT_FALSE(IsCalendarDate(2023, 1, 0));
  EXPECT_FALSE(IsCalendarDate(2023, 0, 1));
  EXPECT_FALSE(IsCalendarDate(2023, 13, 1));
  // 1900 has 365 days, 2000 has 366 (counted on a calendar).
  EXPECT_EQ(DayNumber(1901, 1, 1) - DayNumber(1900, 1, 1), 365);
  EXPECT_EQ(DayNumber(2001, 1, 1) - DayNumber(2000, 1, 1), 366);
  // A record naming a day that does not exist is day 0.
  EXPECT_EQ(DayNumberOf(LoadSqlTimeStamp(Stamp(1900, 2, 29).data())), 0);
  EXPECT_NE(DayNumberOf(LoadSqlTimeStamp(Stamp(2000, 2, 29).data())), 0);
}

// Rows: N, a time stamp TS and a date D naming the same day (at midnight)
// except in row 3, whose date is one day later.
TableBuilder StampTable() {
  TableBuilder table;
  table.Fixed("N", pk::kTcInt, 4).Fixed("TS", pk::kTcSqlTimeStamp, 16).Fixed("D", pk::kTcDate, 4);
  table.Row({I32(1), Stamp(10000, 1, 1), I32(kDay10000Jan1)});
  table.Row({I32(2), Stamp(-1, 1, 1), I32(kDayMinus1Jan1)});
  table.Row({I32(3), Stamp(1999, 12, 31), I32(kDay1999Dec31 + 1)});
  table.Row({I32(4), Stamp(32767, 12, 31), I32(kDay32767Dec31)});
  table.Row({I32(5), Stamp(0, 1, 1), I32(kDay0Jan1)});
  return table;
}

std::vector<std::uint32_t> Passing(OpenTable& t, std::string_view text) {
  TExprParser parser(t.DataSet(), text, 0, kPoExtended, "", nullptr, kFieldTypeMap, '.');
  const DSBASE& table = *static_cast<DSBASE*>(t->Table());
  std::unique_ptr<eval::Program> program;
  const std::vector<std::uint8_t>& buffer = parser.FilterData();
  EXPECT_EQ(eval::Program::Compile(buffer.data(), buffer.size(), table, &program), dbr::kOk);
  std::vector<std::uint32_t> out;
  for (std::uint32_t rec = 1; program && rec <= table.RecordCount(); ++rec)
    if (program->Passes(rec)) out.push_back(rec);
  return out;
}

TEST(SqlTimeStampTest, FilterComparesEveryYear) {
  OpenTable t(StampTable());
  using R = std::vector<std::uint32_t>;
  const struct {
    const char* text;
    R records;
  } cases[] = {
      // Negative years are before every positive one.
      {"TS < '2000-01-01'", R{2, 3, 5}},
      {"TS > '9999-12-31 23:59'", R{1, 4}},
      // A date meeting a time stamp becomes one at its midnight.
      {"D = TS", R{1, 2, 4, 5}},
      {"D > TS", R{3}},
      {"YEAR(TS) > 9999 AND MONTH(TS) = 1 AND DAY(TS) = 1", R{1}},
      {"YEAR(D) = 32767", R{4}},
  };
  for (const auto& c : cases) EXPECT_EQ(Passing(t, c.text), c.records) << c.text;
}

TEST(SqlTimeStampTest, IndexOrdersEveryYear) {
  OpenTable t(StampTable());
  t->SetIndexFieldNames("TS");
  std::string order;
  for (t->GoFirst(); !t->AtEnd(); t->GoNext()) order += t->FieldByName("N")->AsString();
  EXPECT_EQ(order, "25314");
}

TEST(SqlTimeStampTest, PacketRoundTripKeepsEveryYear) {
  PacketModel model = StampTable().Model();
  for (PacketForm form : {PacketForm::kBinary, PacketForm::kXml}) {
    if (form == PacketForm::kXml) {
      // The text form writes four year digits: of these, years 1999 and 0.
      model.rows = {model.rows[2], model.rows[4]};
    }
    Bytes bytes;
    ASSERT_EQ(WritePacketModel(model, form, &bytes), dbr::kOk);
    PacketModel back;
    ASSERT_EQ(ReadPacketModel(bytes, &back), dbr::kOk);
    ASSERT_EQ(back.rows.size(), model.rows.size());
    for (std::size_t r = 0; r < model.rows.size(); ++r)
      EXPECT_EQ(back.rows[r].values[1].bytes, model.rows[r].values[1].bytes) << r;
  }
  // Into the record store and out again.
  OpenTable t(StampTable());
  const auto& table = *static_cast<DSBASE*>(t->Table());
  const Bytes expected[] = {Stamp(10000, 1, 1), Stamp(-1, 1, 1), Stamp(1999, 12, 31),
                            Stamp(32767, 12, 31), Stamp(0, 1, 1)};
  for (std::uint32_t rec = 1; rec <= 5; ++rec) {
    const std::uint8_t* p = table.ValuePtr(rec, 2);
    EXPECT_EQ(Bytes(p, p + kSqlTimeStampSize), expected[rec - 1]) << rec;
  }
}

}  // namespace
}  // namespace dorvem
