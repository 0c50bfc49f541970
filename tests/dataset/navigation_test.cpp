// The record window, the moves and the rhythm of notices and events that
// the window's after-scroll handler relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dataset/host/client_dataset.h"
#include "dataset/host/db_errors.h"
#include "tests/dataset/test_packets.h"

namespace dorvem {
namespace {

using testing::DictionaryModel;
using testing::DictRow;
using testing::Encode;
using testing::TempFile;

// Writes down every event and notice in order.
class Recorder : public TDataLink {
 public:
  explicit Recorder(std::vector<std::string>& log) : log_(log) {}
  bool raiseOnChange = false;

 protected:
  void DataSetChanged() override {
    log_.push_back("DataSetChanged");
    if (raiseOnChange) throw EDatabaseError("view failed");
  }
  void DataSetScrolled(int distance) override {
    log_.push_back("DataSetScrolled " + std::to_string(distance));
  }
  void StateChanged() override { log_.push_back("StateChanged"); }

 private:
  std::vector<std::string>& log_;
};

std::vector<DictRow> Rows(int n) {
  std::vector<DictRow> rows;
  for (int i = 1; i <= n; ++i) {
    char word[8];
    std::snprintf(word, sizeof word, "W%02d", i);
    rows.push_back(DictRow{{}, word, {}, {}, i});
  }
  return rows;
}

class NavigationTest : public ::testing::Test {
 protected:
  void Open(int records, int windowRows = 1) {
    file_ = std::make_unique<TempFile>(Encode(DictionaryModel(Rows(records))));
    ds_.SetFileName(file_->Path());
    source_.SetDataSet(&ds_);
    view_.SetDataSource(&source_);
    view_.SetBufferCount(windowRows);
    for (auto* e : {&ds_.BeforeOpen, &ds_.AfterOpen, &ds_.BeforeClose, &ds_.AfterClose,
                    &ds_.BeforeScroll, &ds_.AfterScroll}) {
      const char* name = e == &ds_.BeforeOpen    ? "BeforeOpen"
                         : e == &ds_.AfterOpen   ? "AfterOpen"
                         : e == &ds_.BeforeClose ? "BeforeClose"
                         : e == &ds_.AfterClose  ? "AfterClose"
                         : e == &ds_.BeforeScroll ? "BeforeScroll"
                                                  : "AfterScroll";
      *e = [this, name](TDataSet&) { log_.push_back(name); };
    }
    Take();
    ds_.Open();
  }
  std::vector<std::string> Take() { return std::exchange(log_, {}); }
  std::vector<int> Window() const {
    std::vector<int> w;
    for (int i = 0; i < ds_.WindowRecordCount(); ++i)
      w.push_back(static_cast<int>(ds_.Buffer(i).bookmark.record));
    return w;
  }
  int Current() const { return static_cast<int>(ds_.Buffer(ds_.ActiveSlot()).bookmark.record); }

  std::vector<std::string> log_;
  std::unique_ptr<TempFile> file_;
  TClientDataSet ds_{"tblAdat"};
  TDataSource source_{"DataSource1"};
  Recorder view_{log_};
};

using Log = std::vector<std::string>;

TEST_F(NavigationTest, OpeningAnEmptyResultSendsNoScroll) {
  Open(0);
  EXPECT_EQ(Take(), (Log{"BeforeOpen", "StateChanged", "AfterOpen"}));
  EXPECT_TRUE(ds_.IsEmpty());
  EXPECT_TRUE(ds_.AtBeginning());
  EXPECT_TRUE(ds_.AtEnd());
  ds_.GoFirst();
  EXPECT_EQ(Take(), (Log{"BeforeScroll", "DataSetChanged", "AfterScroll"}));
  EXPECT_TRUE(ds_.AtBeginning() && ds_.AtEnd());
}

TEST_F(NavigationTest, OpeningScrollsOnceOntoTheFirstRecord) {
  Open(3);
  EXPECT_EQ(Take(), (Log{"BeforeOpen", "StateChanged", "AfterOpen", "AfterScroll"}));
  EXPECT_TRUE(ds_.AtBeginning());
  EXPECT_FALSE(ds_.AtEnd());
  EXPECT_EQ(Current(), 1);
  // Active := true while open does nothing at all.
  ds_.Open();
  EXPECT_EQ(Take(), Log{});
  EXPECT_EQ(Current(), 1);
}

TEST_F(NavigationTest, StepsPastTheEndScrollOnceThenNoMore) {
  Open(3);
  ds_.GoNext();
  ds_.GoNext();
  Take();
  EXPECT_EQ(Current(), 3);
  EXPECT_EQ(ds_.MoveRecords(1), 0);
  EXPECT_EQ(Take(), (Log{"BeforeScroll", "DataSetScrolled 0", "AfterScroll"}));
  EXPECT_TRUE(ds_.AtEnd());
  EXPECT_EQ(Current(), 3);
  ds_.GoNext();
  EXPECT_EQ(Take(), Log{"BeforeScroll"});
}

TEST_F(NavigationTest, PriorRightAfterOpeningOnlyAsks) {
  Open(3);
  Take();
  ds_.GoPrior();
  EXPECT_EQ(Take(), Log{"BeforeScroll"});
  ds_.GoNext();
  ds_.GoPrior();
  Take();
  ds_.GoPrior();  // the beginning is not yet known: one more scroll
  EXPECT_EQ(Take(), (Log{"BeforeScroll", "DataSetScrolled 0", "AfterScroll"}));
  EXPECT_TRUE(ds_.AtBeginning());
}

TEST_F(NavigationTest, WindowOfTenOver25Records) {
  Open(25, 10);
  EXPECT_EQ(Window(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  ds_.GoLast();
  EXPECT_EQ(Window(), (std::vector<int>{16, 17, 18, 19, 20, 21, 22, 23, 24, 25}));
  EXPECT_EQ(Current(), 25);
  EXPECT_TRUE(ds_.AtEnd());
  EXPECT_EQ(ds_.RecNo(), 25);
  ds_.GoFirst();
  EXPECT_EQ(Window(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(Current(), 1);
}

TEST_F(NavigationTest, StepsSlideTheWindowOneBufferAtATime) {
  Open(25, 10);
  Take();
  EXPECT_EQ(ds_.MoveRecords(9), 9);
  EXPECT_EQ(Take(), (Log{"BeforeScroll", "DataSetScrolled 0", "AfterScroll"}));
  ds_.GoNext();
  EXPECT_EQ(Take(), (Log{"BeforeScroll", "DataSetScrolled -1", "AfterScroll"}));
  EXPECT_EQ(Window().front(), 2);
  EXPECT_EQ(Current(), 11);
  EXPECT_EQ(ds_.MoveRecords(-12), -10);
  EXPECT_TRUE(ds_.AtBeginning());
  EXPECT_EQ(Current(), 1);
  EXPECT_EQ(Take(), (Log{"BeforeScroll", "DataSetScrolled 1", "AfterScroll"}));
}

TEST_F(NavigationTest, GoToNumberCentresAndRefusesZero) {
  Open(25, 10);
  Take();
  ds_.GoToNumber(1);  // the current number: nothing happens
  EXPECT_EQ(Take(), Log{});
  ds_.GoToNumber(15);
  EXPECT_EQ(Take(), (Log{"BeforeScroll", "DataSetChanged", "AfterScroll"}));
  EXPECT_EQ(Current(), 15);
  EXPECT_EQ(ds_.ActiveSlot(), 4);
  EXPECT_EQ(Window().front(), 11);
  try {
    ds_.GoToNumber(0);
    FAIL() << "no error";
  } catch (const EDBClient& e) {
    EXPECT_STREQ(e.what(), "At beginning of table.");
  }
  EXPECT_EQ(Take(), Log{"BeforeScroll"});
  // The window still shows what it showed, and the next step works from it.
  EXPECT_EQ(Current(), 15);
  ds_.GoNext();
  EXPECT_EQ(Current(), 16);
  ds_.GoToNumber(25);
  EXPECT_EQ(Window().back(), 25);
  EXPECT_EQ(Current(), 25);
}

TEST_F(NavigationTest, AViewRaisingInItsNoticeSkipsAfterScroll) {
  Open(3);
  Take();
  view_.raiseOnChange = true;
  EXPECT_THROW(ds_.GoFirst(), EDatabaseError);
  EXPECT_EQ(Take(), (Log{"BeforeScroll", "DataSetChanged"}));
  view_.raiseOnChange = false;
  ds_.GoNext();
  EXPECT_EQ(Current(), 2);
}

TEST_F(NavigationTest, BeforeScrollRaisingPreventsTheMove) {
  Open(3);
  ds_.BeforeScroll = [](TDataSet&) { throw EAbort(); };
  EXPECT_THROW(ds_.GoNext(), EAbort);
  EXPECT_EQ(Current(), 1);
}

TEST_F(NavigationTest, HandlersMayMoveTheDatasetAgain) {
  Open(5);
  bool once = true;
  ds_.AfterScroll = [&](TDataSet& d) {
    if (once) {
      once = false;
      d.GoNext();
    }
  };
  ds_.GoNext();
  EXPECT_EQ(Current(), 3);
}

TEST_F(NavigationTest, ClosedDatasetsRefuseMovesAndCloseInOrder) {
  Open(3);
  Take();
  ds_.Close();
  EXPECT_EQ(Take(), (Log{"BeforeClose", "StateChanged", "AfterClose"}));
  try {
    ds_.GoNext();
    FAIL() << "moved";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "tblAdat: Cannot perform this operation on a closed dataset");
  }
  EXPECT_EQ(Take(), Log{});
}

TEST_F(NavigationTest, GrowingAndShrinkingTheWindowKeepsTheCurrentRecord) {
  Open(25, 10);
  ds_.MoveRecords(14);
  EXPECT_EQ(Current(), 15);
  Take();
  view_.SetBufferCount(3);
  EXPECT_EQ(Take(), Log{});
  EXPECT_EQ(ds_.WindowSize(), 3);
  EXPECT_EQ(Current(), 15);
  view_.SetBufferCount(12);
  EXPECT_EQ(ds_.WindowRecordCount(), 12);
  EXPECT_EQ(Current(), 15);
}

TEST_F(NavigationTest, AFilterKeystrokeScrollsTwiceAndAnEmptiedBoxOnce) {
  ds_.SetIndexFieldNames("KSZOVEG");
  ds_.SetFilter("KSZOVEG='W0*'");
  ds_.SetFiltered(true);
  Open(25, 10);
  EXPECT_EQ(Window(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ds_.GoNext();
  Take();
  // What the search box does for a non-empty text: the options (unchanged),
  // then the text. Each assignment goes to the first record of its list.
  ds_.SetFilterOptions(ds_.FilterOptions() & ~foNoPartialCompare);
  ds_.SetFilter("KSZOVEG='W1*'");
  EXPECT_EQ(Take(), (Log{"BeforeScroll", "DataSetChanged", "AfterScroll", "BeforeScroll",
                         "DataSetChanged", "AfterScroll"}));
  EXPECT_EQ(Window(), (std::vector<int>{10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
  EXPECT_EQ(Current(), 10);
  // The same text again still goes to the first record.
  ds_.GoNext();
  Take();
  ds_.SetFilter("KSZOVEG='W1*'");
  EXPECT_EQ(Take(), (Log{"BeforeScroll", "DataSetChanged", "AfterScroll"}));
  EXPECT_EQ(Current(), 10);
  // A refused text changes nothing the user sees and sends nothing.
  EXPECT_THROW(ds_.SetFilter("KSZOVEG='A'B'C*'"), EDatabaseError);
  EXPECT_EQ(Take(), Log{});
  EXPECT_EQ(ds_.Filter(), "KSZOVEG='W1*'");
  // Nothing passes: the window is empty, both ends are known.
  ds_.SetFilter("KSZOVEG='X*'");
  EXPECT_EQ(Take(), (Log{"BeforeScroll", "DataSetChanged", "AfterScroll"}));
  EXPECT_TRUE(ds_.IsEmpty());
  EXPECT_TRUE(ds_.AtBeginning() && ds_.AtEnd());
}

}  // namespace
}  // namespace dorvem
