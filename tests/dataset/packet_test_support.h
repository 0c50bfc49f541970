// Helpers shared by the packet tests: a byte-level builder for hand-made
// binary packets, the program's own five-column table as a packet model, and
// small readers' conveniences.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/core/byte_layout.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/packet_model.h"
#include "dataset/packet/reader_interface.h"

namespace dorvem::packet_test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes B(std::string_view s) {
  return Bytes(s.begin(), s.end());
}

// Appends packet pieces little-endian; `mark` remembers offsets of interest.
class PacketBuilder {
 public:
  PacketBuilder& Header(std::uint16_t columns, std::uint32_t rows,
                        std::uint32_t flags = packet::kFlagMetaData,
                        std::uint32_t magic = packet::kMagic, std::uint16_t major = 1,
                        std::uint16_t minor = 0) {
    U32(magic).U16(major).U16(minor);
    Mark(4).U32(24);
    Mark(2).U16(columns);
    Mark(4).U32(rows);
    U32(flags).U16(0);
    return *this;
  }
  PacketBuilder& Column(std::string_view name, std::uint32_t typeWord, std::uint16_t params = 0,
                        std::uint16_t attributes = 0) {
    Mark(1).U8(static_cast<std::uint8_t>(name.size())).Str(name).U32(typeWord).U16(attributes);
    Mark(2).U16(params);
    return *this;
  }
  // A parameter record; `value` is the already encoded value.
  PacketBuilder& Param(std::string_view name, std::uint32_t typeWord, const Bytes& value) {
    Mark(1).U8(static_cast<std::uint8_t>(name.size())).Str(name).U32(typeWord);
    bytes.insert(bytes.end(), value.begin(), value.end());
    return *this;
  }
  PacketBuilder& U8(std::uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  PacketBuilder& U16(std::uint16_t v) {
    ByteAppender(bytes).U16(v);
    return *this;
  }
  PacketBuilder& U32(std::uint32_t v) {
    ByteAppender(bytes).U32(v);
    return *this;
  }
  PacketBuilder& Str(std::string_view s) {
    bytes.insert(bytes.end(), s.begin(), s.end());
    return *this;
  }
  // A value with a 1-byte length prefix.
  PacketBuilder& Var8(std::string_view s) {
    return Mark(1).U8(static_cast<std::uint8_t>(s.size())).Str(s);
  }
  PacketBuilder& Var32(std::string_view s) {
    return Mark(4).U32(static_cast<std::uint32_t>(s.size())).Str(s);
  }
  // Remembers that a length or count of `width` bytes begins here.
  PacketBuilder& Mark(int width) {
    marks.push_back({bytes.size(), width});
    return *this;
  }

  struct Count {
    std::size_t offset;
    int width;
  };
  Bytes bytes;
  std::vector<Count> marks;
};

inline Bytes U16Bytes(std::uint16_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
}
inline Bytes U32Bytes(std::uint32_t v) {
  Bytes b(4);
  StoreU32(b.data(), v);
  return b;
}

inline DSColumnDesc Desc(std::string_view name, std::uint32_t typeWord,
                         std::uint16_t attributes = 0) {
  DSColumnDesc d;
  std::memcpy(d.name, name.data(), std::min<std::size_t>(name.size(), 31));
  d.typeWord = typeWord;
  d.attributes = attributes;
  return d;
}

inline PacketValue Val(std::string_view s) {
  return {packet::kFieldHasValue, B(s)};
}
inline PacketValue Val(Bytes b) {
  return {packet::kFieldHasValue, std::move(b)};
}
inline PacketValue Blank() {
  return {packet::kFieldBlank, {}};
}
inline PacketValue NotChanged() {
  return {packet::kFieldNotChanged, {}};
}

// The program's table: FAJLNEV (string, width 255), KSZOVEG (string, width
// 40), SZOVMAGY (memo), GRAPHIC (binary blob), Index (int32); an LCID.
inline PacketModel DictionaryModel() {
  using namespace packet;
  PacketModel m;
  auto column = [&](const char* name, std::uint32_t word, std::vector<PacketParam> params) {
    m.columns.push_back({Desc(name, word), std::move(params)});
  };
  column("FAJLNEV", MakeTypeWord(kTcString, 2, kVarying),
         {{"WIDTH", MakeTypeWord(kTcUInt, 2), U16Bytes(255)}});
  column("KSZOVEG", MakeTypeWord(kTcString, 1, kVarying),
         {{"WIDTH", MakeTypeWord(kTcUInt, 2), U16Bytes(40)}});
  column("SZOVMAGY", MakeTypeWord(kTcBytes, 4, kVarying),
         {{"SUBTYPE", MakeTypeWord(kTcString, 2, kVarying), B(std::string_view("Text\0", 5))}});
  column("GRAPHIC", MakeTypeWord(kTcBytes, 4, kVarying),
         {{"SUBTYPE", MakeTypeWord(kTcString, 2, kVarying), B(std::string_view("Binary\0", 7))}});
  column("Index", MakeTypeWord(kTcInt, 4), {});
  m.tableParams.push_back({"LCID", MakeTypeWord(kTcUInt, 4), U32Bytes(1038)});
  Bytes picture = {'B', 'M', 0, 1, 2, 0xFF, 0x80};
  m.rows.push_back(
      {0,
       {Val("a.mid"), Val("ADAGIO"), Val("{\\rtf1 lass\\'fa}"), Val(picture), Val(U32Bytes(1))}});
  m.rows.push_back({0,
                    {Blank(), Val("ALLEGRO \xE1t"), Val("gyors <&> \"t\xE9'mp\xF3\"\r\n\t\\"),
                     Blank(), Val(U32Bytes(2))}});
  m.rows.push_back({4,
                    {Val(""), Val(std::string(40, 'Z')), Blank(), Val(Bytes(300, 7)),
                     Val(U32Bytes(0xFFFFFFFE))}});
  return m;
}

template <class T>
Bytes Raw(T v, std::size_t size = sizeof(T)) {
  Bytes b(size);
  std::memcpy(b.data(), &v, size);
  return b;
}

// One column of every other scalar type, two rows of values that the text
// form can carry exactly (booleans as 0xFFFF and 0, canonical BCD).
inline PacketModel ScalarTypesModel() {
  using namespace packet;
  PacketModel m;
  auto column = [&](const char* name, std::uint32_t word, std::uint16_t attributes = 0) {
    m.columns.push_back({Desc(name, word, attributes), {}});
  };
  column("I1", 0x00010001);
  column("U1", 0x00020001);
  column("I2", 0x00010002, kAttrRequired);
  column("U2", 0x00020002);
  column("I8", 0x00010008);
  column("U8", 0x00020008, kAttrHidden | kAttrLinkField);
  column("U4", 0x00020004, kAttrReadOnly);
  column("BOOL", 0x00030002);
  column("DATE", 0x00060004);
  column("TIME", 0x00070004);
  column("TS", 0x00080008);
  column("R8", 0x00040008);
  column("R10", 0x0004000A);
  column("BCD", 0x00050020);
  column("FBCD", 0x00120020);
  column("SQLTS", 0x00110010);
  column("UNI", 0x004A0001);
  m.columns.back().params.push_back({"WIDTH", MakeTypeWord(kTcUInt, 2), U16Bytes(10)});
  column("VB", 0x004B0001);
  m.columns.back().params.push_back({"WIDTH", MakeTypeWord(kTcUInt, 2), U16Bytes(8)});
  // BCD -123.45: precision 5, sign and 2 places, digits 1 2 3 4 5.
  Bytes bcd(18);
  bcd[0] = 5;
  bcd[1] = 0x80 | 2;
  bcd[2] = 0x12;
  bcd[3] = 0x34;
  bcd[4] = 0x50;
  Bytes bcdZero(18);
  bcdZero[0] = 1;
  Bytes sqlts;
  for (std::uint16_t v : {2024, 2, 29, 23, 59, 58}) {
    Bytes p = U16Bytes(v);
    sqlts.insert(sqlts.end(), p.begin(), p.end());
  }
  Bytes frac = U32Bytes(123000000);
  sqlts.insert(sqlts.end(), frac.begin(), frac.end());
  const Bytes uni = {0x51, 0x01, 0xAC, 0x20, 'a', 0};  // "\u0151\u20ACa"
  m.rows.push_back(
      {0,
       {Val(Raw<std::int8_t>(-2)), Val(Raw<std::uint8_t>(200)), Val(Raw<std::int16_t>(-300)),
        Val(Raw<std::uint16_t>(65000)), Val(Raw<std::int64_t>(-9000000000000000000LL)),
        Val(Raw<std::uint64_t>(18446744073709551615ULL)), Val(Raw<std::uint32_t>(4000000000u)),
        Val(Raw<std::uint16_t>(0xFFFF)), Val(Raw<std::int32_t>(738945)),
        Val(Raw<std::int32_t>(45296789)), Val(Raw<double>(63847234567890.0)),
        Val(Raw<double>(-3.141592653589793)), Val(Raw<long double>(1.5L, 10)), Val(bcd),
        Val(bcdZero), Val(sqlts), Val(uni), Val(Bytes{0, 1, 2, 0xFE})}});
  m.rows.push_back(
      {8,
       {Val(Raw<std::int8_t>(127)), Blank(), Val(Raw<std::int16_t>(0)), Blank(),
        Val(Raw<std::int64_t>(1)), Val(Raw<std::uint64_t>(0)), Val(Raw<std::uint32_t>(0)),
        Val(Raw<std::uint16_t>(0)), Val(Raw<std::int32_t>(1)), Val(Raw<std::int32_t>(0)),
        Val(Raw<double>(86400000.0)), Val(Raw<double>(1e-300)), Val(Raw<long double>(-0.1L, 10)),
        Blank(), Val(bcd), Blank(), Val(Bytes{}), Val(Bytes{})}});
  return m;
}

// Compares two models column by column, parameter by parameter and value by
// value. `sameWord` decides whether two type words count as equal.
template <class SameWord>
void ExpectSameModel(const PacketModel& a, const PacketModel& b, SameWord sameWord) {
  ASSERT_EQ(a.columns.size(), b.columns.size());
  auto sameParams = [&](const std::vector<PacketParam>& x, const std::vector<PacketParam>& y,
                        const std::string& where) {
    ASSERT_EQ(x.size(), y.size()) << where;
    for (std::size_t i = 0; i < x.size(); ++i) {
      EXPECT_EQ(x[i].name, y[i].name) << where;
      EXPECT_TRUE(sameWord(x[i].typeWord, y[i].typeWord))
          << where << " " << x[i].name << std::hex << " " << x[i].typeWord << " " << y[i].typeWord;
      EXPECT_EQ(x[i].value, y[i].value) << where << " " << x[i].name;
    }
  };
  for (std::size_t c = 0; c < a.columns.size(); ++c) {
    const DSColumnDesc& x = a.columns[c].desc;
    const DSColumnDesc& y = b.columns[c].desc;
    EXPECT_STREQ(x.name, y.name);
    EXPECT_TRUE(sameWord(x.typeWord, y.typeWord))
        << x.name << std::hex << " " << x.typeWord << " " << y.typeWord;
    EXPECT_EQ(x.attributes, y.attributes) << x.name;
    sameParams(a.columns[c].params, b.columns[c].params, x.name);
  }
  sameParams(a.tableParams, b.tableParams, "table");
  ASSERT_EQ(a.rows.size(), b.rows.size());
  for (std::size_t r = 0; r < a.rows.size(); ++r) {
    EXPECT_EQ(a.rows[r].status, b.rows[r].status) << "row " << r;
    ASSERT_EQ(a.rows[r].values.size(), b.rows[r].values.size());
    for (std::size_t c = 0; c < a.rows[r].values.size(); ++c) {
      EXPECT_EQ(a.rows[r].values[c].status, b.rows[r].values[c].status)
          << "row " << r << " column " << c;
      EXPECT_EQ(a.rows[r].values[c].bytes, b.rows[r].values[c].bytes)
          << "row " << r << " column " << c;
    }
  }
}

inline void ExpectSameModel(const PacketModel& a, const PacketModel& b) {
  ExpectSameModel(a, b, [](std::uint32_t x, std::uint32_t y) { return x == y; });
}

// The results a damaged packet may end with: the reader's own failures.
inline bool IsReaderFailure(DBResult r) {
  for (DBResult known :
       {dbr::kPacketMismatch, dbr::kNoMetaData, dbr::kFieldNameNull, dbr::kInvalidFieldType,
        dbr::kInvalidParameter, dbr::kOutOfMemory, dbr::kNotApplicable, dbr::kBlobNotFetched})
    if (r == known) return true;
  return false;
}

// A table read from a damaged packet must still be a table: `rows` rows (when
// known) of one value per column, blank and unchanged values without bytes,
// no value longer than the `packetSize` bytes it came from, strings cut at
// their first zero byte.
inline void ExpectReadableTable(const PacketModel& m, std::optional<std::size_t> rows,
                                std::size_t packetSize) {
  if (rows) {
    ASSERT_EQ(m.rows.size(), *rows);
  }
  for (const PacketRow& row : m.rows) {
    ASSERT_EQ(row.values.size(), m.columns.size());
    for (std::size_t c = 0; c < row.values.size(); ++c) {
      const PacketValue& v = row.values[c];
      EXPECT_LE(v.status, packet::kFieldNotChanged);
      EXPECT_LE(v.bytes.size(), packetSize);
      if (v.status != packet::kFieldHasValue) {
        EXPECT_TRUE(v.bytes.empty());
      }
      if (packet::TypeCode(m.columns[c].desc.typeWord) == packet::kTcString) {
        EXPECT_EQ(std::count(v.bytes.begin(), v.bytes.end(), 0), 0);
      }
    }
  }
}

}  // namespace dorvem::packet_test
