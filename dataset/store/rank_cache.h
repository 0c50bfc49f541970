// RankCache: the collation ranks of a data file's string column, kept
// between runs in the user's cache folder.
//
// Computing the ranks of a million headwords takes a large part of opening
// the dictionary, and the file rarely changes between runs. So once
// computed, the ranks are written to "$XDG_CACHE_HOME/dorvem" (when that
// variable holds no absolute path, "$HOME/.cache/dorvem"), one file per
// data file and column, and read back on the next run instead of being
// computed again. The data file itself is never written.
//
// A cache file is used only when everything that decides the ranks is as
// it was (RankCacheKey): the data file's path, size and modification time,
// a hash of the column's values and null flags as loaded, the locale
// identifier, the collation flags, the collator's version and the record
// count. It is ignored when anything differs, when it is damaged (a
// checksum covers every byte) and when it cannot be read; it is rewritten
// whenever ranks are computed anew. Failing to write it (a read-only or
// missing folder, a full disk) is silent: the ranks are computed, only not
// kept. Writes go to a temporary file that is renamed over the old one, so
// a reader never sees half a file.
//
// The byte layout of a cache file (every number little-endian) lives here
// and nowhere else:
//   0  magic "DVRANKS1" (8 bytes)      8  layout version (u32)
//   12 field id (u32)                  16 record count n (u32)
//   20 locale identifier (u32)         24 collation flags (u32)
//   28 collator version (4 bytes)      32 data file size (u64)
//   40 modification time, ns (i64)     48 content hash of the column (u64)
//   56 hash of the data file's path (u64)
//   64 n ranks (u32 each)
//   64 + 4n  checksum of bytes 0 .. 64 + 4n (u64, ContentHash)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dataset/locale/locale_services.h"

namespace dorvem {

class DSBASE;

// What makes a rank array valid.
struct RankCacheKey {
  std::string path;  // absolute path of the data file
  std::uint64_t fileSize = 0;
  std::int64_t mtimeNs = 0;
  std::uint64_t contentHash = 0;  // ColumnContentHash
  std::uint32_t fieldId = 0;
  std::uint32_t records = 0;
  locale::LCID lcid = 0;
  std::uint32_t flags = 0;
  std::array<std::uint8_t, 4> collatorVersion{};
};

namespace rank_cache {

inline constexpr char kMagic[8] = {'D', 'V', 'R', 'A', 'N', 'K', 'S', '1'};
inline constexpr std::uint32_t kLayoutVersion = 1;
inline constexpr std::size_t kVersionAt = 8, kFieldAt = 12, kRecordsAt = 16, kLcidAt = 20,
                             kFlagsAt = 24, kCollatorVersionAt = 28, kFileSizeAt = 32,
                             kMtimeAt = 40, kContentHashAt = 48, kPathHashAt = 56, kHeaderSize = 64,
                             kChecksumSize = 8;

// The folder cache files go to; empty when neither variable gives one.
std::string Folder();
// The cache file for `key`'s data file and field (in Folder()); empty when
// there is no folder.
std::string FileFor(const RankCacheKey& key);

// The checksum of a cache file's bytes before the checksum itself.
std::uint64_t Checksum(const std::uint8_t* bytes, std::size_t size);

// Reads the ranks kept for `key` into *ranks (key.records of them). False,
// with *ranks empty, when there are none, when anything of the key
// differs, or when the file is damaged or unreadable.
bool Load(const RankCacheKey& key, std::vector<std::uint32_t>* ranks);

// Keeps `ranks` for `key`. False when they could not be written (nothing
// is reported; a partly written file never takes the old one's place).
bool Store(const RankCacheKey& key, const std::vector<std::uint32_t>& ranks);

}  // namespace rank_cache

// A hash of the values and null flags of field `fieldId` of every record of
// `table`: equal for equal column contents, whatever their storage.
std::uint64_t ColumnContentHash(const DSBASE& table, std::uint32_t fieldId);

// The key of the ranks of field `fieldId` under (lcid, flags) for `table`:
// false when the table was not loaded from a file or no collator can be had.
bool MakeRankCacheKey(const DSBASE& table, std::uint32_t fieldId, locale::LCID lcid,
                      std::uint32_t flags, RankCacheKey* key);

}  // namespace dorvem
