// The packet writer interface (TDATAPACKET_WRITE) and its factory.
//
// A writer collects the column descriptors, their parameters, the table
// parameters and the rows of one flat table, then produces the packet in the
// binary form or as XML text. What it writes, the reader reads back to the
// same columns, parameters and values.
//
// Call order: PutColumnDescs once; AddParameter for columns and the table in
// any order; then, per row, one PutField for the row status byte followed by
// one PutField per column; finally GetDataPacket (which may be called again).
#pragma once

#include <cstdint>
#include <vector>

#include "dataset/core/engine_object.h"
#include "dataset/packet/reader_interface.h"

namespace dorvem {

enum class PacketForm { kBinary, kXml };

class TDATAPACKET_WRITE : public TEngineUnknown {
 public:
  // Declares the table's columns in column order. kInvalidParameter when a
  // name is empty or a type word is not one the writer can encode.
  virtual DBResult PutColumnDescs(std::uint32_t count, const DSColumnDesc* descs) = 0;

  // Adds a parameter: to column `column` (1-based), or to the table when
  // `column` is 0. The value is `size` bytes in the encoding of `typeWord`
  // (for an array type word: the elements one after another).
  virtual DBResult AddParameter(std::uint32_t column, const char* name, std::uint32_t typeWord,
                                const void* value, std::uint32_t size) = 0;

  // Appends the next value of the current row: the row status byte first
  // (status 0, size 1), then one call per column. `status` is 0 (value),
  // 1 (blank) or 2 (not changed); blank and not-changed values carry no bytes.
  // For a string column the bytes are the text without a terminating zero.
  virtual DBResult PutField(std::uint32_t status, const void* value, std::uint32_t size) = 0;

  // Produces the packet. kNotApplicable when no columns were declared or the
  // last row is incomplete.
  virtual DBResult GetDataPacket(PacketForm form, std::vector<std::uint8_t>* out) = 0;
};

// Creates a writer (DSDATAPACKET) with one reference.
DBResult DATAPACKETWRITE_Factory(TDATAPACKET_WRITE** out);

}  // namespace dorvem
