// Compact string columns: every record reads as the slot a fixed-width
// column would hold (its bytes, then zeros up to the width), across the
// blocks of offsets, after the last value is stored again, and beyond the
// stored records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/store/string_column.h"

namespace dorvem {
namespace {

std::string Slot(const StringColumn& c, std::uint32_t record, std::uint32_t width) {
  std::string slot(width, '?');
  c.CopySlot(record, reinterpret_cast<std::uint8_t*>(slot.data()), width);
  return slot;
}

bool Store(StringColumn* c, std::uint32_t record, const std::string& s) {
  return c->Store(record, reinterpret_cast<const std::uint8_t*>(s.data()),
                  static_cast<std::uint32_t>(s.size()));
}

TEST(StringColumnTest, RecordsReadAsFixedWidthSlots) {
  StringColumn c(8);
  ASSERT_TRUE(Store(&c, 1, "KÁNON"));
  ASSERT_TRUE(Store(&c, 2, ""));
  ASSERT_TRUE(Store(&c, 3, "OKTÁV"));
  struct Case {
    std::uint32_t record, width;
    std::string slot;
  };
  const std::vector<Case> cases = {
      {1, 8, std::string("K\xC3\x81NON") + std::string(2, '\0')},
      {1, 3, "K\xC3\x81"},  // cut to the width
      {2, 4, std::string(4, '\0')},
      {3, 6, "OKT\xC3\x81V"},
      {4, 5, std::string(5, '\0')},  // not stored
      {0, 2, std::string(2, '\0')},
  };
  for (const Case& k : cases) EXPECT_EQ(Slot(c, k.record, k.width), k.slot) << k.record;
  EXPECT_EQ(c.Length(1), 6u);
  EXPECT_EQ(c.Length(2), 0u);
  EXPECT_EQ(c.Length(9), 0u);
  EXPECT_STREQ(reinterpret_cast<const char*>(c.Value(3)), "OKT\xC3\x81V");
  EXPECT_EQ(c.Value(9)[0], 0);
}

TEST(StringColumnTest, StoringTheLastValueAgainReplacesItAndOthersAreRefused) {
  StringColumn c(14);
  ASSERT_TRUE(Store(&c, 1, "ADAGIO"));
  ASSERT_TRUE(Store(&c, 2, "ALLEGRETTO"));
  ASSERT_TRUE(Store(&c, 2, "LARGO"));  // shorter: the old bytes must not show
  EXPECT_EQ(Slot(c, 2, 12), std::string("LARGO") + std::string(7, '\0'));
  ASSERT_TRUE(Store(&c, 2, "ALLEGRO VIVACE"));
  EXPECT_EQ(Slot(c, 2, 14), "ALLEGRO VIVACE");
  EXPECT_FALSE(Store(&c, 1, "X"));                   // not the last one
  EXPECT_FALSE(Store(&c, 4, "X"));                   // leaves a gap
  EXPECT_FALSE(Store(&c, 3, std::string(15, 'X')));  // longer than the column's values
  EXPECT_EQ(c.Count(), 2u);
  EXPECT_EQ(Slot(c, 1, 7), std::string("ADAGIO") + '\0');
  // Reading a whole record length from the last value stays in the arena.
  const std::uint8_t* last = c.Value(2);
  for (std::size_t i = 14; i < 300; ++i) ASSERT_EQ(last[i], 0) << i;
}

TEST(StringColumnTest, ValuesAcrossBlocksOfOffsetsKeepTheirPlaces) {
  // Blocks of 1024 records (values of up to 36 bytes), of 256 (255 bytes:
  // a full block's values take all of 65536 bytes) and of one record (the
  // widest column); values mostly of full length, so that a block one
  // record too large would overflow its offsets.
  struct Case {
    std::uint32_t width, records;
    std::vector<std::uint32_t> probes;
  };
  for (const Case& k : std::vector<Case>{{36, 140000, {1, 1023, 1024, 1025, 1026, 131073, 140000}},
                                         {255, 1200, {1, 255, 256, 257, 512, 513, 1200}},
                                         {65531, 5, {1, 2, 3, 4, 5}}}) {
    StringColumn c(k.width);
    ASSERT_TRUE(c.ReserveRecords(100));  // grows beyond the reservation
    auto word = [&k](std::uint32_t r) {
      return std::string(r % 7 == 0 ? r % 37 : k.width, static_cast<char>('A' + r % 26));
    };
    for (std::uint32_t r = 1; r <= k.records; ++r) ASSERT_TRUE(Store(&c, r, word(r))) << r;
    c.ShrinkToFit();
    for (std::uint32_t r : k.probes) {
      EXPECT_EQ(c.Length(r), word(r).size()) << k.width << " " << r;
      EXPECT_EQ(Slot(c, r, k.width), word(r) + std::string(k.width - word(r).size(), '\0'))
          << k.width << " " << r;
    }
  }
}

}  // namespace
}  // namespace dorvem
