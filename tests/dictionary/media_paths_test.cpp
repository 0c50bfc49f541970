// Media names from the data: extensions, score document names, names that
// must not name a file, and finding Windows names on this file system.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "dictionary/media_paths.h"
#include "tests/app/scoped_desktop_locale.h"

namespace dorvem {
namespace {

constexpr std::uint32_t kHungarian = 1038;

TEST(MediaPathsTest, ExtensionAndScoreNameFollowTheLastDotAfterTheLastFolder) {
  struct Case {
    const char* name;
    const char* extension;
    const char* score;
  };
  const Case cases[] = {
      {"a.b.wav", ".wav", "a.b.PDF"},
      {"piano.mid", ".mid", "piano.PDF"},
      {"noext", "", "noext.PDF"},
      {"", "", ".PDF"},
      {"a.", ".", "a.PDF"},
      {".hidden", ".hidden", ".PDF"},
      {"dir.x\\file", "", "dir.x\\file.PDF"},
      {"dir.x\\file.avi", ".avi", "dir.x\\file.PDF"},
      {"c:name", "", "c:name.PDF"},
      {"c:a.MID", ".MID", "c:a.PDF"},
      {"dir.x/file", ".x/file", "dir.PDF"},  // only "\" and ":" end the extension
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtensionOf(c.name), c.extension) << c.name;
    EXPECT_EQ(ScoreFileName(c.name), c.score) << c.name;
  }
}

// Upper-cased by the data's locale (Hungarian), also on a Turkish desktop,
// whose casing would make ".mid" read ".MİD".
TEST(MediaPathsTest, TheUpperCasedExtensionChoosesHowTheFilePlays) {
  const testing::ScopedDesktopLocale turkish(testing::kTurkishPosix, testing::kTurkishIcu);
  using enum TMediaHandling;
  const std::pair<const char*, TMediaHandling> cases[] = {
      {"piano.mid", mhSequencer},
      {"x.RMI", mhSequencer},
      {"x.mId", mhSequencer},
      {"a.b.wav", mhAutoSelect},
      {"x.MP3", mhAutoSelect},
      {"x.scm", mhScorePlayer},
      {"film.Avi", mhVideoPlayer},
      {"lap.htm", mhSystem},
      {"noext", mhSystem},
      {"", mhSystem},
      {"dir.mid\\file", mhSystem},
      {"x.mid.txt", mhSystem},
      {"x.mp3 ", mhSystem},
      {"x.m\xED"
       "d",
       mhSystem},
  };
  for (const auto& [name, handling] : cases)
    EXPECT_EQ(MediaHandlingOf(name, kHungarian), handling) << name;
}

TEST(MediaPathsTest, AbsoluteNamesAndNamesWithDotDotNameNoFile) {
  const std::pair<const char*, bool> cases[] = {
      {"a.wav", true},    {"sub\\a.wav", true}, {"..a.wav", true},        {"a..b", true},
      {"...", true},      {"", true},           {"..\\a.wav", false},     {"sub/../a", false},
      {"a\\..", false},   {"..", false},        {"\\a.wav", false},       {"/etc/passwd", false},
      {"C:a.wav", false}, {"c:\\a.wav", false}, {"\\\\server\\x", false},
  };
  for (const auto& [name, safe] : cases)
    EXPECT_EQ(IsSafeMediaName(QString::fromLatin1(name)), safe) << name;
}

TEST(MediaPathsTest, EachComponentIsFoundExactlyOrIgnoringCase) {
  QTemporaryDir dir;
  const QString root = dir.path();
  for (const char* f :
       {"Sounds/Sub/Tone.WAV", "Sounds/exact.mp3", "Sounds/EXACT.MP3", "Sounds/Sub/Inner/x"}) {
    const QString path = root + u'/' + QString::fromLatin1(f);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  struct Case {
    const char* relative;
    const char* path;  // below the folder
    bool exists;
  };
  const Case cases[] = {
      {"Sounds\\Sub\\Tone.WAV", "Sounds/Sub/Tone.WAV", true},
      {"sounds/SUB/tone.wav", "Sounds/Sub/Tone.WAV", true},
      {"Sounds\\\\Sub\\\\Tone.WAV", "Sounds/Sub/Tone.WAV", true},
      {"Sounds\\exact.mp3", "Sounds/exact.mp3", true},
      // Two names differing in case only: the first in name order.
      {"Sounds\\Exact.Mp3", "Sounds/EXACT.MP3", true},
      // A folder is no file; a missing part keeps the rest as written.
      {"Sounds\\sub\\inner", "Sounds/Sub/Inner", false},
      {"Sounds\\", "Sounds", false},
      {"Sounds\\nope\\Tone.wav", "Sounds/nope/Tone.wav", false},
  };
  for (const Case& c : cases) {
    for (const QString& folder : {root, root + u'/'}) {
      const LocatedFile found = LocateFile(folder, QString::fromLatin1(c.relative));
      EXPECT_EQ(found.path, root + u'/' + QString::fromLatin1(c.path)) << c.relative;
      EXPECT_EQ(found.exists, c.exists) << c.relative;
    }
  }
}

}  // namespace
}  // namespace dorvem
