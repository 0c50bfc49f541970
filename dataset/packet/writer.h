// DSDATAPACKET: the packet writer behind TDATAPACKET_WRITE.
//
// The writer keeps the columns, their parameters, the table parameters and
// the rows it is given (values in one byte arena, no allocation per value)
// and produces the whole packet on request, binary or XML text.
//
// It writes the table the way the engine's packets are written, whatever the
// caller declared:
// - a varying string column (code 9) gets a WIDTH parameter (the largest
//   value's length, at least 1, when none was given) and a 2-byte length
//   prefix when the width is 254 or more, else a 1-byte one (a wider prefix
//   when a value is longer than its prefix could hold);
// - a bytes column with a 4-byte prefix (a blob) gets a SUBTYPE parameter,
//   "Binary" when none was given; another varying bytes column gets a wider
//   prefix when a value is longer than its prefix could hold;
// - WIDTH, DECIMALS and ELEMENTS given as integers are stored as code 2 size
//   2 values (size 4 above 65535); SUBTYPE is stored as a code 9 value with a
//   2-byte prefix holding the name and a terminating zero;
// - an empty string value is stored as a single zero byte.
// The writer handles flat tables only: nested-table, structure, array and
// reference columns are refused.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/packet/field_converters.h"
#include "dataset/packet/writer_interface.h"

namespace dorvem {

class DSDATAPACKET final : public EngineObject<TDATAPACKET_WRITE, InterfaceId::kPacketWrite> {
 public:
  DBResult PutColumnDescs(std::uint32_t count, const DSColumnDesc* descs) override;
  DBResult AddParameter(std::uint32_t column, const char* name, std::uint32_t typeWord,
                        const void* value, std::uint32_t size) override;
  DBResult PutField(std::uint32_t status, const void* value, std::uint32_t size) override;
  DBResult GetDataPacket(PacketForm form, std::vector<std::uint8_t>* out) override;

  struct Param {
    std::string name;
    std::uint32_t typeWord = 0;
    std::vector<std::uint8_t> value;  // as the reader delivers it
  };
  struct Column {
    DSColumnDesc desc;
    std::vector<Param> params;
    Converter conv;  // of the declared type word
  };
  struct Value {
    std::uint32_t status = 0;
    std::uint32_t size = 0;
    std::size_t offset = 0;  // into the arena
  };
  // The table as it is written out: normalised type words and parameters.
  struct Table {
    std::vector<Column> columns;
    std::vector<Param> tableParams;
  };

 private:
  DBResult Prepare(Table* table) const;
  DBResult WriteBinary(const Table& table, std::vector<std::uint8_t>* out) const;
  DBResult WriteXml(const Table& table, std::vector<std::uint8_t>* out) const;

  std::vector<Column> columns_;
  std::vector<Param> tableParams_;
  std::vector<std::uint8_t> rowStatus_;
  std::vector<Value> values_;  // rows x columns
  std::vector<std::uint8_t> arena_;
  std::uint32_t fieldInRow_ = 0;  // 0: the row status byte comes next
};

}  // namespace dorvem
