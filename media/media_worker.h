// MediaWorker: one thread that carries out the layer's pipeline work (state
// changes, seeks, tear-downs) in the order it was handed over.
//
// The event thread never waits for a pipeline: it hands each piece of work
// to the worker and returns. Because there is exactly one worker and one
// queue, the pipelines see the work in exactly the order the requests were
// made (a stop before the close before the next open), whatever each piece
// costs.
//
// Owns its thread; destroying the worker finishes all queued work first.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace dorvem::mci {

class MediaWorker {
 public:
  MediaWorker();
  // Carries out what is queued, then ends the thread.
  ~MediaWorker();
  MediaWorker(const MediaWorker&) = delete;
  MediaWorker& operator=(const MediaWorker&) = delete;

  // Queues `work`; it runs on the worker thread after everything queued
  // before it. Any thread.
  void Post(std::function<void()> work);

  // Blocks until everything queued so far has run. For tests, benchmarks
  // and shut-down; the event thread of the program never calls it.
  void Drain();

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<std::function<void()>> queue_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace dorvem::mci
