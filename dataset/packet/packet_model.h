// A whole flat packet held as plain values, for tools and tests.
//
// ReadPacketModel walks a packet through the reader and keeps everything it
// delivers; WritePacketModel hands a model to the writer. Converting a packet
// from one form to the other is a read followed by a write. Nested tables are
// not represented: a packet with a nested-table column is refused with
// kNotApplicable. A string value (type code 9) is held up to its first zero
// byte, as the engine reads strings (the empty string, which binary packets
// store as one zero byte, is held as no bytes). A value not fetched cannot be
// held: reading one fails with kBlobNotFetched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/packet/reader_interface.h"
#include "dataset/packet/writer_interface.h"

namespace dorvem {

struct PacketParam {
  std::string name;
  std::uint32_t typeWord = 0;
  std::vector<std::uint8_t> value;  // encoded as the reader delivers it
};

struct PacketColumn {
  DSColumnDesc desc;
  std::vector<PacketParam> params;
};

struct PacketValue {
  std::uint32_t status = 0;         // 0 value, 1 blank, 2 not changed
  std::vector<std::uint8_t> bytes;  // the value as delivered (strings unterminated)
};

struct PacketRow {
  std::uint8_t status = 0;
  std::vector<PacketValue> values;  // one per column
};

struct PacketModel {
  bool text = false;  // read from an XML packet
  std::vector<PacketColumn> columns;
  std::vector<PacketParam> tableParams;
  std::vector<PacketRow> rows;
};

DBResult ReadPacketModel(std::vector<std::uint8_t> packet, PacketModel* out);
// Only the columns and table parameters (no rows: out->rows stays empty),
// reading no further into the packet than they reach.
DBResult ReadPacketMetaData(PacketBytes packet, PacketModel* out);
DBResult WritePacketModel(const PacketModel& model, PacketForm form,
                          std::vector<std::uint8_t>* out);

}  // namespace dorvem
