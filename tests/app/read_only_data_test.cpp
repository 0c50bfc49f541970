// The window never writes its data file: from start-up through every action
// a user can take (typing, refused filters, moves by keys, mouse, wheel,
// scroll bar and navigator, F3, F4, the speed buttons, the check box, the
// views' keys) to closing, the file's bytes, its modification time and the
// names in its folder stay what they were before the window opened.
#include <gtest/gtest.h>

#include <QPushButton>
#include <random>

#include "media/default_mci.h"
#include "tests/app/bmp_writer.h"
#include "tests/app/media_window.h"
#include "tests/app/window_actions.h"
#include "tests/dataset/file_snapshot.h"

namespace dorvem {
namespace {

using namespace dorvem::testing;

std::vector<DictRow> Entries() {
  const std::string picture = EncodeBmp(Pattern(20, 10, {0xFF0000, 0x00FF00}), {});
  std::vector<DictRow> rows = {
      {"a.wav", ".ADAGIO", "{\\rtf1\\ansi {\\b Adagio}\\par lassan}", picture, 1},
      {"b.mid", ".ALLEGRO", "plain\nmemo", std::nullopt, 2},
      {"c.scm", ".ANDANTE", std::nullopt, "GIF89a not a bitmap", 3},
      {"d.avi", ".ARIA", "{\\rtf1 broken", "BM", 4},
  };
  for (const char* word : {"A", "AB", "ABC", "D'AMORE", "BETA", "\xC1RIA", "ZENE"})
    rows.push_back({std::nullopt, word, "x", std::nullopt, static_cast<int>(rows.size()) + 1});
  return rows;
}

class ReadOnlyDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteDataFile(Encode(DictionaryModel(Entries())));
    for (const char* f : {"Sounds/a.wav", "Sounds/b.mid", "Sounds/c.scm", "Sounds/d.avi",
                          "Sounds/PICTURES/a.PDF", "Sounds/hangkep.mp3"}) {
      const QString path = folder_.Folder() + QString::fromLatin1(f);
      QDir().mkpath(QFileInfo(path).path());
      QFile file(path);
      if (file.open(QIODevice::WriteOnly)) file.write("data");
    }
    path_ = folder_.DataFile().toStdString();
    FileSnapshot::Age(path_);
    before_ = FileSnapshot::Of(path_);
    ASSERT_FALSE(before_.bytes.empty());
    previous_ = mci::SetDefaultMci(&mci_);
  }
  void TearDown() override { mci::SetDefaultMci(previous_); }

  bool Unchanged() const { return FileSnapshot::Of(path_) == before_; }

  ProgramFolderFixture folder_;
  std::string path_;
  FileSnapshot before_;
  RecordingMci mci_;
  mci::MciInterface* previous_ = nullptr;
  ReportRecorder reports_;
  BoxRecorder boxes_;
  ExternalRecorder external_;
};

TEST_F(ReadOnlyDataTest, EveryWindowActionLeavesTheDataFileAsItWas) {
  {
    TfrmMain w(folder_.Options());
    ASSERT_TRUE(w.Dictionary().tblAdat.Active());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_TRUE(Unchanged()) << "after start-up";
    std::mt19937 random(14);
    for (const WindowAction& action : WindowActions()) {
      for (int i = 0; i < 25; ++i) action.run(w, random);
      EXPECT_TRUE(Unchanged()) << "after " << action.name;
    }
    // The actions did reach the window: it moved, filtered and reported.
    EXPECT_FALSE(reports_.reports.empty());
    EXPECT_FALSE(mci_.Take().empty());
    QTest::mouseClick(w.btnKilep, Qt::LeftButton);
    EXPECT_FALSE(w.Dictionary().tblAdat.Active());
    EXPECT_TRUE(Unchanged()) << "after Kilép";
  }
  EXPECT_TRUE(Unchanged()) << "after the window was destroyed";
  // Once more, closed by the close box.
  TfrmMain again(folder_.Options());
  again.show();
  again.close();
  EXPECT_TRUE(Unchanged()) << "after the close box";
}

}  // namespace
}  // namespace dorvem
