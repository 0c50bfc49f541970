// Media names from the data: extensions, score document names, names that
// must not name a file, finding Windows names on this file system, links
// that lead out of the media folder, and files the desktop would run.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "dictionary/media_paths.h"
#include "dictionary/runnable_files.h"
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

// Writes `bytes` to `path`, making its folders.
void Write(const QString& path, const QByteArray& bytes = "data") {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  file.write(bytes);
}

void Link(const QString& target, const QString& link) {
  QDir().mkpath(QFileInfo(link).path());
  ASSERT_TRUE(QFile::link(target, link)) << link.toStdString();
}

TEST(MediaPathsTest, ALinkOutOfTheMediaFolderIsAMissingFileOneInsideIsFound) {
  QTemporaryDir dir;
  const QString prog = dir.path() + QStringLiteral("/prog/");
  const QString out = dir.path() + QStringLiteral("/out");
  Write(out + QStringLiteral("/secret.txt"));
  Write(out + QStringLiteral("/k.pdf"), "%PDF-1.4");
  Write(prog + QStringLiteral("Sounds/real.wav"));
  Write(prog + QStringLiteral("Sounds/sub/tone.wav"));
  Write(prog + QStringLiteral("Sounds/kottakep.mp3"));
  Link(out + QStringLiteral("/secret.txt"), prog + QStringLiteral("Sounds/x.txt"));
  Link(out, prog + QStringLiteral("Sounds/dir"));
  Link(out + QStringLiteral("/k.pdf"), prog + QStringLiteral("Sounds/PICTURES/k.PDF"));
  Link(out + QStringLiteral("/secret.txt"), prog + QStringLiteral("Sounds/hangkep.mp3"));
  // A folder beside the media folder whose name begins with the same letters.
  Write(prog + QStringLiteral("Sounds2/near.wav"));
  Link(prog + QStringLiteral("Sounds2/near.wav"), prog + QStringLiteral("Sounds/near.wav"));
  // Links that stay inside: to a file by a relative path, and to a folder.
  Link(QStringLiteral("real.wav"), prog + QStringLiteral("Sounds/alias.wav"));
  Link(prog + QStringLiteral("Sounds/sub"), prog + QStringLiteral("Sounds/inner"));

  struct Case {
    const char* name;
    const char* path;  // below the program folder
    bool exists, outside;
  };
  const Case cases[] = {
      {"x.txt", "Sounds/x.txt", false, true},
      {"near.wav", "Sounds/near.wav", false, true},
      {"dir\\secret.txt", "Sounds/dir/secret.txt", false, true},
      {"DIR\\Secret.TXT", "Sounds/dir/secret.txt", false, true},
      {"alias.wav", "Sounds/alias.wav", true, false},
      {"inner\\TONE.wav", "Sounds/inner/tone.wav", true, false},
      {"real.wav", "Sounds/real.wav", true, false},
  };
  for (const Case& c : cases) {
    const LocatedFile found = LocateMediaFile(prog, QString::fromLatin1(c.name));
    EXPECT_EQ(found.path, prog + QString::fromLatin1(c.path)) << c.name;
    EXPECT_EQ(found.exists, c.exists) << c.name;
    EXPECT_EQ(found.outside, c.outside) << c.name;
  }
  // The score document and the cue sounds are held to the media folder too.
  const LocatedFile score = LocateScoreFile(prog, QStringLiteral("k.mid"));
  EXPECT_EQ(score.path, prog + QStringLiteral("Sounds/PICTURES/k.PDF"));
  EXPECT_FALSE(score.exists);
  EXPECT_TRUE(score.outside);
  EXPECT_FALSE(LocateCueFile(prog, false).exists);
  EXPECT_TRUE(LocateCueFile(prog, false).outside);
  EXPECT_TRUE(LocateCueFile(prog, true).exists);
  EXPECT_EQ(CuePath(prog, true), prog + QStringLiteral("Sounds/kottakep.mp3"));
}

TEST(MediaPathsTest, AMediaFolderThatIsItselfALinkKeepsItsFiles) {
  QTemporaryDir dir;
  const QString prog = dir.path() + QStringLiteral("/prog/");
  const QString media = dir.path() + QStringLiteral("/media");
  Write(media + QStringLiteral("/a.wav"));
  Write(dir.path() + QStringLiteral("/b.wav"));
  Link(media, prog + QStringLiteral("sounds"));
  Link(dir.path() + QStringLiteral("/b.wav"), media + QStringLiteral("/b.wav"));
  EXPECT_TRUE(LocateMediaFile(prog, QStringLiteral("a.wav")).exists);
  // Beside the real folder is still outside it.
  EXPECT_TRUE(LocateMediaFile(prog, QStringLiteral("b.wav")).outside);
  EXPECT_EQ(RealMediaFolder(prog), QDir(media).canonicalPath());
  EXPECT_EQ(RealMediaFolder(dir.path()), QString());
}

TEST(MediaPathsTest, LaunchersExecutablesAndScriptsAreFilesTheDesktopWouldRun) {
  QTemporaryDir dir;
  using enum TRunnableKind;
  const QFileDevice::Permissions plain = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther;
  struct Case {
    const char* name;
    QByteArray bytes;
    QFileDevice::Permissions permissions;
    TRunnableKind kind;
  };
  const Case cases[] = {
      {"doc.htm", "<p>lap</p>", plain, rkNone},
      {"notes", "x #! not first", plain, rkNone},
      {"run.desktop", "[Desktop Entry]\nExec=x\n", plain, rkLauncher},
      {"RUN.Desktop", "anything", plain, rkLauncher},
      {"menu.txt", "[Desktop Entry]\nExec=x\n", plain, rkLauncher},
      {"tool.txt", "text", plain | QFile::ExeOwner, rkExecutable},
      {"group.htm", "text", plain | QFile::ExeGroup, rkExecutable},
      {"others.pdf", "%PDF-1.4", plain | QFile::ExeOther, rkExecutable},
      {"script.htm", "#!/bin/sh\necho x\n", plain, rkScript},
      {"short", "#!", plain, rkScript},
  };
  for (const Case& c : cases) {
    const QString path = dir.path() + u'/' + QString::fromLatin1(c.name);
    Write(path, c.bytes);
    ASSERT_TRUE(QFile::setPermissions(path, c.permissions));
    EXPECT_EQ(RunnableKindOf(path), c.kind) << c.name;
    EXPECT_EQ(MayOpenWithSystem(path), c.kind == rkNone) << c.name;
  }
  // A link is judged by its own name and by the file it leads to.
  Link(dir.path() + QStringLiteral("/run.desktop"), dir.path() + QStringLiteral("/alias.txt"));
  EXPECT_EQ(RunnableKindOf(dir.path() + QStringLiteral("/alias.txt")), rkLauncher);
  Link(dir.path() + QStringLiteral("/doc.htm"), dir.path() + QStringLiteral("/doc.desktop"));
  EXPECT_EQ(RunnableKindOf(dir.path() + QStringLiteral("/doc.desktop")), rkLauncher);
  EXPECT_EQ(RunnableKindOf(dir.path() + QStringLiteral("/missing.desktop")), rkNone);
}

}  // namespace
}  // namespace dorvem
