// Fuzz target: any text as a filter over a small table with a field of
// every kind. The text is parsed as the client dataset parses filters (the
// input's length picks the filter options); a buffer it produces is
// compiled for the table and run over every record. An input that starts
// like an expression buffer (version 2) is compiled and run as one instead,
// so that the engine also meets buffers the parser would never write.
// Only EDatabaseError may come out of the parser; nothing may come out of
// the engine.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "dataset/eval/filter_list.h"
#include "dataset/eval/program.h"
#include "dataset/filter/expr_parser.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/packet_model.h"
#include "dataset/store/table.h"

using namespace dorvem;
namespace pk = dorvem::packet;

namespace {

PacketColumn Column(const char* name, std::uint32_t typeWord,
                    std::vector<PacketParam> params = {}) {
  PacketColumn c;
  std::snprintf(c.desc.name, sizeof c.desc.name, "%s", name);
  c.desc.typeWord = typeWord;
  c.params = std::move(params);
  return c;
}

PacketParam U16(const char* name, std::uint16_t v) {
  return PacketParam{
      name, pk::MakeTypeWord(pk::kTcUInt, 2), {std::uint8_t(v), std::uint8_t(v >> 8)}};
}

PacketParam Subtype(const std::string& s) {
  PacketParam p{"SUBTYPE", pk::MakeTypeWord(pk::kTcString, 2, pk::kVarying), {s.begin(), s.end()}};
  p.value.push_back(0);
  return p;
}

template <typename T>
PacketValue Raw(T v) {
  PacketValue out{0, std::vector<std::uint8_t>(sizeof v)};
  std::memcpy(out.bytes.data(), &v, sizeof v);
  return out;
}

// A packet BCD value: always the 18-byte record.
PacketValue Bcd(std::vector<std::uint8_t> head) {
  head.resize(18, 0);
  return PacketValue{0, head};
}

PacketValue Text(const std::string& s) {
  return PacketValue{0, {s.begin(), s.end()}};
}

// KSZOVEG, FX (fixed), B, SI, W, I, F, D, T, DT, BY, M (memo), L, N (BCD).
std::vector<std::uint8_t> TablePacket() {
  PacketModel m;
  m.columns = {
      Column("KSZOVEG", pk::MakeTypeWord(pk::kTcString, 1, pk::kVarying), {U16("WIDTH", 40)}),
      Column("FX", pk::MakeTypeWord(pk::kTcString, 1, pk::kVarying),
             {U16("WIDTH", 8), Subtype("FixedChar")}),
      Column("B", pk::MakeTypeWord(pk::kTcBool, 2)),
      Column("SI", pk::MakeTypeWord(pk::kTcInt, 2)),
      Column("W", pk::MakeTypeWord(pk::kTcUInt, 2)),
      Column("I", pk::MakeTypeWord(pk::kTcInt, 4)),
      Column("F", pk::MakeTypeWord(pk::kTcFloat, 8)),
      Column("D", pk::MakeTypeWord(pk::kTcDate, 4)),
      Column("T", pk::MakeTypeWord(pk::kTcTime, 4)),
      Column("DT", pk::MakeTypeWord(pk::kTcTimeStamp, 8)),
      Column("BY", pk::MakeTypeWord(pk::kTcBytes, 4)),
      Column("M", pk::MakeTypeWord(pk::kTcBytes, 4, pk::kVarying), {Subtype("Text")}),
      Column("L", pk::MakeTypeWord(pk::kTcInt, 8)),
      Column("N", pk::MakeTypeWord(pk::kTcBcd, 7), {U16("WIDTH", 10), U16("DECIMALS", 2)})};
  m.tableParams.push_back(
      PacketParam{"LCID", pk::MakeTypeWord(pk::kTcUInt, 4), {0x0E, 0x04, 0, 0}});
  const PacketValue null{1, {}};
  m.rows.push_back(PacketRow{
      0,
      {Text("ALMA"), Text("AB  "), Raw<std::uint16_t>(1), Raw<std::int16_t>(-3),
       Raw<std::uint16_t>(40000), Raw<std::int32_t>(7), Raw(0.5), Raw<std::int32_t>(730150),
       Raw<std::uint32_t>(3600000), Raw(730150.5 * 86400000), Text("abcd"), Text("dur es moll"),
       Raw<std::int64_t>(std::int64_t{1} << 40), Bcd({10, 2, 0, 0, 0, 0x12, 0x34})}});
  PacketRow blank;
  blank.values.assign(m.columns.size(), null);
  m.rows.push_back(blank);
  m.rows.push_back(
      PacketRow{0,
                {Text("csal\xE1"
                      "d"),
                 Text("X"), Raw<std::uint16_t>(0), Raw<std::int16_t>(0), Raw<std::uint16_t>(0),
                 Raw<std::int32_t>(-1), Raw(-0.0), Raw<std::int32_t>(1), Raw<std::uint32_t>(0),
                 Raw(0.0), PacketValue{0, {0, 0, 0, 0}}, Text("%_\\"), Raw<std::int64_t>(-5),
                 Bcd({10, 0x82, 0, 0, 0, 0, 5})}});
  std::vector<std::uint8_t> bytes;
  if (DBResult r = WritePacketModel(m, PacketForm::kBinary, &bytes))
    std::fprintf(stderr, "filter_fuzz: the table's packet cannot be written (%u)\n",
                 static_cast<unsigned>(r));
  return bytes;
}

struct Table {
  Table() {
    path = "/tmp/filter_fuzz_" + std::to_string(::getpid()) + ".cds";
    const std::vector<std::uint8_t> bytes = TablePacket();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    ds.SetFileName(path);
    ds.Open();
    std::remove(path.c_str());
  }
  std::string path;
  TClientDataSet ds{"tblAdat"};
};

void Run(Table& t, const std::uint8_t* buffer, std::size_t size) {
  const DSBASE& base = *static_cast<DSBASE*>(t.ds.Table());
  FilterList list(base);
  std::uint32_t handle = 0;
  if (list.AddExpression(buffer, size, &handle) != dbr::kOk) return;
  for (std::uint32_t rec = 1; rec <= base.RecordCount(); ++rec) (void)list.Accepts(rec);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Table table;
  if (size >= 2 && data[0] == 2 && data[1] == 0) {
    Run(table, data, size);
    return 0;
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto options = static_cast<TFilterOptions>(size % 4);
  try {
    const TExprParser parser(table.ds, text, options, kPoExtended, "", nullptr, kFieldTypeMap);
    if (parser.DataSize() != 0) Run(table, parser.FilterData().data(), parser.DataSize());
  } catch (const EDatabaseError&) {
  }
  return 0;
}
