// Damaged packets must end in an error, never in a crash or a read past the
// end of the bytes (the sanitizer build runs these too).
#include <gtest/gtest.h>

#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/packet/packet_format.h"

#include <algorithm>
#include "tests/dataset/test_packets.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::Encode;
using testing::TempFile;

std::vector<std::uint8_t> SmallDictionary(bool xml) {
  std::string picture = "BM";
  picture.append(40, '\x7f');
  return Encode(DictionaryModel({{"a.mp3", "ÁRIA", "{\\rtf1 x}", picture, 1},
                                 {std::nullopt, "ADAGIO", "lassan", std::nullopt, 2},
                                 {"", "", std::nullopt, std::nullopt, std::nullopt}}),
                xml);
}

// Opens the bytes and reads every field of every record; returns whether
// opening succeeded. Any exception other than the dataset's own fails.
bool OpenAndReadAll(const TempFile& file) {
  TClientDataSet ds("tblAdat");
  ds.SetFileName(file.Path());
  try {
    ds.Open();
  } catch (const EDatabaseError& e) {
    EXPECT_FALSE(ds.Active());
    EXPECT_NE(std::string(e.what()), "");
    return false;
  }
  // Damage can also leave a well-formed packet whose values the dataset
  // refuses when they are read (a blob length with bit 31 set is a blob not
  // fetched): that is the dataset's own error too.
  try {
    ds.GoFirst();
    while (!ds.IsEmpty()) {
      for (TField* f : ds.Fields()) (void)f->AsString();
      ds.GoNext();
      if (ds.AtEnd()) break;
    }
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()), "");
  }
  return true;
}

TEST(PacketCorruptionTest, EveryTruncationFailsCleanly) {
  for (bool xml : {false, true}) {
    SCOPED_TRACE(xml ? "xml" : "binary");
    const std::vector<std::uint8_t> whole = SmallDictionary(xml);
    TempFile file(whole);
    ASSERT_TRUE(OpenAndReadAll(file));
    for (std::size_t n = 1; n < whole.size(); ++n) {
      file.Rewrite({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)});
      // A binary packet cut anywhere is incomplete; a text one may still be
      // well-formed by chance only if it loses nothing that matters.
      const bool opened = OpenAndReadAll(file);
      if (!xml) {
        EXPECT_FALSE(opened) << "opened when cut to " << n << " bytes";
      }
    }
  }
}

TEST(PacketCorruptionTest, LyingCountsAndLengthsFailCleanly) {
  for (bool xml : {false, true}) {
    SCOPED_TRACE(xml ? "xml" : "binary");
    const std::vector<std::uint8_t> whole = SmallDictionary(xml);
    TempFile file(whole);
    for (std::size_t i = 0; i < whole.size(); ++i) {
      for (std::uint8_t v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
        std::vector<std::uint8_t> bytes = whole;
        if (bytes[i] == v) continue;
        bytes[i] = v;
        file.Rewrite(bytes);
        OpenAndReadAll(file);
      }
    }
  }
}

TEST(PacketCorruptionTest, HugeClaimedRowCountDoesNotReserveForIt) {
  std::vector<std::uint8_t> bytes = SmallDictionary(false);
  // Row count at offset 14: claim two billion rows.
  bytes[14] = 0x00;
  bytes[15] = 0x00;
  bytes[16] = 0x00;
  bytes[17] = 0x77;
  TempFile file(bytes);
  EXPECT_FALSE(OpenAndReadAll(file));
}

TEST(PacketCorruptionTest, AParameterValueMarkedNotFetchedIsRefused) {
  PacketModel m = DictionaryModel({{{}, "A", {}, {}, 1}});
  m.tableParams.push_back(PacketParam{
      "XPARAM", packet::MakeTypeWord(packet::kTcBytes, 4, packet::kVarying), {1, 2, 3}});
  std::vector<std::uint8_t> bytes = Encode(m);
  const std::string name = "XPARAM";
  const auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
  ASSERT_NE(at, bytes.end());
  // After the name come the type word and the 4-byte length of the value.
  bytes[static_cast<std::size_t>(at - bytes.begin()) + name.size() + 4 + 3] |= 0x80;
  TempFile file(bytes);
  TClientDataSet ds("tblAdat");
  ds.SetFileName(file.Path());
  try {
    ds.Open();
    FAIL() << "opened";
  } catch (const EDBClient& e) {
    EXPECT_STREQ(e.what(), "Mismatch in datapacket.");
  }
}

}  // namespace
}  // namespace dorvem
