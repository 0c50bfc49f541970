#include "dataset/store/rank_cache.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unicode/ucol.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <new>
#include <utility>

#include "dataset/core/byte_layout.h"
#include "dataset/core/content_hash.h"
#include "dataset/core/file_read.h"
#include "dataset/locale/collator.h"
#include "dataset/store/stored_rows.h"
#include "dataset/store/table.h"

namespace dorvem {

namespace rank_cache {

namespace {

constexpr std::size_t kSuffixLength = 6;  // of a temporary file: ".XXXXXX"

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
  int error = 0;
  return ReadUpTo(fd, p, size, &error) == size;
}

// Closes a descriptor when it goes.
struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
};

std::uint64_t PathHash(const std::string& path) {
  return ContentHash::Of(path.data(), path.size());
}

std::int64_t MtimeNs(const struct stat& st) {
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// The cache file's name (no folder) of `kind` for `key`.
std::string NameFor(const RankCacheKey& key, Kind kind) {
  char name[48];
  const char* prefix = kind == Kind::kRanks       ? "ranks"
                       : kind == Kind::kByteOrder ? "order"
                                                  : "store";
  std::snprintf(name, sizeof name, "%s-%016llx-%u.bin", prefix,
                static_cast<unsigned long long>(PathHash(key.path)), key.fieldId);
  return name;
}

// A name this module writes: "ranks-", "order-" or "store-", 16 hex digits (the
// path hash), "-", the field id, ".bin", and for a temporary file a dot
// and six letters or digits.
struct NameParts {
  bool ours = false;
  bool temporary = false;
  std::uint64_t pathHash = 0;
};
NameParts ParseName(const char* name) {
  NameParts parts;
  const std::size_t length = std::strlen(name);
  if (length < 6 + 16 + 2 + 4) return parts;
  if (std::strncmp(name, "ranks-", 6) != 0 && std::strncmp(name, "order-", 6) != 0 &&
      std::strncmp(name, "store-", 6) != 0)
    return parts;
  for (std::size_t i = 6; i < 22; ++i) {
    const char c = name[i];
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return parts;
    parts.pathHash = (parts.pathHash << 4) | static_cast<std::uint64_t>(digit);
  }
  if (name[22] != '-') return parts;
  std::size_t i = 23;
  while (i < length && name[i] >= '0' && name[i] <= '9') ++i;
  if (i == 23 || std::strncmp(name + i, ".bin", 4) != 0) return parts;
  i += 4;
  if (i == length) {
    parts.ours = true;
    return parts;
  }
  if (length != i + 1 + kSuffixLength || name[i] != '.') return parts;
  for (std::size_t k = i + 1; k < length; ++k)
    if (!std::isalnum(static_cast<unsigned char>(name[k]))) return parts;
  parts.ours = parts.temporary = true;
  return parts;
}

// Opens `folder` as a directory that is no link and belongs to this user;
// with `create`, makes it (and its parents) first when missing. -1 when it
// cannot be had so.
int OpenFolder(const std::string& folder, bool create) {
  if (folder.empty() || folder[0] != '/') return -1;
  if (create) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(folder).parent_path(), ec);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return -1;
  }
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Opens `name` in the folder `dir` for reading only when it is a regular
// file of this user: a link is not followed, and a FIFO or device is
// opened without waiting and then refused. -1 otherwise; *st is the file's.
int OpenRegular(int dir, const char* name, struct stat* st) {
  const int fd = ::openat(dir, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return -1;
  if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode) || st->st_uid != ::geteuid()) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Creates a new file "<name>.XXXXXX" in `dir` (never an existing one);
// its name into *temp. -1 when none can be made.
int CreateTemporary(int dir, const std::string& name, std::string* temp) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::uint8_t random[kSuffixLength];
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) return -1;
    *temp = name + ".";
    for (const std::uint8_t r : random) *temp += kLetters[r % (sizeof kLetters - 1)];
    const int fd =
        ::openat(dir, temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
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

// True when the cache file `name` in `dir` was written for the data file
// as `key` describes it (same size and modification time).
bool WrittenForThisVersion(int dir, const char* name, const RankCacheKey& key) {
  struct stat st {};
  const Fd fd(OpenRegular(dir, name, &st));
  std::uint8_t h[kHeaderSize];
  if (fd.fd < 0 || !ReadAll(fd.fd, h, sizeof h)) return false;
  return std::memcmp(h, kMagic, sizeof kMagic) == 0 && LoadU32(h + kVersionAt) == kLayoutVersion &&
         LoadU64(h + kFileSizeAt) == key.fileSize &&
         static_cast<std::int64_t>(LoadU64(h + kMtimeAt)) == key.mtimeNs;
}

std::int64_t NowNs() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

}  // namespace

std::string FileFor(const RankCacheKey& key, Kind kind) {
  if (key.folder.empty()) return {};
  return key.folder + "/" + NameFor(key, kind);
}

std::uint64_t Checksum(const std::uint8_t* bytes, std::size_t size) {
  return ContentHash::Of(bytes, size);
}

FileReader::~FileReader() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileReader::Open(const RankCacheKey& key, Kind kind) {
  const Fd dir(OpenFolder(key.folder, false));
  if (dir.fd < 0) return false;
  struct stat st {};
  const int fd = OpenRegular(dir.fd, NameFor(key, kind).c_str(), &st);
  if (fd < 0) return false;
  fd_ = fd;
  const auto size = static_cast<std::uint64_t>(st.st_size);
  std::uint8_t header[kHeaderSize], expected[kHeaderSize];
  if (size < kHeaderSize + kChecksumSize || !ReadAll(fd_, header, sizeof header)) return false;
  count_ = LoadU32(header + kCountAt);
  WriteHeader(key, kind, count_, expected);
  if (std::memcmp(header, expected, kHeaderSize) != 0) return false;
  sum_ = ContentHash();
  sum_.Add(header, sizeof header);
  left_ = size - kHeaderSize - kChecksumSize;
  offset_ = kHeaderSize;
  return true;
}

int FileReader::ReleaseDescriptor() {
  return std::exchange(fd_, -1);
}

bool FileReader::Read(void* out, std::size_t size) {
  if (size == 0) return fd_ >= 0;
  if (fd_ < 0 || size > left_ || !ReadAll(fd_, static_cast<std::uint8_t*>(out), size)) {
    left_ = 0;
    return false;
  }
  sum_.Add(out, size);
  left_ -= size;
  offset_ += size;
  return true;
}

bool FileReader::Finish() {
  std::uint8_t checksum[kChecksumSize + 1];
  int error = 0;
  // The checksum, and then the end of the file.
  return fd_ >= 0 && left_ == 0 &&
         ReadUpTo(fd_, checksum, sizeof checksum, &error) == kChecksumSize &&
         LoadU64(checksum) == sum_.Value();
}

FileWriter::~FileWriter() {
  Abandon();
}

void FileWriter::Abandon() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty()) ::unlinkat(dir_, temp_.c_str(), 0);
  if (dir_ >= 0) ::close(dir_);
  fd_ = dir_ = -1;
  temp_.clear();
  ok_ = false;
}

bool FileWriter::Open(const RankCacheKey& key, Kind kind, std::uint32_t count) {
  Abandon();
  dir_ = OpenFolder(key.folder, true);
  if (dir_ < 0) return false;
  key_ = key;
  name_ = NameFor(key, kind);
  // A new file of our own, renamed over whatever bears the name at the end
  // (a link there is replaced, never followed).
  fd_ = CreateTemporary(dir_, name_, &temp_);
  if (fd_ < 0) {
    temp_.clear();
    Abandon();
    return false;
  }
  std::uint8_t header[kHeaderSize];
  WriteHeader(key, kind, count, header);
  sum_ = ContentHash();
  ok_ = true;
  return Write(header, sizeof header);
}

bool FileWriter::Write(const void* bytes, std::size_t size) {
  // An empty part (of an empty column) may have no address at all.
  if (!ok_ || size == 0) return ok_;
  ok_ = WriteAll(fd_, static_cast<const std::uint8_t*>(bytes), size);
  sum_.Add(bytes, size);
  return ok_;
}

bool FileWriter::Commit() {
  std::uint8_t checksum[kChecksumSize];
  StoreU64(checksum, sum_.Value());
  if (!ok_ || !WriteAll(fd_, checksum, sizeof checksum)) {
    Abandon();
    return false;
  }
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!closed || ::renameat(dir_, temp_.c_str(), dir_, name_.c_str()) != 0) {
    Abandon();
    return false;
  }
  temp_.clear();
  Abandon();
  Tidy(key_, NowNs());
  return true;
}

bool Load(const RankCacheKey& key, Kind kind, LargeVector<std::uint32_t>* numbers) {
  numbers->clear();
  FileReader file;
  if (!file.Open(key, kind) || file.Count() > key.records ||
      file.Left() != std::uint64_t{4} * file.Count())
    return false;
  // The numbers are read straight into *numbers: no copy of the file is
  // kept, and on a little-endian machine no number is touched twice.
  try {
    ResizeToWrite(*numbers, file.Count());
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!file.Read(numbers->data(), std::size_t{4} * file.Count()) || !file.Finish()) {
    numbers->clear();
    return false;
  }
  if constexpr (std::endian::native != std::endian::little)
    for (std::uint32_t& n : *numbers) n = LoadU32(reinterpret_cast<const std::uint8_t*>(&n));
  return true;
}

bool Store(const RankCacheKey& key, Kind kind, const LargeVector<std::uint32_t>& numbers) {
  if (numbers.size() > key.records) return false;
  const auto count = static_cast<std::uint32_t>(numbers.size());
  FileWriter file;
  if (!file.Open(key, kind, count)) return false;
  std::uint8_t block[4096];
  for (std::uint32_t i = 0; i < count;) {
    std::size_t n = 0;
    for (; i < count && n < sizeof block; ++i, n += 4) StoreU32(block + n, numbers[i]);
    if (!file.Write(block, n)) return false;
  }
  return file.Commit();
}

void Tidy(const RankCacheKey& key, std::int64_t nowNs, const Limits& limits) {
  const int dirFd = OpenFolder(key.folder, false);
  if (dirFd < 0) return;
  DIR* dir = ::fdopendir(dirFd);
  if (dir == nullptr) {
    ::close(dirFd);
    return;
  }
  struct Kept {
    std::string name;
    std::int64_t mtimeNs;
    std::uint64_t size;
  };
  std::vector<Kept> others;  // files of other data files, candidates to go
  std::uint64_t total = 0, current = 0;
  const std::uint64_t pathHash = PathHash(key.path);
  try {
    while (const dirent* e = ::readdir(dir)) {
      const NameParts parts = ParseName(e->d_name);
      struct stat st {};
      if (!parts.ours || ::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
          !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
        continue;
      const auto size = static_cast<std::uint64_t>(st.st_size);
      bool remove = false;
      if (parts.temporary)
        remove = nowNs - MtimeNs(st) > limits.temporaryAgeNs;
      else if (parts.pathHash == pathHash)
        remove = !WrittenForThisVersion(dirFd, e->d_name, key);
      if (remove) {
        ::unlinkat(dirFd, e->d_name, 0);
        continue;
      }
      total += size;
      // A young temporary file is a writer at work: it stays.
      if (parts.temporary) continue;
      if (parts.pathHash == pathHash)
        current += size;
      else
        others.push_back(Kept{e->d_name, MtimeNs(st), size});
    }
  } catch (const std::bad_alloc&) {
    others.clear();
  }
  const std::uint64_t limit = std::max(limits.folderBytes, 2 * current);
  std::sort(others.begin(), others.end(),
            [](const Kept& a, const Kept& b) { return a.mtimeNs < b.mtimeNs; });
  for (const Kept& k : others) {
    if (total <= limit) break;
    if (::unlinkat(dirFd, k.name.c_str(), 0) == 0) total -= k.size;
  }
  ::closedir(dir);
}

}  // namespace rank_cache

std::uint64_t ColumnContentHash(const DSBASE& table, std::uint32_t fieldId) {
  const std::uint32_t records = table.RecordCount();
  ContentHash h;
  h.AddU64(records);
  // Rows as the data file gave them are known by the file's identity,
  // without reading them (the same file gives the same rows).
  if (table.RowsAsLoaded() && table.Source().inode != 0) {
    h.AddU64(stored_rows::IdentityHash(table.Source()));
    h.AddU64(fieldId);
    return h.Value();
  }
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
  if (source.path.empty() || source.cacheFolder.empty()) return false;
  *key = RankCacheKey{};
  key->folder = source.cacheFolder;
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
