#include "dataset/host/packet_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "dataset/core/file_read.h"
#include "dataset/core/large_buffer.h"
#include "dataset/core/mapped_file.h"
#include "dataset/host/db_errors.h"
#include "dataset/host/host_messages.h"

namespace dorvem {

PacketSource PacketSourceOf(const std::string& fileName, const std::string& cacheFolder,
                            const struct stat& st) {
  std::error_code ec;
  PacketSource source;
  source.path = std::filesystem::absolute(fileName, ec).lexically_normal().string();
  if (ec) source.path = fileName;
  source.size = static_cast<std::uint64_t>(st.st_size);
  source.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  source.cacheFolder = cacheFolder;
  source.device = static_cast<std::uint64_t>(st.st_dev);
  source.inode = static_cast<std::uint64_t>(st.st_ino);
  source.ctimeNs = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  return source;
}

PacketBytes ReadPacketFileOf(const std::string& fileName, const std::string& cacheFolder,
                             const std::string& datasetName) {
  struct stat st {};
  if (fileName.empty() || ::stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
      st.st_size == 0)
    DatabaseError(msg::kMissingDataPacket, datasetName);

  auto fail = [&](int error) {
    std::error_code ec;
    const std::string full = std::filesystem::absolute(fileName, ec).lexically_normal().string();
    throw EDatabaseError(
        msg::Fmt(msg::kCannotOpenFile, {ec ? fileName : full, std::strerror(error)}));
  };
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail(errno);
  // Ask other writers to keep off while the file is read (advisory).
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  (void)::fcntl(fd, F_SETLK, &lock);
  // Size and time of the file as opened (it may have changed since the look
  // above).
  if (::fstat(fd, &st) != 0 || st.st_size == 0) {
    ::close(fd);
    DatabaseError(msg::kMissingDataPacket, datasetName);
  }

  // The file is mapped, not copied: the table reads the rows from the page
  // cache and keeps its blob values where they lie.
  PacketSource source = PacketSourceOf(fileName, cacheFolder, st);
  MappedFile mapped;
  if (mapped.Map(fd, static_cast<std::size_t>(st.st_size))) {
    ::close(fd);
    return PacketBytes(std::move(mapped), std::move(source));
  }

  // Where the file cannot be mapped, the whole file in one buffer; a large
  // one comes zero-filled from the kernel, so it is written once, by the
  // read itself.
  LargeBuffer bytes;
  if (!bytes.Resize(static_cast<std::size_t>(st.st_size))) {
    ::close(fd);
    Check(dbr::kOutOfMemory);
  }
  // A file that shrank while being read gives what it still held.
  int error = 0;
  const std::size_t done = ReadUpTo(fd, bytes.data(), bytes.size(), &error);
  ::close(fd);
  if (error != 0) fail(error);
  if (done == 0) DatabaseError(msg::kMissingDataPacket, datasetName);
  bytes.Resize(done);
  return PacketBytes(std::move(bytes));
}
}  // namespace dorvem
