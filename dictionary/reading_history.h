// TReadingHistory: the entries the user has read, in the order read, with a
// place in them that Back and Forward move, as a browser keeps the pages
// visited.
//
// The window tells it every entry that becomes current (EntryShown) and
// every action on the current one (ActedOn: playing it, opening its score,
// scrolling or clicking its text). An entry counts as read when it stayed
// current for kReadAfterMs or was acted on; only read entries are kept, so
// typing a term letter by letter, where each keystroke makes another entry
// current well within a second, leaves nothing behind. How long an entry
// stayed is judged lazily from the clock when it is left, acted on, or when
// Back or Forward is asked for: no timer runs.
//
// At most kCapacity entries are kept; the oldest goes first. Reading
// something new while back in the history drops the entries ahead, as a
// browser does; reading again the entry the user stands on adds nothing.
//
// Plain data: no Qt, no dataset; the clock is a function the owner supplies
// (a steady clock by default), so that tests control time.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace dorvem {

// Where an entry was read, and how to reach it again.
//
// The entry itself is named by its headword's bytes and its Index field's
// value together: that names the record whatever list shows it, so the
// same entry reached by "KÁNO" and then "KÁNON" (or by the other kind of
// search) is one entry staying current, not two. Restoring it re-runs the
// search of `searchText` and `everything`, which on the read-only data
// gives the same list again, so its position there (`position`, 1-based)
// finds it at once, without looking through a list that may be long. The
// restorer reports the entry it arrives at (EntryShown); should that be
// another one, it is simply the new current entry.
struct TReadPlace {
  std::string searchText;   // the search box's text, UTF-8
  bool everything = false;  // the everything search was on (else the headword search)
  std::string headword;     // the headword's bytes, in the data's code page
  std::string indexValue;   // the Index field's value as text ("" when null)
  int position = 0;         // the entry's position in the list of that search

  // The same entry: headword and Index value alike (how it was reached
  // does not matter).
  bool SameEntry(const TReadPlace& other) const {
    return headword == other.headword && indexValue == other.indexValue;
  }
};

// Milliseconds of a clock that never goes back.
using THistoryClock = std::function<std::int64_t()>;
// The steady clock's milliseconds.
std::int64_t SteadyClockMilliseconds();

class TReadingHistory {
 public:
  static constexpr std::int64_t kReadAfterMs = 1000;
  static constexpr std::size_t kCapacity = 100;

  explicit TReadingHistory(THistoryClock clock = SteadyClockMilliseconds);

  // `place` became the current entry (nullopt: none, the list is empty or
  // closed). The entry left is kept when it was read. When `place` is the
  // entry already current, nothing is left: it keeps its time, and the
  // latest search text and kind are remembered for it. When it is the
  // history entry the user stands on, the user is on that entry again.
  void EntryShown(const std::optional<TReadPlace>& place);
  // The user acted on the current entry: it is read, and kept at once.
  void ActedOn();

  // The place to restore for going back: the entry before the one the user
  // stands on, or, from an entry not (yet) read, the last one kept before
  // it. nullopt at the beginning (and then nothing changes). The owner
  // restores the place and reports the entry it arrived at with
  // EntryShown; while restoring, it reports nothing else.
  std::optional<TReadPlace> Back();
  // The place to restore for going forward: the entry after the one the
  // user stands on or the last one kept before the current entry. nullopt
  // at the end, and then nothing changes.
  std::optional<TReadPlace> Forward();

  // The entries kept, oldest first.
  const std::deque<TReadPlace>& Entries() const { return entries_; }

 private:
  struct TPending {
    TReadPlace place;
    std::int64_t shownAt = 0;
  };
  // Keeps the pending entry when it stayed long enough; otherwise leaves
  // it pending.
  void KeepPendingIfRead();
  // Keeps the pending entry: drops the entries ahead of the place, appends
  // it, drops the oldest beyond kCapacity, and the user stands on it.
  void KeepPending();

  THistoryClock clock_;
  std::deque<TReadPlace> entries_;
  // The entry the user stands on (standing_) or, with an unread entry
  // current, the last one kept before it; meaningful when entries_ is not
  // empty.
  std::size_t place_ = 0;
  // The user stands on entries_[place_]: restored there, or it was kept
  // while current.
  bool standing_ = false;
  // The current entry while not (yet) kept.
  std::optional<TPending> pending_;
};

}  // namespace dorvem
