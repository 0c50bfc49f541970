// BlobStore: the blob values of one table, kept outside its records.
//
// A blob value lives in the store and the record holds its handle: the
// 1-based entry number, 0 for no value. A handle with bit 31 set stands for
// a value whose bytes were not in the packet (not fetched). An entry is a
// pointer and a byte count (kept in two arrays, twelve bytes an entry):
// values loaded from a packet point into the packet's bytes, which the table
// keeps for as long as the store lives; other values are copied into large
// chunks of the store's own, so that a million values never cost a million
// allocations. Entries of a table whose rows were kept between runs
// (stored_rows.h) stay in the kept file and are read from it when asked
// for. The store belongs to its table (DSBASE).
//
// Values that point into a packet mapped from its file are copied out of the
// file, not the memory, when read (PacketBytes::CopyOut): a data file
// truncated or rewritten in place while the table is open never faults a
// read. The first read that finds the file changed fails with
// kDataFileChanged; later reads of such values give no bytes, so the change
// is reported once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "dataset/core/large_allocator.h"
#include "dataset/core/large_buffer.h"
#include "dataset/core/result_codes.h"
#include "dataset/packet/packet_bytes.h"

namespace dorvem {

inline constexpr std::uint32_t kBlobNotFetchedBit = 0x80000000u;

class BlobStore {
 public:
  BlobStore() = default;
  ~BlobStore() { DropEntries(); }
  BlobStore(const BlobStore&) = delete;
  BlobStore& operator=(const BlobStore&) = delete;

  // Reserves room for a value of `size` bytes and returns where to write it.
  // The value becomes an entry only with Commit(size); a reservation that is
  // not committed is reused by the next one. Returns null when memory cannot
  // be had.
  std::uint8_t* Reserve(std::uint32_t size);
  // Turns the last reservation into an entry; returns its handle, 0 when
  // memory for the entry cannot be had.
  std::uint32_t Commit(std::uint32_t size);

  // Adds an entry for bytes that live elsewhere (kept alive by the owner of
  // the store for as long as the store); returns its handle, 0 when memory
  // for the entry cannot be had.
  std::uint32_t AddExternal(const std::uint8_t* bytes, std::uint32_t size);

  // Byte count of a value. kBlobNotFetched for a handle with bit 31 set,
  // kInvalidBlobHandle for 0 or a handle beyond the entries.
  DBResult Length(std::uint32_t handle, std::uint32_t* length) const;

  // Copies up to `count` bytes from `offset` into `out`; *copied receives the
  // number copied (none when the offset lies beyond the end, or when the
  // value's data file changed in place since it was loaded: then the first
  // such read returns kDataFileChanged, the later ones kOk).
  DBResult Read(std::uint32_t handle, std::uint32_t offset, std::uint32_t count, void* out,
                std::uint32_t* copied) const;

  // The packets values added with AddExternal point into (owned by the
  // table, alive as long as the store); reads of their values go through
  // them.
  void SetPackets(const std::vector<PacketBytes>* packets) { packets_ = packets; }

  std::uint32_t EntryCount() const { return kept_ + static_cast<std::uint32_t>(sizes_.size()); }

  static constexpr std::size_t kKeptEntrySize = 12;

  // Writes the entries through `write` when every one lies in the `size`
  // bytes at `base` (one packet): for each, its offset from base (u64) and
  // its byte count (u32), little-endian, kKeptEntrySize bytes an entry.
  // False when an entry lies elsewhere or a write failed.
  bool SaveExternal(const std::uint8_t* base, std::size_t size,
                    const std::function<bool(const void*, std::size_t)>& write) const;
  // True when the `count` entries SaveExternal wrote, read through `read`,
  // each lie within `size` bytes. Nothing of them is kept in memory.
  static bool CheckExternal(std::uint32_t count, std::size_t size,
                            const std::function<bool(void*, std::size_t)>& read);
  // Makes `count` entries that CheckExternal passed, lying from byte `at`
  // of the open file `fd` (the store takes it and closes it), the first
  // entries of an empty store: values among the `size` bytes at `base`,
  // the packet they were checked against. Each is read from the file, a
  // block of entries at a time, when asked for, so that a million entries
  // take no memory. An entry the file no longer holds or that no longer
  // lies in the packet (the file was changed in place) reads as a changed
  // data file.
  void KeepExternal(int fd, std::uint64_t at, std::uint32_t count, const std::uint8_t* base,
                    std::size_t size);
  // Forgets every entry and value.
  void DropEntries();

  // Makes room for `entries` entries in all (a hint: adding never needs it).
  void ReserveEntries(std::size_t entries);

 private:
  friend class BlobReadAhead;

  bool AddEntry(const std::uint8_t* bytes, std::uint32_t size);
  // Where the value of a valid `handle` lies and its byte count; false when
  // a kept entry cannot be read or lies outside its packet.
  bool EntryOf(std::uint32_t handle, const std::uint8_t** bytes, std::uint32_t* size) const;
  // The mapped packet the `n` bytes at `from` lie in; null when they lie in
  // memory that is always readable.
  const PacketBytes* MappedPacketOf(const std::uint8_t* from, std::size_t n) const;
  // What a read that found the data file changed returns: kDataFileChanged
  // the first time, kOk after.
  DBResult ReportDataFileChanged() const;

  static constexpr std::size_t kChunkSize = 8u << 20;

  LargeVector<const std::uint8_t*> bytes_;
  LargeVector<std::uint32_t> sizes_;
  std::vector<LargeBuffer> chunks_;
  std::uint8_t* chunkFree_ = nullptr;  // next free byte of the current chunk
  std::size_t chunkLeft_ = 0;          // bytes left in the current chunk
  std::uint8_t* reserved_ = nullptr;   // last reservation
  const std::vector<PacketBytes>* packets_ = nullptr;
  mutable bool changeReported_ = false;  // a changed data file was reported

  // Entries kept in a file (KeepExternal): handles 1..kept_; bytes_ and
  // sizes_ hold the ones after them. The last block read is kept, guarded
  // for readers on several threads.
  static constexpr std::uint32_t kKeptBlock = 256;
  int keptFd_ = -1;
  std::uint64_t keptAt_ = 0;
  std::uint32_t kept_ = 0;
  const std::uint8_t* keptBase_ = nullptr;
  std::size_t keptSize_ = 0;
  mutable std::mutex keptLock_;
  mutable std::uint32_t keptBlock_ = 0;  // 1 + the block in keptEntries_, 0 for none
  mutable std::uint8_t keptEntries_[kKeptBlock * kKeptEntrySize];
};

}  // namespace dorvem
