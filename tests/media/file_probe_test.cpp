// A probed file is read again when it may hold something else: rewritten in
// place with other bytes of the same size and its modification time set
// back, it is probed anew, not answered from what it held before.
#include "media/probe/file_probe.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <fstream>

#include "media/probe/mci_errors.h"
#include "tests/media/media_bytes.h"

namespace dorvem {
namespace {

using namespace mci;
using testing::Bytes;

void Write(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

TEST(FileProbeTest, AFileRewrittenInPlaceIsProbedAnew) {
  QTemporaryDir dir;
  const std::string path = dir.filePath(QStringLiteral("cue.wav")).toStdString();
  const Bytes second = testing::WaveFile(8000, 1, 8000);       // 1000 ms
  const Bytes halfSecond = testing::WaveFile(16000, 1, 8000);  // 500 ms, as many bytes
  ASSERT_EQ(second.size(), halfSecond.size());
  Write(path, second);
  for (int i = 0; i < 2; ++i) {
    const FileProbe probe = ProbeMediaFile(path);
    EXPECT_EQ(probe.error, 0u);
    EXPECT_EQ(probe.kind, MediaKind::kWave);
    EXPECT_EQ(probe.lengthMs, 1000u);
  }
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  Write(path, halfSecond);
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_EQ(ProbeMediaFile(path).lengthMs, 500u);
  Write(path, Bytes{'M', 'T', 'h'});
  EXPECT_EQ(ProbeMediaFile(path).error, MCIERR_INVALID_FILE);
}

}  // namespace
}  // namespace dorvem
