// The reading history on a clock the test moves: which entries count as
// read, back and forward through them, the entries ahead dropped, the cap.
#include "dictionary/reading_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dorvem {
namespace {

class ReadingHistoryTest : public ::testing::Test {
 protected:
  // The entry `headword` reached by typing `text` in the given search.
  static TReadPlace Place(const std::string& headword, const std::string& text = "",
                          bool everything = false, int position = 1) {
    return {text.empty() ? headword : text, everything, headword, "7", position};
  }
  // Shows `headword` and lets `ms` pass.
  void Show(const std::string& headword, std::int64_t ms = 0) {
    history_.EntryShown(Place(headword));
    now_ += ms;
  }
  std::vector<std::string> Kept() const {
    std::vector<std::string> words;
    for (const TReadPlace& p : history_.Entries()) words.push_back(p.headword);
    return words;
  }
  static std::string Headword(const std::optional<TReadPlace>& place) {
    return place ? place->headword : "(none)";
  }

  std::int64_t now_ = 5000;
  TReadingHistory history_{[this] { return now_; }};
};

using Words = std::vector<std::string>;

TEST_F(ReadingHistoryTest, ASecondOrAnActionMakesAnEntryReadAndTypingLeavesNothing) {
  // Letter by letter: each entry current for a few hundred milliseconds.
  for (const char* word : {"K", "KA", "KAN", "KANO"}) Show(word, 300);
  history_.EntryShown(std::nullopt);
  EXPECT_EQ(Kept(), Words{});
  // 999 ms is not a second; 1000 ms is.
  Show("A", 999);
  Show("B", 1000);
  Show("C", 10);
  EXPECT_EQ(Kept(), Words{"B"});
  // Acted on after 10 ms: kept at once, before it is left.
  history_.ActedOn();
  EXPECT_EQ(Kept(), (Words{"B", "C"}));
  // The same entry reached by a longer text keeps its time (600 + 400) and
  // is kept with the text last typed.
  history_.EntryShown(Place("KANON", "KANO"));
  now_ += 600;
  history_.EntryShown(Place("KANON", "KANON", false, 3));
  now_ += 400;
  history_.EntryShown(std::nullopt);
  ASSERT_EQ(Kept(), (Words{"B", "C", "KANON"}));
  EXPECT_EQ(history_.Entries().back().searchText, "KANON");
  EXPECT_EQ(history_.Entries().back().position, 3);
  // An entry the same as the last kept adds nothing.
  Show("KANON", 5000);
  Show("D");
  EXPECT_EQ(Kept(), (Words{"B", "C", "KANON"}));
}

TEST_F(ReadingHistoryTest, BackAndForwardWithBothKindsOfSearch) {
  history_.EntryShown(Place("A", "A", false));
  now_ += 1500;
  history_.EntryShown(Place("LASSAN", "LASS", true, 4));
  now_ += 1500;
  Show("C", 1500);
  // Back judges C read, then goes to the entry before it.
  std::optional<TReadPlace> place = history_.Back();
  ASSERT_EQ(Headword(place), "LASSAN");
  EXPECT_EQ(place->searchText, "LASS");
  EXPECT_TRUE(place->everything);
  EXPECT_EQ(place->position, 4);
  history_.EntryShown(*place);  // the window arrived there
  place = history_.Back();
  ASSERT_EQ(Headword(place), "A");
  EXPECT_FALSE(place->everything);
  history_.EntryShown(*place);
  now_ += 5000;
  // At the beginning nothing happens, and nothing is kept twice.
  EXPECT_EQ(Headword(history_.Back()), "(none)");
  EXPECT_EQ(Headword(history_.Forward()), "LASSAN");
  EXPECT_EQ(Headword(history_.Forward()), "C");
  EXPECT_EQ(Headword(history_.Forward()), "(none)");
  EXPECT_EQ(Kept(), (Words{"A", "LASSAN", "C"}));

  // From an entry glanced at, back is the last entry read.
  Show("Y", 200);
  EXPECT_EQ(Headword(history_.Back()), "C");
  // Glancing at another entry while back keeps what lies ahead ...
  EXPECT_EQ(Headword(history_.Back()), "LASSAN");
  Show("Z", 200);
  EXPECT_EQ(Headword(history_.Forward()), "C");
  // ... reading one drops it.
  EXPECT_EQ(Headword(history_.Back()), "LASSAN");
  Show("NEW", 1000);
  EXPECT_EQ(Headword(history_.Forward()), "(none)");
  EXPECT_EQ(Kept(), (Words{"A", "LASSAN", "NEW"}));
  EXPECT_EQ(Headword(history_.Back()), "LASSAN");
}

TEST_F(ReadingHistoryTest, KeepsTheLatestHundred) {
  for (int i = 1; i <= 105; ++i) Show("W" + std::to_string(i), 1000);
  history_.EntryShown(std::nullopt);
  ASSERT_EQ(history_.Entries().size(), 100u);
  EXPECT_EQ(history_.Entries().front().headword, "W6");
  EXPECT_EQ(history_.Entries().back().headword, "W105");
  // From the empty list back goes to the last read, then 99 more steps.
  EXPECT_EQ(Headword(history_.Back()), "W105");
  std::string last;
  for (int i = 0; i < 99; ++i) last = Headword(history_.Back());
  EXPECT_EQ(last, "W6");
  EXPECT_EQ(Headword(history_.Back()), "(none)");
}

}  // namespace
}  // namespace dorvem
