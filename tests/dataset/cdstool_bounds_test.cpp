// cdstool reads only regular files, never waits on what it opens, and
// refuses a file value larger than a packet can hold before reading it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dataset/store/rank_cache.h"
#include "tests/dataset/test_packets.h"
#include "tests/dataset/tool_runner.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::Encode;
using testing::RunTool;
using testing::TempFile;
namespace fs = std::filesystem;

class CdsToolBoundsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dorvem-cdstool-bounds-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    fifo_ = (dir_ / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo_.c_str(), 0600), 0);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  // A build source whose one memo is {"file": value}.
  std::string SourceWithFile(const std::string& value) {
    const fs::path source = dir_ / ("szotar" + std::to_string(++sources_) + ".json");
    std::ofstream(source) << R"({"params": {"LCID": 1038},
      "columns": [{"name": "KSZOVEG", "type": "string", "width": 40},
                  {"name": "SZOVMAGY", "type": "blob", "subtype": "Text"}],
      "rows": [{"KSZOVEG": "A", "SZOVMAGY": {"file": ")"
                          << value << R"("}}]})";
    return source.string();
  }
  fs::path dir_;
  std::string fifo_;
  int sources_ = 0;
};

TEST_F(CdsToolBoundsTest, NothingButRegularFilesIsRead) {
  const std::string out = (dir_ / "out.cds").string();
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"build", SourceWithFile(fifo_), out},
       "cdstool: Cannot open file \"" + fifo_ + "\". Not a regular file.\n"},
      {{"build", SourceWithFile("/dev/zero"), out},
       "cdstool: Cannot open file \"/dev/zero\". Not a regular file.\n"},
      {{"build", SourceWithFile(dir_.string()), out},
       "cdstool: Cannot open file \"" + dir_.string() + "\". Is a directory.\n"},
      {{"build", fifo_, out}, "cdstool: Cannot open file \"" + fifo_ + "\". Not a regular file.\n"},
      {{"info", fifo_}, "cdstool: tblAdat: Missing data provider or data packet.\n"},
      {{"rows", fifo_}, "cdstool: tblAdat: Missing data provider or data packet.\n"},
      {{"convert", fifo_, out, "--to", "xml"},
       "cdstool: tblAdat: Missing data provider or data packet.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[1]);
    const testing::ToolResult r = RunTool(c.args);  // a FIFO read would never end
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, c.err);
    EXPECT_FALSE(fs::exists(out));
  }
}

TEST_F(CdsToolBoundsTest, ValueLargerThanAPacketHoldsIsRefusedUnread) {
  // A sparse file of 2^31 bytes: one more than a blob's 31-bit length.
  const fs::path big = dir_ / "big.bin";
  { std::ofstream(big).put('x'); }
  fs::resize_file(big, std::uintmax_t{1} << 31);
  const std::string out = (dir_ / "out.cds").string();
  const testing::ToolResult r = RunTool({"build", SourceWithFile(big.string()), out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "cdstool: File \"" + big.string() +
                       "\" is too large: 2147483648 bytes, at most 2147483647.\n");
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(CdsToolBoundsTest, AFifoInPlaceOfACacheFileDoesNotBlock) {
  // cdstool keeps its caches in $XDG_CACHE_HOME/dorvem (the test's own).
  const char* home = std::getenv("XDG_CACHE_HOME");
  ASSERT_NE(home, nullptr);
  TempFile file(Encode(DictionaryModel({{{}, "B", {}, {}, 1}, {{}, "A", {}, {}, 2}})));
  RankCacheKey key;
  key.folder = std::string(home) + "/dorvem";
  key.path = fs::absolute(file.Path()).lexically_normal().string();
  key.fieldId = 2;  // KSZOVEG
  fs::create_directories(key.folder);
  for (const auto kind : {rank_cache::Kind::kRanks, rank_cache::Kind::kByteOrder}) {
    fs::remove(rank_cache::FileFor(key, kind));
    ASSERT_EQ(::mkfifo(rank_cache::FileFor(key, kind).c_str(), 0600), 0);
  }
  ::alarm(60);  // a blocked open ends the test program instead of hanging it
  const testing::ToolResult r =
      RunTool({"rows", file.Path(), "--index", "KSZOVEG", "--filter", "KSZOVEG='A*'"});
  ::alarm(0);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "\\N\tA\t\\N\t\\N\t2\n");
  // Computed, and kept in files of its own in the FIFO's place.
  EXPECT_TRUE(fs::is_regular_file(rank_cache::FileFor(key, rank_cache::Kind::kRanks)));
}

}  // namespace
}  // namespace dorvem
