// Damaged packets: truncated at every byte, every length and count made to
// lie, and random damage. The reader must end with one of its own failures
// (or, for random damage, deliver a table that holds together) without
// reading out of bounds; the sanitizer build of these tests proves the
// latter.
#include <gtest/gtest.h>

#include <random>

#include "dataset/packet/packet_model.h"
#include "dataset/packet/reader_interface.h"
#include "packet_test_support.h"

namespace dorvem {
namespace {

using namespace packet;
using namespace packet_test;

// Walks the whole packet through the reader, nested levels included, as a
// consumer that follows the reader wherever it leads. 0 when everything was
// read, else the first failing result.
DBResult DrainAll(Bytes packet) {
  EngineRef<TDATAPACKET_READ> r;
  if (DBResult e = DATAPACKETREAD_Factory(r.Receive())) return e;
  if (DBResult e = r->StartPacket(std::move(packet))) return e;
  if (!r->HasMetaData()) return dbr::kNoMetaData;
  std::vector<std::uint8_t> buf(64);
  char name[256];
  auto drainParams = [&]() -> DBResult {
    for (;;) {
      std::uint32_t size = 0, word = 0;
      DBResult e = r->NextParamSize(&size);
      if (e == dbr::kAtEnd) return dbr::kOk;
      if (e) return e;
      if (!(size & kNotFetchedBit) && size > buf.size()) buf.resize(size);
      size = static_cast<std::uint32_t>(buf.size());
      if ((e = r->NextParam(name, &word, &size, buf.data()))) return e;
    }
  };
  std::uint32_t size = 0, status = 0;
  DBResult e = dbr::kOk;
  for (int guard = 0; guard < 1000000; ++guard) {
    DSColumnDesc d;
    e = r->NextColumn(&d);
    if (e == dbr::kOk) {
      if ((e = drainParams())) return e;
      continue;
    }
    if (e != dbr::kAtEnd) return e;
    if ((e = drainParams())) return e;
    size = static_cast<std::uint32_t>(buf.size());
    e = r->NextField(&size, buf.data(), &status);
    if (e != dbr::kNotApplicable) break;  // still inside a nested level's metadata
  }
  for (;;) {
    if (e == dbr::kInvalidParameter && !(size & kNotFetchedBit)) {
      buf.resize(size);
    } else if (e == dbr::kAtEnd) {
      return dbr::kOk;
    } else if (e != dbr::kOk && e != dbr::kFieldIsBlank) {
      return e;
    }
    size = static_cast<std::uint32_t>(buf.size());
    e = r->NextField(&size, buf.data(), &status);
  }
}

// A packet touching every construct: string, memo, int and nested columns
// with parameters, table parameters with an array, blank values, not-fetched
// blobs and nested rows. Every length and count is marked.
PacketBuilder EverythingPacket() {
  PacketBuilder b;
  b.Header(6, 2);
  b.Column("FAJLNEV", 0x00490001, 1).Param("WIDTH", 0x00020002, U16Bytes(40));
  b.Column("SZOVMAGY", 0x004B0004, 1);
  b.Mark(1).U8(7).Str("SUBTYPE").U32(0x00490002).Mark(2).U16(5).Str(std::string_view("Text\0", 5));
  b.Column("Index", 0x00010004);
  b.Column("N", 0x050E0002, 0).Column("X", 0x00010002).Column("Y", 0x00490001);
  b.Mark(2).U16(0);
  b.Mark(2).U16(2).Param("LCID", 0x00020004, U32Bytes(1038));
  b.Mark(1).U8(10).Str("UNIQUE_KEY").U32(0x00820002).Mark(4).U32(2).U16(1).U16(0x8003);
  // Row 1: all values, two nested rows.
  b.U8(0).U8(0).Var8("a.wav").Var32("{\\rtf1 x}").U32(1).Mark(4).U32(2);
  b.U8(0).U8(0).U16(7).Var8("y");
  b.U8(0).U8(0x04).U16(8);
  // Row 2: FAJLNEV blank, a memo not fetched, no nested rows.
  b.U8(4).U8(0x01).U32(0x80000010).U32(2).Mark(4).U32(0);
  return b;
}

TEST(PacketRobustness, IntactPacketsReadCompletely) {
  EXPECT_EQ(DrainAll(EverythingPacket().bytes), dbr::kOk);
  for (const PacketModel& m : {DictionaryModel(), ScalarTypesModel()}) {
    Bytes packet;
    ASSERT_EQ(WritePacketModel(m, PacketForm::kBinary, &packet), dbr::kOk);
    EXPECT_EQ(DrainAll(packet), dbr::kOk);
  }
}

TEST(PacketRobustness, TruncatedAtEveryOffsetFails) {
  std::vector<Bytes> packets = {EverythingPacket().bytes};
  for (const PacketModel& m : {DictionaryModel(), ScalarTypesModel()}) {
    Bytes packet;
    ASSERT_EQ(WritePacketModel(m, PacketForm::kBinary, &packet), dbr::kOk);
    packets.push_back(packet);
  }
  for (std::size_t p = 0; p < packets.size(); ++p) {
    for (std::size_t n = 0; n < packets[p].size(); ++n) {
      Bytes cut(packets[p].begin(), packets[p].begin() + n);
      EXPECT_NE(DrainAll(cut), dbr::kOk) << "packet " << p << " cut at " << n;
      if (p > 0) {
        PacketModel model;
        EXPECT_NE(ReadPacketModel(cut, &model), dbr::kOk) << "packet " << p << " cut at " << n;
      }
    }
  }
}

TEST(PacketRobustness, EveryLengthAndCountThatLiesFails) {
  const PacketBuilder b = EverythingPacket();
  ASSERT_GT(b.marks.size(), 20u);
  for (const auto& mark : b.marks) {
    for (std::uint32_t lie : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x0000FFFFu, 0x000000FFu}) {
      Bytes packet = b.bytes;
      std::uint8_t* p = packet.data() + mark.offset;
      const std::uint32_t truth = mark.width == 1   ? p[0]
                                  : mark.width == 2 ? LoadU16(p)
                                                    : LoadU32(p);
      if (mark.width == 1) {
        p[0] = static_cast<std::uint8_t>(lie);
      } else if (mark.width == 2) {
        StoreU16(p, static_cast<std::uint16_t>(lie));
      } else {
        StoreU32(p, lie);
      }
      const std::uint32_t now = mark.width == 1 ? p[0] : mark.width == 2 ? LoadU16(p) : LoadU32(p);
      // Only claims of more than there is; a 4-byte count or length with bit
      // 31 set is a negative count or a value not fetched, both legitimate.
      if (now <= truth || (mark.width == 4 && (now & 0x80000000u))) continue;
      EXPECT_NE(DrainAll(packet), dbr::kOk)
          << "count at " << mark.offset << " set to " << std::hex << now;
    }
  }
}

TEST(PacketRobustness, RandomDamageEndsInAReaderFailureOrAReadableTable) {
  Bytes dictionary;
  ASSERT_EQ(WritePacketModel(DictionaryModel(), PacketForm::kBinary, &dictionary), dbr::kOk);
  const Bytes sources[] = {dictionary, EverythingPacket().bytes};
  std::mt19937 random(1996);
  int opened = 0, refused = 0;
  for (std::size_t s = 0; s < std::size(sources); ++s) {
    const bool nested = s == 1;
    for (int i = 0; i < 4000; ++i) {
      Bytes packet = sources[s];
      const int changes = 1 + static_cast<int>(random() % 4);
      for (int c = 0; c < changes; ++c) {
        const std::size_t at = 4 + random() % (packet.size() - 4);  // keep the magic
        packet[at] = static_cast<std::uint8_t>(random());
      }
      SCOPED_TRACE("source " + std::to_string(s) + " damage " + std::to_string(i));
      const DBResult drained = DrainAll(packet);
      EXPECT_TRUE(drained == dbr::kOk || IsReaderFailure(drained)) << drained;
      PacketModel model;
      const DBResult read = ReadPacketModel(packet, &model);
      if (nested) {
        // The model holds flat tables only: a packet whose nested column
        // survived is refused as such, never read.
        EXPECT_TRUE(IsReaderFailure(read)) << read;
        continue;
      }
      if (read == dbr::kOk) {
        ++opened;
        EXPECT_EQ(drained, dbr::kOk);
        // Reading stops after exactly the header's row count.
        ExpectReadableTable(model, LoadU32(packet.data() + 14), packet.size());
      } else {
        ++refused;
        EXPECT_TRUE(IsReaderFailure(read)) << read;
        // The walk fails alike, unless it met a value the model cannot hold.
        if (read != dbr::kBlobNotFetched) {
          EXPECT_EQ(drained, read);
        }
      }
    }
  }
  // Both outcomes occur, so neither branch is dead.
  EXPECT_GT(opened, 100);
  EXPECT_GT(refused, 100);
}

}  // namespace
}  // namespace dorvem
