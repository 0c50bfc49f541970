#include "dataset/store/table.h"

#include <cstring>
#include <new>

#include "dataset/core/messages.h"
#include "dataset/packet/packet_format.h"

namespace dorvem {

DSBASE::DSBASE() : ranks_(std::make_unique<CollationRanks>()) {}

DSBASE::~DSBASE() {
  DiscardData();
  indexes_.reset();
}

void DSBASE::DiscardData() {
  if (indexes_) indexes_->Clear();
  ranks_->DropAll();
  fields_.clear();
  fieldParams_.clear();
  columns_.clear();
  strings_.clear();
  nulls_.Free();
  status_.Free();
  blobs_.reset();
  blobPackets_.clear();
  source_ = PacketSource{};
  reader_.Reset();
  tableParams_.clear();
  changeLog_.clear();
  packetIndexes_.clear();
  packetFields_ = 0;
  recordSize_ = 0;
  nextRecord_ = 1;
  capacity_ = 0;
  visibleCount_ = 0;
  hasPacket_ = false;
  loadedFromText_ = false;
  complete_ = false;
  delta_ = false;
  readOnly_ = false;
  rowsAsLoaded_ = rowsRestored_ = false;
  lcid_ = 0;
  mdSemantics_ = 0;
}

DBResult DSBASE::AppendData(PacketBytes packet, bool last) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  DBResult r = dbr::kOk;
  if (!hasPacket_) {
    r = LoadFirstPacket(std::move(packet));
  } else if (!packet.empty()) {
    r = AppendFurtherPacket(std::move(packet));
  }
  if (r == dbr::kOk && last) complete_ = true;
  return r;
}

DBResult DSBASE::GetProps(DSProps* props) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  props->fieldCount = FieldCount();
  props->packetFields = packetFields_;
  props->recordSize = recordSize_;
  props->recordCount = RecordCount();
  props->visibleCount = visibleCount_;
  props->bookmarkSize = 5 * sizeof(std::uint32_t);
  props->lcid = lcid_;
  props->readOnly = readOnly_;
  props->delta = delta_;
  props->complete = complete_;
  return dbr::kOk;
}

DBResult DSBASE::GetFieldDescs(DSFLDDesc* descs) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (!fields_.empty()) std::memcpy(descs, fields_.data(), fields_.size() * sizeof(DSFLDDesc));
  return dbr::kOk;
}

DBResult DSBASE::CheckRecord(std::uint32_t record, std::uint32_t fieldId) const {
  // The record being filled (the next record number) may be addressed.
  if (record == 0 || record > nextRecord_ || record > capacity_) return dbr::kNumberOutOfRange;
  if (fieldId > fields_.size()) return dbr::kInvalidParameter;
  return dbr::kOk;
}

DBResult DSBASE::GetFieldValue(std::uint32_t record, std::uint32_t fieldId, void* value,
                               std::uint8_t* nullFlag) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (DBResult r = CheckRecord(record, fieldId)) return r;
  if (fieldId == 0) {
    if (value) *static_cast<std::uint8_t*>(value) = status_.data()[record - 1];
    if (nullFlag) *nullFlag = kNullFlagValue;
    return dbr::kOk;
  }
  if (value) {
    const std::uint32_t width = fields_[fieldId - 1].recordLength;
    if (const StringColumn* s = strings_[fieldId - 1].get())
      s->CopySlot(record, static_cast<std::uint8_t*>(value), width);
    else
      std::memcpy(value, ValuePtr(record, fieldId), width);
  }
  if (nullFlag) *nullFlag = NullFlag(record, fieldId);
  return dbr::kOk;
}

DBResult DSBASE::PutFieldValue(std::uint32_t record, std::uint32_t fieldId, const void* value) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (DBResult r = CheckRecord(record, fieldId)) return r;
  rowsAsLoaded_ = false;
  if (fieldId == 0) {
    status_.data()[record - 1] = value ? *static_cast<const std::uint8_t*>(value) : 0;
    return dbr::kOk;
  }
  if (strings_[fieldId - 1])
    if (DBResult r = MakeFixedWidth(fieldId)) return r;
  const DSFLDDesc& d = fields_[fieldId - 1];
  std::uint8_t* slot =
      columns_[fieldId - 1].data() + static_cast<std::size_t>(record - 1) * d.recordLength;
  std::uint8_t& flag =
      nulls_.data()[static_cast<std::size_t>(record - 1) * fields_.size() + fieldId - 1];
  ranks_->DropField(fieldId);
  if (value) {
    std::memcpy(slot, value, d.recordLength);
    flag = kNullFlagValue;
  } else {
    std::memset(slot, 0, d.recordLength);
    flag = kNullFlagBlank;
  }
  return dbr::kOk;
}

DBResult DSBASE::SetFieldStatus(std::uint32_t record, std::uint32_t fieldId, std::uint8_t status) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (DBResult r = CheckRecord(record, fieldId)) return r;
  if (fieldId == 0 || (status != kNullFlagBlank && status != kNullFlagNotChanged))
    return dbr::kInvalidParameter;
  rowsAsLoaded_ = false;
  ranks_->DropField(fieldId);
  nulls_.data()[static_cast<std::size_t>(record - 1) * fields_.size() + fieldId - 1] = status;
  return dbr::kOk;
}

DBResult DSBASE::SetProp(TableProp prop, std::uint32_t value) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  switch (prop) {
    case TableProp::kReadOnly:
      readOnly_ = value != 0;
      return dbr::kOk;
    case TableProp::kDisableStringTrim:
      disableStringTrim_ = value != 0;
      return dbr::kOk;
  }
  return dbr::kInvalidParameter;
}

DBResult DSBASE::GetErrorString(DBResult code, char* text) {
  const std::string_view m = MessageOf(code);
  std::memcpy(text, m.data(), m.size());
  text[m.size()] = 0;
  return dbr::kOk;
}

void DSBASE::CopyRecordImage(std::uint32_t record, std::uint8_t* image) const {
  const std::size_t n = fields_.size();
  const std::uint8_t* flags = nulls_.data() + static_cast<std::size_t>(record - 1) * n;
  for (std::size_t f = 0; f < n; ++f) {
    const DSFLDDesc& d = fields_[f];
    if (const StringColumn* s = strings_[f].get())
      s->CopySlot(record, image + d.offset, d.recordLength);
    else
      std::memcpy(image + d.offset,
                  columns_[f].data() + static_cast<std::size_t>(record - 1) * d.recordLength,
                  d.recordLength);
  }
  std::memcpy(image + recordSize_ - n, flags, n);
}

DBResult DSBASE::MakeFixedWidth(std::uint32_t fieldId) {
  const StringColumn& s = *strings_[fieldId - 1];
  const std::uint32_t width = fields_[fieldId - 1].recordLength;
  LargeBuffer fixed;
  const std::size_t bytes = static_cast<std::size_t>(capacity_) * width;
  if (!fixed.Resize(bytes ? bytes : 1)) return dbr::kOutOfMemory;
  for (std::uint32_t r = 1; r <= s.Count() && r <= capacity_; ++r)
    s.CopySlot(r, fixed.data() + static_cast<std::size_t>(r - 1) * width, width);
  columns_[fieldId - 1] = std::move(fixed);
  strings_[fieldId - 1].reset();
  return dbr::kOk;
}

void DSBASE::SettleStorage() {
  for (auto& s : strings_)
    if (s) s->ShrinkToFit();
  for (const PacketBytes& p : blobPackets_) p.DropResidentPages();
}

DBResult DSBASE::CreateIndex(const IndexDescriptor& d) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return indexes_ ? indexes_->CreateIndex(d) : dbr::kNotApplicable;
}

DBResult DSBASE::GetIndexDescs(std::vector<IndexDescriptor>* descs) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (!indexes_) {
    descs->clear();
    return dbr::kOk;
  }
  return indexes_->GetIndexDescs(descs);
}

}  // namespace dorvem
