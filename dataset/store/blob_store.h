// BlobStore: the blob values of one table, kept outside its records.
//
// A blob value lives in the store and the record holds its handle: the
// 1-based entry number, 0 for no value. A handle with bit 31 set stands for
// a value whose bytes were not in the packet (not fetched). An entry is a
// pointer and a byte count (kept in two arrays, twelve bytes an entry):
// values loaded from a packet point into the packet's bytes, which the table
// keeps for as long as the store lives; other values are copied into large
// chunks of the store's own, so that a million values never cost a million
// allocations. The store belongs to its table (DSBASE).
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

  std::uint32_t EntryCount() const { return static_cast<std::uint32_t>(sizes_.size()); }

  // Writes the entries through `write` when every one lies in the `size`
  // bytes at `base` (one packet): EntryCount() offsets from base (u64
  // each), then the sizes (u32 each), little-endian. False when an entry
  // lies elsewhere or a write failed.
  bool SaveExternal(const std::uint8_t* base, std::size_t size,
                    const std::function<bool(const void*, std::size_t)>& write) const;
  // Adds `count` entries that SaveExternal wrote, read through `read`, to
  // an empty store, each checked to lie within `size` bytes. They are bytes
  // of a packet only once PlaceExternal says where its `size` bytes are;
  // until then no value may be read. False, with the store empty again,
  // when they cannot be read, an entry lies beyond `size`, or memory cannot
  // be had.
  bool RestoreExternal(std::uint32_t count, std::size_t size,
                       const std::function<bool(void*, std::size_t)>& read);
  void PlaceExternal(const std::uint8_t* base);
  // Forgets every entry and value.
  void DropEntries();

  // Makes room for `entries` entries in all (a hint: adding never needs it).
  void ReserveEntries(std::size_t entries);

 private:
  friend class BlobReadAhead;

  bool AddEntry(const std::uint8_t* bytes, std::uint32_t size);
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
};

}  // namespace dorvem
