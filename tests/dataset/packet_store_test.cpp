// Both forms of the program's table load into the record store alike: the
// same fields (string widths, memo and blob subtypes, integer) and the same
// values.
#include <gtest/gtest.h>

#include "dataset/index/index_list.h"
#include "dataset/packet/packet_model.h"
#include "dataset/store/logical_types.h"
#include "dataset/store/table.h"
#include "packet_test_support.h"

namespace dorvem {
namespace {

using namespace packet_test;

struct Loaded {
  DSProps props;
  std::vector<DSFLDDesc> fields;
  std::vector<std::vector<std::uint8_t>> values;  // record-major, with null flags
};

Loaded Load(PacketForm form) {
  Bytes packet;
  EXPECT_EQ(WritePacketModel(DictionaryModel(), form, &packet), dbr::kOk);
  EngineRef<TDSBASE> table;
  EXPECT_EQ(DSBASE_Factory(table.Receive()), dbr::kOk);
  EXPECT_EQ(table->AppendData(packet, true), dbr::kOk);
  Loaded l;
  EXPECT_EQ(table->GetProps(&l.props), dbr::kOk);
  l.fields.resize(l.props.fieldCount);
  EXPECT_EQ(table->GetFieldDescs(l.fields.data()), dbr::kOk);
  for (std::uint32_t r = 1; r <= l.props.recordCount; ++r) {
    for (const DSFLDDesc& f : l.fields) {
      std::vector<std::uint8_t> v(f.recordLength + 1);
      std::uint8_t flag = 9;
      EXPECT_EQ(table->GetFieldValue(r, f.fieldId, v.data(), &flag), dbr::kOk);
      v.back() = flag;
      if (f.logicalType == kLtBlob) v.assign({flag});  // handles are load-order numbers
      l.values.push_back(v);
    }
  }
  return l;
}

TEST(PacketStore, BinaryAndTextFormsLoadAlike) {
  const Loaded binary = Load(PacketForm::kBinary);
  const Loaded text = Load(PacketForm::kXml);
  ASSERT_EQ(binary.fields.size(), 5u);
  ASSERT_EQ(text.fields.size(), 5u);
  const std::uint32_t types[] = {kLtString, kLtString, kLtBlob, kLtBlob, kLtInt32};
  const std::uint32_t units[] = {255, 40, 0, 0, 0};
  for (std::size_t f = 0; f < 5; ++f) {
    for (const Loaded* l : {&binary, &text}) {
      EXPECT_EQ(l->fields[f].logicalType, types[f]) << f;
      if (units[f]) {
        EXPECT_EQ(l->fields[f].units1, units[f]) << f;
      }
    }
    EXPECT_STREQ(binary.fields[f].name, text.fields[f].name);
    EXPECT_EQ(binary.fields[f].subtype, text.fields[f].subtype) << f;
  }
  EXPECT_EQ(binary.fields[2].subtype, packet::kSubtypeText);
  EXPECT_EQ(binary.props.lcid, 1038u);
  EXPECT_EQ(text.props.lcid, 1038u);
  EXPECT_EQ(binary.props.recordCount, 3u);
  EXPECT_EQ(binary.values, text.values);
}

// A declared width beyond what a record can hold is refused, not wrapped
// round to a small slot that the value then overruns.
TEST(PacketStore, WidthsBeyondARecordAreRefused) {
  for (const char* type : {"string.uni", "bin.hex", "string"}) {
    for (const char* width : {"4294967295", "4294967294", "4294967290", "65532"}) {
      SCOPED_TRACE(std::string(type) + " " + width);
      const std::string xml = std::string(
                                  "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA>"
                                  "<FIELDS><FIELD attrname=\"S\" fieldtype=\"") +
                              type + "\" WIDTH=\"" + width +
                              "\"/></FIELDS><PARAMS/></METADATA><ROWDATA>"
                              "<ROW S=\"0123456789012345678901234567890123\"/></ROWDATA>"
                              "</DATAPACKET>";
      EngineRef<TDSBASE> table;
      ASSERT_EQ(DSBASE_Factory(table.Receive()), dbr::kOk);
      EXPECT_EQ(table->AppendData(B(xml), true), dbr::kInvalidFieldType);
    }
  }
}

}  // namespace
}  // namespace dorvem
