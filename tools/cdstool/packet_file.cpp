#include "tools/cdstool/packet_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "dataset/core/file_read.h"
#include "dataset/core/mapped_file.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "dataset/host/host_messages.h"

namespace cdstool {

namespace {

[[noreturn]] void CannotOpen(const std::string& path, const std::string& reason) {
  throw dorvem::EDatabaseError(dorvem::msg::Fmt(dorvem::msg::kCannotOpenFile, {path, reason}));
}

// Opens `path` for reading when it is a regular file of at most `limit`
// bytes (without waiting, whatever it is); its size into *size.
int OpenRegular(const std::string& path, std::uint64_t limit, std::uint64_t* size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) CannotOpen(path, std::strerror(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    CannotOpen(path, std::strerror(error));
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    CannotOpen(path, S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "Not a regular file");
  }
  *size = static_cast<std::uint64_t>(st.st_size);
  if (*size > limit) {
    ::close(fd);
    throw dorvem::EDatabaseError("File \"" + path + "\" is too large: " + std::to_string(*size) +
                                 " bytes, at most " + std::to_string(limit) + ".");
  }
  return fd;
}

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::uint64_t limit) {
  std::uint64_t size = 0;
  const int fd = OpenRegular(path, limit, &size);
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    ::close(fd);
    throw;
  }
  // A file that shrank meanwhile gives what it still held.
  int error = 0;
  const std::size_t done = dorvem::ReadUpTo(fd, bytes.data(), bytes.size(), &error);
  ::close(fd);
  if (error != 0) CannotOpen(path, std::strerror(error));
  bytes.resize(done);
  return bytes;
}

dorvem::PacketBytes MapFileBytes(const std::string& path) {
  std::uint64_t size = 0;
  const int fd = OpenRegular(path, std::numeric_limits<std::uint64_t>::max(), &size);
  dorvem::MappedFile mapped;
  const bool ok = size == 0 || mapped.Map(fd, static_cast<std::size_t>(size));
  const int error = errno;
  ::close(fd);
  if (!ok) CannotOpen(path, std::strerror(error));
  if (size == 0) return {};
  return dorvem::PacketBytes(std::move(mapped), dorvem::PacketSource{});
}

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out)
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  if (!out)
    throw dorvem::EDatabaseError("Cannot create file \"" + path + "\". " + std::strerror(errno));
}

dorvem::PacketModel ReadOpenablePacketModel(const std::string& path,
                                            const std::string& cacheFolder) {
  {
    dorvem::TClientDataSet ds("tblAdat");
    ds.SetFileName(path);
    ds.SetCacheFolder(cacheFolder);
    ds.Open();
  }
  dorvem::PacketModel model;
  dorvem::Check(dorvem::ReadPacketModel(ReadFileBytes(path), &model));
  return model;
}

}  // namespace cdstool
