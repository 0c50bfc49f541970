// The rows a table loaded from its data file, kept between runs in the
// cache folder beside the ranks and byte orders (rank_cache.h).
//
// Storing a million rows reads every byte of the packet's rows and takes
// most of opening a large dictionary, though the window shows eleven of
// them. So after a packet from a file was stored, the table writes what it
// holds (columns, compact strings, null flags, statuses, where each blob
// lies in the file) to one cache file; the next open of the same file reads
// the packet's metadata as always and then takes the rows from that file
// instead of the packet, which is several times faster.
//
// The file is used only for the data file it was written for: same path,
// size and modification time (the cache header), and the same device,
// inode and change time (IdentityHash, in the header's content hash); any
// write to the data file or a file renamed into its place changes the
// change time. It is used only when its checksum is right, its fields
// match the ones the packet's metadata declares, and it passes the checks
// the string columns and blob store make of it (string_column.h,
// blob_store.h), so nothing in it can make a read go beyond what the table
// holds. It is written only for a binary packet mapped from its file whose
// blob values all lie in it.
//
// The body, after the cache header (whose count is the record count n):
//   visible record count (u32), field count f (u32), blob entry count b
//   (u32), zero (u32); for each field its record length, logical type,
//   1 when kept compactly or 0, and zero (u32 each); the n status bytes;
//   the n x f null flags; then each field: a fixed one's n x record length
//   bytes, a compact one's image (StringColumn::Save); then the blob
//   entries (BlobStore::SaveExternal), which stay in the file while the
//   table is open. Numbers are little-endian.
#pragma once

#include <cstdint>

#include "dataset/packet/packet_bytes.h"
#include "dataset/store/rank_cache.h"

namespace dorvem::stored_rows {

inline constexpr std::uint32_t kLayoutVersion = 3;

// A hash of the data file's device, inode and change time and of
// kLayoutVersion.
std::uint64_t IdentityHash(const PacketSource& source);

// The cache key of the rows of `source`'s file; false when none can be
// kept (no file, no cache folder, no identity).
bool MakeKey(const PacketSource& source, RankCacheKey* key);

}  // namespace dorvem::stored_rows
