#include "dataset/store/rank_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unicode/ucol.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>

#include "dataset/core/byte_layout.h"
#include "dataset/core/content_hash.h"
#include "dataset/locale/collator.h"
#include "dataset/store/table.h"

namespace dorvem {

namespace rank_cache {

namespace {

// Writes all of `size` bytes; false on any failure.
bool WriteAll(int fd, const std::uint8_t* p, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Reads exactly `size` bytes; false on any failure or an early end.
bool ReadAll(int fd, std::uint8_t* p, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::read(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::uint64_t PathHash(const std::string& path) {
  return ContentHash::Of(path.data(), path.size());
}

// The header `key` must find in a cache file of `kind` holding `count`
// numbers.
void WriteHeader(const RankCacheKey& key, Kind kind, std::uint32_t count, std::uint8_t* h) {
  std::memcpy(h, kMagic, sizeof kMagic);
  StoreU32(h + kVersionAt, kLayoutVersion);
  StoreU32(h + kFieldAt, key.fieldId);
  StoreU32(h + kRecordsAt, key.records);
  StoreU32(h + kLcidAt, key.lcid);
  StoreU32(h + kFlagsAt, key.flags);
  std::memcpy(h + kCollatorVersionAt, key.collatorVersion.data(), 4);
  StoreU64(h + kFileSizeAt, key.fileSize);
  StoreU64(h + kMtimeAt, static_cast<std::uint64_t>(key.mtimeNs));
  StoreU64(h + kContentHashAt, key.contentHash);
  StoreU64(h + kPathHashAt, PathHash(key.path));
  StoreU32(h + kKindAt, static_cast<std::uint32_t>(kind));
  StoreU32(h + kCountAt, count);
}

}  // namespace

std::string Folder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/dorvem";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/dorvem";
  return {};
}

std::string FileFor(const RankCacheKey& key, Kind kind) {
  const std::string folder = Folder();
  if (folder.empty()) return {};
  char name[48];
  std::snprintf(name, sizeof name, "/%s-%016llx-%u.bin", kind == Kind::kRanks ? "ranks" : "order",
                static_cast<unsigned long long>(PathHash(key.path)), key.fieldId);
  return folder + name;
}

std::uint64_t Checksum(const std::uint8_t* bytes, std::size_t size) {
  return ContentHash::Of(bytes, size);
}

bool Load(const RankCacheKey& key, Kind kind, std::vector<std::uint32_t>* numbers) {
  numbers->clear();
  const std::string file = FileFor(key, kind);
  if (file.empty()) return false;
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const std::size_t largest = kHeaderSize + std::size_t{4} * key.records + kChecksumSize;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<std::uint64_t>(st.st_size) >= kHeaderSize + kChecksumSize &&
            static_cast<std::uint64_t>(st.st_size) <= largest &&
            (static_cast<std::size_t>(st.st_size) - kHeaderSize - kChecksumSize) % 4 == 0;
  const std::size_t size = ok ? static_cast<std::size_t>(st.st_size) : 0;
  std::vector<std::uint8_t> bytes;
  if (ok) {
    try {
      bytes.resize(size);
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  ok = ok && ReadAll(fd, bytes.data(), size);
  ::close(fd);
  if (!ok) return false;

  const auto count = static_cast<std::uint32_t>((size - kHeaderSize - kChecksumSize) / 4);
  std::uint8_t expected[kHeaderSize];
  WriteHeader(key, kind, count, expected);
  if (std::memcmp(bytes.data(), expected, kHeaderSize) != 0) return false;
  const std::size_t body = size - kChecksumSize;
  if (LoadU64(bytes.data() + body) != Checksum(bytes.data(), body)) return false;
  try {
    numbers->resize(count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (std::uint32_t i = 0; i < count; ++i)
    (*numbers)[i] = LoadU32(bytes.data() + kHeaderSize + std::size_t{4} * i);
  return true;
}

bool Store(const RankCacheKey& key, Kind kind, const std::vector<std::uint32_t>& numbers) {
  if (numbers.size() > key.records) return false;
  const auto count = static_cast<std::uint32_t>(numbers.size());
  const std::string file = FileFor(key, kind);
  if (file.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(Folder(), ec);
  if (ec) return false;

  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(kHeaderSize + std::size_t{4} * count + kChecksumSize);
  } catch (const std::bad_alloc&) {
    return false;
  }
  WriteHeader(key, kind, count, bytes.data());
  for (std::uint32_t i = 0; i < count; ++i)
    StoreU32(bytes.data() + kHeaderSize + std::size_t{4} * i, numbers[i]);
  const std::size_t body = bytes.size() - kChecksumSize;
  StoreU64(bytes.data() + body, Checksum(bytes.data(), body));

  std::string temp = file + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes.data(), bytes.size());
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), file.c_str()) != 0) {
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace rank_cache

std::uint64_t ColumnContentHash(const DSBASE& table, std::uint32_t fieldId) {
  const std::uint32_t records = table.RecordCount();
  ContentHash h;
  h.AddU64(records);
  if (const StringColumn* s = table.Strings(fieldId)) {
    // The values one after another, each with its terminating zero.
    h.AddU64(s->Count());
    h.Add(s->ArenaData(), s->ArenaSize());
  } else {
    const std::uint32_t width = table.Field(fieldId).recordLength;
    h.AddU64(width);
    for (std::uint32_t r = 1; r <= records; ++r) h.Add(table.ValuePtr(r, fieldId), width);
  }
  // The null flags, a buffer at a time.
  std::uint8_t flags[4096];
  std::size_t n = 0;
  for (std::uint32_t r = 1; r <= records; ++r) {
    flags[n++] = table.NullFlag(r, fieldId);
    if (n == sizeof flags) {
      h.Add(flags, n);
      n = 0;
    }
  }
  h.Add(flags, n);
  return h.Value();
}

bool MakeColumnKey(const DSBASE& table, std::uint32_t fieldId, std::uint64_t contentHash,
                   RankCacheKey* key) {
  const PacketSource& source = table.Source();
  if (source.path.empty()) return false;
  *key = RankCacheKey{};
  key->path = source.path;
  key->fileSize = source.size;
  key->mtimeNs = source.mtimeNs;
  key->contentHash = contentHash;
  key->fieldId = fieldId;
  key->records = table.RecordCount();
  return true;
}

bool MakeRankCacheKey(const DSBASE& table, std::uint32_t fieldId, std::uint64_t contentHash,
                      locale::LCID lcid, std::uint32_t flags, RankCacheKey* key) {
  const locale::Collator* collator = locale::Collator::For(lcid, flags);
  if (collator == nullptr || !MakeColumnKey(table, fieldId, contentHash, key)) return false;
  UVersionInfo version{};
  ucol_getVersion(collator->Handle(), version);
  key->lcid = lcid;
  key->flags = flags;
  std::memcpy(key->collatorVersion.data(), version, 4);
  return true;
}

}  // namespace dorvem
