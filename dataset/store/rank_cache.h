// RankCache: the collation ranks and the byte order of a data file's
// string column, kept between runs in a cache folder.
//
// Computing the ranks of a million headwords takes a large part of opening
// the dictionary, sorting them by their bytes for the first search another
// tenth of a second, and the file rarely changes between runs. So once
// computed, both are written to the cache folder the dataset's owner names
// (PacketSource::cacheFolder; the engine reads no environment and keeps
// nothing when it is empty), one file per data file, column and kind, and
// read back on the next run instead of being computed again. The data file
// itself is never written.
//
// A cache file is used only when everything that decides its contents is
// as it was (RankCacheKey): the data file's path, size and modification
// time, a hash of the column's values and null flags as loaded, the record
// count and, for ranks, the locale identifier, the collation flags and the
// collator's version. It is ignored when anything differs, when it is
// damaged (a checksum covers every byte) and when it cannot be read; it is
// rewritten whenever its contents are computed anew. Failing to write it
// (a read-only or missing folder, a full disk) is silent: the contents are
// computed, only not kept. Writes go to a temporary file that is renamed
// over the old one, so a reader never sees half a file.
//
// Anyone who can write the folder can put anything there, so the folder is
// not trusted: only a regular file owned by this user is read, opened so
// that neither a link nor a FIFO or device can make the open follow it or
// wait; numbers read back are checked against the table before use
// (collation_ranks.cpp); nothing is ever opened for writing but a new file
// this program creates, in a folder that is itself no link. After each
// write the folder is tidied (Tidy): other files of the same data file left
// from another version of it, temporary files of writers that were killed
// before their rename, and then the oldest files while the folder holds
// more than its limit.
//
// The byte layout of a cache file (every number little-endian) lives here
// and nowhere else:
//   0  magic "DVRANKS1" (8 bytes)      8  layout version (u32)
//   12 field id (u32)                  16 record count (u32)
//   20 locale identifier (u32)         24 collation flags (u32)
//   28 collator version (4 bytes)      32 data file size (u64)
//   40 modification time, ns (i64)     48 content hash of the column (u64)
//   56 hash of the data file's path (u64)
//   64 kind (u32: 1 ranks, 2 byte order, 3 the stored rows)
//   68 number n of the numbers that follow (u32, at most the record count)
//   72 n numbers (u32 each)
//   72 + 4n  checksum of bytes 0 .. 72 + 4n (u64, ContentHash)
// A byte order's key has locale, flags and collator version 0. The stored
// rows (store_image.h) have the same header with field id, record count,
// locale, flags and collator version 0, the content hash of the data
// file's identity (IdentityHash) and n the number of records; their body is
// laid out by store_image.h and may be any size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dataset/core/content_hash.h"
#include "dataset/core/large_allocator.h"
#include "dataset/locale/locale_services.h"

namespace dorvem {

class DSBASE;

// What makes a rank array valid.
struct RankCacheKey {
  std::string folder;  // the cache folder (absolute; empty: keep nothing)
  std::string path;    // absolute path of the data file
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
inline constexpr std::uint32_t kLayoutVersion = 2;
inline constexpr std::size_t kVersionAt = 8, kFieldAt = 12, kRecordsAt = 16, kLcidAt = 20,
                             kFlagsAt = 24, kCollatorVersionAt = 28, kFileSizeAt = 32,
                             kMtimeAt = 40, kContentHashAt = 48, kPathHashAt = 56, kKindAt = 64,
                             kCountAt = 68, kHeaderSize = 72, kChecksumSize = 8;

enum class Kind : std::uint32_t { kRanks = 1, kByteOrder = 2, kStoredRows = 3 };

// A cache file of `kind` for `key`, read from the start of its body to its
// end: Open checks the header against the key (the count n is the file's),
// Read reads the next bytes of the body, Finish checks that the whole body
// was read and that the checksum matches. Nothing read may be used before
// Finish said true.
class FileReader {
 public:
  FileReader() = default;
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // False when there is no such file, it is no regular file of this user,
  // or its header is not the key's.
  bool Open(const RankCacheKey& key, Kind kind);
  std::uint32_t Count() const { return count_; }
  // Bytes of the body left to read.
  std::uint64_t Left() const { return left_; }
  // False when fewer than `size` bytes are left or cannot be read.
  bool Read(void* out, std::size_t size);
  bool Finish();
  // Where the next byte Read reads lies in the file.
  std::uint64_t Offset() const { return offset_; }
  // Hands the open file over to the caller (who closes it); -1 when none.
  int ReleaseDescriptor();

 private:
  int fd_ = -1;
  std::uint32_t count_ = 0;
  std::uint64_t left_ = 0;
  std::uint64_t offset_ = 0;
  ContentHash sum_;
};

// Writes a new cache file of `kind` for `key` with count n: Open, Write the
// body, Commit renames it over the old one and tidies the folder. A writer
// destroyed before Commit leaves nothing behind.
class FileWriter {
 public:
  FileWriter() = default;
  ~FileWriter();
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  bool Open(const RankCacheKey& key, Kind kind, std::uint32_t count);
  bool Write(const void* bytes, std::size_t size);
  bool Commit();

 private:
  void Abandon();
  RankCacheKey key_;
  std::string name_, temp_;
  int dir_ = -1, fd_ = -1;
  bool ok_ = false;
  ContentHash sum_;
};

// The cache file of `kind` for `key`'s data file and field (in
// key.folder); empty when there is no folder.
std::string FileFor(const RankCacheKey& key, Kind kind);

// The checksum of a cache file's bytes before the checksum itself.
std::uint64_t Checksum(const std::uint8_t* bytes, std::size_t size);

// Reads the numbers of `kind` kept for `key` into *numbers. False, with
// *numbers empty, when there are none, when anything of the key differs,
// or when the file is damaged or unreadable.
bool Load(const RankCacheKey& key, Kind kind, LargeVector<std::uint32_t>* numbers);

// Keeps `numbers` (at most key.records of them) of `kind` for `key`. False
// when they could not be written (nothing is reported; a partly written
// file never takes the old one's place).
bool Store(const RankCacheKey& key, Kind kind, const LargeVector<std::uint32_t>& numbers);

// What Tidy leaves in a cache folder: at most `folderBytes` of cache files
// (or twice the size of the files just written, when that is more), and
// no temporary file older than `temporaryAgeNs`.
struct Limits {
  std::uint64_t folderBytes = std::uint64_t{256} << 20;
  std::int64_t temporaryAgeNs = std::int64_t{10} * 60 * 1000000000;
};

// Tidies key.folder after a cache file was written there for `key`:
// removes the other cache files of key's data file that were written for
// another size or modification time of it (or are damaged), the temporary
// files older than limits.temporaryAgeNs before `nowNs` (nanoseconds since
// the epoch), and then, oldest modification time first, cache files of
// other data files while the folder holds more than its limit. Only regular
// files owned by this user and named as this module names them are looked
// at; anything else in the folder is left alone.
void Tidy(const RankCacheKey& key, std::int64_t nowNs, const Limits& limits = Limits{});

}  // namespace rank_cache

// A hash of the values and null flags of field `fieldId` of every record of
// `table`: equal for equal column contents, whatever their storage. While
// the rows are as a data file gave them (DSBASE::RowsAsLoaded), a hash of
// the file's identity and the field instead, which reads no value.
std::uint64_t ColumnContentHash(const DSBASE& table, std::uint32_t fieldId);

// The key of field `fieldId` of `table` without locale, flags and collator
// version (a byte order's key), given the column's content hash: false
// when the table was not loaded from a file.
bool MakeColumnKey(const DSBASE& table, std::uint32_t fieldId, std::uint64_t contentHash,
                   RankCacheKey* key);
// The key of the ranks under (lcid, flags): the column key with them and
// the collator's version. False also when no collator can be had.
bool MakeRankCacheKey(const DSBASE& table, std::uint32_t fieldId, std::uint64_t contentHash,
                      locale::LCID lcid, std::uint32_t flags, RankCacheKey* key);

}  // namespace dorvem
