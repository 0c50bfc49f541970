// FileSnapshot: what a data file is on disk (its bytes, its modification
// time to the nanosecond, and the names in its folder), taken to show that
// reading it changed nothing. Aging first moves the modification time far
// into the past, so that any later write, even within the same second,
// shows as a new time.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace dorvem::testing {

struct FileSnapshot {
  std::vector<char> bytes;
  std::int64_t mtimeSeconds = -1;
  long mtimeNanoseconds = -1;
  std::vector<std::string> folder;  // names beside the file, sorted

  bool operator==(const FileSnapshot&) const = default;

  static FileSnapshot Of(const std::string& path) {
    FileSnapshot s;
    std::ifstream in(path, std::ios::binary);
    s.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
      s.mtimeSeconds = st.st_mtim.tv_sec;
      s.mtimeNanoseconds = st.st_mtim.tv_nsec;
    }
    for (const auto& e :
         std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()))
      s.folder.push_back(e.path().filename().string());
    std::sort(s.folder.begin(), s.folder.end());
    return s;
  }

  // Sets the file's access and modification times to 2001-02-03 04:05:06.789.
  static void Age(const std::string& path) {
    const struct timespec times[2] = {{981173106, 789000000}, {981173106, 789000000}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
};

}  // namespace dorvem::testing
