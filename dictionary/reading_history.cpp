#include "dictionary/reading_history.h"

#include <chrono>
#include <utility>

namespace dorvem {

std::int64_t SteadyClockMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

TReadingHistory::TReadingHistory(THistoryClock clock) : clock_(std::move(clock)) {}

void TReadingHistory::EntryShown(const std::optional<TReadPlace>& place) {
  if (place) {
    // The same entry, reached by a longer text, say: it stays current.
    if (pending_ && pending_->place.SameEntry(*place)) {
      pending_->place = *place;
      return;
    }
    if (standing_ && entries_[place_].SameEntry(*place)) return;
  }
  // The current entry is left.
  KeepPendingIfRead();
  pending_.reset();
  standing_ = false;
  if (!place) return;
  // Back on the entry the user stood on: it is in the history already.
  if (!entries_.empty() && entries_[place_].SameEntry(*place)) {
    standing_ = true;
    return;
  }
  pending_ = TPending{*place, clock_()};
}

void TReadingHistory::ActedOn() {
  if (pending_) KeepPending();
}

std::optional<TReadPlace> TReadingHistory::Back() {
  KeepPendingIfRead();
  if (entries_.empty()) return std::nullopt;
  if (standing_) {
    if (place_ == 0) return std::nullopt;
    --place_;
  }
  // From an unread entry the last one kept is the one before it.
  pending_.reset();
  standing_ = true;
  return entries_[place_];
}

std::optional<TReadPlace> TReadingHistory::Forward() {
  KeepPendingIfRead();
  if (entries_.empty() || place_ + 1 >= entries_.size()) return std::nullopt;
  ++place_;
  pending_.reset();
  standing_ = true;
  return entries_[place_];
}

void TReadingHistory::KeepPendingIfRead() {
  if (pending_ && clock_() - pending_->shownAt >= kReadAfterMs) KeepPending();
}

void TReadingHistory::KeepPending() {
  // Reading something new while back in the history: what lay ahead goes.
  // (The pending entry is never the one at place_: EntryShown stands the
  // user on that one instead.)
  if (!entries_.empty())
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(place_) + 1, entries_.end());
  entries_.push_back(std::move(pending_->place));
  pending_.reset();
  if (entries_.size() > kCapacity) entries_.pop_front();
  place_ = entries_.size() - 1;
  standing_ = true;
}

}  // namespace dorvem
