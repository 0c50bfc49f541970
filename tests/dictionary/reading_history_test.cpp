// The reading history on a clock the test moves: which entries count as
// read, back and forward through them, the entries ahead dropped, the cap.
#include "dictionary/reading_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dorvem {
namespace {

using Words = std::vector<std::string>;

class ReadingHistoryTest : public ::testing::Test {
 protected:
  // Shows `headword` (reached by `text` in the given search) and lets `ms`
  // pass.
  void Show(const std::string& headword, std::int64_t ms = 0, const std::string& text = "",
            bool everything = false, int position = 1) {
    history_.EntryShown(
        TReadPlace{text.empty() ? headword : text, everything, headword, "7", position});
    now_ += ms;
  }
  Words Kept() const {
    Words words;
    for (const TReadPlace& p : history_.Entries()) words.push_back(p.headword);
    return words;
  }
  static std::string Word(const std::optional<TReadPlace>& place) {
    return place ? place->headword : "(none)";
  }

  std::int64_t now_ = 5000;
  TReadingHistory history_{[this] { return now_; }};
};

TEST_F(ReadingHistoryTest, ASecondOrAnActionMakesAnEntryReadAndTypingLeavesNothing) {
  // Letter by letter: each entry current for a few hundred milliseconds.
  for (const char* word : {"K", "KA", "KAN", "KANO"}) Show(word, 300);
  // 999 ms is not a second; 1000 ms is.
  Show("A", 999);
  Show("B", 1000);
  Show("C", 10);
  EXPECT_EQ(Kept(), Words{"B"});
  history_.ActedOn();  // kept at once, before it is left
  EXPECT_EQ(Kept(), (Words{"B", "C"}));
}

TEST_F(ReadingHistoryTest, BackAndForwardWithBothKindsOfSearch) {
  Show("A", 1500);
  Show("LASSAN", 1500, "LASS", true, 4);
  Show("C", 1500);
  // Back judges C read, then goes to the entry before it.
  std::optional<TReadPlace> place = history_.Back();
  ASSERT_EQ(Word(place), "LASSAN");
  EXPECT_EQ(place->searchText, "LASS");
  EXPECT_TRUE(place->everything);
  EXPECT_EQ(place->position, 4);
  history_.EntryShown(*place);  // the window arrived there
  place = history_.Back();
  ASSERT_EQ(Word(place), "A");
  EXPECT_FALSE(place->everything);
  history_.EntryShown(*place);
  now_ += 5000;
  // At the beginning nothing happens, and nothing is kept twice.
  EXPECT_EQ(Word(history_.Back()), "(none)");
  EXPECT_EQ(Word(history_.Forward()), "LASSAN");
  EXPECT_EQ(Word(history_.Forward()), "C");
  EXPECT_EQ(Word(history_.Forward()), "(none)");
  // From an entry glanced at, back is the last entry read.
  Show("Y", 200);
  EXPECT_EQ(Word(history_.Back()), "C");
  // Glancing at another entry while back keeps what lies ahead; reading
  // one drops it.
  EXPECT_EQ(Word(history_.Back()), "LASSAN");
  Show("Z", 200);
  EXPECT_EQ(Word(history_.Forward()), "C");
  EXPECT_EQ(Word(history_.Back()), "LASSAN");
  Show("NEW", 1000);
  EXPECT_EQ(Word(history_.Forward()), "(none)");
  EXPECT_EQ(Kept(), (Words{"A", "LASSAN", "NEW"}));
}

TEST_F(ReadingHistoryTest, KeepsTheLatestHundred) {
  for (int i = 1; i <= 105; ++i) Show("W" + std::to_string(i), 1000);
  history_.EntryShown(std::nullopt);
  ASSERT_EQ(history_.Entries().size(), 100u);
  EXPECT_EQ(history_.Entries().front().headword, "W6");
  EXPECT_EQ(history_.Entries().back().headword, "W105");
}

}  // namespace
}  // namespace dorvem
