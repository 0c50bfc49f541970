// cdstool info: the packet's header, columns, parameters, row count and
// locale, for people.
#include <cstdio>
#include <string>

#include "dataset/core/byte_layout.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/packet_model.h"
#include "dataset/store/logical_types.h"
#include "tools/cdstool/commands.h"
#include "tools/cdstool/packet_damage_report.h"
#include "tools/cdstool/packet_file.h"

namespace cdstool {

using namespace dorvem;

namespace {

std::string ParamText(const PacketParam& p, std::uint32_t codePage) {
  const std::uint32_t code = packet::TypeCode(p.typeWord);
  const std::uint32_t size = packet::TypeSize(p.typeWord);
  const auto& v = p.value;
  if (code == packet::kTcString) {
    std::string s(v.begin(), v.end());
    if (auto z = s.find('\0'); z != std::string::npos) s.resize(z);
    return "\"" + locale::ToUtf8(s, codePage) + "\"";
  }
  if ((code == packet::kTcInt || code == packet::kTcUInt || code == packet::kTcBool) &&
      (size == 1 || size == 2 || size == 4)) {
    std::string text;
    for (std::size_t i = 0; i + size <= v.size(); i += size) {
      const std::uint32_t n = size == 1 ? v[i] : size == 2 ? LoadU16(&v[i]) : LoadU32(&v[i]);
      if (!text.empty()) text += ",";
      text += std::to_string(n);
    }
    return (p.typeWord & packet::kArray) ? "[" + text + "]" : text;
  }
  return "<" + std::to_string(v.size()) + " bytes>";
}

}  // namespace

int RunInfo(const Args& args, const Context& context) {
  if (args.size() != 1) throw UsageError("info needs exactly one FILE");
  const std::string& file = args[0];

  // The dataset opens the file first, so that a packet it refuses is
  // reported exactly as the window would report it.
  TClientDataSet ds("tblAdat");
  ds.SetFileName(file);
  ds.SetCacheFolder(context.cacheFolder);
  ds.Open();

  // The file is mapped: only the header and the metadata are read here,
  // and the damage check reads the rows as it goes.
  PacketBytes bytes = MapFileBytes(file);
  const bool binary =
      bytes.size() >= packet::kHeaderSize &&
      (LoadU32(bytes.data()) == packet::kMagic || LoadU32(bytes.data()) == packet::kMagicAlternate);
  std::printf("file:          %s (%zu bytes)\n", file.c_str(), bytes.size());
  std::uint32_t headerRows = 0;
  if (binary) {
    const std::uint8_t* h = bytes.data();
    headerRows = LoadU32(h + packet::kOffRowCount);
    std::printf("form:          binary\n");
    std::printf("magic:         0x%08X\n", LoadU32(h + packet::kOffMagic));
    std::printf("version:       %u.%u\n", LoadU16(h + packet::kOffMajor),
                LoadU16(h + packet::kOffMinor));
    std::printf("header length: %u\n", LoadU32(h + packet::kOffHeaderLength));
    std::printf("column count:  %u\n", LoadU16(h + packet::kOffColumnCount));
    std::printf("row count:     %u\n", headerRows);
    std::printf("flags:         0x%08X\n", LoadU32(h + packet::kOffFlags));
  } else {
    std::printf("form:          XML text\n");
  }

  PacketModel model;
  Check(ReadPacketMetaData(MapFileBytes(file), &model));
  const std::uint32_t codePage = ds.TextCodePage();

  std::vector<DSFLDDesc> descs;
  DSProps props;
  Check(ds.Table()->GetProps(&props));
  descs.resize(props.fieldCount);
  Check(ds.Table()->GetFieldDescs(descs.data()));

  std::printf("\ncolumns:\n");
  for (std::size_t i = 0; i < model.columns.size(); ++i) {
    const PacketColumn& c = model.columns[i];
    std::printf("  %-16s type 0x%08X", c.desc.name, c.desc.typeWord);
    if (i < descs.size()) {
      const DSFLDDesc& d = descs[i];
      std::printf("  logical %-6u units %u,%u  length %u", d.logicalType, d.units1, d.units2,
                  d.recordLength);
      if (d.subtype) std::printf("  subtype %u", d.subtype);
    }
    std::printf("  attributes 0x%X\n", c.desc.attributes);
    for (const PacketParam& p : c.params)
      std::printf("      %s = %s\n", p.name.c_str(), ParamText(p, codePage).c_str());
  }
  std::printf("\ntable parameters:\n");
  for (const PacketParam& p : model.tableParams)
    std::printf("  %s = %s\n", p.name.c_str(), ParamText(p, codePage).c_str());
  std::printf("\nrows:          %u (%u visible)\n", props.recordCount, props.visibleCount);
  std::printf("LCID:          %u%s (code page %u)\n", props.lcid,
              props.lcid ? "" : " (none: user's default locale)", codePage);
  std::fflush(stdout);
  return ReportDamage(std::move(bytes));
}

}  // namespace cdstool
