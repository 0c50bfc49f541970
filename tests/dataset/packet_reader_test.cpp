// The binary packet reader on hand-made packets: header recognition, column
// descriptors, parameter lists, row layout and status bits, nested tables,
// result codes and further packets.
#include <gtest/gtest.h>

#include "dataset/packet/packet_model.h"
#include "dataset/packet/reader_interface.h"
#include "packet_test_support.h"

namespace dorvem {
namespace {

using namespace packet;
using packet_test::B;
using packet_test::Bytes;
using packet_test::PacketBuilder;

using Reader = EngineRef<TDATAPACKET_READ>;

Reader Start(Bytes packet, DBResult expected = dbr::kOk) {
  Reader r;
  EXPECT_EQ(DATAPACKETREAD_Factory(r.Receive()), dbr::kOk);
  EXPECT_EQ(r->StartPacket(std::move(packet)), expected);
  return r;
}

// Reads the parameter list up to its end; returns the names.
std::vector<std::string> DrainParams(TDATAPACKET_READ* r) {
  std::vector<std::string> names;
  char name[256];
  std::uint8_t value[512];
  for (;;) {
    std::uint32_t word = 0, size = sizeof value;
    const DBResult res = r->NextParam(name, &word, &size, value);
    if (res == dbr::kAtEnd) return names;
    EXPECT_EQ(res, dbr::kOk);
    if (res) return names;
    names.push_back(name);
  }
}

// Reads the columns of the current level (with their parameters) and then the
// level's table parameters.
std::vector<DSColumnDesc> ReadMeta(TDATAPACKET_READ* r) {
  std::vector<DSColumnDesc> cols;
  for (;;) {
    DSColumnDesc d;
    const DBResult res = r->NextColumn(&d);
    if (res == dbr::kAtEnd) break;
    EXPECT_EQ(res, dbr::kOk);
    if (res) break;
    cols.push_back(d);
    DrainParams(r);
  }
  DrainParams(r);
  return cols;
}

struct Field {
  DBResult result = 0;
  std::uint32_t size = 0;
  std::uint32_t status = 99;
  std::string bytes;
};

Field Next(TDATAPACKET_READ* r, std::uint32_t capacity = 64) {
  Field f;
  std::vector<char> buf(capacity ? capacity : 1);
  f.size = capacity;
  f.result = r->NextField(&f.size, buf.data(), &f.status);
  if (f.result == dbr::kOk && !(f.size & kNotFetchedBit))
    f.bytes.assign(buf.data(), std::min(f.size, capacity));
  return f;
}

constexpr std::uint32_t kStr1 = 0x00490001;
constexpr std::uint32_t kInt32 = 0x00010004;
constexpr std::uint32_t kBlob = 0x004B0004;

// A five-column table of one row whose status byte 1 is `status1`; the
// values present are given in column order.
PacketBuilder FiveColumns(std::uint8_t status1, std::uint8_t status2 = 0) {
  PacketBuilder b;
  b.Header(5, 1);
  b.Column("A", kStr1).Column("B", kStr1).Column("C", kStr1).Column("D", kBlob);
  b.Column("E", kInt32).U16(0);
  b.U8(0).U8(status1).U8(status2);
  return b;
}

TEST(PacketReader, HeaderRecognition) {
  PacketBuilder v4;
  v4.Header(1, 0, 1, kMagic, 4).Column("A", kInt32).U16(0);
  Start(v4.bytes, dbr::kPacketMismatch);
  PacketBuilder minor4;
  minor4.Header(1, 0, 1, kMagic, 1, 4).Column("A", kInt32).U16(0);
  Start(minor4.bytes, dbr::kPacketMismatch);

  PacketBuilder alternate;
  alternate.Header(1, 0, 1, kMagicAlternate, 9, 9).Column("A", kInt32).U16(0);
  Reader r = Start(alternate.bytes);
  EXPECT_FALSE(r->IsTextPacket());
  EXPECT_EQ(ReadMeta(r.get()).size(), 1u);

  Start({}, dbr::kNotApplicable);
  Start({0x96, 0x19, 0xE0, 0xBD, 1, 0, 0, 0, 24}, dbr::kPacketMismatch);  // shorter than a header
  PacketBuilder longHeader;
  longHeader.Header(1, 0);
  StoreU32(longHeader.bytes.data() + kOffHeaderLength, 25);
  Start(longHeader.bytes, dbr::kPacketMismatch);
  PacketBuilder alternateBody;
  alternateBody.Header(1, 0, kFlagMetaData | kFlagAlternateBody).Column("A", kInt32).U16(0);
  Start(alternateBody.bytes, dbr::kPacketMismatch);

  PacketBuilder noMeta;
  noMeta.Header(1, 0, 0).Column("A", kInt32).U16(0);
  Reader nm = Start(noMeta.bytes);
  EXPECT_FALSE(nm->HasMetaData());
  PacketModel model;
  EXPECT_EQ(ReadPacketModel(noMeta.bytes, &model), dbr::kNoMetaData);
}

TEST(PacketReader, ColumnNamesAndDescriptors) {
  const std::string longName(40, 'N');
  PacketBuilder b;
  b.Header(2, 0).Column(longName, kStr1, 0, kAttrReadOnly | kAttrRequired).Column("Next", kInt32);
  b.U16(0);
  Reader r = Start(b.bytes);
  EXPECT_EQ(r->RowCount(), 0u);
  const auto cols = ReadMeta(r.get());
  ASSERT_EQ(cols.size(), 2u);
  EXPECT_EQ(std::string(cols[0].name), std::string(31, 'N'));
  EXPECT_EQ(cols[0].typeWord, kStr1);
  EXPECT_EQ(cols[0].attributes, kAttrReadOnly | kAttrRequired);
  EXPECT_EQ(std::string(cols[1].name), "Next");
  std::uint32_t size = 4;
  EXPECT_EQ(r->NextField(&size, &size, nullptr), dbr::kAtEnd);  // row count 0: no rows

  PacketBuilder nameless;
  nameless.Header(1, 0).Column("", kInt32).U16(0);
  Reader n = Start(nameless.bytes);
  DSColumnDesc d;
  EXPECT_EQ(n->NextColumn(&d), dbr::kFieldNameNull);
}

TEST(PacketReader, FieldStatusBitsAndValueForms) {
  // Column C blank (bit 4), D not changed (bit 7); A holds the empty string.
  PacketBuilder b = FiveColumns(0x10 | 0x80);
  b.Var8("").Var8("bb").U32(7);
  Reader r = Start(b.bytes);
  ASSERT_EQ(ReadMeta(r.get()).size(), 5u);
  Field row = Next(r.get(), 4);
  EXPECT_EQ(row.result, dbr::kOk);
  EXPECT_EQ(row.size, 1u);
  EXPECT_EQ(row.bytes, std::string(1, '\0'));
  Field a = Next(r.get());
  EXPECT_EQ(a.result, dbr::kOk);
  EXPECT_EQ(a.status, kFieldHasValue);
  EXPECT_EQ(a.size, 0u);
  EXPECT_EQ(Next(r.get()).bytes, "bb");
  Field c = Next(r.get());
  EXPECT_EQ(c.result, dbr::kFieldIsBlank);
  EXPECT_EQ(c.status, kFieldBlank);
  EXPECT_EQ(c.size, 0u);
  Field d = Next(r.get());
  EXPECT_EQ(d.result, dbr::kOk);
  EXPECT_EQ(d.status, kFieldNotChanged);
  EXPECT_EQ(Next(r.get()).bytes, std::string("\x07\0\0\0", 4));
  EXPECT_EQ(Next(r.get()).result, dbr::kAtEnd);

  // A blob length word with bit 31: not fetched, exactly 4 bytes.
  PacketBuilder nf = FiveColumns(0x01 | 0x04 | 0x10);  // A, B, C blank
  nf.U32(0x80000123).U32(9);
  Reader q = Start(nf.bytes);
  ReadMeta(q.get());
  Next(q.get());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Next(q.get()).status, kFieldBlank);
  std::uint32_t size = 0;
  EXPECT_EQ(q->NextFieldSize(&size), dbr::kOk);
  EXPECT_EQ(size, 0x80000123u);
  Field blob = Next(q.get(), 1);
  EXPECT_EQ(blob.result, dbr::kOk);
  EXPECT_EQ(blob.size, 0x80000123u);
  EXPECT_EQ(Next(q.get()).bytes, std::string("\x09\0\0\0", 4));

  // A blob of length 0 is a value of no bytes (the store keeps it blank).
  PacketBuilder empty = FiveColumns(0x01 | 0x04 | 0x10);
  empty.Var32("").U32(9);
  Reader e = Start(empty.bytes);
  ReadMeta(e.get());
  for (int i = 0; i < 4; ++i) Next(e.get());
  Field none = Next(e.get());
  EXPECT_EQ(none.result, dbr::kOk);
  EXPECT_EQ(none.status, kFieldHasValue);
  EXPECT_EQ(none.size, 0u);
  EXPECT_EQ(Next(e.get()).size, 4u);
}

TEST(PacketReader, BuffersAndSizeOnlyCalls) {
  PacketBuilder b = FiveColumns(0);
  b.Var8("hello").Var8("").Var8("x").Var32("blob!").U32(5);
  Reader r = Start(b.bytes);
  std::uint32_t size = 0;
  EXPECT_EQ(r->NextField(&size, nullptr, nullptr), dbr::kNotApplicable);  // metadata not read
  ReadMeta(r.get());
  EXPECT_EQ(r->NextFieldSize(&size), dbr::kOk);
  EXPECT_EQ(size, 1u);
  Next(r.get());
  for (int i = 0; i < 2; ++i) {  // size-only calls do not advance
    EXPECT_EQ(r->NextFieldSize(&size), dbr::kOk);
    EXPECT_EQ(size, 5u);
  }
  char buf[8];
  size = 0;
  EXPECT_EQ(r->NextField(&size, buf, nullptr), dbr::kInvalidParameter);
  Field small = Next(r.get(), 3);
  EXPECT_EQ(small.result, dbr::kInvalidParameter);
  EXPECT_EQ(small.size, 5u);
  EXPECT_EQ(Next(r.get(), 5).bytes, "hello");
  EXPECT_EQ(Next(r.get()).size, 0u);
  EXPECT_EQ(Next(r.get()).bytes, "x");
  EXPECT_EQ(Next(r.get()).bytes, "blob!");
  EXPECT_EQ(Next(r.get()).bytes, std::string("\x05\0\0\0", 4));
  EXPECT_EQ(r->NextFieldSize(&size), dbr::kAtEnd);
}

TEST(PacketReader, ParameterLists) {
  const std::string longName(255, 'p');
  PacketBuilder b;
  b.Header(2, 0).Column("A", kStr1, 2);
  b.Param("width", 0x00020002, packet_test::U16Bytes(40));
  b.Param(longName, 0x80490001, {3, 'a', 'b', 'c'});
  b.Column("B", kInt32, 0);
  b.U16(2).Param("LCID", 0x00020004, packet_test::U32Bytes(1038));
  b.Param("UNIQUE_KEY", 0x00820002, {2, 0, 0, 0, 1, 0, 2, 0x80});
  b.U8(1);  // a byte beyond the metadata
  Reader r = Start(b.bytes);
  DSColumnDesc d;
  char name[256];
  std::uint8_t value[16];
  std::uint32_t word = 0, size = 0;
  EXPECT_EQ(r->NextParam(name, &word, &size, value), dbr::kAtEnd);  // before any column
  ASSERT_EQ(r->NextColumn(&d), dbr::kOk);
  EXPECT_EQ(r->NextColumn(&d), dbr::kNotApplicable);  // parameters pending
  EXPECT_EQ(r->NextParamSize(&size), dbr::kOk);
  EXPECT_EQ(size, 2u);
  size = 1;
  EXPECT_EQ(r->NextParam(name, &word, &size, value), dbr::kInvalidParameter);
  EXPECT_EQ(size, 2u);
  size = sizeof value;
  ASSERT_EQ(r->NextParam(name, &word, &size, value), dbr::kOk);
  EXPECT_STREQ(name, "width");
  EXPECT_EQ(word, 0x00020002u);
  EXPECT_EQ(LoadU16(value), 40);
  size = sizeof value;
  ASSERT_EQ(r->NextParam(name, &word, &size, value), dbr::kOk);
  EXPECT_EQ(std::string(name), longName);
  EXPECT_EQ(word, 0x80490001u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(value), size), "abc");
  EXPECT_NE(r->NextParamSize(&size), dbr::kOk);
  EXPECT_EQ(r->NextParam(name, &word, &size, value), dbr::kAtEnd);
  EXPECT_EQ(r->NextParam(name, &word, &size, value), dbr::kAtEnd);  // stays at the end
  ASSERT_EQ(r->NextColumn(&d), dbr::kOk);
  EXPECT_EQ(r->NextColumn(&d), dbr::kAtEnd);  // B had no parameters
  EXPECT_EQ(DrainParams(r.get()), (std::vector<std::string>{"LCID", "UNIQUE_KEY"}));
  EXPECT_EQ(r->NextColumn(&d), dbr::kAtEnd);
  EXPECT_EQ(r->NextField(&size, value, nullptr), dbr::kAtEnd);  // row count 0
}

// One top-level column A, a nested column N of two int32 columns, then Z.
PacketBuilder NestedPacket(std::uint32_t rows) {
  PacketBuilder b;
  b.Header(5, rows).Column("A", kInt32).Column("N", 0x050E0002);
  b.Column("X", kInt32).Column("Y", kStr1).U16(0);  // the nested level's parameters
  b.Column("Z", kStr1).U16(0);
  return b;
}

TEST(PacketReader, NestedTables) {
  PacketBuilder b = NestedPacket(2);
  b.U8(0).U8(0).U32(1).U32(2);           // row 1: A=1, two nested rows
  b.U8(0).U8(0).U32(10).Var8("ten");     //   nested row 1
  b.U8(0).U8(0x04).U32(11);              //   nested row 2, Y blank
  b.Var8("z1");                          // row 1: Z
  b.U8(0).U8(0).U32(2).U32(0xFFFFFFFF);  // row 2: a negative count reads as 0
  b.Var8("z2");
  Reader r = Start(b.bytes);
  DSColumnDesc d;
  std::vector<std::string> names;
  while (r->NextColumn(&d) == dbr::kOk) {
    names.push_back(d.name);
    DrainParams(r.get());
    if (names.back() == "Y") {
      EXPECT_EQ(r->NextColumn(&d), dbr::kAtEnd);  // end of the nested level
      DrainParams(r.get());
    }
  }
  DrainParams(r.get());
  EXPECT_EQ(names, (std::vector<std::string>{"A", "N", "X", "Y", "Z"}));
  std::vector<std::string> seen;
  for (;;) {
    Field f = Next(r.get());
    if (f.result == dbr::kAtEnd) break;
    ASSERT_TRUE(f.result == dbr::kOk || f.result == dbr::kFieldIsBlank) << f.result;
    seen.push_back(f.result == dbr::kFieldIsBlank ? "-" : f.bytes);
  }
  const std::string one("\x01\0\0\0", 4), two("\x02\0\0\0", 4), st(1, '\0');
  const std::vector<std::string> expected = {
      st,  one,  two, st,  std::string("\x0A\0\0\0", 4), "ten", st, std::string("\x0B\0\0\0", 4),
      "-", "z1", st,  two, "\xFF\xFF\xFF\xFF",           "z2"};
  EXPECT_EQ(seen, expected);
}

TEST(PacketReader, AtMost63TableLevels) {
  PacketBuilder b;
  b.Header(64, 0);
  for (int i = 0; i < 63; ++i) b.Column("N", MakeTypeWord(kTcNested, 63 - i));
  b.Column("L", kInt32);
  Reader r = Start(b.bytes);
  DSColumnDesc d;
  for (int i = 0; i < 62; ++i) ASSERT_EQ(r->NextColumn(&d), dbr::kOk) << i;
  EXPECT_EQ(r->NextColumn(&d), dbr::kNotApplicable);
}

TEST(PacketReader, StopsAfterTheHeadersRowCount) {
  PacketBuilder b;
  b.Header(1, 2).Column("A", kInt32).U16(0);
  for (std::uint32_t i = 1; i <= 3; ++i) b.U8(0).U8(0).U32(i);
  Reader r = Start(b.bytes);
  ReadMeta(r.get());
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(Next(r.get()).result, dbr::kOk);
    EXPECT_EQ(Next(r.get()).result, dbr::kOk);
  }
  EXPECT_EQ(Next(r.get()).result, dbr::kAtEnd);
  EXPECT_EQ(Next(r.get()).result, dbr::kAtEnd);

  PacketBuilder cut;
  cut.Header(1, 2).Column("A", kInt32).U16(0).U8(0).U8(0).U32(1).U8(0).U8(0).U16(2);
  Reader c = Start(cut.bytes);
  ReadMeta(c.get());
  Next(c.get());
  Next(c.get());
  Next(c.get());
  EXPECT_EQ(Next(c.get()).result, dbr::kPacketMismatch);
}

TEST(PacketReader, FurtherPackets) {
  PacketBuilder first;
  first.Header(1, 1).Column("A", kInt32).U16(0).U8(0).U8(0).U32(1);
  Reader r = Start(first.bytes);
  PacketBuilder more;
  more.Header(0, 2, 0).U8(0).U8(0).U32(2).U8(8).U8(0).U32(3);
  EXPECT_EQ(r->StartFurtherPacket(more.bytes), dbr::kNotApplicable);  // metadata not read
  ReadMeta(r.get());
  Next(r.get());
  Next(r.get());
  EXPECT_EQ(Next(r.get()).result, dbr::kAtEnd);

  ASSERT_EQ(r->StartFurtherPacket(more.bytes), dbr::kOk);
  EXPECT_EQ(r->RowCount(), 2u);
  EXPECT_EQ(Next(r.get()).result, dbr::kOk);
  EXPECT_EQ(Next(r.get()).bytes, std::string("\x02\0\0\0", 4));
  EXPECT_EQ(Next(r.get()).bytes, std::string(1, '\x08'));
  EXPECT_EQ(Next(r.get()).bytes, std::string("\x03\0\0\0", 4));
  EXPECT_EQ(Next(r.get()).result, dbr::kAtEnd);

  // With metadata the rows must be found through the row-data offset.
  PacketBuilder withMeta;
  withMeta.Header(1, 1, kFlagMetaData | kFlagRowDataOffset).Column("A", kInt32).U16(0);
  StoreU16(withMeta.bytes.data() + kOffRowDataOffset,
           static_cast<std::uint16_t>(withMeta.bytes.size()));
  withMeta.U8(0).U8(0).U32(4);
  ASSERT_EQ(r->StartFurtherPacket(withMeta.bytes), dbr::kOk);
  Next(r.get());
  EXPECT_EQ(Next(r.get()).bytes, std::string("\x04\0\0\0", 4));
  StoreU32(withMeta.bytes.data() + kOffFlags, kFlagMetaData);
  EXPECT_EQ(r->StartFurtherPacket(withMeta.bytes), dbr::kPacketMismatch);

  PacketBuilder none;
  none.Header(0, 0, kFlagRowDataOffset);
  StoreU16(none.bytes.data() + kOffRowDataOffset, 24);
  ASSERT_EQ(r->StartFurtherPacket(none.bytes), dbr::kOk);
  EXPECT_EQ(Next(r.get()).result, dbr::kAtEnd);
}

TEST(PacketReader, MessagesAndInterfaces) {
  Reader r = Start({}, dbr::kNotApplicable);
  char text[128];
  ASSERT_EQ(r->MessageOf(dbr::kPacketMismatch, text), dbr::kOk);
  EXPECT_STREQ(text, "Mismatch in datapacket.");
  DSColumnDesc d;
  EXPECT_EQ(r->NextColumn(&d), dbr::kNotApplicable);
  void* same = nullptr;
  ASSERT_EQ(r->QueryInterface(InterfaceId::kPacketRead, &same), dbr::kOk);
  EXPECT_EQ(same, r.get());
  r->Release();
  EXPECT_EQ(r->QueryInterface(InterfaceId::kDSBase, &same), dbr::kNotApplicable);
}

}  // namespace
}  // namespace dorvem
