#include "dataset/store/blob_store.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <vector>

#include "dataset/core/byte_layout.h"
#include "dataset/core/file_read.h"

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
  if (kept_ > 0) return false;
  // Written in pieces of many blocks: a million entries are a few writes,
  // not one per block.
  constexpr std::size_t kPiece = 256 * kKeptBlock;
  std::vector<std::uint8_t> piece;
  try {
    piece.resize(std::min(bytes_.size(), kPiece) * kKeptEntrySize);
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::uint8_t* const block = piece.data();
  for (std::size_t i = 0; i < bytes_.size();) {
    std::size_t n = 0;
    for (; n < kPiece && i < bytes_.size(); ++n, ++i) {
      const std::uint8_t* p = bytes_[i];
      if (p < base || static_cast<std::size_t>(p - base) > size || sizes_[i] > size - (p - base))
        return false;
      StoreU64(block + n * kKeptEntrySize, static_cast<std::uint64_t>(p - base));
      StoreU32(block + n * kKeptEntrySize + 8, sizes_[i]);
    }
    if (!write(block, n * kKeptEntrySize)) return false;
  }
  return true;
}

bool BlobStore::CheckExternal(std::uint32_t count, std::size_t size,
                              const std::function<bool(void*, std::size_t)>& read) {
  std::uint8_t block[kKeptBlock * kKeptEntrySize];
  for (std::uint32_t i = 0; i < count;) {
    const std::uint32_t n = std::min(count - i, kKeptBlock);
    if (!read(block, n * kKeptEntrySize)) return false;
    for (std::uint32_t k = 0; k < n; ++k) {
      const std::uint64_t offset = LoadU64(block + k * kKeptEntrySize);
      const std::uint32_t bytes = LoadU32(block + k * kKeptEntrySize + 8);
      if (offset > size || bytes > size - offset) return false;
    }
    i += n;
  }
  return true;
}

void BlobStore::KeepExternal(int fd, std::uint64_t at, std::uint32_t count,
                             const std::uint8_t* base, std::size_t size) {
  DropEntries();
  keptFd_ = fd;
  keptAt_ = at;
  kept_ = count;
  keptBase_ = base;
  keptSize_ = size;
}

void BlobStore::DropEntries() {
  LargeVector<const std::uint8_t*>().swap(bytes_);
  LargeVector<std::uint32_t>().swap(sizes_);
  chunks_.clear();
  chunkFree_ = reserved_ = nullptr;
  chunkLeft_ = 0;
  if (keptFd_ >= 0) ::close(keptFd_);
  keptFd_ = -1;
  kept_ = 0;
  keptBase_ = nullptr;
  keptBlock_ = 0;
}

DBResult BlobStore::Length(std::uint32_t handle, std::uint32_t* length) const {
  *length = 0;
  if (handle & kBlobNotFetchedBit) return dbr::kBlobNotFetched;
  if (handle == 0 || handle > EntryCount()) return dbr::kInvalidBlobHandle;
  const std::uint8_t* bytes = nullptr;
  std::uint32_t size = 0;
  if (!EntryOf(handle, &bytes, &size)) return ReportDataFileChanged();
  *length = size;
  return dbr::kOk;
}

bool BlobStore::EntryOf(std::uint32_t handle, const std::uint8_t** bytes,
                        std::uint32_t* size) const {
  const std::uint32_t index = handle - 1;
  if (index >= kept_) {
    *bytes = bytes_[index - kept_];
    *size = sizes_[index - kept_];
    return true;
  }
  std::lock_guard<std::mutex> lock(keptLock_);
  const std::uint32_t block = index / kKeptBlock;
  if (keptBlock_ != block + 1) {
    keptBlock_ = 0;
    const std::uint32_t first = block * kKeptBlock;
    const std::size_t n = std::size_t{std::min(kept_ - first, kKeptBlock)} * kKeptEntrySize;
    int error = 0;
    if (ReadAtUpTo(keptFd_, keptEntries_, n, keptAt_ + std::uint64_t{first} * kKeptEntrySize,
                   &error) != n)
      return false;
    keptBlock_ = block + 1;
  }
  // The file was checked when it was opened; a change made to it since is
  // caught here.
  const std::uint8_t* e = keptEntries_ + (index % kKeptBlock) * kKeptEntrySize;
  const std::uint64_t offset = LoadU64(e);
  const std::uint32_t length = LoadU32(e + 8);
  if (offset > keptSize_ || length > keptSize_ - offset) return false;
  *bytes = keptBase_ + offset;
  *size = length;
  return true;
}

DBResult BlobStore::Read(std::uint32_t handle, std::uint32_t offset, std::uint32_t count, void* out,
                         std::uint32_t* copied) const {
  *copied = 0;
  if (handle & kBlobNotFetchedBit) return dbr::kBlobNotFetched;
  if (handle == 0 || handle > EntryCount()) return dbr::kInvalidBlobHandle;
  const std::uint8_t* from = nullptr;
  std::uint32_t length = 0;
  if (!EntryOf(handle, &from, &length)) return ReportDataFileChanged();
  if (offset >= length) return dbr::kOk;
  const std::uint32_t n = count < length - offset ? count : length - offset;
  from += offset;
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
