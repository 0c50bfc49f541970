// PipelineBatch: the pipeline work that the requests of one event of the
// event thread give rise to, held back until that event has been handled
// and then handed to the worker in one go.
//
// Why. A search keystroke in the window refreshes the entry twice (two
// moves, each stopping what plays and then playing a cue), so a cue's
// device is often opened, played, stopped and closed again before the
// keystroke has been handled. Handed over at once, its pipeline would be
// built, prerolled and torn down on the worker - the costliest work of the
// layer - without a sound ever reaching the speaker. Held back, the work of
// a pipeline that is closed before the event is over is simply dropped: its
// pipeline is never built.
//
// Order. What is handed over keeps the order in which it was added, so the
// worker still sees every remaining request in request order; a dropped
// pipeline had all of its work dropped with it, so nothing else depended on
// it. The sound of a request starts (or stops) later by the rest of the
// event it was made in, as well as by the worker's turn.
//
// The batch owns the work it holds; `handOver` and `schedule` belong to the
// layer. Event thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <vector>

namespace dorvem::mci {

class PipelineBatch {
 public:
  using Work = std::function<void()>;

  // `handOver` passes one piece of work on to the worker. `schedule` is
  // called whenever the batch stops being empty: it must arrange for Flush
  // to run once the event being handled is over.
  PipelineBatch(std::function<void(Work)> handOver, std::function<void()> schedule);

  // Holds `start`, the first work of the pipeline `instance` (building it).
  void AddStart(std::uint64_t instance, Work start);
  // Holds further work of the pipeline `instance`.
  void Add(std::uint64_t instance, Work work);
  // When the start of `instance` is still held, drops it with all other
  // work of `instance` and returns true: that pipeline was never built.
  // Otherwise changes nothing and returns false.
  bool DropUnstarted(std::uint64_t instance);
  // Hands everything held over, in the order it was added.
  void Flush();

  bool Empty() const { return items_.empty(); }

 private:
  struct Item {
    std::uint64_t instance;
    Work work;
  };
  void Hold(std::uint64_t instance, Work work);

  std::function<void(Work)> handOver_;
  std::function<void()> schedule_;
  std::vector<Item> items_;
  std::set<std::uint64_t> unstarted_;  // instances whose start is held
};

}  // namespace dorvem::mci
