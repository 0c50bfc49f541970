// TDSBASE: the interface of an engine table, as the host and the cursor
// reach it. DSBASE (table.h) implements it; DSBASE_Factory
// (index/index_list.h) makes one.
//
// Operations return result codes and never throw.
#pragma once

#include <cstdint>
#include <vector>

#include "dataset/core/engine_object.h"
#include "dataset/packet/packet_bytes.h"
#include "dataset/store/field_desc.h"
#include "dataset/store/index_descriptor.h"

namespace dorvem {

class TDSBASE : public TEngineUnknown {
 public:
  // Loads a first packet, or appends the rows of a further one. An empty
  // `packet` is an absent one: on a table without data that is
  // kNotApplicable, otherwise it only marks the table complete when `last`.
  virtual DBResult AppendData(PacketBytes packet, bool last) = 0;
  virtual DBResult GetProps(DSProps* props) = 0;
  // Copies the field descriptors (props.fieldCount of them) in field order.
  virtual DBResult GetFieldDescs(DSFLDDesc* descs) = 0;
  // Reads the stored value of a field (record length bytes) and its null
  // flag. Field id 0 is the record's status byte. kNumberOutOfRange for
  // record 0 or beyond the next record number.
  virtual DBResult GetFieldValue(std::uint32_t record, std::uint32_t fieldId, void* value,
                                 std::uint8_t* nullFlag) = 0;
  // Stores a value (null flag 0), or clears the slot (flag 1) when `value`
  // is null.
  virtual DBResult PutFieldValue(std::uint32_t record, std::uint32_t fieldId,
                                 const void* value) = 0;
  // Sets a field's null flag to 1 (blank) or 2 (not changed).
  virtual DBResult SetFieldStatus(std::uint32_t record, std::uint32_t fieldId,
                                  std::uint8_t status) = 0;
  virtual DBResult SetProp(TableProp prop, std::uint32_t value) = 0;
  // Text of a code into text[128].
  virtual DBResult GetErrorString(DBResult code, char* text) = 0;

  // Creates a named index from `d` and builds it (by ordered insertion for
  // kDefaultOrderName, else by one sort); the table keeps it. kInvalidParameter
  // for an empty name, a name a named index already has, or bad key fields;
  // kInvalidFieldType for a blob, memo or nested key field; kKeyViolation
  // for equal keys in a unique index. On failure nothing is kept.
  virtual DBResult CreateIndex(const IndexDescriptor& d) = 0;
  // Descriptors of the named indexes (every index a cursor can choose by
  // name: not temporary, not filtered), in creation order.
  virtual DBResult GetIndexDescs(std::vector<IndexDescriptor>* descs) = 0;
};

}  // namespace dorvem
