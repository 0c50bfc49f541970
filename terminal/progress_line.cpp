#include "terminal/progress_line.h"

#include <unistd.h>

namespace dorvem {

namespace {

using namespace std::chrono_literals;

constexpr auto kShowAfter = 1s;
constexpr auto kRedrawEvery = 100ms;

// Characters of UTF-8 text, for blanking what a longer line left.
std::size_t Characters(const std::string& utf8) {
  std::size_t n = 0;
  for (const char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

TProgressLine::TProgressLine(std::ostream& out, bool isTerminal, TProgressTexts texts,
                             TProgressClock clock)
    : out_(out), isTerminal_(isTerminal), texts_(std::move(texts)), clock_(std::move(clock)) {
  start_ = clock_();
}

TProgressLine::~TProgressLine() {
  Finish();
}

void TProgressLine::Update(std::uint64_t done, std::uint64_t total) {
  if (!isTerminal_ || finished_) return;
  const auto now = clock_();
  // The pace is measured from the first update, so that preparing the
  // work (reading the input) does not count as the work's own pace.
  if (!started_) {
    started_ = true;
    firstAt_ = now;
    firstDone_ = done;
  }
  if (now - start_ < kShowAfter) return;
  if (shownWidth_ > 0 && now - drawn_ < kRedrawEvery) return;
  drawn_ = now;
  const std::string line = texts_.before + std::to_string(done) + "/" + std::to_string(total) +
                           texts_.between +
                           TimeLeftText(now - firstAt_, done - std::min(done, firstDone_),
                                        total - std::min(total, firstDone_)) +
                           texts_.after;
  const std::size_t width = Characters(line);
  out_ << '\r' << line;
  if (width < shownWidth_) out_ << std::string(shownWidth_ - width, ' ');
  out_.flush();
  shownWidth_ = std::max(width, shownWidth_);
}

void TProgressLine::Finish() {
  if (finished_) return;
  finished_ = true;
  if (shownWidth_ == 0) return;
  out_ << '\r' << std::string(shownWidth_, ' ') << '\r';
  out_.flush();
}

bool IsTerminal(int fd) {
  return isatty(fd) == 1;
}

std::string TimeLeftText(std::chrono::steady_clock::duration elapsed, std::uint64_t done,
                         std::uint64_t total) {
  if (done == 0) return "?:??";
  const double seconds = std::chrono::duration<double>(elapsed).count();
  const double left = done >= total ? 0.0 : seconds * static_cast<double>(total - done) / done;
  const auto whole = static_cast<std::uint64_t>(left + 0.5);
  const std::uint64_t s = whole % 60;
  return std::to_string(whole / 60) + ":" + (s < 10 ? "0" : "") + std::to_string(s);
}

}  // namespace dorvem
