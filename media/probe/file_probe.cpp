#include "media/probe/file_probe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <span>
#include <unordered_map>

#include "dataset/core/mapped_file.h"
#include "media/probe/file_identity.h"
#include "media/probe/mci_errors.h"

namespace dorvem::mci {

namespace {

// What a file was found to hold, for as long as it is the same file
// (file_identity.h): the cue sounds are probed on every keystroke.
class ProbeMemo {
 public:
  std::optional<FileProbe> Find(const std::string& path, const FileIdentity& identity) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = probes_.find(path);
    if (it == probes_.end() || it->second.first != identity) return std::nullopt;
    return it->second.second;
  }
  void Keep(const std::string& path, const FileIdentity& identity, const FileProbe& probe) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (probes_.size() >= kFiles) probes_.clear();
    probes_[path] = {identity, probe};
  }

 private:
  static constexpr std::size_t kFiles = 64;
  std::mutex mutex_;
  std::unordered_map<std::string, std::pair<FileIdentity, FileProbe>> probes_;
};

// Never destroyed: the media worker may still probe a file while the
// process exits and its statics go.
ProbeMemo& Memo() {
  static ProbeMemo* const memo = new ProbeMemo;
  return *memo;
}

}  // namespace

FileProbe ProbeMediaFile(const std::string& path) {
  FileProbe probe;
  struct stat info {};
  if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    probe.error = MCIERR_FILE_NOT_FOUND;
    return probe;
  }
  const FileIdentity identity = FileIdentity::Of(info);
  if (std::optional<FileProbe> known = Memo().Find(path, identity)) return *known;
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
  // A file cut short under the reading gives zeros where its pages went
  // instead of ending the program; it is then a read error.
  MappedFile map;
  const bool mapped = map.Map(fd, static_cast<std::size_t>(info.st_size));
  ::close(fd);
  if (!mapped) {
    probe.error = MCIERR_FILE_READ;
    return probe;
  }
  const std::span<const std::uint8_t> bytes(map.data(), map.size());
  probe.kind = SniffMediaKind(bytes);
  const auto length = MediaLengthMs(probe.kind, bytes);
  if (map.Faulted()) {
    probe.error = MCIERR_FILE_READ;
    probe.kind = MediaKind::kUnknown;
    return probe;
  }
  if (!length) {
    probe.error = MCIERR_INVALID_FILE;
    probe.kind = MediaKind::kUnknown;
  } else {
    probe.lengthMs = *length;
  }
  // The identity of the file as opened, which is what was read.
  Memo().Keep(path, FileIdentity::Of(info), probe);
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
