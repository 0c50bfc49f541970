// The dictionary object without a window: the search's operations and
// their rhythm, what the current entry offers after each move, and what the
// play action resolves to for each kind of file.
#include "dictionary/dictionary.h"

#include <gtest/gtest.h>

#include <QFile>
#include <functional>
#include <utility>

#include "dataset/host/db_errors.h"
#include "dictionary/paths.h"
#include "tests/dictionary/program_folder.h"

namespace dorvem {
namespace {

using testing::DictRow;

// A dictionary of `rows` on a program folder holding `files` (paths below
// it, "/" between folders), opened, its AfterScroll events counted.
class OpenDictionary {
 public:
  OpenDictionary(const std::vector<DictRow>& rows, const std::vector<std::string>& files = {}) {
    folder.WriteDataFile(testing::Encode(testing::DictionaryModel(rows)));
    for (const std::string& f : files) AddFile(f);
    TDictionaryOptions options = folder.Options();
    options.videoPlayerPath = Path("player");
    dictionary = std::make_unique<TDictionary>(options);
    dictionary->tblAdat.AfterScroll = [this](TDataSet&) { ++afterScrolls; };
    dictionary->Open();
  }

  QString Path(const std::string& relative) const {
    return folder.Folder() + QString::fromStdString(relative);
  }
  void AddFile(const std::string& relative) const {
    const QString path = Path(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write("data");
  }
  int TakeAfterScrolls() { return std::exchange(afterScrolls, 0); }

  testing::ProgramFolderFixture folder;
  std::unique_ptr<TDictionary> dictionary;
  int afterScrolls = 0;
};

TEST(DictionaryTest, TheSearchFiltersByTheKeyAndRefreshesAsTheWindowDoes) {
  OpenDictionary d({{{}, ".ELOSZO", "", {}, 1},
                    {{}, "ALLEGRO", "", {}, 2},
                    {{}, "ALLEGRETTO", "", {}, 3},
                    {{}, "ADAGIO", "", {}, 4}});
  TDictionary& dict = *d.dictionary;
  EXPECT_EQ(dict.tblAdat.Filter(), "KSZOVEG='.*'");
  EXPECT_EQ(dict.Headword(), ".ELOSZO");
  d.TakeAfterScrolls();

  // Lower case and blanks around: the key is "ALLEGR"; one refresh on the
  // first record of the list left, one on the first of the new list.
  dict.Search(QStringLiteral("  allegr "));
  EXPECT_EQ(dict.tblAdat.Filter(), "KSZOVEG='ALLEGR*'");
  EXPECT_EQ(dict.tblAdat.RecordCount(), 2);
  EXPECT_EQ(dict.Headword(), "ALLEGRETTO");
  EXPECT_EQ(d.TakeAfterScrolls(), 2);

  dict.StepNext();
  EXPECT_EQ(dict.Headword(), "ALLEGRO");
  dict.StepPrior();
  EXPECT_EQ(dict.Headword(), "ALLEGRETTO");
  EXPECT_EQ(d.TakeAfterScrolls(), 2);

  // The empty text: the start-up filter, one refresh.
  dict.Search(QString());
  EXPECT_EQ(dict.tblAdat.Filter(), "KSZOVEG='.*'");
  EXPECT_EQ(dict.Headword(), ".ELOSZO");
  EXPECT_EQ(d.TakeAfterScrolls(), 1);
}

TEST(DictionaryTest, APreloadStartedBeforeTheApplicationIsTakenByTheFirstOpen) {
  // The folder found before the application exists is the one found after.
  EXPECT_EQ(ProgramFolderBeforeApplication(), ProgramFolder());

  testing::ProgramFolderFixture folder;
  folder.WriteDataFile(testing::ProgramFolderFixture::Dictionary({"DAL", ".ELOSZO"}));
  TDictionary dictionary(folder.Options());
  const TTablePreloadRequest request = TDictionary::PreloadRequest(folder.Options());
  TTablePreload preload(request);
  dictionary.Open();
  EXPECT_EQ(dictionary.Headword(), ".ELOSZO");  // the start-up filter's entry
  EngineRef<TDSBASE> table;
  EngineRef<TDSCursor> cursor;
  EXPECT_FALSE(TakePreloadedTable(request.fileName, request.cacheFolder, request.indexFieldNames,
                                  &table,
                                  &cursor));  // the open took it
}

TEST(DictionaryTest, ASearchOnAClosedDictionaryTriesToOpenIt) {
  testing::ProgramFolderFixture folder;
  TDictionary dict(folder.Options());
  EXPECT_THROW(dict.Open(), EDatabaseError);
  EXPECT_FALSE(dict.tblAdat.Active());
  // Emptying the box only stores the start-up filter; the next text opens.
  dict.Search(QString());
  EXPECT_FALSE(dict.tblAdat.Active());
  folder.WriteDataFile(testing::Encode(testing::DictionaryModel({{{}, "ADAGIO", "", {}, 1}})));
  dict.Search(QStringLiteral("AD"));
  ASSERT_TRUE(dict.tblAdat.Active());
  EXPECT_EQ(dict.tblAdat.FileName(), folder.DataFile().toStdString());
  EXPECT_EQ(dict.Headword(), "ADAGIO");
}

TEST(DictionaryTest, EachEntryOffersItsPictureMediaAndScore) {
  // Only whether a picture is there counts here, not what it holds.
  const std::string picture = "BM";
  OpenDictionary d({{"a.wav", ".A", "x", picture, 1},
                    {std::nullopt, ".B", "x", std::nullopt, 2},
                    {"", ".C", "x", std::nullopt, 3},
                    {"missing.mp3", ".D", "x", picture, 4},
                    {"FUVOLA.MP3", ".E", "x", std::nullopt, 5},
                    {"..\\x.wav", ".F", "x", std::nullopt, 6},
                    {"\\x.wav", ".G", "x", std::nullopt, 7}},
                   {"Sounds/a.wav", "Sounds/PICTURES/a.PDF", "Sounds/fuvola.mp3",
                    "Sounds/PICTURES/fuvola.Pdf", "Sounds/x.PDF", "Sounds/x.wav"});
  struct Expected {
    const char* headword;
    bool picture, media, score;
  };
  const Expected expected[] = {
      {".A", true, true, true},
      // Null name: no media; its score document would be "PICTURES\.PDF".
      {".B", false, false, false},
      // Empty name: media, though the file is only looked for when played.
      {".C", false, true, false},
      {".D", true, true, false},
      // Case is ignored in the names of files.
      {".E", false, true, true},
      // A name leaving the media folder, or absolute, names no score.
      {".F", false, true, false},
      {".G", false, true, false},
  };
  TDictionary& dict = *d.dictionary;
  for (const Expected& e : expected) {
    ASSERT_EQ(dict.Headword(), e.headword);
    EXPECT_EQ(dict.HasPicture(), e.picture) << e.headword;
    EXPECT_EQ(dict.HasMedia(), e.media) << e.headword;
    EXPECT_EQ(dict.HasScore(), e.score) << e.headword;
    dict.StepNext();
  }
  // The null name's score document, once it exists.
  d.AddFile("Sounds/PICTURES/.PDF");
  dict.tblAdat.GoFirst();
  dict.StepNext();
  EXPECT_TRUE(dict.HasScore());
}

TEST(DictionaryTest, ThePlayPlanGoesByTheUpperCasedExtensionAndThePlayers) {
  struct Case {
    const char* name;
    std::vector<std::string> files;
    TPlayPlan plan;  // paths below the program folder as "{}"
  };
  auto plan = [](QString warning, QString open, QString program, QString argument, QString device,
                 TMediaHandling handling, bool enable) {
    return TPlayPlan{warning, open, program, argument, device, handling, enable};
  };
  const QString none;
  const Case cases[] = {
      {"m.mid",
       {"Sounds/m.mid"},
       plan(none, none, none, none, "{}Sounds/m.mid", TMediaHandling::mhSequencer, true)},
      {"r.Rmi",
       {"Sounds/r.Rmi"},
       plan(none, none, none, none, "{}Sounds/r.Rmi", TMediaHandling::mhSequencer, true)},
      {"x.mp3",
       {"Sounds/X.MP3"},
       plan(none, none, none, none, "{}Sounds/X.MP3", TMediaHandling::mhAutoSelect, true)},
      {"s.scm",
       {"Sounds/s.scm"},
       plan(QStringLiteral(u"Nincs meg a lejátszó program:{}scplayer.exe"), none, none, none, none,
            TMediaHandling::mhSystem, false)},
      {"s.SCM",
       {"Sounds/s.SCM", "scplayer.exe"},
       plan(none, none, "{}scplayer.exe", "{}Sounds/s.SCM", none, TMediaHandling::mhSystem, true)},
      {"v.avi",
       {"Sounds/v.avi"},
       plan(QStringLiteral(u"Nincs meg a lejátszó program:{}player"), "{}Sounds/v.avi", none, none,
            none, TMediaHandling::mhSystem, false)},
      {"v.AVI",
       {"Sounds/v.AVI", "player"},
       plan(none, none, "{}player", "{}Sounds/v.AVI", none, TMediaHandling::mhSystem, true)},
      {"a.b.txt",
       {"Sounds/a.b.txt"},
       plan(none, "{}Sounds/a.b.txt", none, none, none, TMediaHandling::mhSystem, true)},
      // Missing, or no file at all: nothing, and the button stays disabled.
      {"gone.wav", {}, plan(none, none, none, none, none, TMediaHandling::mhSystem, false)},
      {"", {}, plan(none, none, none, none, none, TMediaHandling::mhSystem, false)},
  };
  for (const Case& c : cases) {
    OpenDictionary d({{c.name, ".A", "x", std::nullopt, 1}}, c.files);
    const QString folder = d.folder.Folder();
    TPlayPlan expected = c.plan;
    for (QString* s : {&expected.warning, &expected.openWithSystem, &expected.program,
                       &expected.argument, &expected.devicePath})
      s->replace(QStringLiteral("{}"), folder);
    const TPlayPlan got = d.dictionary->PlanPlay();
    EXPECT_EQ(got.warning, expected.warning) << c.name;
    EXPECT_EQ(got.openWithSystem, expected.openWithSystem) << c.name;
    EXPECT_EQ(got.program, expected.program) << c.name;
    EXPECT_EQ(got.argument, expected.argument) << c.name;
    EXPECT_EQ(got.devicePath, expected.devicePath) << c.name;
    if (!got.devicePath.isEmpty()) {
      EXPECT_EQ(got.handling, expected.handling) << c.name;
    }
    EXPECT_EQ(got.enableAfter, expected.enableAfter) << c.name;
  }
}

// Files the desktop's opener would run, and files reached through links out
// of the media folder: the play plan is that of a missing file, unless the
// file is played in the program or handed to a player.
TEST(DictionaryTest, ThePlanRefusesRunnableFilesAndLinksOutOfTheMediaFolder) {
  struct Case {
    const char* name;
    std::vector<std::string> files;
    // Run on the program folder (with "/" at its end) before the plan.
    std::function<void(const QString&)> prepare;
    const char* open;    // openWithSystem below the program folder, or null
    const char* device;  // devicePath below the program folder, or null
    const char* warning;
    bool enable;
  };
  auto executable = [](const char* relative) {
    return [relative](const QString& folder) {
      const QString path = folder + QString::fromLatin1(relative);
      QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    };
  };
  auto link = [](const char* target, const char* relative) {
    return [target, relative](const QString& folder) {
      QDir().mkpath(folder + QStringLiteral("Sounds"));
      QFile::link(folder + QString::fromLatin1(target), folder + QString::fromLatin1(relative));
    };
  };
  auto nothing = [](const QString&) {};
  const char* none = nullptr;
  const Case cases[] = {
      {"run.desktop", {"Sounds/run.desktop"}, nothing, none, none, none, false},
      {"Run.DESKTOP", {"Sounds/run.desktop"}, nothing, none, none, none, false},
      {"tool.txt", {"Sounds/tool.txt"}, executable("Sounds/tool.txt"), none, none, none, false},
      {"plain.txt", {"Sounds/plain.txt"}, nothing, "Sounds/plain.txt", none, none, true},
      // Played in the program: not opened by the desktop, so not refused.
      {"tone.wav",
       {"Sounds/tone.wav"},
       executable("Sounds/tone.wav"),
       none,
       "Sounds/tone.wav",
       none,
       true},
      // A video without its player warns, but is not opened when it may run.
      {"v.avi",
       {"Sounds/v.avi"},
       executable("Sounds/v.avi"),
       none,
       none,
       "Nincs meg a lejátszó program:{}player",
       false},
      {"x.txt",
       {"outside/secret.txt"},
       link("outside/secret.txt", "Sounds/x.txt"),
       none,
       none,
       none,
       false},
      {"dir\\secret.txt",
       {"outside/secret.txt"},
       link("outside", "Sounds/dir"),
       none,
       none,
       none,
       false},
      {"x.wav", {"outside/x.wav"}, link("outside/x.wav", "Sounds/x.wav"), none, none, none, false},
      {"alias.txt",
       {"Sounds/real.txt"},
       link("Sounds/real.txt", "Sounds/alias.txt"),
       "Sounds/alias.txt",
       none,
       none,
       true},
  };
  for (const Case& c : cases) {
    OpenDictionary d({{c.name, ".A", "x", std::nullopt, 1}}, c.files);
    const QString folder = d.folder.Folder();
    c.prepare(folder);
    auto below = [&](const char* relative) {
      return relative ? folder + QString::fromUtf8(relative).replace(QStringLiteral("{}"), folder)
                      : QString();
    };
    const TPlayPlan got = d.dictionary->PlanPlay();
    EXPECT_EQ(got.openWithSystem, below(c.open)) << c.name;
    EXPECT_EQ(got.devicePath, below(c.device)) << c.name;
    EXPECT_EQ(got.warning, c.warning
                               ? QString::fromUtf8(c.warning).replace(QStringLiteral("{}"), folder)
                               : QString())
        << c.name;
    EXPECT_TRUE(got.program.isEmpty()) << c.name;
    EXPECT_EQ(got.enableAfter, c.enable) << c.name;
  }
}

TEST(DictionaryTest, AScriptOrAScoreTheOpenerWouldRunCountsAsMissing) {
  OpenDictionary d({{"s.htm", ".A", "x", std::nullopt, 1},
                    {"e.mid", ".B", "x", std::nullopt, 2},
                    {"l.mid", ".C", "x", std::nullopt, 3},
                    {"ok.mid", ".D", "x", std::nullopt, 4}},
                   {"Sounds/e.mid", "Sounds/PICTURES/e.PDF", "Sounds/l.mid", "outside/l.pdf",
                    "Sounds/ok.mid", "Sounds/PICTURES/ok.PDF"});
  const QString folder = d.folder.Folder();
  QFile script(folder + QStringLiteral("Sounds/s.htm"));
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\nrm -rf ~\n");
  script.close();
  const QString executable = folder + QStringLiteral("Sounds/PICTURES/e.PDF");
  ASSERT_TRUE(QFile::setPermissions(executable, QFile::permissions(executable) | QFile::ExeOther));
  ASSERT_TRUE(QFile::link(folder + QStringLiteral("outside/l.pdf"),
                          folder + QStringLiteral("Sounds/PICTURES/l.PDF")));

  TDictionary& dict = *d.dictionary;
  ASSERT_EQ(dict.Headword(), ".A");
  const TPlayPlan plan = dict.PlanPlay();
  EXPECT_TRUE(plan.openWithSystem.isEmpty());
  EXPECT_FALSE(plan.enableAfter);
  // The score documents: executable, linked out of the folder, plain.
  for (const bool expected : {false, false, true}) {
    dict.StepNext();
    EXPECT_EQ(dict.HasScore(), expected) << dict.Headword();
    EXPECT_EQ(dict.ScoreFile().exists, expected) << dict.Headword();
  }
}

}  // namespace
}  // namespace dorvem
