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

// The header `key` must find in a cache file.
void WriteHeader(const RankCacheKey& key, std::uint8_t* h) {
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
}

}  // namespace

std::string Folder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/dorvem";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.cache/dorvem";
  return {};
}

std::string FileFor(const RankCacheKey& key) {
  const std::string folder = Folder();
  if (folder.empty()) return {};
  char name[48];
  std::snprintf(name, sizeof name, "/ranks-%016llx-%u.bin",
                static_cast<unsigned long long>(PathHash(key.path)), key.fieldId);
  return folder + name;
}

std::uint64_t Checksum(const std::uint8_t* bytes, std::size_t size) {
  return ContentHash::Of(bytes, size);
}

bool Load(const RankCacheKey& key, std::vector<std::uint32_t>* ranks) {
  ranks->clear();
  const std::string file = FileFor(key);
  if (file.empty()) return false;
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const std::size_t size = kHeaderSize + std::size_t{4} * key.records + kChecksumSize;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<std::uint64_t>(st.st_size) == size;
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

  std::uint8_t expected[kHeaderSize];
  WriteHeader(key, expected);
  if (std::memcmp(bytes.data(), expected, kHeaderSize) != 0) return false;
  const std::size_t body = size - kChecksumSize;
  if (LoadU64(bytes.data() + body) != Checksum(bytes.data(), body)) return false;
  try {
    ranks->resize(key.records);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (std::uint32_t i = 0; i < key.records; ++i)
    (*ranks)[i] = LoadU32(bytes.data() + kHeaderSize + std::size_t{4} * i);
  return true;
}

bool Store(const RankCacheKey& key, const std::vector<std::uint32_t>& ranks) {
  if (ranks.size() != key.records) return false;
  const std::string file = FileFor(key);
  if (file.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(Folder(), ec);
  if (ec) return false;

  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(kHeaderSize + std::size_t{4} * key.records + kChecksumSize);
  } catch (const std::bad_alloc&) {
    return false;
  }
  WriteHeader(key, bytes.data());
  for (std::uint32_t i = 0; i < key.records; ++i)
    StoreU32(bytes.data() + kHeaderSize + std::size_t{4} * i, ranks[i]);
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

bool MakeRankCacheKey(const DSBASE& table, std::uint32_t fieldId, locale::LCID lcid,
                      std::uint32_t flags, RankCacheKey* key) {
  const PacketSource& source = table.Source();
  if (source.path.empty()) return false;
  const locale::Collator* collator = locale::Collator::For(lcid, flags);
  if (collator == nullptr) return false;
  UVersionInfo version{};
  ucol_getVersion(collator->Handle(), version);
  key->path = source.path;
  key->fileSize = source.size;
  key->mtimeNs = source.mtimeNs;
  key->contentHash = ColumnContentHash(table, fieldId);
  key->fieldId = fieldId;
  key->records = table.RecordCount();
  key->lcid = lcid;
  key->flags = flags;
  std::memcpy(key->collatorVersion.data(), version, 4);
  return true;
}

}  // namespace dorvem
