// The progress line: shown only on a terminal and only after a second,
// rewritten in place, erased at the end; the clock is the test's.
#include <gtest/gtest.h>

#include <sstream>

#include "terminal/progress_line.h"

namespace dorvem {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct FakeClock {
  Clock::time_point now{};
  TProgressClock Function() {
    return [this] { return now; };
  }
};

TEST(ProgressLineTest, ShowsOnATerminalAfterASecondAndErasesItself) {
  FakeClock clock;
  std::ostringstream out;
  {
    TProgressLine line(out, true, {"Ellenőrzés: ", " címszó, hátralévő idő: ", ""},
                       clock.Function());
    line.Update(0, 100);
    clock.now += 999ms;
    line.Update(10, 100);
    EXPECT_EQ(out.str(), "");  // quick work shows nothing
    clock.now += 1ms;
    line.Update(25, 100);  // a second for 25 of 100: 3 seconds left
    EXPECT_EQ(out.str(), "\rEllenőrzés: 25/100 címszó, hátralévő idő: 0:03");
    const std::string drawn = out.str();
    clock.now += 50ms;
    line.Update(26, 100);  // too soon to redraw
    EXPECT_EQ(out.str(), drawn);
    out.str({});
    clock.now += 63s - 50ms - 1s;  // 63 s for 50 of 100
    line.Update(50, 100);
    EXPECT_EQ(out.str(), "\rEllenőrzés: 50/100 címszó, hátralévő idő: 1:03");
    out.str({});
  }
  // Erased: as many blanks as the line has characters (46, not its bytes).
  EXPECT_EQ(out.str(), "\r" + std::string(46, ' ') + "\r");
}

TEST(ProgressLineTest, TheTimeBeforeTheFirstEntryIsNotThePace) {
  FakeClock clock;
  std::ostringstream out;
  TProgressLine line(out, true, {"build: ", " rows, time left ", ""}, clock.Function());
  clock.now += 5s;  // reading the input
  line.Update(0, 100);
  EXPECT_EQ(out.str(), "\rbuild: 0/100 rows, time left ?:??");
  out.str({});
  clock.now += 1s;
  line.Update(50, 100);
  EXPECT_EQ(out.str(), "\rbuild: 50/100 rows, time left 0:01");
}

TEST(ProgressLineTest, WritesNothingWhenTheOutputIsNoTerminal) {
  FakeClock clock;
  std::ostringstream out;
  {
    TProgressLine line(out, false, {"build: ", " rows, time left ", ""}, clock.Function());
    for (int i = 1; i <= 100; ++i) {
      clock.now += 1s;
      line.Update(i, 100);
    }
  }
  EXPECT_EQ(out.str(), "");
}

TEST(ProgressLineTest, TimeLeft) {
  EXPECT_EQ(TimeLeftText(10s, 0, 100), "?:??");
  EXPECT_EQ(TimeLeftText(10s, 100, 100), "0:00");
  EXPECT_EQ(TimeLeftText(2s, 1, 3601), "120:00");
}

}  // namespace
}  // namespace dorvem
