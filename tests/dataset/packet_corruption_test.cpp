// Damaged packets must end in an error, never in a crash or a read past the
// end of the bytes (the sanitizer build runs these too).
#include <gtest/gtest.h>

#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/packet/packet_format.h"

#include <algorithm>
#include <set>
#include <string_view>
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

// Three rows whose last value is a picture: a blob length near the end of
// the packet, a string, a memo and the header's counts to lie with.
std::vector<std::uint8_t> LiarBase() {
  std::string picture = "BM";
  picture.append(40, '\x7f');
  return Encode(DictionaryModel({{"a.mp3", "ARIA", "{\\rtf1 x}", std::nullopt, 1},
                                 {std::nullopt, "ADAGIO", "lassan", std::nullopt, 2},
                                 {"b.wav", "BETA", std::nullopt, picture, std::nullopt}}));
}

// The offset just before `text` (a length prefix of `width` bytes).
std::size_t PrefixOf(const std::vector<std::uint8_t>& bytes, std::string_view text, int width) {
  const auto at = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
  EXPECT_NE(at, bytes.end()) << text;
  return static_cast<std::size_t>(at - bytes.begin()) - static_cast<std::size_t>(width);
}

TEST(PacketCorruptionTest, LyingCountsAndLengthsOpenOrFailAsTheyMust) {
  const std::vector<std::uint8_t> base = LiarBase();
  const std::string picture = "BM" + std::string(40, '\x7f');
  const std::string mismatch = "Mismatch in datapacket.";
  struct Lie {
    const char* what;
    std::size_t offset;
    int width;
    std::uint32_t value;
    std::string error;  // empty: the packet opens
    int records;
    std::size_t lastPicture;  // the length of the last row's picture when opened
  };
  const Lie lies[] = {
      // Reading stops after the header's row count: fewer rows open.
      {"row count 2", 14, 4, 2, "", 2, 0},
      {"row count 0", 14, 4, 0, "", 0, 0},
      {"row count 4", 14, 4, 4, mismatch, 0, 0},
      {"row count 2^32-1", 14, 4, 0xFFFFFFFF, mismatch, 0, 0},
      {"no columns", 12, 2, 0, mismatch, 0, 0},
      // A sixth descriptor is read from the table's parameters: name length
      // 1 and name 0 from the count 01 00, then "\x04LCI" as its type word
      // 0x49434C04, a varying boolean with a 0x4C04-byte prefix.
      {"six columns", 12, 2, 6, "Invalid field type.", 0, 0},
      {"first name empty", 24, 1, 0, "Field name can't be null, datapacket may be corrupted", 0, 0},
      {"string longer than the rest", PrefixOf(base, "ARIA", 1), 1, 0xFF, mismatch, 0, 0},
      {"memo of 2^31-1 bytes", PrefixOf(base, "{\\rtf1 x}", 4), 4, 0x7FFFFFFF, mismatch, 0, 0},
      {"picture one byte longer", PrefixOf(base, picture, 4), 4, 43, mismatch, 0, 0},
      {"picture of 2^31-1 bytes", PrefixOf(base, picture, 4), 4, 0x7FFFFFFF, mismatch, 0, 0},
      // The last value's bytes past its length are left over, as bytes after
      // the last row always are.
      {"picture one byte shorter", PrefixOf(base, picture, 4), 4, 41, "", 3, 41},
  };
  TempFile file(base);
  for (const Lie& lie : lies) {
    SCOPED_TRACE(lie.what);
    std::vector<std::uint8_t> bytes = base;
    for (int i = 0; i < lie.width; ++i)
      bytes[lie.offset + static_cast<std::size_t>(i)] =
          static_cast<std::uint8_t>(lie.value >> (8 * i));
    file.Rewrite(bytes);
    TClientDataSet ds("tblAdat");
    ds.SetFileName(file.Path());
    try {
      ds.Open();
      EXPECT_EQ(lie.error, "") << "opened";
    } catch (const EDBClient& e) {
      EXPECT_EQ(e.what(), lie.error);
      EXPECT_FALSE(ds.Active());
      continue;
    }
    EXPECT_EQ(ds.RecordCount(), lie.records);
    if (lie.records == 3) {
      ds.GoLast();
      EXPECT_EQ(ds.Fields()[1]->AsString(), "BETA");
      EXPECT_EQ(ds.Fields()[3]->AsString(), picture.substr(0, lie.lastPicture));
    }
  }
}

// Any byte damaged, in either form, either still opens into records that
// all read, or fails with one of the reader's messages (or, reading a
// length turned into "not fetched", the dataset's).
TEST(PacketCorruptionTest, EveryByteDamagedOpensOrFailsWithTheReadersText) {
  const std::set<std::string> known = {
      "Mismatch in datapacket.", "Datapacket contains no meta data.",
      "Field name can't be null, datapacket may be corrupted", "Invalid field type.",
      "Invalid parameter.", "Operation not applicable.",
      // a length with bit 31 set, read as a value
      "Blob has not been fetched."};
  for (bool xml : {false, true}) {
    SCOPED_TRACE(xml ? "xml" : "binary");
    const std::vector<std::uint8_t> whole = SmallDictionary(xml);
    TempFile file(whole);
    int opened = 0, failed = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) {
      for (std::uint8_t v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
        std::vector<std::uint8_t> bytes = whole;
        if (bytes[i] == v) continue;
        bytes[i] = v;
        file.Rewrite(bytes);
        TClientDataSet ds("tblAdat");
        ds.SetFileName(file.Path());
        try {
          ds.Open();
          ++opened;
          for (ds.GoFirst(); !ds.IsEmpty() && !ds.AtEnd(); ds.GoNext())
            for (TField* f : ds.Fields()) (void)f->AsString();
        } catch (const EDatabaseError& e) {
          ++failed;
          EXPECT_TRUE(known.count(e.what())) << "byte " << i << ": " << e.what();
        }
      }
    }
    EXPECT_GT(opened, 0);
    EXPECT_GT(failed, 0);
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
