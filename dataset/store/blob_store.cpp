#include "dataset/store/blob_store.h"

#include <bit>
#include <cstring>
#include <iterator>
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

bool BlobStore::SaveExternal(const std::uint8_t* base, std::size_t size,
                             const std::function<bool(const void*, std::size_t)>& write) const {
  static_assert(std::endian::native == std::endian::little, "entries are written as they lie");
  std::uint64_t offsets[1024];
  for (std::size_t i = 0; i < bytes_.size();) {
    std::size_t n = 0;
    for (; n < std::size(offsets) && i < bytes_.size(); ++n, ++i) {
      const std::uint8_t* p = bytes_[i];
      if (p < base || static_cast<std::size_t>(p - base) > size || sizes_[i] > size - (p - base))
        return false;
      offsets[n] = static_cast<std::uint64_t>(p - base);
    }
    if (!write(offsets, n * sizeof offsets[0])) return false;
  }
  return write(sizes_.data(), sizes_.size() * sizeof(std::uint32_t));
}

bool BlobStore::RestoreExternal(std::uint32_t count, std::size_t size,
                                const std::function<bool(void*, std::size_t)>& read) {
  if (!bytes_.empty()) return false;
  const auto fail = [this] {
    DropEntries();
    return false;
  };
  try {
    bytes_.resize(count);
    sizes_.resize(count);
  } catch (const std::bad_alloc&) {
    return fail();
  }
  // The offsets wait in the pointers' room until PlaceExternal.
  static_assert(sizeof(const std::uint8_t*) == sizeof(std::uint64_t));
  if (!read(bytes_.data(), std::size_t{count} * sizeof(std::uint64_t)) ||
      !read(sizes_.data(), std::size_t{count} * sizeof(std::uint32_t)))
    return fail();
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint64_t offset;
    std::memcpy(&offset, &bytes_[i], sizeof offset);
    if (offset > size || sizes_[i] > size - offset) return fail();
  }
  return true;
}

void BlobStore::DropEntries() {
  LargeVector<const std::uint8_t*>().swap(bytes_);
  LargeVector<std::uint32_t>().swap(sizes_);
  chunks_.clear();
  chunkFree_ = reserved_ = nullptr;
  chunkLeft_ = 0;
}

void BlobStore::PlaceExternal(const std::uint8_t* base) {
  for (const std::uint8_t*& p : bytes_) {
    std::uint64_t offset;
    std::memcpy(&offset, &p, sizeof offset);
    p = base + offset;
  }
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
