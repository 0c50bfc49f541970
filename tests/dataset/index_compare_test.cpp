// How two records compare under an index: the value handlers of every kind
// of key field, absent values, descending and case-insensitive keys, and
// the Hungarian collation of headwords.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "dataset/core/byte_layout.h"
#include "dataset/index/fld_obj.h"
#include "dataset/store/logical_types.h"
#include "tests/dataset/index_support.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;

DSFLDDesc FieldOf(std::uint32_t type, std::uint32_t width) {
  DSFLDDesc d;
  d.logicalType = type;
  d.recordLength = width;
  return d;
}

int Cmp(std::uint32_t type, std::uint32_t width, const std::vector<std::uint8_t>& a,
        const std::vector<std::uint8_t>& b, bool descending = false) {
  std::unique_ptr<FLDObj> h;
  EXPECT_EQ(MakeFieldHandler(FieldOf(type, width), descending, false, 0, &h), 0);
  return h->Compare(a.data(), b.data());
}

template <class T>
std::vector<std::uint8_t> Bytes(T v, std::size_t width = sizeof(T)) {
  std::vector<std::uint8_t> b(width, 0);
  std::memcpy(b.data(), &v, sizeof v);
  return b;
}

TEST(IndexCompareTest, NumericKindsCompareByTheirMeaning) {
  EXPECT_EQ(Cmp(kLtInt16, 2, Bytes<std::int16_t>(-5), Bytes<std::int16_t>(3)), -1);
  EXPECT_EQ(Cmp(kLtUInt16, 2, Bytes<std::uint16_t>(0xFFFB), Bytes<std::uint16_t>(3)), 1);
  EXPECT_EQ(Cmp(kLtInt32, 4, Bytes<std::int32_t>(-1), Bytes<std::int32_t>(0)), -1);
  EXPECT_EQ(Cmp(kLtUInt32, 4, Bytes<std::uint32_t>(0x80000000u), Bytes<std::uint32_t>(1)), 1);
  EXPECT_EQ(Cmp(kLtDate, 4, Bytes<std::uint32_t>(0x80000000u), Bytes<std::uint32_t>(1)), 1);
  // 64 bits count whole: values that agree in their low 32 bits.
  EXPECT_EQ(Cmp(kLtInt64, 8, Bytes<std::int64_t>(-(1ll << 40)), Bytes<std::int64_t>(1ll << 40)),
            -1);
  EXPECT_EQ(Cmp(kLtUInt64, 8, Bytes<std::uint64_t>(1ull << 63), Bytes<std::uint64_t>(1)), 1);
  // One-byte kinds live in two-byte slots; only the first byte counts.
  EXPECT_EQ(Cmp(kLtInt8, 2, {0xFF, 0x00}, {0x01, 0x7F}), -1);
  EXPECT_EQ(Cmp(kLtUInt8, 2, {0xFF, 0x00}, {0x01, 0x7F}), 1);
  EXPECT_EQ(Cmp(kLtFloat64, 8, Bytes(-0.5), Bytes(0.25)), -1);
  EXPECT_EQ(Cmp(kLtTimeStamp, 8, Bytes(2.0), Bytes(1.0)), 1);
  EXPECT_EQ(Cmp(kLtFloat64, 8, Bytes(std::nan("")), Bytes(1.0)), 0);
  EXPECT_EQ(Cmp(kLtInt32, 4, Bytes<std::int32_t>(-1), Bytes<std::int32_t>(0), true), 1);
}

std::vector<std::uint8_t> Bcd(int precision, int places, bool negative, const char* digits) {
  std::vector<std::uint8_t> v(18, 0);
  v[0] = static_cast<std::uint8_t>(precision);
  v[1] = static_cast<std::uint8_t>(places | (negative ? 0x80 : 0));
  for (int i = 0; digits[i]; ++i)
    v[2 + i / 2] |= static_cast<std::uint8_t>((digits[i] - '0') << (i % 2 ? 0 : 4));
  return v;
}

TEST(IndexCompareTest, BcdTimestampAndByteKindsCompareByTheirLayout) {
  // 12.5 > 9.75 though its digits start lower; any negative is below.
  EXPECT_EQ(Cmp(kLtBcd, 18, Bcd(3, 1, false, "125"), Bcd(3, 2, false, "975")), 1);
  EXPECT_EQ(Cmp(kLtBcd, 18, Bcd(3, 1, true, "125"), Bcd(3, 2, true, "975")), -1);
  EXPECT_EQ(Cmp(kLtBcd, 18, Bcd(3, 1, true, "001"), Bcd(3, 2, false, "000")), -1);
  EXPECT_EQ(Cmp(kLtFmtBcd, 18, Bcd(4, 2, false, "1250"), Bcd(2, 0, false, "12")), 1);
  EXPECT_EQ(Cmp(kLtBcd, 18, Bcd(4, 2, false, "1200"), Bcd(2, 0, false, "12")), 0);

  auto stamp = [](std::int16_t year, std::uint16_t second, std::uint32_t fraction) {
    std::vector<std::uint8_t> v(16, 0);
    StoreU16(v.data(), static_cast<std::uint16_t>(year));
    StoreU16(v.data() + 10, second);
    StoreU32(v.data() + 12, fraction);
    return v;
  };
  EXPECT_EQ(Cmp(kLtSqlTimeStamp, 16, stamp(-1, 0, 0), stamp(1, 0, 0)), -1);
  EXPECT_EQ(Cmp(kLtSqlTimeStamp, 16, stamp(2000, 1, 0), stamp(2000, 0, 9)), 1);
  EXPECT_EQ(Cmp(kLtSqlTimeStamp, 16, stamp(2000, 1, 7), stamp(2000, 1, 9)), -1);

  // Varying bytes: common length, then the shorter first; bytes past the
  // length do not count.
  EXPECT_EQ(Cmp(kLtVarBytes, 6, {2, 0, 'a', 'b', 'z', 'z'}, {3, 0, 'a', 'b', 0, 0}), -1);
  EXPECT_EQ(Cmp(kLtVarBytes, 6, {2, 0, 'a', 'c', 0, 0}, {3, 0, 'a', 'b', 'z', 0}), 1);
  // Fixed bytes over the whole width, unsigned.
  EXPECT_EQ(Cmp(kLtBytes, 3, {1, 2, 0x80}, {1, 2, 0x7F}), 1);
  // UTF-16 by the collation: "b" after "A" although 'b' < 'A' is false in bytes.
  EXPECT_EQ(Cmp(kLtUnicode, 6, {2, 0, 'b', 0, 0, 0}, {2, 0, 'A', 0, 0, 0}), 1);
}

TEST(IndexCompareTest, AbsentValuesComeFirstAndDescendingNegatesEverything) {
  std::unique_ptr<FLDObj> up, down;
  ASSERT_EQ(MakeFieldHandler(FieldOf(kLtInt32, 4), false, false, 0, &up), 0);
  ASSERT_EQ(MakeFieldHandler(FieldOf(kLtInt32, 4), true, false, 0, &down), 0);
  const auto v = Bytes<std::int32_t>(-100);
  EXPECT_EQ(up->Compare(nullptr, v.data()), -1);
  EXPECT_EQ(up->Compare(v.data(), nullptr), 1);
  EXPECT_EQ(up->Compare(nullptr, nullptr), 0);
  EXPECT_EQ(down->Compare(nullptr, v.data()), 1);
}

TEST(IndexCompareTest, BlobMemoAndNestedFieldsCannotBeKeys) {
  for (std::uint32_t type : {kLtBlob, kLtAdt, kLtArray, kLtReference, kLtNestedTable}) {
    std::unique_ptr<FLDObj> h;
    EXPECT_EQ(MakeFieldHandler(FieldOf(type, 4), false, false, 0, &h), dbr::kInvalidFieldType);
  }
  auto table = LoadTable(HeadwordRows({"A"}));
  for (std::int32_t column :
       {static_cast<std::int32_t>(kSzovmagy), static_cast<std::int32_t>(kGraphic)}) {
    BuiltIndex idx;
    BuildIndex(table.get(), KeyOn("X", {static_cast<std::int32_t>(kKszoveg), column}), &idx);
    EXPECT_EQ(idx.status, dbr::kInvalidFieldType);
  }
  BuiltIndex bad;
  BuildIndex(table.get(), KeyOn("X", {6}), &bad);
  EXPECT_EQ(bad.status, dbr::kInvalidParameter);
}

// Headwords in the order the index puts them, for each ranks setting.
std::vector<std::string> Ordered(const std::vector<std::optional<std::string>>& words,
                                 bool caseInsensitive = false, bool descending = false,
                                 std::uint32_t lcid = 1038) {
  std::vector<std::string> out[2];
  for (bool ranks : {false, true}) {
    auto table = LoadTable(DictionaryModel(HeadwordRows(words), lcid));
    table->Ranks().SetEnabled(ranks);
    IndexDescriptor d = KeyOn("KSZOVEG", {kKszoveg});
    d.caseInsensitive[0] = caseInsensitive;
    d.descending[0] = descending;
    BuiltIndex idx;
    BuildIndex(table.get(), d, &idx);
    EXPECT_EQ(idx.status, 0);
    for (std::uint32_t r : EntriesOf(*idx.index)) {
      const auto& w = words[r - 1];
      out[ranks].push_back(w ? "'" + *w + "'" : "null");
    }
  }
  EXPECT_EQ(out[0], out[1]) << "ranks and collator calls disagree";
  return out[1];
}

TEST(IndexCompareTest, NullBeforeEmptyBeforeEveryHeadword) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Ordered({"A", "", std::nullopt, " ", "!"}), (V{"null", "''", "' '", "'!'", "'A'"}));
  EXPECT_EQ(Ordered({"A", "", std::nullopt}, false, true), (V{"'A'", "''", "null"}));
}

TEST(IndexCompareTest, HungarianOrderWithDigraphsAndAccents) {
  using V = std::vector<std::string>;
  // Windows-1250: \xD6 is Ö, \xC1 is Á.
  EXPECT_EQ(Ordered({"D", "CSA", "CZ", "CA", "\xD6", "OZ", "O", "\xC1", "A", "B"}),
            (V{"'A'", "'\xC1'", "'B'", "'CA'", "'CZ'", "'CSA'", "'D'", "'O'", "'OZ'", "'\xD6'"}));
}

TEST(IndexCompareTest, CaseAndTrailingBlanksMakeHeadwordsDistinct) {
  // Distinct under the headword index: a unique index accepts both; under a
  // case-insensitive key they collide.
  for (bool caseInsensitive : {false, true}) {
    auto table = LoadTable(HeadwordRows({"allegro", "ALLEGRO"}));
    IndexDescriptor d = KeyOn("U", {kKszoveg});
    d.uniqueness = kIndexUnique;
    d.caseInsensitive[0] = caseInsensitive;
    BuiltIndex idx;
    BuildIndex(table.get(), d, &idx);
    EXPECT_EQ(idx.status, caseInsensitive ? dbr::kKeyViolation : dbr::kOk);
  }
  using V = std::vector<std::string>;
  EXPECT_EQ(Ordered({"AB ", "AB", "AB  "}), (V{"'AB'", "'AB '", "'AB  '"}));
  // Case-insensitive keys keep equal words in arrival order here (three
  // records: only the insertion pass runs).
  EXPECT_EQ(Ordered({"b", "B", "a", "A"}, true), (V{"'a'", "'A'", "'b'", "'B'"}));
}

// The user's default locale is read from the environment once per process,
// so each case runs in a fresh process (a re-executed death test) whose
// environment names exactly the locale given, whatever the caller's LANG.
void ExpectDefaultOrder(const char* posixLocale, const std::vector<std::string>& expected) {
  SCOPED_TRACE(posixLocale);
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* kept[3] = {};
  const char* names[3] = {"LC_ALL", "LC_COLLATE", "LANG"};
  std::string saved[3];
  for (int i = 0; i < 3; ++i)
    if (const char* v = std::getenv(names[i])) saved[i] = v, kept[i] = saved[i].c_str();
  ::setenv("LC_ALL", posixLocale, 1);
  ::unsetenv("LC_COLLATE");
  ::unsetenv("LANG");
  EXPECT_EXIT(
      {
        const bool same = Ordered({"CZ", "CSA"}, false, false, 0) == expected &&
                          Ordered({"CZ", "CSA"}, false, false, 0x7777) == expected;
        std::exit(same ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  for (int i = 0; i < 3; ++i) {
    if (kept[i] != nullptr) {
      ::setenv(names[i], kept[i], 1);
    } else {
      ::unsetenv(names[i]);
    }
  }
  GTEST_FLAG_SET(death_test_style, style);
}

TEST(IndexCompareTest, AnUninstalledLocaleComparesAsTheDefaultLocale) {
  using V = std::vector<std::string>;
  // Hungarian puts CS after every other C; the root order does not.
  EXPECT_EQ(Ordered({"CZ", "CSA"}, false, false, 1038), (V{"'CZ'", "'CSA'"}));
  // Locale 0 is the user's, and an identifier that is not installed becomes
  // 0 when the packet is read: both follow the environment.
  ExpectDefaultOrder("C", V{"'CSA'", "'CZ'"});
  ExpectDefaultOrder("hu_HU.UTF-8", V{"'CZ'", "'CSA'"});
}

}  // namespace
}  // namespace dorvem
