// The pool of kept pipelines on its own: which key takes which pipeline,
// what is released and when, with tokens in place of pipelines and a clock
// the test moves.
#include "media/pipeline_pool.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <vector>

namespace dorvem {
namespace {

using mci::FileIdentity;
using mci::PipelineKey;
using mci::PipelinePool;

GstElement* Token(int n) {
  return reinterpret_cast<GstElement*>(static_cast<std::uintptr_t>(n));
}

class PipelinePoolTest : public ::testing::Test {
 protected:
  PipelineKey Key(const char* path, std::int64_t size = 100, const char* output = "") {
    return {path, FileIdentity{1, 2, size, 3}, output};
  }
  std::vector<GstElement*> released;
  std::int64_t now = 0;
  PipelinePool pool{[this](GstElement* p) { released.push_back(p); }, [this] { return now; }};
};

TEST_F(PipelinePoolTest, OnlyTheSameFileAsItIsNowAndTheSameOutputTakeAKeptPipeline) {
  pool.Keep(Key("/s/a.mp3"), Token(1));
  EXPECT_EQ(pool.Take(Key("/s/b.mp3")), nullptr);
  EXPECT_EQ(pool.Take(Key("/s/a.mp3", 100, "alsasink")), nullptr) << "another output";
  // The other output's miss released it: a pipeline keeps its sink.
  EXPECT_EQ(released, std::vector<GstElement*>{Token(1)});
  EXPECT_EQ(pool.Size(), 0u);

  pool.Keep(Key("/s/a.mp3"), Token(2));
  EXPECT_EQ(pool.Take(Key("/s/a.mp3", 101)), nullptr) << "the file was rewritten";
  EXPECT_EQ(released, (std::vector<GstElement*>{Token(1), Token(2)}));

  pool.Keep(Key("/s/a.mp3"), Token(3));
  pool.Keep(Key("/s/b.mp3"), Token(4));
  EXPECT_EQ(pool.Take(Key("/s/a.mp3")), Token(3));
  EXPECT_EQ(pool.Take(Key("/s/a.mp3")), nullptr) << "taken pipelines leave the pool";
  EXPECT_EQ(pool.Size(), 1u);
  EXPECT_EQ(released.size(), 2u) << "a hit releases nothing";
}

TEST_F(PipelinePoolTest, TheOldestGoesPastTheCapacityAndEveryOneAfterItsIdleTime) {
  pool.Keep(Key("/a"), Token(1));
  now = 10;
  pool.Keep(Key("/b"), Token(2));
  now = 20;
  pool.Keep(Key("/c"), Token(3));
  EXPECT_EQ(released, std::vector<GstElement*>{Token(1)});
  EXPECT_EQ(pool.Size(), PipelinePool::kCapacity);

  now = 10 + PipelinePool::kIdleMs - 1;
  pool.Expire();
  EXPECT_EQ(released.size(), 1u);
  now = 10 + PipelinePool::kIdleMs;
  pool.Expire();
  EXPECT_EQ(released, (std::vector<GstElement*>{Token(1), Token(2)}));
  EXPECT_EQ(pool.Take(Key("/c")), Token(3));
}

TEST_F(PipelinePoolTest, ClearingAndTheEndReleaseWhatIsKept) {
  {
    PipelinePool other{[this](GstElement* p) { released.push_back(p); }, [] { return 0; }};
    other.Keep(Key("/a"), Token(5));
  }
  EXPECT_EQ(released, std::vector<GstElement*>{Token(5)});
  pool.Keep(Key("/a"), Token(6));
  pool.Clear();
  EXPECT_EQ(released, (std::vector<GstElement*>{Token(5), Token(6)}));
  EXPECT_EQ(pool.Size(), 0u);
}

TEST(FileIdentityTest, ARewrittenFileIsAnotherFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("a.wav"));
  const auto write = [&](const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  };
  write("abcd");
  const auto first = FileIdentity::Of(path.toStdString());
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(FileIdentity::Of(path.toStdString()), first);
  write("abcde");
  EXPECT_NE(FileIdentity::Of(path.toStdString()), first);
  EXPECT_FALSE(FileIdentity::Of(dir.filePath(QStringLiteral("none")).toStdString()).has_value());
}

// A rewrite within the same second, or one that keeps the size, still
// makes another file: every part of the identity counts.
TEST(FileIdentityTest, SizeAndEveryNanosecondOfTheTimeTellFilesApart) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("b.wav"));
  const auto write = [&](const QByteArray& bytes, long nanoseconds) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const timespec times[2] = {{1'700'000'000, nanoseconds}, {1'700'000'000, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
  };
  write("abcd", 100);
  const auto first = FileIdentity::Of(path.toStdString());
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->size, 4);
  EXPECT_EQ(first->modifiedNs, 1'700'000'000'000'000'100);

  write("abce", 200);  // same size, 100 ns later
  const auto later = FileIdentity::Of(path.toStdString());
  EXPECT_EQ(later->modifiedNs, 1'700'000'000'000'000'200);
  EXPECT_NE(later, first);

  write("abcde", 200);  // same time, one byte more
  const auto longer = FileIdentity::Of(path.toStdString());
  EXPECT_EQ(longer->size, 5);
  EXPECT_NE(longer, later);
}

}  // namespace
}  // namespace dorvem
