// Keeping a table's stored rows in the cache folder and taking them back
// (the layout is in stored_rows.h).
#include "dataset/store/stored_rows.h"

#include <unistd.h>

#include <bit>
#include <cstring>
#include <new>
#include <vector>

#include "dataset/core/byte_layout.h"
#include "dataset/core/content_hash.h"
#include "dataset/store/table.h"

namespace dorvem {

namespace stored_rows {

std::uint64_t IdentityHash(const PacketSource& source) {
  ContentHash h;
  h.AddU64(kLayoutVersion);
  h.AddU64(source.device);
  h.AddU64(source.inode);
  h.AddU64(static_cast<std::uint64_t>(source.ctimeNs));
  return h.Value();
}

bool MakeKey(const PacketSource& source, RankCacheKey* key) {
  if (source.path.empty() || source.cacheFolder.empty() || source.inode == 0) return false;
  *key = RankCacheKey{};
  key->folder = source.cacheFolder;
  key->path = source.path;
  key->fileSize = source.size;
  key->mtimeNs = source.mtimeNs;
  key->contentHash = IdentityHash(source);
  return true;
}

}  // namespace stored_rows

namespace {

constexpr std::size_t kFieldEntrySize = 16;

}  // namespace

void DSBASE::SaveStoredRows() const {
  if constexpr (std::endian::native != std::endian::little) return;
  RankCacheKey key;
  if (loadedFromText_ || !rowsAsLoaded_ || !stored_rows::MakeKey(source_, &key)) return;
  // Blob values must all lie in the one packet mapped from the file.
  const PacketBytes* packet = blobPackets_.size() == 1 ? &blobPackets_[0] : nullptr;
  if (blobs_ && blobs_->EntryCount() > 0 && (packet == nullptr || !packet->IsMapped())) return;

  const std::uint32_t records = RecordCount();
  const std::size_t n = fields_.size();
  std::vector<std::uint8_t> head;
  try {
    head.resize(16 + kFieldEntrySize * n);
  } catch (const std::bad_alloc&) {
    return;
  }
  StoreU32(head.data(), visibleCount_);
  StoreU32(head.data() + 4, static_cast<std::uint32_t>(n));
  StoreU32(head.data() + 8, blobs_ ? blobs_->EntryCount() : 0);
  for (std::size_t f = 0; f < n; ++f) {
    std::uint8_t* e = head.data() + 16 + kFieldEntrySize * f;
    StoreU32(e, fields_[f].recordLength);
    StoreU32(e + 4, fields_[f].logicalType);
    StoreU32(e + 8, strings_[f] ? 1 : 0);
  }

  rank_cache::FileWriter file;
  const auto write = [&file](const void* bytes, std::size_t size) {
    return file.Write(bytes, size);
  };
  if (!file.Open(key, rank_cache::Kind::kStoredRows, records) || !write(head.data(), head.size()) ||
      !write(status_.data(), records) || !write(nulls_.data(), std::size_t{records} * n))
    return;
  for (std::size_t f = 0; f < n; ++f) {
    const bool ok = strings_[f]
                        ? strings_[f]->Save(write)
                        : write(columns_[f].data(), std::size_t{records} * fields_[f].recordLength);
    if (!ok) return;
  }
  if (blobs_ && blobs_->EntryCount() > 0 &&
      !blobs_->SaveExternal(packet->data(), packet->size(), write))
    return;
  file.Commit();
}

DBResult DSBASE::RestoreStoredRows(bool* restored) {
  *restored = false;
  if constexpr (std::endian::native != std::endian::little) return dbr::kOk;
  RankCacheKey key;
  rank_cache::FileReader file;
  if (loadedFromText_ || !stored_rows::MakeKey(source_, &key) ||
      !file.Open(key, rank_cache::Kind::kStoredRows))
    return dbr::kOk;
  const auto read = [&file](void* bytes, std::size_t size) { return file.Read(bytes, size); };
  const std::uint32_t records = file.Count();
  const std::size_t n = fields_.size();
  std::uint8_t top[16];
  if (records >= 0xFFFFFFF0u - 25 || !read(top, sizeof top) || LoadU32(top) > records ||
      LoadU32(top + 4) != n)
    return dbr::kOk;
  for (std::size_t f = 0; f < n; ++f) {
    std::uint8_t e[kFieldEntrySize];
    if (!read(e, sizeof e) || LoadU32(e) != fields_[f].recordLength ||
        LoadU32(e + 4) != fields_[f].logicalType || LoadU32(e + 8) != (strings_[f] ? 1u : 0u))
      return dbr::kOk;
  }
  const std::uint32_t blobEntries = LoadU32(top + 8);
  if (blobEntries > 0 && !blobs_) return dbr::kOk;

  // What was read is undone when the file turns out unusable, and the rows
  // are then stored from the packet.
  const auto undo = [this] {
    for (auto& s : strings_)
      if (s) s->Clear();
    for (LargeBuffer& c : columns_) c.Free();
    nulls_.Free();
    status_.Free();
    capacity_ = 0;
    if (blobs_) blobs_->DropEntries();
    return dbr::kOk;
  };
  // Room as storing the rows would leave it; everything is read straight
  // into place.
  const std::uint32_t room = records + 25;
  if (Reserve(room) != dbr::kOk) return undo();
  if (!read(status_.data(), records) || !read(nulls_.data(), std::size_t{records} * n))
    return undo();
  // The visible count kept must be the one the statuses give: indexes
  // rely on it to take every record without asking each.
  std::uint32_t visible = 0;
  for (std::uint32_t r = 1; r <= records; ++r) visible += RecordVisible(r) ? 1 : 0;
  if (visible != LoadU32(top)) return undo();
  for (std::size_t f = 0; f < n; ++f) {
    const bool ok = strings_[f]
                        ? strings_[f]->Restore(records, room, read)
                        : read(columns_[f].data(), std::size_t{records} * fields_[f].recordLength);
    if (!ok) return undo();
  }
  // The blob entries: each must lie in the data file. They stay in the
  // file, read from it when a value is asked for.
  const std::uint64_t entriesAt = file.Offset();
  if (blobEntries > 0 && !BlobStore::CheckExternal(blobEntries, source_.size, read)) return undo();
  if (!file.Finish()) return undo();
  const int entriesFd = file.ReleaseDescriptor();

  // From here the packet's rows are not read: a failure is the load's.
  if (blobs_) reader_->RetainPackets();
  reader_->SkipRemainingRows();
  nextRecord_ = records + 1;
  visibleCount_ = LoadU32(top);
  *restored = true;
  if (!blobs_ || blobEntries == 0) {
    ::close(entriesFd);
    return blobs_ ? TakePackets() : dbr::kOk;
  }
  if (DBResult r = TakePackets()) {
    ::close(entriesFd);
    return r;
  }
  const PacketBytes* packet = blobPackets_.size() == 1 ? &blobPackets_[0] : nullptr;
  if (packet == nullptr || packet->size() != source_.size) {
    ::close(entriesFd);
    return dbr::kPacketMismatch;
  }
  blobs_->KeepExternal(entriesFd, entriesAt, blobEntries, packet->data(), packet->size());
  return dbr::kOk;
}

}  // namespace dorvem
