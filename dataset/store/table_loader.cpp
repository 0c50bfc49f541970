// Loading packets into a DSBASE: the columns, the record layout and the
// rows (the parameters are read in table_params.cpp).
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "dataset/core/byte_layout.h"
#include "dataset/core/mapped_file.h"
#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_format.h"
#include "dataset/store/logical_types.h"
#include "dataset/store/table.h"

namespace dorvem {
namespace {

constexpr std::uint32_t kMaxRecordLength = 65531;
constexpr std::size_t kMinValueBuffer = 258;

bool IsBlobLike(std::uint32_t subtype, bool fromText) {
  if (subtype == packet::kSubtypeText) return true;
  if (!fromText) return false;
  return (subtype >= packet::kSubtypeText && subtype <= packet::kSubtypeTypedBinary) ||
         subtype == packet::kSubtypeHMemo || subtype == packet::kSubtypeHBinary;
}

}  // namespace

DBResult DSBASE::LoadFirstPacket(PacketBytes packet) {
  if (packet.empty()) return dbr::kNotApplicable;
  try {
    valueBuffer_.assign(kMinValueBuffer, 0);
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  // The packet cannot hold more rows than it has bytes; a header that claims
  // more must not make us reserve room for them.
  const std::size_t packetSize = packet.size();
  source_ = packet.Source();
  // A mapped file truncated in place under the reader reads as zeros past
  // its new end; such a load is refused before anything of it is kept.
  const bool mapped = packet.IsMapped();
  const std::uint64_t faultsBefore = MappedFile::FaultCount();

  TDATAPACKET_READ* raw = nullptr;
  if (DATAPACKETREAD_Factory(&raw) != dbr::kOk || raw == nullptr) return dbr::kOutOfMemory;
  reader_ = EngineRef<TDATAPACKET_READ>(raw);
  hasPacket_ = true;

  DBResult r = reader_->StartPacket(std::move(packet));
  if (r == dbr::kOk && !reader_->HasMetaData()) r = dbr::kNoMetaData;
  if (r == dbr::kOk) {
    loadedFromText_ = reader_->IsTextPacket();
    r = ReadColumns();
  }
  if (r == dbr::kOk) r = BuildRecordLayout();
  if (r == dbr::kOk) r = ReadParams(0);
  bool restored = false;
  if (r == dbr::kOk) r = RestoreStoredRows(&restored);
  if (r == dbr::kOk && !restored) {
    const std::uint64_t rows = reader_->RowCount();
    const std::uint64_t initial =
        rows >= 0x7FFFFFFFu ? 100 : std::min<std::uint64_t>(rows, packetSize) + 25;
    r = Reserve(initial);
    if (r == dbr::kOk && blobs_) {
      std::size_t blobFields = 0;
      for (const DSFLDDesc& d : fields_) blobFields += d.logicalType == kLtBlob;
      blobs_->ReserveEntries(static_cast<std::size_t>(initial) * blobFields);
    }
  }
  if (r == dbr::kOk && !restored) {
    if (blobs_) reader_->RetainPackets();
    r = StoreRows();
    if (r == dbr::kOk && blobs_) r = TakePackets();
  }
  if (mapped && MappedFile::FaultCount() != faultsBefore) r = dbr::kDataFileChangedWhileLoading;
  if (r == dbr::kOk) {
    rowsAsLoaded_ = !source_.path.empty();
    rowsRestored_ = restored;
    SettleStorage();
    if (!restored) SaveStoredRows();
  }
  if (r == dbr::kOk && indexes_) r = indexes_->CreateLoadIndexes();
  if (r != dbr::kOk) DiscardData();
  return r;
}

DBResult DSBASE::AppendFurtherPacket(PacketBytes packet) {
  if (!reader_) return dbr::kAppendToNonPartial;
  DBResult r = reader_->StartFurtherPacket(std::move(packet));
  if (r != dbr::kOk) return r;
  // New rows make every rank array stale, and every index is rebuilt in
  // place by its own path.
  rowsAsLoaded_ = false;
  ranks_->DropAll();
  r = StoreRows();
  // Taken also after a failure: rows stored so far may point into them.
  if (blobs_) {
    const DBResult t = TakePackets();
    if (r == dbr::kOk) r = t;
  }
  if (r != dbr::kOk) return r;
  SettleStorage();
  return indexes_ ? indexes_->RebuildAll() : dbr::kOk;
}

// Takes over the packets the reader kept, which blob values point into.
DBResult DSBASE::TakePackets() {
  try {
    reader_->TakeRetainedPackets(&blobPackets_);
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  return dbr::kOk;
}

DBResult DSBASE::ReadColumns() {
  for (;;) {
    DSColumnDesc column;
    DBResult r = reader_->NextColumn(&column);
    if (r == dbr::kAtEnd) break;
    if (r != dbr::kOk) return r;
    if (fields_.size() >= 0xFFFF) return dbr::kInvalidParameter;
    if (column.typeWord & packet::kArray) return dbr::kInvalidFieldType;

    DSFLDDesc d;
    std::memcpy(d.name, column.name, sizeof d.name);
    d.name[sizeof d.name - 1] = 0;
    const LogicalType type = LogicalTypeOfTypeWord(column.typeWord);
    d.logicalType = type;
    const std::uint32_t size = packet::TypeSize(column.typeWord);
    // Structures, arrays and nested tables are not loaded: the program's
    // table has none, and their expansion into fields is not defined here.
    if (type == kLtAdt || type == kLtArray || type == kLtNestedTable || type == kLtNone)
      return dbr::kInvalidFieldType;
    if (!(column.typeWord & packet::kVarying)) d.recordLength = size;
    d.attributes = column.attributes;
    try {
      fields_.push_back(d);
      fieldParams_.emplace_back();
    } catch (const std::bad_alloc&) {
      return dbr::kOutOfMemory;
    }
    if (DBResult p = ReadParams(static_cast<std::uint32_t>(fields_.size()))) return p;
  }
  if (fields_.empty()) return dbr::kPacketMismatch;
  packetFields_ = static_cast<std::uint32_t>(fields_.size());
  return dbr::kOk;
}

DBResult DSBASE::BuildRecordLayout() {
  std::uint32_t offset = 0;
  std::uint16_t id = 0;
  bool anyBlob = false;
  for (DSFLDDesc& d : fields_) {
    switch (d.logicalType) {
      case kLtString:
        if (d.recordLength) {
          d.units1 = d.recordLength - 1;
        } else if (d.units1) {
          d.recordLength = d.units1 + 1;
        } else {
          return dbr::kInvalidParameter;
        }
        break;
      case kLtVarBytes:
        if (IsBlobLike(d.subtype, loadedFromText_)) {
          d.logicalType = kLtBlob;
          d.recordLength = 4;
        } else if (loadedFromText_ && d.subtype == 0) {
          d.logicalType = kLtBytes;
          d.recordLength = d.units1;
        }
        break;
      case kLtBlob:
        d.recordLength = 4;
        break;
      case kLtBcd:
      case kLtFmtBcd:
        if (!d.recordLength) d.recordLength = BcdRecordLength(d.units1);
        break;
      default:
        break;
    }
    if (d.logicalType == kLtBytes) {
      if (d.recordLength && !d.units1)
        d.units1 = d.recordLength;
      else if (d.units1 && !d.recordLength)
        d.recordLength = d.units1;
      else if (!d.recordLength)
        return dbr::kInvalidParameter;
    }
    if (d.units1 == 0 && d.logicalType != kLtBlob) d.units1 = 1;
    // A width no record can hold is refused before it is computed with,
    // so that it cannot wrap round to a small slot.
    if (d.logicalType != kLtBlob && d.units1 > kMaxRecordLength) return dbr::kInvalidFieldType;
    if (d.logicalType == kLtVarBytes || d.logicalType == kLtUnicode) d.recordLength = d.units1 + 2;
    if (d.recordLength == 0 || d.recordLength > kMaxRecordLength) return dbr::kInvalidFieldType;
    if (d.logicalType == kLtBlob) anyBlob = true;
    d.offset = offset;
    d.fieldId = ++id;
    offset += d.recordLength;
    if (offset > 0x7FFFFFFF) return dbr::kInvalidFieldType;
  }
  for (std::size_t i = 0; i < fields_.size(); ++i)
    fields_[i].nullOffset = offset + static_cast<std::uint32_t>(i);
  recordSize_ = offset + static_cast<std::uint32_t>(fields_.size());
  std::size_t largest = kMinValueBuffer;
  for (const DSFLDDesc& d : fields_) largest = std::max<std::size_t>(largest, d.recordLength);
  try {
    valueBuffer_.resize(largest);
    if (anyBlob) {
      blobs_ = std::make_unique<BlobStore>();
      blobs_->SetPackets(&blobPackets_);
    }
    columns_.resize(fields_.size());
    strings_.resize(fields_.size());
    for (std::size_t f = 0; f < fields_.size(); ++f)
      if (fields_[f].logicalType == kLtString)
        strings_[f] = std::make_unique<StringColumn>(fields_[f].units1);
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  return dbr::kOk;
}

// Makes room for `records` records; new room is zero-filled. On failure the
// capacity is unchanged (arrays already grown keep their larger size, which
// is harmless).
DBResult DSBASE::Reserve(std::uint64_t records) {
  if (records <= capacity_) return dbr::kOk;
  if (records > 0xFFFFFFF0u) return dbr::kOutOfMemory;
  const std::size_t n = fields_.size();
  auto grow = [&](LargeBuffer& a, std::size_t width) -> bool {
    const std::size_t bytes = static_cast<std::size_t>(records) * width;
    if (width && bytes / width != records) return false;
    return a.Resize(bytes ? bytes : 1);
  };
  for (std::size_t f = 0; f < n; ++f) {
    if (strings_[f]) {
      if (!strings_[f]->ReserveRecords(static_cast<std::uint32_t>(records)))
        return dbr::kOutOfMemory;
    } else if (!grow(columns_[f], fields_[f].recordLength)) {
      return dbr::kOutOfMemory;
    }
  }
  if (!grow(nulls_, n) || !grow(status_, 1)) return dbr::kOutOfMemory;
  capacity_ = static_cast<std::uint32_t>(records);
  return dbr::kOk;
}

DBResult DSBASE::Grow() {
  const std::uint64_t step =
      capacity_ > 1000 ? capacity_ / 2 : std::max<std::uint32_t>(capacity_, 1);
  return Reserve(static_cast<std::uint64_t>(capacity_) + step);
}

DBResult DSBASE::StoreRows() {
  for (;;) {
    std::uint8_t rowStatus[4] = {};
    std::uint32_t size = sizeof rowStatus;
    std::uint32_t status = 0;
    DBResult r = reader_->NextField(&size, rowStatus, &status);
    if (r == dbr::kAtEnd) return dbr::kOk;
    if (r != dbr::kOk) return r;
    if (nextRecord_ >= capacity_)
      if (DBResult g = Grow()) return g;
    const std::uint32_t record = nextRecord_;
    status_.data()[record - 1] = rowStatus[0];
    for (std::uint32_t f = 1; f <= packetFields_; ++f)
      if (DBResult s = StoreField(record, f)) return s;
    if (delta_ || !(rowStatus[0] & packet::kRowHiddenBits)) ++visibleCount_;
    ++nextRecord_;
  }
}

DBResult DSBASE::StoreField(std::uint32_t record, std::uint32_t fieldId) {
  const DSFLDDesc& d = fields_[fieldId - 1];
  StringColumn* compact = strings_[fieldId - 1].get();
  std::uint8_t* slot = compact ? nullptr
                               : columns_[fieldId - 1].data() +
                                     static_cast<std::size_t>(record - 1) * d.recordLength;
  std::uint8_t& nullFlag =
      nulls_.data()[static_cast<std::size_t>(record - 1) * fields_.size() + fieldId - 1];
  std::uint32_t status = 0;
  DBResult r;

  if (compact) {
    // A length-prefixed string is read where it lies, without a copy.
    const std::uint8_t* bytes = nullptr;
    std::uint32_t size = 0;
    r = reader_->NextFieldView(&bytes, &size, &status);
    if (r != dbr::kNotApplicable) {
      if (r == dbr::kFieldIsBlank || (r == dbr::kOk && status != 0)) {
        // A compact column holds a value for every record: an empty one
        // here, as the zero-filled slot of a fixed-width column would.
        if (!compact->Store(record, nullptr, 0)) return dbr::kOutOfMemory;
        nullFlag = static_cast<std::uint8_t>(status ? status : kNullFlagBlank);
        return dbr::kOk;
      }
      if (r != dbr::kOk) return r;
      // A value not fetched has no bytes; reading it by NextField leaves the
      // value buffer as it was, and that is what gets stored.
      const std::uint8_t* value = bytes ? bytes : valueBuffer_.data();
      // Cut to the width; trailing blanks are kept.
      if (!compact->Store(record, value, std::min(size, d.units1))) return dbr::kOutOfMemory;
      nullFlag = kNullFlagValue;
      return dbr::kOk;
    }
  }

  if (d.logicalType == kLtBlob) {
    // Blob bytes stay where they lie in the packet, which the table keeps.
    const std::uint8_t* bytes = nullptr;
    std::uint32_t size = 0;
    r = reader_->NextFieldView(&bytes, &size, &status);
    if (r == dbr::kFieldIsBlank || (r == dbr::kOk && status != 0)) {
      nullFlag = static_cast<std::uint8_t>(status ? status : kNullFlagBlank);
      return dbr::kOk;
    }
    if (r != dbr::kOk) return r;
    if (!bytes) {
      // Not fetched: the length word itself is the handle.
      StoreU32(slot, size);
      nullFlag = kNullFlagValue;
      return dbr::kOk;
    }
    if (size == 0) {
      // An empty blob is always stored blank.
      nullFlag = kNullFlagBlank;
      return dbr::kOk;
    }
    if (loadedFromText_ && d.subtype == packet::kSubtypeText && size > 1 && bytes[size - 1] == 0)
      --size;
    const std::uint32_t handle = blobs_->AddExternal(bytes, size);
    if (handle == 0) return dbr::kOutOfMemory;
    StoreU32(slot, handle);
    nullFlag = kNullFlagValue;
    return dbr::kOk;
  }

  std::uint32_t cap = static_cast<std::uint32_t>(valueBuffer_.size());
  r = reader_->NextField(&cap, valueBuffer_.data(), &status);
  if (r == dbr::kInvalidParameter && cap > valueBuffer_.size()) {
    try {
      valueBuffer_.resize(cap);
    } catch (const std::bad_alloc&) {
      return dbr::kOutOfMemory;
    }
    r = reader_->NextField(&cap, valueBuffer_.data(), &status);
  }
  if (r == dbr::kFieldIsBlank || (r == dbr::kOk && status != 0)) {
    if (compact && !compact->Store(record, nullptr, 0)) return dbr::kOutOfMemory;
    nullFlag = static_cast<std::uint8_t>(status ? status : kNullFlagBlank);
    return dbr::kOk;
  }
  if (r != dbr::kOk) return r;
  const std::uint8_t* value = valueBuffer_.data();
  switch (d.logicalType) {
    case kLtString: {
      // Cut to the width; trailing blanks are kept.
      const std::uint32_t n = std::min(cap, d.units1);
      if (compact) {
        if (!compact->Store(record, value, n)) return dbr::kOutOfMemory;
      } else {
        std::memcpy(slot, value, n);
        slot[n] = 0;
      }
      break;
    }
    case kLtVarBytes:
    case kLtUnicode: {
      const std::uint32_t n = std::min(cap, d.units1);
      StoreU16(slot, static_cast<std::uint16_t>(n));
      std::memcpy(slot + 2, value, n);
      break;
    }
    default: {
      const std::uint32_t n = std::min(cap, d.recordLength);
      std::memcpy(slot, value, n);
      break;
    }
  }
  nullFlag = kNullFlagValue;
  return dbr::kOk;
}

}  // namespace dorvem
