// TProgressLine: one line on a terminal that tells how far a long command
// has come - entries done of all, and the time left - and that rewrites
// itself in place ("\r") as the work goes on.
//
// The line appears only when the output is a terminal and only once the
// work has taken a second, so quick runs and redirected output stay clean:
// nothing of it is ever written to a file or a pipe. It is redrawn at most
// ten times a second and erased when the work ends, so that what the
// command prints afterwards starts on a clean line. The clock is given, so
// that tests drive it.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace dorvem {

using TProgressClock = std::function<std::chrono::steady_clock::time_point()>;

// The words around the figures: the line reads
// before + "<done>/<total>" + between + "<m:ss>" + after.
struct TProgressTexts {
  std::string before;   // "Ellenőrzés: "
  std::string between;  // " címszó, hátravan: "
  std::string after;    // ""
};

class TProgressLine {
 public:
  // `out` is written to only when `isTerminal`. The work starts now, by
  // `clock`.
  TProgressLine(std::ostream& out, bool isTerminal, TProgressTexts texts,
                TProgressClock clock = std::chrono::steady_clock::now);
  TProgressLine(const TProgressLine&) = delete;
  TProgressLine& operator=(const TProgressLine&) = delete;
  // Erases the line (Finish).
  ~TProgressLine();

  // `done` of `total` entries are done. Draws the line when the output is a
  // terminal, a second has passed since the start and a tenth of a second
  // since it was last drawn. The time left is told by the pace since the
  // first update.
  void Update(std::uint64_t done, std::uint64_t total);
  // Erases the line when it was drawn; later updates draw nothing.
  void Finish();

 private:
  std::ostream& out_;
  bool isTerminal_;
  TProgressTexts texts_;
  TProgressClock clock_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point drawn_;
  bool started_ = false;                           // an update came
  std::chrono::steady_clock::time_point firstAt_;  // the first update's time
  std::uint64_t firstDone_ = 0;                    // and its entries done
  std::size_t shownWidth_ = 0;                     // characters of the line on the screen, 0: none
  bool finished_ = false;
};

// Whether the file descriptor `fd` is a terminal.
bool IsTerminal(int fd);

// The time left to do `total` entries after `done` of them took `elapsed`,
// as "m:ss" (minutes not limited), or "?:??" before anything is done.
std::string TimeLeftText(std::chrono::steady_clock::duration elapsed, std::uint64_t done,
                         std::uint64_t total);

}  // namespace dorvem
