// The packet writer: the exact bytes of a small binary packet, the encodings
// it fixes (string prefixes, WIDTH, SUBTYPE, empty strings, versions), its
// refusals, and binary round trips through the reader.
#include <gtest/gtest.h>

#include <algorithm>

#include "dataset/packet/packet_model.h"
#include "dataset/packet/writer_interface.h"
#include "packet_test_support.h"

namespace dorvem {
namespace {

using namespace packet;
using namespace packet_test;

using Writer = EngineRef<TDATAPACKET_WRITE>;

Writer MakeWriter(std::vector<DSColumnDesc> columns) {
  Writer w;
  EXPECT_EQ(DATAPACKETWRITE_Factory(w.Receive()), dbr::kOk);
  EXPECT_EQ(w->PutColumnDescs(static_cast<std::uint32_t>(columns.size()), columns.data()),
            dbr::kOk);
  return w;
}

Bytes Binary(TDATAPACKET_WRITE* w) {
  Bytes out;
  EXPECT_EQ(w->GetDataPacket(PacketForm::kBinary, &out), dbr::kOk);
  return out;
}

PacketModel Reread(const Bytes& packet) {
  PacketModel m;
  EXPECT_EQ(ReadPacketModel(packet, &m), dbr::kOk);
  return m;
}

TEST(PacketWriter, SmallBinaryPacketByteForByte) {
  Writer w = MakeWriter({Desc("AB", 0x00490001), Desc("N", 0x00010004, kAttrRequired)});
  const std::uint16_t width = 10;
  ASSERT_EQ(w->AddParameter(1, "WIDTH", 0x00020002, &width, 2), dbr::kOk);
  const std::uint8_t status = 0;
  ASSERT_EQ(w->PutField(0, &status, 1), dbr::kOk);
  ASSERT_EQ(w->PutField(0, "xy", 2), dbr::kOk);
  ASSERT_EQ(w->PutField(1, nullptr, 0), dbr::kOk);
  const Bytes expected = {
      0x96, 0x19, 0xE0, 0xBD, 1,    0,    0,    0,    24,   0,
      0,    0,  // magic, version 1.0, header length
      2,    0,    1,    0,    0,    0,    1,    0,    0,    0,
      0,    0,  // 2 columns, 1 row, metadata flag
      2,    'A',  'B',  0x01, 0x00, 0x49, 0x00, 0,    0,    1,
      0,  // AB: string, prefix 1, one parameter
      5,    'W',  'I',  'D',  'T',  'H',  0x02, 0x00, 0x02, 0x00,
      10,   0,                                                  // WIDTH as u16
      1,    'N',  0x04, 0x00, 0x01, 0x00, 4,    0,    0,    0,  // N: int32, required, no parameters
      0,    0,                                                  // no table parameters
      0,    0x04, 2,    'x',  'y',  // row: status, N blank (bit 2), "xy"
  };
  EXPECT_EQ(Binary(w.get()), expected);
}

TEST(PacketWriter, EncodingsTheWriterFixes) {
  Writer w =
      MakeWriter({Desc("W254", 0x00490001), Desc("W253", 0x00490002), Desc("AUTO", 0x00490001),
                  Desc("MEMO", 0x004B0004), Desc("PIC", 0x004B0004), Desc("SQLTS", 0x00110010)});
  const std::uint32_t w254 = 254;
  const std::uint16_t w253 = 253;
  ASSERT_EQ(w->AddParameter(1, "width", 0x00020004, &w254, 4), dbr::kOk);
  ASSERT_EQ(w->AddParameter(2, "WIDTH", 0x00020002, &w253, 2), dbr::kOk);
  ASSERT_EQ(w->AddParameter(4, "SUBTYPE", 0x00490001, "Text", 4), dbr::kOk);
  const std::uint8_t status = 0;
  ASSERT_EQ(w->PutField(0, &status, 1), dbr::kOk);
  ASSERT_EQ(w->PutField(0, "", 0), dbr::kOk);
  ASSERT_EQ(w->PutField(0, "a", 1), dbr::kOk);
  ASSERT_EQ(w->PutField(0, "abcdefg", 7), dbr::kOk);
  ASSERT_EQ(w->PutField(0, "", 0), dbr::kOk);
  ASSERT_EQ(w->PutField(1, nullptr, 0), dbr::kOk);
  ASSERT_EQ(w->PutField(1, nullptr, 0), dbr::kOk);
  const Bytes packet = Binary(w.get());
  EXPECT_EQ(LoadU16(packet.data() + kOffMajor), 2);  // code 17 makes it version 2

  const PacketModel m = Reread(packet);
  ASSERT_EQ(m.columns.size(), 6u);
  EXPECT_EQ(m.columns[0].desc.typeWord, 0x00490002u);
  EXPECT_EQ(m.columns[1].desc.typeWord, 0x00490001u);
  EXPECT_EQ(m.columns[0].params[0].name, "width");
  EXPECT_EQ(m.columns[0].params[0].typeWord, 0x00020002u);
  EXPECT_EQ(m.columns[0].params[0].value, U16Bytes(254));
  ASSERT_EQ(m.columns[2].params.size(), 1u);  // WIDTH from the longest value
  EXPECT_EQ(m.columns[2].params[0].name, "WIDTH");
  EXPECT_EQ(m.columns[2].params[0].value, U16Bytes(7));
  ASSERT_EQ(m.columns[3].params.size(), 1u);
  EXPECT_EQ(m.columns[3].params[0].typeWord, 0x00490002u);
  EXPECT_EQ(m.columns[3].params[0].value, B(std::string_view("Text\0", 5)));
  ASSERT_EQ(m.columns[4].params.size(), 1u);  // a blob always has a subtype
  EXPECT_EQ(m.columns[4].params[0].value, B(std::string_view("Binary\0", 7)));
  EXPECT_EQ(m.rows[0].values[0].bytes, Bytes{});  // empty string reads back empty
  EXPECT_EQ(m.rows[0].values[3].status, kFieldHasValue);
  EXPECT_EQ(m.rows[0].values[3].bytes, Bytes{});

  // The empty string is one zero byte after a 2-byte length; the SUBTYPE
  // record is a code 9 value with a 2-byte length counting the zero.
  const Bytes emptyString = {0x02, 0x00, 0x00};
  EXPECT_NE(std::search(packet.begin(), packet.end(), emptyString.begin(), emptyString.end()),
            packet.end());
  const Bytes subtype = {7,    'S',  'U', 'B', 'T', 'Y', 'P', 'E', 0x02, 0x00,
                         0x49, 0x00, 5,   0,   'T', 'e', 'x', 't', 0};
  EXPECT_NE(std::search(packet.begin(), packet.end(), subtype.begin(), subtype.end()),
            packet.end());
}

TEST(PacketWriter, Refusals) {
  Writer w;
  ASSERT_EQ(DATAPACKETWRITE_Factory(w.Receive()), dbr::kOk);
  Bytes out;
  EXPECT_EQ(w->GetDataPacket(PacketForm::kBinary, &out), dbr::kNotApplicable);
  const std::uint8_t status = 0;
  EXPECT_EQ(w->PutField(0, &status, 1), dbr::kNotApplicable);
  for (const DSColumnDesc& bad :
       {Desc("", 0x00010004), Desc("A", 0x00810004), Desc("A", 0x050E0001), Desc("A", 0x010C0001),
        Desc("A", 0x00490003), Desc("A", 0x00010003)}) {
    EXPECT_EQ(w->PutColumnDescs(1, &bad), dbr::kInvalidParameter) << std::hex << bad.typeWord;
  }
  const DSColumnDesc good[] = {Desc("I", 0x00010004), Desc("S", 0x00490001)};
  ASSERT_EQ(w->PutColumnDescs(2, good), dbr::kOk);
  const std::uint32_t v = 1;
  EXPECT_EQ(w->AddParameter(3, "X", 0x00010004, &v, 4), dbr::kInvalidParameter);
  EXPECT_EQ(w->AddParameter(0, "X", 0x00010004, &v, 3), dbr::kInvalidParameter);
  EXPECT_EQ(w->AddParameter(0, "", 0x00010004, &v, 4), dbr::kInvalidParameter);
  EXPECT_EQ(w->AddParameter(0, "X", 0x00C10004, &v, 4), dbr::kInvalidParameter);
  ASSERT_EQ(w->PutField(0, &status, 1), dbr::kOk);
  EXPECT_EQ(w->PutField(0, &v, 2), dbr::kInvalidParameter);  // an int32 takes 4 bytes
  EXPECT_EQ(w->PutField(3, nullptr, 0), dbr::kInvalidParameter);
  ASSERT_EQ(w->PutField(0, &v, 4), dbr::kOk);
  EXPECT_EQ(w->GetDataPacket(PacketForm::kBinary, &out), dbr::kNotApplicable);  // row incomplete
  ASSERT_EQ(w->PutField(0, "s", 1), dbr::kOk);
  EXPECT_EQ(w->GetDataPacket(PacketForm::kBinary, &out), dbr::kOk);
  EXPECT_EQ(w->GetDataPacket(PacketForm::kBinary, nullptr), dbr::kInvalidParameter);
}

TEST(PacketWriter, BinaryRoundTrips) {
  for (const PacketModel& model : {DictionaryModel(), ScalarTypesModel()}) {
    Bytes packet;
    ASSERT_EQ(WritePacketModel(model, PacketForm::kBinary, &packet), dbr::kOk);
    const PacketModel back = Reread(packet);
    EXPECT_FALSE(back.text);
    ExpectSameModel(model, back);
    // Writing what was read gives the same bytes again.
    Bytes again;
    ASSERT_EQ(WritePacketModel(back, PacketForm::kBinary, &again), dbr::kOk);
    EXPECT_EQ(again, packet);
  }
}

TEST(PacketWriter, NotChangedValuesAndRowStatusSurvive) {
  PacketModel m;
  m.columns.push_back({Desc("A", 0x00010004), {}});
  m.columns.push_back({Desc("B", 0x00490001), {{"WIDTH", 0x00020002, U16Bytes(5)}}});
  m.rows.push_back({0x08, {NotChanged(), Val("b")}});
  m.rows.push_back({0x02, {Val(Raw<std::int32_t>(5)), NotChanged()}});
  Bytes packet;
  ASSERT_EQ(WritePacketModel(m, PacketForm::kBinary, &packet), dbr::kOk);
  ExpectSameModel(m, Reread(packet));
}

}  // namespace
}  // namespace dorvem
