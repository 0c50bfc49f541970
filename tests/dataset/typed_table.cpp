#include "tests/dataset/typed_table.h"

#include <cstdio>
#include <cstring>

#include "dataset/packet/packet_format.h"

namespace dorvem::testing {

namespace pk = dorvem::packet;

namespace {

template <typename T>
Value Raw(T v) {
  std::vector<std::uint8_t> b(sizeof v);
  std::memcpy(b.data(), &v, sizeof v);
  return b;
}

PacketParam U16Param(const char* name, std::uint16_t v) {
  return PacketParam{
      name, pk::MakeTypeWord(pk::kTcUInt, 2), {std::uint8_t(v), std::uint8_t(v >> 8)}};
}

PacketParam SubtypeParam(const std::string& name) {
  PacketParam p{
      "SUBTYPE", pk::MakeTypeWord(pk::kTcString, 2, pk::kVarying), {name.begin(), name.end()}};
  p.value.push_back(0);
  return p;
}

PacketColumn MakeColumn(const std::string& name, std::uint32_t typeWord,
                        std::vector<PacketParam> params) {
  PacketColumn c;
  std::snprintf(c.desc.name, sizeof c.desc.name, "%s", name.c_str());
  c.desc.typeWord = typeWord;
  c.params = std::move(params);
  return c;
}

}  // namespace

Value Str(const std::string& s) {
  return std::vector<std::uint8_t>(s.begin(), s.end());
}
Value I16(std::int16_t v) {
  return Raw(v);
}
Value U16(std::uint16_t v) {
  return Raw(v);
}
Value I32(std::int32_t v) {
  return Raw(v);
}
Value I64(std::int64_t v) {
  return Raw(v);
}
Value F64(double v) {
  return Raw(v);
}
Value Bool(bool v) {
  return Raw(static_cast<std::uint16_t>(v ? 1 : 0));
}

TableBuilder& TableBuilder::String(const std::string& name, std::uint16_t width,
                                   const std::string& subtype) {
  std::vector<PacketParam> params = {U16Param("WIDTH", width)};
  if (!subtype.empty()) params.push_back(SubtypeParam(subtype));
  model_.columns.push_back(
      MakeColumn(name, pk::MakeTypeWord(pk::kTcString, 1, pk::kVarying), params));
  return *this;
}

TableBuilder& TableBuilder::Fixed(const std::string& name, std::uint32_t code, std::uint32_t size) {
  model_.columns.push_back(MakeColumn(name, pk::MakeTypeWord(code, size), {}));
  return *this;
}

TableBuilder& TableBuilder::Bcd(const std::string& name, std::uint16_t precision,
                                std::uint16_t decimals) {
  const std::uint32_t size = (precision + 1) / 2 + 2;
  model_.columns.push_back(
      MakeColumn(name, pk::MakeTypeWord(pk::kTcBcd, size),
                 {U16Param("WIDTH", precision), U16Param("DECIMALS", decimals)}));
  return *this;
}

TableBuilder& TableBuilder::Blob(const std::string& name, const std::string& subtype) {
  model_.columns.push_back(
      MakeColumn(name, pk::MakeTypeWord(pk::kTcBytes, 4, pk::kVarying), {SubtypeParam(subtype)}));
  return *this;
}

TableBuilder& TableBuilder::Lcid(std::uint32_t lcid) {
  model_.tableParams.push_back(PacketParam{"LCID",
                                           pk::MakeTypeWord(pk::kTcUInt, 4),
                                           {std::uint8_t(lcid), std::uint8_t(lcid >> 8), 0, 0}});
  return *this;
}

TableBuilder& TableBuilder::Row(std::vector<Value> values) {
  PacketRow row;
  for (const Value& v : values) row.values.push_back(v ? PacketValue{0, *v} : PacketValue{1, {}});
  model_.rows.push_back(std::move(row));
  return *this;
}

TableBuilder DictionaryTable(const std::vector<std::optional<std::string>>& headwords,
                             std::uint32_t lcid) {
  TableBuilder table;
  table.String("FAJLNEV", 255)
      .String("KSZOVEG", 40)
      .Blob("SZOVMAGY", "Text")
      .Blob("GRAPHIC", "Binary");
  table.Fixed("Index", pk::kTcInt, 4);
  if (lcid) table.Lcid(lcid);
  std::int32_t index = 0;
  for (const auto& h : headwords)
    table.Row({kNull, h ? Str(*h) : kNull, kNull, kNull, I32(++index)});
  return table;
}

OpenTable::OpenTable(const TableBuilder& table, const std::string& name)
    : file_(Encode(table.Model())), ds_(std::make_unique<TClientDataSet>(name)) {
  ds_->SetFileName(file_.Path());
  ds_->Open();
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  char cell[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(cell, sizeof cell, "%02x", bytes[i]);
    if (i) out += ' ';
    out += cell;
  }
  return out;
}

}  // namespace dorvem::testing
