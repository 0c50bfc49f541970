// The XML text form: round trips through the writer and the reader, the
// reader's vocabulary on hand-written documents (encodings and code pages,
// escapes, column attributes, parameters, nested rows, further packets),
// documents it refuses, and damaged documents.
#include <gtest/gtest.h>

#include "dataset/core/day_number.h"

#include <random>

#include "dataset/packet/packet_model.h"
#include "dataset/packet/reader_interface.h"
#include "dataset/packet/text_values.h"
#include "packet_test_support.h"

namespace dorvem {
namespace {

using namespace packet;
using namespace packet_test;

// Type words as they come back from the text form: by their text name, and a
// varying parameter's prefix as wide as its length needs.
bool SameInText(std::uint32_t written, std::uint32_t read) {
  if (packet::TextFormTypeWord(written) == read) return true;
  return TypeCode(written) == TypeCode(read) && (written & kVarying) && (read & kVarying) &&
         !((written ^ read) & (kArray | kRoundTrip));
}

PacketModel ReadText(std::string_view xml, DBResult expected = dbr::kOk) {
  PacketModel m;
  EXPECT_EQ(ReadPacketModel(B(xml), &m), expected) << xml;
  if (expected == dbr::kOk) {
    EXPECT_TRUE(m.text);
  }
  return m;
}

std::string Doc(std::string_view fields, std::string_view rows, std::string_view params = "") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET "
         "Version=\"2.0\"><METADATA><FIELDS>" +
         std::string(fields) + "</FIELDS><PARAMS " + std::string(params) +
         "/></METADATA><ROWDATA>" + std::string(rows) + "</ROWDATA></DATAPACKET>";
}

TEST(PacketXml, RoundTripsThroughTheWriter) {
  for (const PacketModel& model : {DictionaryModel(), ScalarTypesModel()}) {
    Bytes xml;
    ASSERT_EQ(WritePacketModel(model, PacketForm::kXml, &xml), dbr::kOk);
    const std::string_view text(reinterpret_cast<const char*>(xml.data()), xml.size());
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u);
    EXPECT_NE(text.find("<DATAPACKET Version=\"2.0\">"), std::string_view::npos);
    PacketModel back;
    ASSERT_EQ(ReadPacketModel(xml, &back), dbr::kOk);
    EXPECT_TRUE(back.text);
    ExpectSameModel(model, back, SameInText);

    // Converting the text packet to binary keeps everything again.
    Bytes binary;
    ASSERT_EQ(WritePacketModel(back, PacketForm::kBinary, &binary), dbr::kOk);
    PacketModel again;
    ASSERT_EQ(ReadPacketModel(binary, &again), dbr::kOk);
    ExpectSameModel(back, again, [](std::uint32_t a, std::uint32_t b) {
      return a == b || (TypeCode(a) == TypeCode(b) && (a & kVarying) && (b & kVarying));
    });
  }
}

TEST(PacketXml, WriterEscapesAndNamesColumnsSafely) {
  PacketModel m;
  const PacketParam width{"WIDTH", 0x00020002, U16Bytes(20)};
  m.columns.push_back({Desc("Hang f\xE1jl", 0x00490001), {width}});
  m.columns.push_back({Desc("RowState", 0x00010004), {}});
  m.columns.push_back({Desc("F1", 0x00490001), {width, {"note", 0x80490001, B("<&>")}}});
  m.tableParams.push_back({"LCID", 0x00020004, U32Bytes(1038)});
  m.tableParams.push_back({"UNIQUE_KEY", 0x00820004, U32Bytes(0x8001)});
  m.rows.push_back({0,
                    {Val("a\x01"
                         "b\\c'\"\xF5\x1F"),
                     Val(U32Bytes(3)), Val("")}});
  Bytes xml;
  ASSERT_EQ(WritePacketModel(m, PacketForm::kXml, &xml), dbr::kOk);
  const std::string text(xml.begin(), xml.end());
  EXPECT_NE(text.find("fieldname=\"Hang f\xC3\xA1jl\""), std::string::npos);
  EXPECT_NE(text.find("=\"a&#001;b&#092;c&apos;&quot;\xC5\x91&#031;\""), std::string::npos);
  EXPECT_NE(text.find("<PARAM Name=\"note\" Value=\"&lt;&amp;&gt;\" Type=\"string\" "
                      "Roundtrip=\"True\"/>"),
            std::string::npos);
  EXPECT_NE(text.find("UNIQUE_KEY=\"32769\""), std::string::npos);
  const PacketModel back = ReadText(text);
  ExpectSameModel(m, back, SameInText);
}

// The engine drops one trailing zero from a memo loaded from text, so the
// writer ends every non-empty memo with one, and the model reads it back off.
TEST(PacketXml, MemosEndWithAZeroInText) {
  PacketModel m;
  m.columns.push_back(
      {Desc("M", 0x004B0004), {{"SUBTYPE", 0x00490002, B(std::string_view("Text\0", 5))}}});
  for (std::string_view memo : {std::string_view("ab"), std::string_view("ab\0", 3),
                                std::string_view("\0", 1), std::string_view("")})
    m.rows.push_back({0, {Val(memo)}});
  Bytes xml;
  ASSERT_EQ(WritePacketModel(m, PacketForm::kXml, &xml), dbr::kOk);
  const std::string text(xml.begin(), xml.end());
  EXPECT_NE(text.find("<ROW M=\"ab&#000;\"/><ROW M=\"ab&#000;&#000;\"/><ROW M=\"&#000;&#000;\"/>"
                      "<ROW M=\"\"/>"),
            std::string::npos);
  ExpectSameModel(m, ReadText(text), SameInText);
}

TEST(PacketXml, EncodingsAndCodePages) {
  // A byte-order mark alone makes the text UTF-8; strings become windows-1250.
  PacketModel bom = ReadText(
      "\xEF\xBB\xBF<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"\xC5\x90S\" "
      "fieldtype=\"string\" "
      "WIDTH=\"9\"/></FIELDS></METADATA><ROWDATA><ROW \xC5\x90S=\"\xC5\x91\xC5\xB1 "
      "&#337;&#x171;\"/>"
      "</ROWDATA></DATAPACKET>");
  EXPECT_STREQ(bom.columns[0].desc.name, "\xD5S");
  EXPECT_EQ(bom.rows[0].values[0].bytes, B("\xF5\xFB \xF5\xFB"));

  // The LCID names the code page: Russian is windows-1251.
  PacketModel ru = ReadText(Doc("<FIELD attrname=\"A\" fieldtype=\"string\" WIDTH=\"9\"/>",
                                "<ROW A=\"\xD0\x96\xD0\xB6\"/>", "LCID=\"1049\""));
  EXPECT_EQ(ru.rows[0].values[0].bytes, B("\xC6\xE6"));
  // An LCID that names no locale falls back to windows-1250.
  PacketModel bad = ReadText(Doc("<FIELD attrname=\"A\" fieldtype=\"string\" WIDTH=\"9\"/>",
                                 "<ROW A=\"\xC5\x91\"/>", "LCID=\"65535\""));
  EXPECT_EQ(bad.rows[0].values[0].bytes, B("\xF5"));
  ASSERT_EQ(bad.tableParams.size(), 1u);
  EXPECT_EQ(bad.tableParams[0].typeWord, 0x00020004u);
  EXPECT_EQ(bad.tableParams[0].value, U32Bytes(65535));

  // Without the mark or a UTF-8 declaration the text is already single-byte;
  // a character reference is still a Unicode character.
  PacketModel plain = ReadText(
      "<?xml version=\"1.0\" encoding=\"windows-1250\"?><DATAPACKET><METADATA><FIELDS>"
      "<FIELD attrname=\"A\" fieldtype=\"string\" WIDTH=\"9\"/></FIELDS></METADATA><ROWDATA>"
      "<ROW A=\"\xF5&#337;&amp;&bogus;\"/></ROWDATA></DATAPACKET>");
  EXPECT_EQ(plain.rows[0].values[0].bytes, B("\xF5\xF5&&bogus;"));
}

TEST(PacketXml, ColumnsParametersAndRows) {
  const PacketModel m = ReadText(Doc(
      "<FIELD attrname=\"a1\" fieldname=\"Real name\" fieldtype=\"STRING\" width=\"40\" "
      "readonly=\"true\" required=\"TRUE\" hidden=\"false\"/>"
      "<FIELD tagname=\"M\" fieldtype=\"bin.hex\" SUBTYPE=\"text\" linkfield=\"true\"/>"
      "<FIELD attrname=\"P\" fieldtype=\"bin.hex\" SUBTYPE=\"Graphics\"><PARAM Name=\"x\" "
      "Value=\"1,2\" Type=\"IntArray\" Roundtrip=\"True\"/></FIELD>"
      "<FIELD attrname=\"N\" fieldtype=\"I4\"/>",
      "<ROW a1=\"x\" M=\"line&#013;&#010;two\" P=\" \n Qk0=\" N=\"-5\"/>"
      "<ROW RowState=\"4\" N=\"7\"/>",
      "LCID=\"1038\" READONLY=\"TRUE\" DEFAULT_ORDER=\"2 1\" TABLENAME=\"sz\xC3\xB3t\xC3\xA1r\""));
  ASSERT_EQ(m.columns.size(), 4u);
  EXPECT_STREQ(m.columns[0].desc.name, "Real name");
  EXPECT_EQ(m.columns[0].desc.typeWord, 0x00490001u);
  EXPECT_EQ(m.columns[0].desc.attributes, kAttrReadOnly | kAttrRequired);
  EXPECT_EQ(m.columns[0].params[0].name, "width");
  EXPECT_EQ(m.columns[0].params[0].typeWord, 0x00020002u);
  EXPECT_STREQ(m.columns[1].desc.name, "M");
  EXPECT_EQ(m.columns[1].desc.attributes, kAttrLinkField);
  EXPECT_EQ(m.columns[1].params[0].typeWord, 0x00490002u);
  EXPECT_EQ(m.columns[1].params[0].value, B(std::string_view("text\0", 5)));
  ASSERT_EQ(m.columns[2].params.size(), 2u);
  EXPECT_EQ(m.columns[2].params[1].typeWord, 0x80810004u);
  EXPECT_EQ(m.columns[2].params[1].value, (Bytes{1, 0, 0, 0, 2, 0, 0, 0}));
  ASSERT_EQ(m.tableParams.size(), 4u);
  EXPECT_EQ(m.tableParams[1].typeWord, 0x00030002u);
  EXPECT_EQ(m.tableParams[1].value, (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(m.tableParams[2].typeWord, 0x00820004u);
  EXPECT_EQ(m.tableParams[2].value, (Bytes{2, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(m.tableParams[3].value, B("sz\xF3t\xE1r"));

  ASSERT_EQ(m.rows.size(), 2u);
  EXPECT_EQ(m.rows[0].values[0].bytes, B("x"));
  EXPECT_EQ(m.rows[0].values[1].bytes, B("line\r\ntwo"));  // a memo is text, not Base64
  EXPECT_EQ(m.rows[0].values[2].bytes, B("BM"));
  EXPECT_EQ(m.rows[0].values[3].bytes, U32Bytes(static_cast<std::uint32_t>(-5)));
  EXPECT_EQ(m.rows[1].status, 4);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(m.rows[1].values[c].status, kFieldBlank);
}

TEST(PacketXml, DatesTimesAndNumbers) {
  EXPECT_EQ(DayNumber(1, 1, 1), 1);
  EXPECT_EQ(DayNumber(1, 12, 31), 365);
  EXPECT_EQ(DayNumber(2000, 3, 1) - DayNumber(2000, 2, 28), 2);
  int y, mo, d;
  DateOfDayNumber(DayNumber(2024, 2, 29), &y, &mo, &d);
  EXPECT_EQ(y * 10000 + mo * 100 + d, 20240229);

  const PacketModel m = ReadText(
      Doc("<FIELD attrname=\"D\" fieldtype=\"date\"/><FIELD attrname=\"T\" fieldtype=\"time\"/>"
          "<FIELD attrname=\"DT\" fieldtype=\"dateTime\"/><FIELD attrname=\"S\" "
          "fieldtype=\"SQLdateTime\"/><FIELD attrname=\"B\" fieldtype=\"fixed\"/>",
          "<ROW D=\"00010102\" T=\"13:05:07\" DT=\"00010101T00:00:01\" S=\"19991231T23:59:591\" "
          "B=\"007.50\"/><ROW DT=\"00010102\" S=\"20000101T00:00:00000000007\" B=\"-.5\"/>"));
  EXPECT_EQ(m.rows[0].values[0].bytes, U32Bytes(2));
  EXPECT_EQ(m.rows[0].values[1].bytes, U32Bytes((13 * 60 + 5) * 60000 + 7000));
  EXPECT_EQ(m.rows[0].values[2].bytes, Raw<double>(86400000.0 + 1000.0));
  EXPECT_EQ(m.rows[1].values[2].bytes, Raw<double>(2 * 86400000.0));
  const Bytes& sql = m.rows[0].values[3].bytes;
  ASSERT_EQ(sql.size(), 16u);
  EXPECT_EQ(LoadU16(sql.data()), 1999);
  EXPECT_EQ(LoadU16(sql.data() + 10), 59);
  EXPECT_EQ(LoadU32(sql.data() + 12), 100000000u);
  EXPECT_EQ(LoadU32(m.rows[1].values[3].bytes.data() + 12), 7u);
  const Bytes& bcd = m.rows[0].values[4].bytes;
  EXPECT_EQ(Bytes(bcd.begin(), bcd.begin() + 4), (Bytes{3, 2, 0x75, 0x00}));
  const Bytes& half = m.rows[1].values[4].bytes;
  EXPECT_EQ(Bytes(half.begin(), half.begin() + 3), (Bytes{2, 0x81, 0x05}));

  for (const char* bad : {"<ROW D=\"20230229\"/>", "<ROW D=\"2023011\"/>", "<ROW T=\"1:00:00\"/>",
                          "<ROW DT=\"20230101 12:00:00\"/>", "<ROW B=\"1.2.3\"/>"}) {
    ReadText(Doc("<FIELD attrname=\"D\" fieldtype=\"date\"/><FIELD attrname=\"T\" "
                 "fieldtype=\"time\"/><FIELD attrname=\"DT\" fieldtype=\"dateTime\"/>"
                 "<FIELD attrname=\"B\" fieldtype=\"fixed\"/>",
                 bad),
             dbr::kPacketMismatch);
  }
  for (const char* bad : {"300", "-1", "x", "", "1e3"}) {
    ReadText(
        Doc("<FIELD attrname=\"U\" fieldtype=\"ui1\"/>", std::string("<ROW U=\"") + bad + "\"/>"),
        dbr::kPacketMismatch);
  }
}

TEST(PacketXml, DocumentsThatAreRefused) {
  const std::string fields = "<FIELD attrname=\"A\" fieldtype=\"i4\"/>";
  const std::string good = Doc(fields, "<ROW A=\"1\"/>");
  for (std::string_view bad : {
           std::string_view("x<DATAPACKET/>"),
           std::string_view("<FOO><METADATA/></FOO>"),
           std::string_view("<DATAPACKET><FIELDS/></DATAPACKET>"),
           std::string_view("<METADATA><PARAMS/><FIELDS/></METADATA>"),
           std::string_view("<DATAPACKET/>"),
           std::string_view("<?xml version=\"1.0\""),
       }) {
    ReadText(bad, dbr::kPacketMismatch);
  }
  ReadText(Doc("<FIELD attrname=\"A\" fieldtype=\"i3\"/>", ""), dbr::kPacketMismatch);
  ReadText(Doc(fields, "<ROW A=\"1\"><X></ROW>"), dbr::kPacketMismatch);
  ReadText("<ROWDATA><ROW A=\"1\"/></ROWDATA>", dbr::kNoMetaData);
  ReadText(Doc("", ""), dbr::kPacketMismatch);  // no columns

  for (std::size_t n = 0; n < good.size(); ++n)
    ReadText(good.substr(0, n), n == 0 ? dbr::kNotApplicable : dbr::kPacketMismatch);
}

TEST(PacketXml, NestedRows) {
  const std::string xml = Doc(
      "<FIELD attrname=\"A\" fieldtype=\"i4\"/><FIELD attrname=\"D\" fieldtype=\"nested\">"
      "<FIELDS><FIELD attrname=\"X\" fieldtype=\"i2\"/><FIELD attrname=\"Y\" "
      "fieldtype=\"string\" WIDTH=\"5\"/></FIELDS><PARAMS LCID=\"1038\"/></FIELD>"
      "<FIELD attrname=\"Z\" fieldtype=\"string\" WIDTH=\"5\"/>",
      "<ROW A=\"1\" Z=\"z\"><ROWD X=\"7\" Y=\"y\"/><!-- c --><ROWD X=\"8\"/></ROW><ROW A=\"2\"/>");
  EngineRef<TDATAPACKET_READ> r;
  ASSERT_EQ(DATAPACKETREAD_Factory(r.Receive()), dbr::kOk);
  ASSERT_EQ(r->StartPacket(B(xml)), dbr::kOk);
  EXPECT_TRUE(r->IsTextPacket());
  EXPECT_EQ(r->RowCount(), 2u);
  DSColumnDesc d;
  char name[256];
  std::uint8_t value[64];
  std::uint32_t word = 0, size = 0, status = 0;
  std::vector<std::string> names;
  for (int i = 0; i < 8; ++i) {
    const DBResult res = r->NextColumn(&d);
    if (res == dbr::kOk) names.push_back(d.name);
    for (;;) {
      size = sizeof value;
      if (r->NextParam(name, &word, &size, value) != dbr::kOk) break;
      names.push_back(std::string("+") + name);
    }
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"A", "D", "X", "Y", "+WIDTH", "+LCID", "Z", "+WIDTH"}));
  std::vector<std::string> seen;
  for (;;) {
    size = sizeof value;
    const DBResult res = r->NextField(&size, value, &status);
    if (res == dbr::kAtEnd) break;
    ASSERT_TRUE(res == dbr::kOk || res == dbr::kFieldIsBlank) << res;
    if (res == dbr::kFieldIsBlank) {
      seen.push_back("-");
    } else if (size == 1) {
      seen.push_back("#" + std::to_string(value[0]));
    } else {
      seen.push_back(std::to_string(size == 2 ? LoadU16(value) : LoadU32(value)));
    }
  }
  // Row status, A, nested count, nested rows (status, X, Y), Z; then row 2.
  EXPECT_EQ(seen, (std::vector<std::string>{"#0", "1", "2", "#0", "7", "#121", "#0", "8", "-",
                                            "#122", "#0", "2", "0", "-"}));
}

TEST(PacketXml, FurtherTextPacketsAddRows) {
  EngineRef<TDATAPACKET_READ> r;
  ASSERT_EQ(DATAPACKETREAD_Factory(r.Receive()), dbr::kOk);
  ASSERT_EQ(r->StartPacket(B(Doc("<FIELD attrname=\"S\" fieldtype=\"string\" WIDTH=\"300\"/>",
                                 "<ROW S=\"a\"/>"))),
            dbr::kOk);
  DSColumnDesc d;
  char name[256];
  std::uint8_t value[400];
  std::uint32_t word = 0, size = sizeof value, status = 0;
  ASSERT_EQ(r->NextColumn(&d), dbr::kOk);
  while (r->NextParam(name, &word, &size, value) == dbr::kOk) size = sizeof value;
  EXPECT_EQ(r->NextColumn(&d), dbr::kAtEnd);
  EXPECT_EQ(r->NextParam(name, &word, &size, value), dbr::kAtEnd);
  for (int i = 0; i < 2; ++i) {
    size = sizeof value;
    ASSERT_EQ(r->NextField(&size, value, &status), dbr::kOk);
  }
  size = sizeof value;
  EXPECT_EQ(r->NextField(&size, value, &status), dbr::kAtEnd);

  const std::string longValue(300, 'L');
  ASSERT_EQ(r->StartFurtherPacket(B("<ROWDATA><ROW S=\"" + longValue + "\"/></ROWDATA>")),
            dbr::kOk);
  EXPECT_EQ(r->RowCount(), 1u);
  size = sizeof value;
  ASSERT_EQ(r->NextField(&size, value, &status), dbr::kOk);
  size = sizeof value;
  ASSERT_EQ(r->NextField(&size, value, &status), dbr::kOk);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(value), size), longValue);
  size = sizeof value;
  EXPECT_EQ(r->NextField(&size, value, &status), dbr::kAtEnd);
  EXPECT_EQ(r->StartFurtherPacket(B("<ROWDATA><ROW S=\"x\"></ROWDATA>")), dbr::kPacketMismatch);
}

TEST(PacketXml, WrittenPacketsCutAtEveryOffsetFail) {
  Bytes xml;
  ASSERT_EQ(WritePacketModel(DictionaryModel(), PacketForm::kXml, &xml), dbr::kOk);
  for (std::size_t n = 1; n < xml.size(); n += (n < 600 ? 1 : 97)) {
    PacketModel m;
    EXPECT_NE(ReadPacketModel(Bytes(xml.begin(), xml.begin() + n), &m), dbr::kOk) << n;
  }
}

TEST(PacketXml, RandomDamageEndsInAReaderFailureOrAReadableTable) {
  Bytes xml;
  ASSERT_EQ(WritePacketModel(ScalarTypesModel(), PacketForm::kXml, &xml), dbr::kOk);
  const std::string nested =
      Doc("<FIELD attrname=\"D\" fieldtype=\"nested\"><FIELDS><FIELD attrname=\"X\" "
          "fieldtype=\"i2\"/></FIELDS></FIELD>",
          "<ROW><ROWD X=\"1\"/><ROWD X=\"2\"/></ROW>");
  const Bytes sources[] = {xml, B(nested)};
  const char alphabet[] = "<>/=\"'&#;x0123456789 ROWFIELDSabc";
  std::mt19937 random(2024);
  int opened = 0, refused = 0;
  for (std::size_t s = 0; s < std::size(sources); ++s) {
    for (int i = 0; i < 3000; ++i) {
      Bytes packet = sources[s];
      for (int c = 1 + static_cast<int>(random() % 3); c > 0; --c) {
        const std::size_t at = random() % packet.size();
        packet[at] = static_cast<std::uint8_t>(i % 2 ? random() : alphabet[random() % 33]);
      }
      SCOPED_TRACE("source " + std::to_string(s) + " damage " + std::to_string(i));
      PacketModel m;
      const DBResult read = ReadPacketModel(packet, &m);
      if (read != dbr::kOk) {
        ++refused;
        EXPECT_TRUE(IsReaderFailure(read)) << read;
        continue;
      }
      ++opened;
      // The text form has no row count to hold the rows to.
      ExpectReadableTable(m, std::nullopt, packet.size());
    }
  }
  EXPECT_GT(opened, 100);
  EXPECT_GT(refused, 100);
}

}  // namespace
}  // namespace dorvem
