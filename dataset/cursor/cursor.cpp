#include "dataset/cursor/cursor.h"

#include <cstring>
#include <mutex>
#include <new>

#include "dataset/core/byte_layout.h"
#include "dataset/index/dsidx.h"
#include "dataset/index/index_list.h"
#include "dataset/store/logical_types.h"

namespace dorvem {

using Guard = std::lock_guard<std::recursive_mutex>;

DBResult DSCursor_Factory(TDSCursor** out) {
  *out = new (std::nothrow) DSCursor();
  return *out ? dbr::kOk : dbr::kOutOfMemory;
}

DSCursor::~DSCursor() {
  if (index_ && table_) {
    Guard g(table_->Lock());
    index_->Release();
  }
}

DBResult DSCursor::InitCursor(TDSBASE* table) {
  void* p = nullptr;
  if (!table || table->QueryInterface(InterfaceId::kDSBase, &p) != dbr::kOk)
    return dbr::kNotApplicable;
  // QueryInterface added the reference the cursor keeps.
  EngineRef<DSBASE> base(static_cast<DSBASE*>(static_cast<TDSBASE*>(p)));
  Guard g(base->Lock());
  DSIDX* order = base->Indexes() ? IndexesOf(*base).DefaultOrder() : nullptr;
  if (!order) return dbr::kNotApplicable;
  if (index_) index_->Release();
  table_ = std::move(base);
  order->AddRef();
  index_ = order;
  counterCopy_ = index_->ChangeCounter();
  RecomputeRange();
  pos_ = first_ - 1;
  status_ = dbr::kAtBeginning;
  record_ = 0;
  return dbr::kOk;
}

DBResult DSCursor::GetCursorProps(DSProps* props) {
  if (!table_) return dbr::kNotApplicable;
  return table_->GetProps(props);
}

DBResult DSCursor::GetFieldDescs(DSFLDDesc* descs) {
  if (!table_) return dbr::kNotApplicable;
  return table_->GetFieldDescs(descs);
}

void DSCursor::RecomputeRange() {
  first_ = 1;
  last_ = index_ ? index_->Count() : 0;
}

void DSCursor::Remember() {
  record_ = (status_ == dbr::kOk && pos_ >= first_ && pos_ <= last_) ? index_->Entry(pos_) : 0;
}

void DSCursor::SetBeforeFirst() {
  status_ = dbr::kAtBeginning;
  pos_ = first_ - 1;
  record_ = 0;
}

void DSCursor::SetAfterLast() {
  status_ = dbr::kAtEnd;
  pos_ = last_ + 1;
  record_ = 0;
}

DBResult DSCursor::Resync() {
  if (removedRebuildPending_)
    if (DBResult r = CompletePendingRebuild()) return r;
  Refind();
  return dbr::kOk;
}

void DSCursor::Refind() {
  if (!index_ || counterCopy_ == index_->ChangeCounter()) return;
  RecomputeRange();
  counterCopy_ = index_->ChangeCounter();
  if (status_ == dbr::kAtBeginning) return SetBeforeFirst();
  if (status_ == dbr::kAtEnd) return SetAfterLast();
  if (record_ == 0) {
    // No record to re-find: keep the position within the new range.
    if (pos_ > last_ + 1) pos_ = last_ + 1;
    return;
  }
  if (pos_ >= first_ && pos_ <= last_ && index_->Entry(pos_) == record_) return;
  const std::uint32_t found = index_->FindRecord(record_);
  if (found != 0) {
    if (found <= first_ - 1) return SetBeforeFirst();
    if (found >= last_ + 1) return SetAfterLast();
    pos_ = found;
    if (status_ == dbr::kRecordDeleted) status_ = dbr::kOk;
    return;
  }
  // The record left the index. The position names the entry that took its
  // place; in a unique index that is the first key not below the record's.
  status_ = dbr::kRecordDeleted;
  if (index_->Unique()) pos_ = index_->LowerBound(record_);
  if (pos_ > last_ + 1) pos_ = last_ + 1;
}

DBResult DSCursor::ToBeforeFirst() {
  return LockedKeepingOwedRebuild([&] {
    SetBeforeFirst();
    return dbr::kOk;
  });
}

DBResult DSCursor::ToAfterLast() {
  return Locked([&] {
    SetAfterLast();
    return dbr::kOk;
  });
}

DBResult DSCursor::Advance(std::int32_t n) {
  return Locked([&] { return Move(n); });
}

DBResult DSCursor::Move(std::int32_t n) {
  if (n == 0) return status_;
  // Positions are computed in 64 bits so that no count can wrap them.
  const std::int64_t first = first_, last = last_;
  std::int64_t p = pos_;
  if (n > 0) {
    if (status_ == dbr::kAtBeginning) p = first - 1;
    if (status_ == dbr::kRecordDeleted) {
      // The position already names the record that took the vanished one's place.
      if (p >= first && p <= last) {
        status_ = dbr::kOk;
      } else {
        p = last + 1;
        status_ = dbr::kAtEnd;
      }
    } else if (p < last + 1 && p + n < last + 1) {
      p += n;
      status_ = dbr::kOk;
    } else {
      p = last + 1;
      status_ = dbr::kAtEnd;
    }
  } else {
    std::int64_t m = -static_cast<std::int64_t>(n);
    if (status_ == dbr::kAtEnd) p = last + 1;
    // From a vanished record the move is one entry shorter: -1 lands on the
    // record that took its place.
    if (status_ == dbr::kRecordDeleted) --m;
    if (p > first - 1 && p - m > first - 1) {
      p -= m;
      status_ = dbr::kOk;
    } else {
      p = first - 1;
      status_ = dbr::kAtBeginning;
    }
  }
  pos_ = static_cast<std::uint32_t>(p);
  Remember();
  return status_;
}

DBResult DSCursor::ReadCurrent(std::uint8_t* image) {
  return OnRecord([&](std::uint32_t record) {
    table_->CopyRecordImage(record, image);
    return dbr::kOk;
  });
}

DBResult DSCursor::GetRecordAttribute(std::uint8_t* status) {
  return OnRecord([&](std::uint32_t record) {
    *status = table_->RecordStatus(record);
    return dbr::kOk;
  });
}

DBResult DSCursor::SequenceNumber(std::uint32_t* seq) {
  return OnRecord([&](std::uint32_t) {
    *seq = pos_ - first_ + 1;
    return dbr::kOk;
  });
}

DBResult DSCursor::ReadRecord(std::int32_t n, std::uint8_t* image, RecordInfo* info) {
  return Locked([&] {
    if (DBResult r = Move(n)) return r;
    const std::uint32_t record = index_->Entry(pos_);
    table_->CopyRecordImage(record, image);
    info->sequence = pos_ - first_ + 1;
    info->status = table_->RecordStatus(record);
    info->bookmark = Bookmark();
    return dbr::kOk;
  });
}

DBResult DSCursor::GetRecordCount(std::uint32_t* count) {
  return Locked([&] {
    *count = last_ + 1 > first_ ? last_ - first_ + 1 : 0;
    return dbr::kOk;
  });
}

DBResult DSCursor::MoveToSeqNo(std::uint32_t k) {
  return Locked([&] {
    const std::uint64_t p = static_cast<std::uint64_t>(first_) - 1 + k;
    if (p <= static_cast<std::uint64_t>(first_) - 1) {
      pos_ = first_ - 1;
      status_ = dbr::kAtBeginning;
    } else if (p >= static_cast<std::uint64_t>(last_) + 1) {
      pos_ = last_ + 1;
      status_ = dbr::kAtEnd;
    } else {
      pos_ = static_cast<std::uint32_t>(p);
      status_ = dbr::kOk;
    }
    Remember();
    return status_;
  });
}

EngineBookmark DSCursor::Bookmark() const {
  EngineBookmark b;
  b.position = pos_;
  b.status = status_;
  b.record = (status_ == dbr::kAtBeginning || status_ == dbr::kAtEnd) ? 0 : record_;
  b.changeCounter = counterCopy_;
  b.indexSerial = index_->Serial();
  return b;
}

DBResult DSCursor::GetPosition(EngineBookmark* b) {
  return LockedKeepingOwedRebuild([&] {
    *b = Bookmark();
    return dbr::kOk;
  });
}

DBResult DSCursor::GoToPosition(const EngineBookmark& b) {
  return Locked([&] {
    ReturnTo(b);
    return dbr::kOk;
  });
}

void DSCursor::ReturnTo(const EngineBookmark& b) {
  // A bookmark of this index in its present state names a position;
  // otherwise only its record counts, wherever it now stands.
  const bool current =
      b.indexSerial == index_->Serial() && b.changeCounter == index_->ChangeCounter();
  const std::uint32_t p = current ? b.position : b.record ? index_->FindRecord(b.record) : 0;
  if (p >= last_ + 1) {
    SetAfterLast();
  } else if (p > first_ - 1) {
    pos_ = p;
    status_ = static_cast<DBResult>(b.status);
    // Found by its record, the position is current for the index as it is,
    // and holds that record (its slot need not be settled yet).
    counterCopy_ = current ? b.changeCounter : index_->ChangeCounter();
    record_ = current ? index_->Entry(pos_) : b.record;
  } else {
    SetBeforeFirst();
  }
}

void DSCursor::SwitchIndex(DSIDX* index, const EngineBookmark& bookmark) {
  DSIDX* old = index_;
  index_ = index;
  counterCopy_ = index_->ChangeCounter();
  RecomputeRange();
  if (old && old != index) old->Release();
  SetBeforeFirst();
  ReturnTo(bookmark);
}

DBResult DSCursor::GetField(const std::uint8_t* image, std::uint32_t fieldId, void* value,
                            std::uint8_t* nullFlag) {
  if (!table_) return dbr::kNotApplicable;
  if (fieldId == 0 || fieldId > table_->FieldCount()) return dbr::kInvalidParameter;
  const DSFLDDesc& d = table_->Field(fieldId);
  if (image) {
    if (value) std::memcpy(value, image + d.offset, d.recordLength);
    if (nullFlag) *nullFlag = image[d.nullOffset];
    return dbr::kOk;
  }
  return OnRecord([&](std::uint32_t record) {
    return table_->GetFieldValue(record, fieldId, value, nullFlag);
  });
}

DBResult DSCursor::PutField(std::uint8_t* image, std::uint32_t fieldId, const void* value) {
  if (!table_ || !image) return dbr::kNotApplicable;
  if (fieldId == 0 || fieldId > table_->FieldCount()) return dbr::kInvalidParameter;
  const DSFLDDesc& d = table_->Field(fieldId);
  std::uint8_t* slot = image + d.offset;
  if (!value) {
    std::memset(slot, 0, d.recordLength);
    image[d.nullOffset] = kNullFlagBlank;
    return dbr::kOk;
  }
  if (d.logicalType == kLtString) {
    const char* s = static_cast<const char*>(value);
    std::size_t n = strnlen(s, d.units1);
    std::memset(slot, 0, d.recordLength);
    // Trailing blanks are dropped unless the table keeps them.
    if (!table_->KeepsTrailingBlanks())
      while (n > 0 && s[n - 1] == ' ') --n;
    std::memcpy(slot, s, n);
  } else {
    std::memcpy(slot, value, d.recordLength);
  }
  image[d.nullOffset] = kNullFlagValue;
  return dbr::kOk;
}

DBResult DSCursor::BlobHandle(const std::uint8_t* image, std::uint32_t fieldId,
                              std::uint32_t* handle) {
  *handle = 0;
  if (!table_) return dbr::kNotApplicable;
  if (fieldId == 0 || fieldId > table_->FieldCount()) return dbr::kInvalidParameter;
  const DSFLDDesc& d = table_->Field(fieldId);
  if (d.logicalType != kLtBlob) return dbr::kInvalidFieldType;
  std::uint8_t local[4];
  std::uint8_t flag = kNullFlagValue;
  if (image) {
    std::memcpy(local, image + d.offset, sizeof local);
    flag = image[d.nullOffset];
  } else if (DBResult r = GetField(nullptr, fieldId, local, &flag)) {
    return r;
  }
  if (flag == kNullFlagValue) *handle = LoadU32(local);
  return dbr::kOk;
}

DBResult DSCursor::GetBlobLen(const std::uint8_t* image, std::uint32_t fieldId,
                              std::uint32_t* length) {
  *length = 0;
  std::uint32_t handle = 0;
  if (DBResult r = BlobHandle(image, fieldId, &handle)) return r;
  if (handle == 0) return dbr::kOk;
  Guard g(table_->Lock());
  return table_->Blobs()->Length(handle, length);
}

DBResult DSCursor::GetBlob(const std::uint8_t* image, std::uint32_t fieldId, std::uint32_t offset,
                           std::uint32_t* count, void* bytes) {
  const std::uint32_t wanted = *count;
  *count = 0;
  std::uint32_t handle = 0;
  if (DBResult r = BlobHandle(image, fieldId, &handle)) return r;
  if (handle == 0) return dbr::kFieldIsBlank;
  Guard g(table_->Lock());
  return table_->Blobs()->Read(handle, offset, wanted, bytes, count);
}

}  // namespace dorvem
