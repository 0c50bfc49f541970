// DSBASE: the in-memory table a data packet is loaded into, behind the
// TDSBASE interface (table_interface.h).
//
// The table owns its field descriptors, its records and its blob values,
// loads packets through a packet reader it keeps (TDATAPACKET_READ), and
// owns its indexes through the TableIndexes the index layer gives it
// (table_indexes.h) and the collation ranks index builds use.
// DSBASE_Factory, which makes a table with its indexes, is the index
// layer's (index/index_list.h). Values are stored column by column: one
// array per field of capacity x record length bytes, one null-flag matrix
// of capacity x fields bytes and one status byte per record, so a record is
// a row number into them and an index comparison touches only its key
// columns. String fields are kept compactly instead (StringColumn: each
// value's bytes and a zero, no padding to the width) until a value is put
// into one, which turns that field into a fixed-width array; either way a
// record image holds exactly the same bytes.
//
// The packet a table was loaded from stays alive while blob values point
// into it; a packet mapped from its file then gives its pages back to the
// system once the rows are stored, so only the blobs read since stay
// resident.
//
// Records are numbered from 1. Every operation takes the table's re-entrant
// lock. Operations return result codes and never throw.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "dataset/core/engine_object.h"
#include "dataset/core/large_buffer.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/reader_interface.h"
#include "dataset/store/blob_store.h"
#include "dataset/store/collation_ranks.h"
#include "dataset/store/field_desc.h"
#include "dataset/store/index_descriptor.h"
#include "dataset/store/string_column.h"
#include "dataset/store/table_indexes.h"
#include "dataset/store/table_interface.h"

namespace dorvem {

// A parameter of the table or of a field, kept by name.
struct NamedParam {
  std::string name;
  std::uint32_t typeWord = 0;
  std::vector<std::uint8_t> value;
};

class DSBASE final : public EngineObject<TDSBASE, InterfaceId::kDSBase> {
 public:
  DSBASE();
  ~DSBASE() override;

  DBResult AppendData(PacketBytes packet, bool last) override;
  DBResult GetProps(DSProps* props) override;
  DBResult GetFieldDescs(DSFLDDesc* descs) override;
  DBResult GetFieldValue(std::uint32_t record, std::uint32_t fieldId, void* value,
                         std::uint8_t* nullFlag) override;
  DBResult PutFieldValue(std::uint32_t record, std::uint32_t fieldId, const void* value) override;
  DBResult SetFieldStatus(std::uint32_t record, std::uint32_t fieldId,
                          std::uint8_t status) override;
  DBResult SetProp(TableProp prop, std::uint32_t value) override;
  DBResult GetErrorString(DBResult code, char* text) override;
  DBResult CreateIndex(const IndexDescriptor& d) override;
  DBResult GetIndexDescs(std::vector<IndexDescriptor>* descs) override;

  // --- Engine-internal access (cursors, indexes, filters) ---------------
  std::recursive_mutex& Lock() { return lock_; }

  std::uint32_t FieldCount() const { return static_cast<std::uint32_t>(fields_.size()); }
  const DSFLDDesc& Field(std::uint32_t fieldId) const { return fields_[fieldId - 1]; }
  const std::vector<DSFLDDesc>& Fields() const { return fields_; }
  std::uint32_t RecordSize() const { return recordSize_; }
  // Number of records stored (next record number - 1).
  std::uint32_t RecordCount() const { return nextRecord_ - 1; }
  std::uint32_t Capacity() const { return capacity_; }
  std::uint8_t RecordStatus(std::uint32_t record) const { return status_.data()[record - 1]; }
  // True when a cursor may see the record (hidden bits clear, or a delta).
  bool RecordVisible(std::uint32_t record) const {
    return delta_ || !(status_.data()[record - 1] & packet::kRowHiddenBits);
  }
  // True when a cursor may see every record.
  bool AllRecordsVisible() const { return visibleCount_ == RecordCount(); }
  // Stored value of a field of a record and its flag. The value reads as
  // the field's record length bytes; of a string only the bytes up to its
  // terminating zero are significant.
  const std::uint8_t* ValuePtr(std::uint32_t record, std::uint32_t fieldId) const {
    if (const StringColumn* s = strings_[fieldId - 1].get()) return s->Value(record);
    return columns_[fieldId - 1].data() +
           static_cast<std::size_t>(record - 1) * fields_[fieldId - 1].recordLength;
  }
  // The compact values of a string field, or null when the field is not
  // kept compactly.
  const StringColumn* Strings(std::uint32_t fieldId) const { return strings_[fieldId - 1].get(); }
  std::uint8_t NullFlag(std::uint32_t record, std::uint32_t fieldId) const {
    return nulls_.data()[static_cast<std::size_t>(record - 1) * fields_.size() + fieldId - 1];
  }
  // Copies a record's values and null flags into a record image.
  void CopyRecordImage(std::uint32_t record, std::uint8_t* image) const;
  const BlobStore* Blobs() const { return blobs_.get(); }

  std::uint32_t Lcid() const { return lcid_; }
  // True when strings written into images keep their trailing blanks.
  bool KeepsTrailingBlanks() const { return disableStringTrim_; }
  bool IsDelta() const { return delta_; }
  const std::vector<NamedParam>& TableParams() const { return tableParams_; }
  const std::vector<NamedParam>& FieldParams(std::uint32_t fieldId) const {
    return fieldParams_[fieldId - 1];
  }

  // The table's indexes; null for a bare record store. SetIndexes gives the
  // table its index set once, before the first packet.
  TableIndexes* Indexes() const { return indexes_.get(); }
  void SetIndexes(std::unique_ptr<TableIndexes> indexes) { indexes_ = std::move(indexes); }
  // Index definitions the packet carried (kDefaultOrderName,
  // kPrimaryKeyName, kUniqueKeyName).
  const std::vector<IndexDescriptor>& PacketIndexes() const { return packetIndexes_; }
  // Collation ranks of the string columns, kept for index builds; dropped
  // per column when its values change and entirely when rows are added.
  CollationRanks& Ranks() const { return *ranks_; }
  // The file the first packet was read from (empty path when none).
  const PacketSource& Source() const { return source_; }
  // True while no value, status or row was changed or added since the first
  // packet was loaded from Source()'s file.
  bool RowsAsLoaded() const { return rowsAsLoaded_; }
  // True when the first packet's rows were taken from the cache folder
  // (stored_rows.h) instead of the packet.
  bool RowsRestored() const { return rowsRestored_; }

 private:
  DBResult LoadFirstPacket(PacketBytes packet);
  DBResult AppendFurtherPacket(PacketBytes packet);
  DBResult ReadColumns();
  DBResult TakePackets();
  DBResult ReadParams(std::uint32_t fieldId);  // 0: table level
  DBResult ApplyColumnParam(std::uint32_t fieldId, const char* name, std::uint32_t typeWord,
                            const std::uint8_t* value, std::uint32_t size);
  DBResult ApplyTableParam(const char* name, std::uint32_t typeWord, const std::uint8_t* value,
                           std::uint32_t size);
  DBResult BuildRecordLayout();
  DBResult Reserve(std::uint64_t records);
  DBResult Grow();
  DBResult StoreRows();
  DBResult StoreField(std::uint32_t record, std::uint32_t fieldId);
  // Turns a compactly kept string field into a fixed-width array.
  DBResult MakeFixedWidth(std::uint32_t fieldId);
  // Keeps the stored rows of a packet from a file in the cache folder, when
  // they can be kept (stored_rows.h); nothing is reported.
  void SaveStoredRows() const;
  // Takes the rows of the first packet from the cache folder instead of
  // the packet; *restored says whether it did (when not, nothing changed
  // and the rows are to be stored). An error only when the rows were taken
  // and the packet could then not be kept.
  DBResult RestoreStoredRows(bool* restored);
  // After rows were stored: trims growth room and gives back packet pages.
  void SettleStorage();
  void DiscardData();
  DBResult CheckRecord(std::uint32_t record, std::uint32_t fieldId) const;

  std::recursive_mutex lock_;
  std::vector<DSFLDDesc> fields_;
  std::vector<std::vector<NamedParam>> fieldParams_;
  std::uint32_t packetFields_ = 0;
  std::uint32_t recordSize_ = 0;
  std::uint32_t nextRecord_ = 1;
  std::uint32_t capacity_ = 0;
  std::vector<LargeBuffer> columns_;
  std::vector<std::unique_ptr<StringColumn>> strings_;  // per field; null: fixed
  LargeBuffer nulls_;
  LargeBuffer status_;
  std::unique_ptr<BlobStore> blobs_;
  // Packets whose bytes blob values point into; kept as long as the blobs.
  std::vector<PacketBytes> blobPackets_;
  PacketSource source_;
  std::vector<std::uint8_t> valueBuffer_;
  EngineRef<TDATAPACKET_READ> reader_;
  bool hasPacket_ = false;
  bool loadedFromText_ = false;
  bool complete_ = false;
  bool delta_ = false;
  bool readOnly_ = false;
  bool disableStringTrim_ = false;
  // True while every row holds what the first packet, from a file, gave it.
  bool rowsAsLoaded_ = false;
  bool rowsRestored_ = false;
  std::uint32_t lcid_ = 0;
  std::uint32_t visibleCount_ = 0;
  std::uint32_t mdSemantics_ = 0;
  std::vector<NamedParam> tableParams_;
  std::vector<std::uint32_t> changeLog_;
  std::vector<IndexDescriptor> packetIndexes_;
  std::unique_ptr<CollationRanks> ranks_;
  // Declared last: destroyed first, while the table it indexes is whole.
  std::unique_ptr<TableIndexes> indexes_;
};

}  // namespace dorvem
