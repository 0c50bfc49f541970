// The play and score actions: each kind of file goes where it belongs (the
// media device, the score player, the video player, the system), missing
// files and players, names that leave the media folder, and the function
// keys from the grid and the search box.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>

#include "app/program_options.h"
#include "app/upper_case_edit.h"
#include "tests/app/media_window.h"
#include "tests/app/scoped_desktop_locale.h"
#include "views/db_grid.h"

namespace dorvem {
namespace {

using namespace mci;
using testing::DictRow;
using testing::MciRequest;
using testing::MediaWindow;

// A window on one entry named `name`, with chbHang off and nothing open.
struct OneEntry {
  OneEntry(const std::string& name, const std::vector<std::string>& files,
           const std::string& videoPlayer = {})
      : w({{name, ".A", "x", std::nullopt, 1}}, files, videoPlayer) {
    w.window->chbHang->setChecked(false);
    w.window->Dictionary().tblAdat.GoFirst();
    w.mci.Take();
  }
  MediaWindow w;
};

TEST(MediaActionsTest, ThePlayActionGoesByTheUpperCasedExtension) {
  struct Case {
    const char* name;
    std::vector<std::string> files;
    const char* device;    // the device type sent, or null when not played in the program
    QString played;        // below the program folder, for the device
    QStringList external;  // with "{}" for the program folder
    QStringList boxes;
    bool enabledAfter;
  };
  const Case cases[] = {
      // Extensions without a small "i", whose capital depends on the
      // locale's casing rules (a Turkish "i" has no capital in the code page).
      {"piano.MID", {"Sounds/piano.MID"}, "Sequencer", "Sounds/piano.MID", {}, {}, true},
      {"song.rMI", {"Sounds/song.rMI"}, "Sequencer", "Sounds/song.rMI", {}, {}, true},
      {"a.b.wav", {"Sounds/a.b.wav"}, "", "Sounds/a.b.wav", {}, {}, true},
      {"x.mp3", {"Sounds/x.mp3"}, "", "Sounds/x.mp3", {}, {}, true},
      // Windows names: case ignored, "\" between folders.
      {"SUB\\Tone.WAV", {"Sounds/sub/tone.wav"}, "", "Sounds/sub/tone.wav", {}, {}, true},
      {"p.scm",
       {"Sounds/p.scm", "scplayer.exe"},
       nullptr,
       {},
       {"start {}scplayer.exe {}Sounds/p.scm"},
       {},
       true},
      {"p.SCM",
       {"Sounds/p.SCM"},
       nullptr,
       {},
       {},
       {QStringLiteral(u"Warning: Nincs meg a lejátszó program:{}scplayer.exe")},
       false},
      {"v.AVI",
       {"Sounds/v.AVI", "player"},
       nullptr,
       {},
       {"start {}player {}Sounds/v.AVI"},
       {},
       true},
      {"doc.htm", {"Sounds/doc.htm"}, nullptr, {}, {"open {}Sounds/doc.htm"}, {}, true},
      {"readme", {"Sounds/readme"}, nullptr, {}, {"open {}Sounds/readme"}, {}, true},
      // Missing files, the media folder itself, and names that leave it:
      // nothing happens and the button stays disabled.
      {"missing.wav", {}, nullptr, {}, {}, {}, false},
      {"", {}, nullptr, {}, {}, {}, false},
      {"folder", {"Sounds/folder/inner"}, nullptr, {}, {}, {}, false},
      {"..\\Data\\dorvem1.cds", {}, nullptr, {}, {}, {}, false},
      {"sub/../../scplayer.exe", {"Sounds/sub/x", "scplayer.exe"}, nullptr, {}, {}, {}, false},
      {"/etc/hostname", {}, nullptr, {}, {}, {}, false},
      {"C:x.htm", {"Sounds/C:x.htm"}, nullptr, {}, {}, {}, false},
  };
  for (const Case& c : cases) {
    OneEntry e(c.name, c.files, "player");
    MediaWindow& w = e.w;
    const QString folder = w.folder.Folder();
    ASSERT_TRUE(w.window->spbLejatszo->isEnabled()) << c.name;
    w.window->spbLejatszo->click();

    std::vector<MciRequest> expected;
    if (c.device)
      expected = w.PlayRequests(w.window->MediaPlayer1->OpenDeviceId(),
                                w.Path(c.played.toStdString()), c.device);
    EXPECT_EQ(w.mci.Take(), expected) << c.name;
    QStringList external = c.external;
    external.replaceInStrings(QStringLiteral("{}"), folder);
    EXPECT_EQ(w.external.Take(), external) << c.name;
    QStringList boxes = c.boxes;
    boxes.replaceInStrings(QStringLiteral("{}"), folder);
    EXPECT_EQ(w.boxes.Take(), boxes) << c.name;
    EXPECT_EQ(w.window->spbLejatszo->isEnabled(), c.enabledAfter) << c.name;
    EXPECT_TRUE(w.reports.reports.empty()) << c.name;
  }
}

// On a Turkish desktop "i" upper-cases to "İ"; the data is Hungarian, so
// ".mid" and ".rmi" still go to the sequencer, and the letters typed into
// the search box become the data's capitals.
TEST(MediaActionsTest, ATurkishDesktopChangesNothingTheDataMeans) {
  const testing::ScopedDesktopLocale turkish(testing::kTurkishPosix, testing::kTurkishIcu);
  for (const char* name : {"piano.mid", "song.rmi"}) {
    OneEntry e(name, {std::string("Sounds/") + name});
    MediaWindow& w = e.w;
    w.window->spbLejatszo->click();
    EXPECT_EQ(w.mci.Take(), w.PlayRequests(w.window->MediaPlayer1->OpenDeviceId(),
                                           w.Path(std::string("Sounds/") + name), "Sequencer"))
        << name;
    EXPECT_TRUE(w.external.Take().isEmpty()) << name;
  }
  OneEntry e("x.wav", {});
  QTest::keyClicks(e.w.window->edtKeres, "mi");
  EXPECT_EQ(e.w.window->edtKeres->text(), QStringLiteral("MI"));
  // Turkish data would have its own capital.
  TUpperCaseEdit edit;
  edit.CasingLocale = [] { return 1055u; };
  QTest::keyClicks(&edit, "mi");
  EXPECT_EQ(edit.text(), QStringLiteral(u"M\u0130"));
}

TEST(MediaActionsTest, AVideoWithoutItsPlayerWarnsAndOpensWithTheSystem) {
  OneEntry e("v.AVI", {"Sounds/v.AVI"}, "no-player");
  MediaWindow& w = e.w;
  w.window->spbLejatszo->click();
  EXPECT_EQ(w.boxes.Take(), QStringList{QStringLiteral(u"Warning: Nincs meg a lejátszó program:") +
                                        w.Path("no-player")});
  EXPECT_EQ(w.external.Take(), QStringList{QStringLiteral("open ") + w.Path("Sounds/v.AVI")});
  EXPECT_FALSE(w.window->spbLejatszo->isEnabled());
  // The fixed player of this system.
  EXPECT_EQ(ProgramOptions().videoPlayerPath, QStringLiteral("/usr/bin/mpv"));
}

TEST(MediaActionsTest, AFailedOpenShowsItsCodeThenTheDevicesError) {
  OneEntry e("bad.wav", {"Sounds/bad.wav"});
  MediaWindow& w = e.w;
  w.mci.openResults = {MCIERR_INVALID_FILE};
  // Through F3, whose handling the application's report follows.
  QTest::keyClick(w.window->grdAdat, Qt::Key_F3);
  EXPECT_EQ(w.boxes.Take(),
            QStringList{QStringLiteral(u"Error: Hibakód: 296\r\n") +
                        QString::fromStdString(*MciErrorText(MCIERR_INVALID_FILE))});
  // The play after the failed open leaves the handler; the report adds its
  // full stop. The button stays disabled until the next refresh.
  EXPECT_EQ(w.reports.Texts(), QStringList{QStringLiteral("No MCI device open.")});
  EXPECT_FALSE(w.window->spbLejatszo->isEnabled());
  EXPECT_EQ(w.mci.Take().size(), 1u);
}

TEST(MediaActionsTest, TheScoreActionOpensTheScoreDocumentWithTheSystem) {
  OneEntry e("Fuvola.mp3", {"Sounds/fuvola.mp3", "Sounds/Pictures/FUVOLA.pdf"});
  MediaWindow& w = e.w;
  ASSERT_TRUE(w.window->spbKep->isEnabled());
  w.window->spbKep->click();
  EXPECT_EQ(w.external.Take(),
            QStringList{QStringLiteral("open ") + w.Path("Sounds/Pictures/FUVOLA.pdf")});
  EXPECT_TRUE(w.mci.Take().empty());

  // Removed after the refresh: nothing is shown.
  QFile::remove(w.Path("Sounds/Pictures/FUVOLA.pdf"));
  w.window->spbKep->click();
  EXPECT_TRUE(w.external.Take().isEmpty());
  EXPECT_TRUE(w.boxes.Take().isEmpty());
}

TEST(MediaActionsTest, F3AndF4WorkFromTheGridAndTheSearchBoxWithAnyShift) {
  MediaWindow w({{"a.wav", ".A", "x", std::nullopt, 1}, {std::nullopt, ".B", "x", std::nullopt, 2}},
                {"Sounds/a.wav", "Sounds/PICTURES/a.PDF"});
  w.window->chbHang->setChecked(false);
  ASSERT_TRUE(w.Show());
  int keysInBox = 0;
  w.window->edtKeres->OnKeyDown = [&](int key, Qt::KeyboardModifiers) {
    if (key == Qt::Key_F3 || key == Qt::Key_F4) ++keysInBox;
  };
  const QString score = QStringLiteral("open ") + w.Path("Sounds/PICTURES/a.PDF");
  struct Case {
    QWidget* target;
    Qt::Key key;
    Qt::KeyboardModifiers shift;
    bool plays;
    bool opensScore;
  };
  const Case cases[] = {
      {w.window->edtKeres, Qt::Key_F3, Qt::NoModifier, true, false},
      {w.window->grdAdat, Qt::Key_F3, Qt::NoModifier, true, false},
      {w.window->grdAdat, Qt::Key_F3, Qt::ShiftModifier, true, false},
      {w.window->edtKeres, Qt::Key_F4, Qt::NoModifier, false, true},
      {w.window->grdAdat, Qt::Key_F4, Qt::ControlModifier | Qt::AltModifier, false, true},
      {w.window->edtKeres, Qt::Key_F5, Qt::NoModifier, false, false},
  };
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(index++);
    w.mci.Take();
    c.target->setFocus();
    QTest::keyClick(c.target, c.key, c.shift);
    const std::vector<MciRequest> sent = w.mci.Take();
    const bool played = !sent.empty() && sent.back().command == MCI_PLAY;
    EXPECT_EQ(played, c.plays);
    EXPECT_EQ(w.external.Take(), c.opensScore ? QStringList{score} : QStringList{});
  }
  // The search box still received its F3 and F4.
  EXPECT_EQ(keysInBox, 2);

  // On an entry without a sound or score, the keys do nothing.
  w.window->Dictionary().tblAdat.GoNext();
  ASSERT_FALSE(w.window->spbLejatszo->isEnabled());
  w.mci.Take();
  QTest::keyClick(w.window->grdAdat, Qt::Key_F3);
  QTest::keyClick(w.window->grdAdat, Qt::Key_F4);
  EXPECT_TRUE(w.mci.Take().empty());
  EXPECT_TRUE(w.external.Take().isEmpty());
  EXPECT_TRUE(w.reports.reports.empty());
}

}  // namespace
}  // namespace dorvem
