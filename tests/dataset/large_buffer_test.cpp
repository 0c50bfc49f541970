// A buffer whose memory is a part of a file: it shows the file's bytes,
// keeps what is written to it in this process, and keeps its contents when
// it grows past the file's part.
#include "dataset/core/large_buffer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "tests/dataset/cache_file_bytes.h"
#include "tests/dataset/test_packets.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;

TEST(LargeBufferTest, AMappedFilePartIsWrittenAndGrownInMemoryOnly) {
  const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  // Two pages of the file's own bytes before the part, two in it.
  std::vector<std::uint8_t> bytes(4 * page);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
  const TempFile file(bytes);
  const int fd = ::open(file.Path().c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  LargeBuffer buffer;
  ASSERT_TRUE(buffer.MapFile(fd, 2 * page, 2 * page - 100, page));
  ::close(fd);
  ASSERT_EQ(buffer.size(), page);
  EXPECT_EQ(std::vector<std::uint8_t>(buffer.data(), buffer.data() + page),
            std::vector<std::uint8_t>(bytes.begin() + 2 * page, bytes.begin() + 3 * page));

  buffer.data()[0] = 0;
  // Within the part: the file's bytes show.
  ASSERT_TRUE(buffer.Resize(2 * page - 100));
  EXPECT_EQ(buffer.data()[page], bytes[3 * page]);
  // Beyond it: everything kept, the new bytes zeros.
  ASSERT_TRUE(buffer.Resize(64 * page));
  EXPECT_EQ(buffer.data()[0], 0);
  EXPECT_EQ(std::vector<std::uint8_t>(buffer.data() + 1, buffer.data() + 2 * page - 100),
            std::vector<std::uint8_t>(bytes.begin() + 2 * page + 1, bytes.end() - 100));
  EXPECT_EQ(std::vector<std::uint8_t>(buffer.data() + 2 * page - 100, buffer.data() + 64 * page),
            std::vector<std::uint8_t>(62 * page + 100, 0));
  buffer.Free();
  EXPECT_EQ(ReadBytes(file.Path()), bytes);  // the file never changed
}

}  // namespace
}  // namespace dorvem
