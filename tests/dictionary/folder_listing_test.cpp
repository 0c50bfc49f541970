// Finding a folder's entries ignoring case: what is found, and when the
// folder is read again.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <ctime>

#include "dictionary/folder_listing.h"

namespace dorvem {
namespace {

// Sets the folder's modification time `secondsAgo` seconds into the past.
bool AgeFolder(const QString& dir, int secondsAgo) {
  timespec times[2];
  clock_gettime(CLOCK_REALTIME, &times[0]);
  times[0].tv_sec -= secondsAgo;
  times[1] = times[0];
  return ::utimensat(AT_FDCWD, QFile::encodeName(dir).constData(), times, 0) == 0;
}

bool Touch(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly);
}

class FolderListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = dir.path() + QStringLiteral("/PICTURES");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name :
         {"Menuett.PDF", "MENUETT.pdf", "trilla.PDF", "Őszi dal.PDF", "STRASSE.PDF"})
      ASSERT_TRUE(Touch(folder + u'/' + QString::fromUtf8(name)));
  }
  std::optional<QString> Find(const char* name) {
    return FindEntryIgnoringCase(folder, QString::fromUtf8(name));
  }
  // Folder reads since the last call.
  std::uint64_t Reads() {
    const std::uint64_t now = FolderReads();
    return now - std::exchange(readsBefore, now);
  }

  QTemporaryDir dir;
  QString folder;
  std::uint64_t readsBefore = FolderReads();
};

TEST_F(FolderListingTest, FindsTheFirstNameInNameOrderEqualIgnoringCase) {
  for (const bool aged : {false, true}) {
    if (aged) {
      ASSERT_TRUE(AgeFolder(folder, 60));
    }
    EXPECT_EQ(Find("menuett.pdf"), QStringLiteral("MENUETT.pdf")) << aged;
    EXPECT_EQ(Find("TRILLA.pdf"), QStringLiteral("trilla.PDF")) << aged;
    EXPECT_EQ(Find("trilla"), std::nullopt) << aged;
    EXPECT_EQ(Find(""), std::nullopt) << aged;
    // Letters beyond ASCII fold one by one; "ß" is not "SS".
    EXPECT_EQ(Find("őSZI DAL.pdf"), QString::fromUtf8("Őszi dal.PDF")) << aged;
    EXPECT_EQ(Find("straße.pdf"), std::nullopt) << aged;
  }
  EXPECT_EQ(FindEntryIgnoringCase(folder + QStringLiteral("/none"), QStringLiteral("x")),
            std::nullopt);
}

TEST_F(FolderListingTest, AFolderUnchangedForLongIsReadOnceAndAgainWhenItChanges) {
  // Changed moments ago: read on every look, as the change may share the
  // clock tick of the read.
  Find("a.PDF");
  Find("b.PDF");
  EXPECT_EQ(Reads(), 2u);

  ASSERT_TRUE(AgeFolder(folder, 60));
  EXPECT_EQ(Find("a.PDF"), std::nullopt);
  EXPECT_EQ(Find("b.pdf"), std::nullopt);
  EXPECT_EQ(Find("trilla.pdf"), QStringLiteral("trilla.PDF"));
  EXPECT_EQ(Reads(), 1u);

  // A new document changes the folder's time: read again, and found.
  ASSERT_TRUE(Touch(folder + QStringLiteral("/A.PDF")));
  EXPECT_EQ(Find("a.PDF"), QStringLiteral("A.PDF"));
  EXPECT_EQ(Reads(), 1u);
  // So does a removed one, also when the time is set back afterwards.
  ASSERT_TRUE(AgeFolder(folder, 60));
  EXPECT_EQ(Find("a.pdf"), QStringLiteral("A.PDF"));
  ASSERT_TRUE(QFile::remove(folder + QStringLiteral("/A.PDF")));
  ASSERT_TRUE(AgeFolder(folder, 60));
  EXPECT_EQ(Find("a.pdf"), std::nullopt);
  EXPECT_EQ(Reads(), 2u);

  // A folder that is gone finds nothing, and one made in its place is read.
  ASSERT_TRUE(QDir(folder).removeRecursively());
  EXPECT_EQ(Find("trilla.pdf"), std::nullopt);
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_TRUE(Touch(folder + QStringLiteral("/Trilla.pdf")));
  ASSERT_TRUE(AgeFolder(folder, 60));
  EXPECT_EQ(Find("trilla.pdf"), QStringLiteral("Trilla.pdf"));
}

TEST_F(FolderListingTest, AChangeHiddenBehindAnOldModificationTimeIsSeenByTheChangeTime) {
  // A file added and the folder's time set back to exactly what it was:
  // only the folder's change time, which no one can set, tells.
  const timespec past[2] = {{1'600'000'000, 500}, {1'600'000'000, 500}};
  const QByteArray path = QFile::encodeName(folder);
  ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), past, 0), 0);
  EXPECT_EQ(Find("new.pdf"), std::nullopt);
  EXPECT_EQ(Find("new.pdf"), std::nullopt);
  EXPECT_EQ(Reads(), 1u) << "an old folder's listing is kept";

  ASSERT_TRUE(Touch(folder + QStringLiteral("/New.PDF")));
  ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), past, 0), 0);
  EXPECT_EQ(Find("new.pdf"), QStringLiteral("New.PDF"));
  EXPECT_EQ(Reads(), 1u);
}

}  // namespace
}  // namespace dorvem
