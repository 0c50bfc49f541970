#include "media/probe/file_probe.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <span>

#include "media/probe/mci_errors.h"

namespace dorvem::mci {

FileProbe ProbeMediaFile(const std::string& path) {
  FileProbe probe;
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    probe.error = MCIERR_FILE_NOT_FOUND;
    return probe;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    probe.error = MCIERR_FILE_READ;
    return probe;
  }
  if (::fstat(fd, &info) != 0 || info.st_size == 0) {
    ::close(fd);
    probe.error = info.st_size == 0 ? MCIERR_INVALID_FILE : MCIERR_FILE_READ;
    return probe;
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) {
    probe.error = MCIERR_FILE_READ;
    return probe;
  }
  const std::span<const std::uint8_t> bytes(static_cast<const std::uint8_t*>(map), size);
  probe.kind = SniffMediaKind(bytes);
  const auto length = MediaLengthMs(probe.kind, bytes);
  ::munmap(map, size);
  if (!length) {
    probe.error = MCIERR_INVALID_FILE;
    probe.kind = MediaKind::kUnknown;
  } else {
    probe.lengthMs = *length;
  }
  return probe;
}

FileProbe ProbeMediaFileFor(const std::string& path, std::optional<MediaKind> required) {
  FileProbe probe = ProbeMediaFile(path);
  if (probe.error == 0 && required && *required != probe.kind) {
    probe.error = MCIERR_INVALID_FILE;
    probe.kind = MediaKind::kUnknown;
    probe.lengthMs = 0;
  }
  return probe;
}

}  // namespace dorvem::mci
