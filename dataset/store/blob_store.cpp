#include "dataset/store/blob_store.h"

#include <cstring>
#include <new>

namespace dorvem {

std::uint8_t* BlobStore::Reserve(std::uint32_t size) {
  if (size == 0) size = 1;
  if (size <= chunkLeft_) {
    reserved_ = chunkFree_;
    return reserved_;
  }
  // Values larger than a quarter chunk get a block of their own, so that a
  // big picture does not waste the rest of a chunk.
  const bool own = size > kChunkSize / 4;
  LargeBuffer block;
  if (!block.Resize(own ? size : kChunkSize)) return nullptr;
  try {
    chunks_.push_back(std::move(block));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  reserved_ = chunks_.back().data();
  if (!own) {
    chunkFree_ = reserved_;
    chunkLeft_ = kChunkSize;
  }
  return reserved_;
}

bool BlobStore::AddEntry(const std::uint8_t* bytes, std::uint32_t size) {
  try {
    bytes_.push_back(bytes);
  } catch (const std::bad_alloc&) {
    return false;
  }
  try {
    sizes_.push_back(size);
  } catch (const std::bad_alloc&) {
    bytes_.pop_back();
    return false;
  }
  return true;
}

void BlobStore::ReserveEntries(std::size_t entries) {
  try {
    bytes_.reserve(entries);
    sizes_.reserve(entries);
  } catch (const std::bad_alloc&) {
    // Only a hint: the arrays grow as entries come.
  }
}

std::uint32_t BlobStore::Commit(std::uint32_t size) {
  if (!AddEntry(reserved_, size)) return 0;
  if (reserved_ == chunkFree_) {
    const std::size_t used = size == 0 ? 1 : size;
    chunkFree_ += used;
    chunkLeft_ -= used;
  }
  reserved_ = nullptr;
  return EntryCount();
}

std::uint32_t BlobStore::AddExternal(const std::uint8_t* bytes, std::uint32_t size) {
  return AddEntry(bytes, size) ? EntryCount() : 0;
}

DBResult BlobStore::Length(std::uint32_t handle, std::uint32_t* length) const {
  *length = 0;
  if (handle & kBlobNotFetchedBit) return dbr::kBlobNotFetched;
  if (handle == 0 || handle > sizes_.size()) return dbr::kInvalidBlobHandle;
  *length = sizes_[handle - 1];
  return dbr::kOk;
}

DBResult BlobStore::Read(std::uint32_t handle, std::uint32_t offset, std::uint32_t count, void* out,
                         std::uint32_t* copied) const {
  *copied = 0;
  std::uint32_t length = 0;
  if (DBResult r = Length(handle, &length)) return r;
  if (offset >= length) return dbr::kOk;
  const std::uint32_t n = count < length - offset ? count : length - offset;
  const std::uint8_t* from = bytes_[handle - 1] + offset;
  // A value in a mapped file is read from the file, never from the memory.
  const PacketBytes* mapped = MappedPacketOf(from, n);
  if (mapped == nullptr)
    std::memcpy(out, from, n);
  else if (!mapped->CopyOut(from, n, out))
    return ReportDataFileChanged();
  *copied = n;
  return dbr::kOk;
}

const PacketBytes* BlobStore::MappedPacketOf(const std::uint8_t* from, std::size_t n) const {
  if (packets_ != nullptr)
    for (const PacketBytes& packet : *packets_)
      if (packet.IsMapped() && packet.Contains(from, n)) return &packet;
  return nullptr;
}

DBResult BlobStore::ReportDataFileChanged() const {
  if (changeReported_) return dbr::kOk;
  changeReported_ = true;
  return dbr::kDataFileChanged;
}

}  // namespace dorvem
