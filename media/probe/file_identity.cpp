#include "media/probe/file_identity.h"

#include <sys/stat.h>

namespace dorvem::mci {

std::optional<FileIdentity> FileIdentity::Of(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return Of(info);
}

FileIdentity FileIdentity::Of(const struct stat& info) {
  return FileIdentity{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino),
                      std::int64_t(info.st_size),
                      std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                      std::int64_t(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec};
}

}  // namespace dorvem::mci
