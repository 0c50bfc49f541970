// Every test of this program runs with its own cache folder: cdstool and
// the program keep the collation ranks of the data files they open under
// $XDG_CACHE_HOME, which must never be the user's. The folder is made
// before the first test and removed after the last.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

class CacheHome : public ::testing::Environment {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/dorvem-test-cache-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) return;
    dir_ = pattern;
    ::setenv("XDG_CACHE_HOME", dir_.c_str(), 1);
  }
  void TearDown() override {
    if (dir_.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

 private:
  std::string dir_;
};

[[maybe_unused]] ::testing::Environment* const kCacheHome =
    ::testing::AddGlobalTestEnvironment(new CacheHome);

}  // namespace
