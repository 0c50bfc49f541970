// Damage that the loader passes over in silence must be found: values that
// cannot be fetched, fewer or more rows than the header counts, and bytes
// after the last row that no row accounts for; each kind once, with its
// own line. cdstool info and rows report the same lines and fail.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "dataset/core/byte_layout.h"
#include "dataset/host/db_errors.h"
#include "dataset/packet/packet_damage.h"
#include "dataset/packet/packet_format.h"
#include "tests/dataset/test_packets.h"
#include "tests/dataset/tool_runner.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::DictRow;
using testing::Encode;
using testing::RunTool;
using testing::TempFile;

const std::vector<DictRow> kRows = {{"a.mp3", "ARIA", "{\\rtf1 x}", "BM\x01\x02", 1},
                                    {std::nullopt, "BETA", "", std::nullopt, 2},
                                    {"c.mid", "CELLO", std::nullopt, std::nullopt, 3}};
const DictRow kFourth = {"d.wav", "DAL", "dallam", std::nullopt, 4};

std::vector<PacketDamage> DamageOf(const std::vector<std::uint8_t>& bytes) {
  std::vector<PacketDamage> out;
  EXPECT_EQ(FindPacketDamage(PacketBytes(bytes), &out), dbr::kOk);
  return out;
}

// The findings in a form that compares and prints.
std::vector<std::string> Describe(const std::vector<PacketDamage>& damage) {
  std::vector<std::string> out;
  for (const PacketDamage& d : damage) out.push_back(DamageText(d));
  return out;
}

void SetRowCount(std::vector<std::uint8_t>* bytes, std::uint32_t count) {
  StoreU32(bytes->data() + packet::kOffRowCount, count);
}

TEST(PacketDamageTest, AWholePacketHasNone) {
  EXPECT_TRUE(DamageOf(Encode(DictionaryModel(kRows))).empty());
  EXPECT_TRUE(DamageOf(Encode(DictionaryModel({}))).empty());
  EXPECT_TRUE(DamageOf(Encode(DictionaryModel(kRows), true)).empty());  // XML: not examined
}

TEST(PacketDamageTest, HeaderRowCountThatDisagreesWithTheRows) {
  for (std::uint32_t header : {0u, 1u, 2u, 4u, 429u}) {
    SCOPED_TRACE(header);
    std::vector<std::uint8_t> bytes = Encode(DictionaryModel(kRows));
    SetRowCount(&bytes, header);
    const std::vector<PacketDamage> damage = DamageOf(bytes);
    ASSERT_EQ(damage.size(), 1u);
    EXPECT_EQ(damage[0].kind, header < 3 ? DamageKind::kMoreRows : DamageKind::kFewerRows);
    EXPECT_EQ(damage[0].headerRows, header);
    EXPECT_EQ(damage[0].wholeRows, 3u);
  }
  std::vector<std::uint8_t> bytes = Encode(DictionaryModel(kRows));
  SetRowCount(&bytes, 1);
  EXPECT_EQ(Describe(DamageOf(bytes)),
            std::vector<std::string>{"a fejléc szerint 1 sor van az adatfájlban, de 3 sor van "
                                     "benne: a többit a program nem mutatja"});
  SetRowCount(&bytes, 5);
  EXPECT_EQ(Describe(DamageOf(bytes)),
            std::vector<std::string>{"a fejléc szerint 5 sor van az adatfájlban, de csak 3 "
                                     "teljes sor olvasható ki belőle"});
}

TEST(PacketDamageTest, BytesAfterTheLastRow) {
  // Part of a fourth row: the bytes the four-row packet has beyond the
  // three-row one, but its last one.
  const std::vector<std::uint8_t> three = Encode(DictionaryModel(kRows));
  std::vector<DictRow> four = kRows;
  four.push_back(kFourth);
  const std::vector<std::uint8_t> whole = Encode(DictionaryModel(four));
  ASSERT_GT(whole.size(), three.size() + 1);
  std::vector<std::uint8_t> bytes = three;
  bytes.insert(bytes.end(), whole.begin() + static_cast<std::ptrdiff_t>(three.size()),
               whole.end() - 1);
  const std::vector<PacketDamage> damage = DamageOf(bytes);
  ASSERT_EQ(damage.size(), 1u);
  EXPECT_EQ(damage[0].kind, DamageKind::kTrailingBytes);
  EXPECT_EQ(damage[0].offset, three.size());
  EXPECT_EQ(damage[0].count, whole.size() - three.size() - 1);
  EXPECT_EQ(DamageText(damage[0]), std::to_string(whole.size() - three.size() - 1) +
                                       " bájt áll az utolsó teljes sor után (a(z) " +
                                       std::to_string(three.size()) +
                                       ". bájttól), amelyet egyetlen sor sem foglal magában");

  // 1,000 bytes of anything: found, as rows that are not counted or as bytes.
  for (std::uint8_t fill : {0x00, 0x41, 0xFF}) {
    SCOPED_TRACE(int{fill});
    bytes = three;
    bytes.insert(bytes.end(), 1000, fill);
    EXPECT_FALSE(DamageOf(bytes).empty());
  }
}

TEST(PacketDamageTest, ValuesThatCannotBeFetched) {
  // The empty memo of the second row is the only place where this packet
  // and one with a one-letter memo there differ: first in its length word.
  const std::vector<std::uint8_t> good = Encode(DictionaryModel(kRows));
  std::vector<DictRow> other = kRows;
  other[1].szovmagy = "x";
  const std::vector<std::uint8_t> lengthOne = Encode(DictionaryModel(other));
  std::size_t at = 0;
  while (good[at] == lengthOne[at]) ++at;
  ASSERT_EQ(LoadU32(good.data() + at), 0u);
  std::vector<std::uint8_t> bytes = good;
  bytes[at + 3] = 0x80;  // the not-fetched bit
  const std::vector<PacketDamage> damage = DamageOf(bytes);
  ASSERT_EQ(damage.size(), 1u);
  EXPECT_EQ(damage[0].kind, DamageKind::kUnfetchedValues);
  EXPECT_EQ(damage[0].count, 1u);
  EXPECT_EQ(damage[0].firstRow, 2u);
  EXPECT_EQ(damage[0].firstColumn, "SZOVMAGY");
  EXPECT_EQ(DamageText(damage[0]),
            "1 érték nem olvasható ki az adatfájlból (hiányzik a helyéről; először a(z) 2. sor "
            "SZOVMAGY mezőjében)");
}

std::vector<std::uint8_t> ReadDemo() {
  std::ifstream in(DORVEM_SOURCE_DIR "/demo/Data/dorvem1.cds", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PacketDamageTest, DemoWithSixteenBytesCutOutAt1024) {
  std::vector<std::uint8_t> bytes = ReadDemo();
  ASSERT_GT(bytes.size(), 2000u);
  EXPECT_TRUE(DamageOf(bytes).empty());
  bytes.erase(bytes.begin() + 1024, bytes.begin() + 1040);
  // The rows after the cut no longer line up: the table would load values
  // that cannot be fetched and leave most of the bytes unread.
  const std::vector<PacketDamage> damage = DamageOf(bytes);
  std::vector<DamageKind> kinds;
  for (const PacketDamage& d : damage) kinds.push_back(d.kind);
  EXPECT_EQ(kinds,
            (std::vector<DamageKind>{DamageKind::kUnfetchedValues, DamageKind::kTrailingBytes}))
      << ::testing::PrintToString(Describe(damage));

  // cdstool reports the same lines, and fails.
  TempFile file(bytes);
  for (const char* command : {"info", "rows"}) {
    SCOPED_TRACE(command);
    const testing::ToolResult r = RunTool({command, file.Path()});
    EXPECT_EQ(r.status, 1);
    std::string expected;
    for (const std::string& line : Describe(damage))
      expected += "cdstool: " + ErrorReportText(line) + "\n";
    EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace dorvem
