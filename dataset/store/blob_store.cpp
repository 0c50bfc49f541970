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

std::uint32_t BlobStore::Commit(std::uint32_t size) {
  entries_.push_back(Entry{reserved_, size});
  if (reserved_ == chunkFree_) {
    const std::size_t used = size == 0 ? 1 : size;
    chunkFree_ += used;
    chunkLeft_ -= used;
  }
  reserved_ = nullptr;
  return static_cast<std::uint32_t>(entries_.size());
}

std::uint32_t BlobStore::AddExternal(const std::uint8_t* bytes, std::uint32_t size) {
  try {
    entries_.push_back(Entry{bytes, size});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return static_cast<std::uint32_t>(entries_.size());
}

DBResult BlobStore::Length(std::uint32_t handle, std::uint32_t* length) const {
  *length = 0;
  if (handle & kBlobNotFetchedBit) return dbr::kBlobNotFetched;
  if (handle == 0 || handle > entries_.size()) return dbr::kInvalidBlobHandle;
  *length = entries_[handle - 1].size;
  return dbr::kOk;
}

DBResult BlobStore::Read(std::uint32_t handle, std::uint32_t offset, std::uint32_t count, void* out,
                         std::uint32_t* copied) const {
  *copied = 0;
  std::uint32_t length = 0;
  if (DBResult r = Length(handle, &length)) return r;
  if (offset >= length) return dbr::kOk;
  const std::uint32_t n = count < length - offset ? count : length - offset;
  std::memcpy(out, entries_[handle - 1].bytes + offset, n);
  *copied = n;
  return dbr::kOk;
}

}  // namespace dorvem
