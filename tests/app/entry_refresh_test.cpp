// The entry refresh after every move: the picture view, the play and score
// buttons, and the requests to the media device - cue sounds with chbHang
// ticked, the sound cue cut by the score cue, a move while something plays.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QToolButton>

#include "tests/app/media_window.h"
#include "views/db_image.h"

namespace dorvem {
namespace {

using namespace mci;
using testing::DictRow;
using testing::MciRequest;
using testing::MediaWindow;
using testing::operator+;

TEST(EntryRefreshTest, EachMoveSetsThePictureAndTheButtons) {
  // What each kind of entry offers is the dictionary's (dictionary_test.cpp);
  // here the window shows it after every move.
  const std::string picture = testing::OnePixelBitmap();
  MediaWindow w(
      {{"a.wav", ".A", "x", picture, 1},
       {std::nullopt, ".B", "x", std::nullopt, 2},
       {"missing.mp3", ".D", "x", picture, 3}},
      {"Sounds/a.wav", "Sounds/PICTURES/a.PDF", "Sounds/hangkep.mp3", "Sounds/kottakep.mp3"});
  struct Expected {
    const char* headword;
    bool picture, play, score;
  };
  const Expected expected[] = {
      {".A", true, true, true},
      {".B", false, false, false},
      {".D", true, true, false},
  };
  w.window->chbHang->setChecked(false);
  w.window->Dictionary().tblAdat.GoFirst();
  for (const Expected& e : expected) {
    ASSERT_EQ(w.window->Dictionary().Headword(), e.headword);
    EXPECT_EQ(w.window->dbiKep->isVisibleTo(w.window->pnlAdat), e.picture) << e.headword;
    EXPECT_EQ(w.window->spbLejatszo->isEnabled(), e.play) << e.headword;
    EXPECT_EQ(w.window->spbKep->isEnabled(), e.score) << e.headword;
    w.window->Dictionary().tblAdat.GoNext();
  }
  EXPECT_TRUE(w.reports.reports.empty());
  EXPECT_TRUE(w.boxes.Take().isEmpty());
}

TEST(EntryRefreshTest, ANullNameFindsTheScoreDocumentWithoutAName) {
  MediaWindow w({{std::nullopt, ".B", "x", std::nullopt, 1}}, {"Sounds/PICTURES/.PDF"});
  EXPECT_FALSE(w.window->spbLejatszo->isEnabled());
  EXPECT_TRUE(w.window->spbKep->isEnabled());
  // Only the score cue plays: there is no sound to announce.
  EXPECT_EQ(w.mci.Take(), w.PlayRequests(1, w.Path("Sounds/kottakep.mp3")));
}

TEST(EntryRefreshTest, CuesAnnounceSoundAndScoreAndEveryMoveSilencesThem) {
  MediaWindow w({{"a.wav", ".A", "x", std::nullopt, 1},
                 {"b.mid", ".B", "x", std::nullopt, 2},
                 {std::nullopt, ".C", "x", std::nullopt, 3}},
                {"Sounds/a.wav", "Sounds/PICTURES/a.PDF", "Sounds/b.mid", "Sounds/hangkep.mp3",
                 "Sounds/kottakep.mp3"});
  const QString soundCue = w.Path("Sounds/hangkep.mp3");
  const QString scoreCue = w.Path("Sounds/kottakep.mp3");
  // Opening lands on .A: the sound cue starts and the score cue cuts it
  // off at once.
  EXPECT_EQ(w.mci.Take(),
            w.PlayRequests(1, soundCue) + w.StopRequests(1) + w.PlayRequests(2, scoreCue));
  // .B has a sound only.
  w.window->Dictionary().tblAdat.GoNext();
  EXPECT_EQ(w.mci.Take(), w.StopRequests(2) + w.PlayRequests(3, soundCue));
  // Without chbHang a move only silences what plays; then nothing is open.
  w.window->chbHang->setChecked(false);
  w.window->Dictionary().tblAdat.GoNext();
  EXPECT_EQ(w.mci.Take(), w.StopRequests(3));
  w.window->Dictionary().tblAdat.GoPrior();
  EXPECT_TRUE(w.mci.Take().empty());
  EXPECT_EQ(w.window->MediaPlayer1->OpenDeviceId(), 0);
}

TEST(EntryRefreshTest, AMoveWhileTheEntryPlaysStopsIt) {
  MediaWindow w({{"a.wav", ".A", "x", std::nullopt, 1}, {"b.wav", ".B", "x", std::nullopt, 2}},
                {"Sounds/a.wav", "Sounds/b.wav"});
  w.window->chbHang->setChecked(false);
  w.window->Dictionary().tblAdat.GoFirst();
  w.mci.Take();
  w.window->spbLejatszo->click();
  const MCIDEVICEID id = w.window->MediaPlayer1->OpenDeviceId();
  EXPECT_EQ(w.mci.Take(), w.PlayRequests(id, w.Path("Sounds/a.wav")));
  w.window->Dictionary().tblAdat.GoNext();
  EXPECT_EQ(w.mci.Take(), w.StopRequests(id));
  EXPECT_EQ(w.window->MediaPlayer1->OpenDeviceId(), 0);
}

TEST(EntryRefreshTest, AFailingCueShowsItsCodeAndSkipsTheRestOfTheRefresh) {
  MediaWindow w({{"a.wav", ".A", "x", std::nullopt, 1}, {"b.wav", ".B", "x", std::nullopt, 2}},
                {"Sounds/a.wav", "Sounds/PICTURES/b.PDF", "Sounds/b.wav"});
  w.mci.Take();
  w.boxes.Take();
  w.mci.openResults = {MCIERR_FILE_NOT_FOUND};
  // The sound cue fails to open; its play raises out of the move, so no
  // score cue follows.
  try {
    w.window->Dictionary().tblAdat.GoNext();
    ADD_FAILURE() << "the move did not raise";
  } catch (const EMCIDeviceError& e) {
    EXPECT_STREQ(e.what(), "No MCI device open");
  }
  EXPECT_EQ(w.boxes.Take(),
            QStringList{QStringLiteral(u"Error: Hibakód: 275\r\n") +
                        QString::fromStdString(*MciErrorText(MCIERR_FILE_NOT_FOUND))});
  const std::vector<MciRequest> sent = w.mci.Take();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[2].command, MCI_OPEN);
  EXPECT_EQ(std::get<MCI_OPEN_PARMS>(sent[2].record).elementName,
            w.Path("Sounds/hangkep.mp3").toStdString());
  EXPECT_TRUE(w.window->spbKep->isEnabled());
}

// The cue sounds are made ready while they are switched on: at start, and
// whenever chbHang is ticked again; files that are not there are skipped.
TEST(EntryRefreshTest, TheCueSoundsArePreparedWhileTheyAreOn) {
  MediaWindow w({{std::nullopt, ".A", "x", std::nullopt, 1}},
                {"Sounds/hangkep.mp3", "Sounds/kottakep.mp3"});
  const std::vector<std::string> both = {w.Path("Sounds/hangkep.mp3").toStdString(),
                                         w.Path("Sounds/kottakep.mp3").toStdString()};
  EXPECT_EQ(w.mci.prepared, both);
  w.window->chbHang->setChecked(false);
  EXPECT_EQ(w.mci.prepared, both);
  QFile::remove(w.Path("Sounds/kottakep.mp3"));
  w.window->chbHang->setChecked(true);
  EXPECT_EQ(w.mci.prepared, (std::vector<std::string>{both[0], both[1], both[0]}));
  EXPECT_TRUE(w.mci.Take().empty()) << "no request comes of it";
}

}  // namespace
}  // namespace dorvem
