// FileIdentity: a file as it is on disk now - its device, inode, size,
// modification and change time. Any write to the file, or another file
// renamed into its place, gives another identity (a write changes the
// change time, which no program can set back), so what was read from a
// file may be used again while its identity stays.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct stat;

namespace dorvem::mci {

struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::int64_t changedNs = 0;

  // Nothing when the file cannot be looked at.
  static std::optional<FileIdentity> Of(const std::string& path);
  static FileIdentity Of(const struct stat& info);
  bool operator==(const FileIdentity&) const = default;
};

}  // namespace dorvem::mci
