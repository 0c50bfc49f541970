// The dictionary's table (table_declaration.h) as the column descriptions
// and table parameters of a data packet, for whatever writes a dictionary
// packet: the tests' and benchmarks' generated dictionaries. Strings carry
// their WIDTH, blobs their SUBTYPE; the LCID names the data's locale.
// Header only and without Qt, like the declaration.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "dataset/packet/packet_format.h"
#include "dataset/packet/packet_model.h"
#include "dictionary/table_declaration.h"

namespace dorvem {

// A packet model with the dictionary's five columns, no rows, and the
// table parameter LCID = `lcid` (none when 0; 1038 is Hungarian).
inline PacketModel DictionaryPacketTable(std::uint32_t lcid = 1038) {
  PacketModel model;
  for (const TColumnDeclaration& declared : kDictionaryColumns) {
    PacketColumn column;
    std::snprintf(column.desc.name, sizeof column.desc.name, "%s", declared.name);
    column.desc.typeWord = declared.typeWord;
    if (declared.fieldType == ftString) {
      const auto width = static_cast<std::uint16_t>(declared.size);
      column.params.push_back(
          {"WIDTH",
           packet::MakeTypeWord(packet::kTcUInt, 2),
           {static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8)}});
    }
    if (declared.subtype != nullptr) {
      PacketParam subtype{
          "SUBTYPE", packet::MakeTypeWord(packet::kTcString, 2, packet::kVarying), {}};
      for (char c : std::string_view(declared.subtype))
        subtype.value.push_back(static_cast<std::uint8_t>(c));
      subtype.value.push_back(0);
      column.params.push_back(std::move(subtype));
    }
    model.columns.push_back(std::move(column));
  }
  if (lcid != 0)
    model.tableParams.push_back(
        {"LCID",
         packet::MakeTypeWord(packet::kTcUInt, 4),
         {static_cast<std::uint8_t>(lcid), static_cast<std::uint8_t>(lcid >> 8), 0, 0}});
  return model;
}

}  // namespace dorvem
