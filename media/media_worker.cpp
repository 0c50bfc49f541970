#include "media/media_worker.h"

namespace dorvem::mci {

MediaWorker::MediaWorker() : thread_([this] { Run(); }) {}

MediaWorker::~MediaWorker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void MediaWorker::Post(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(work));
  }
  wake_.notify_one();
}

void MediaWorker::Drain() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

void MediaWorker::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (queue_.empty()) return;  // stopping, and nothing left to do
    std::function<void()> work = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    lock.unlock();
    work();
    work = nullptr;  // whatever it held goes before the next piece runs
    lock.lock();
    busy_ = false;
    if (queue_.empty()) idle_.notify_all();
  }
}

}  // namespace dorvem::mci
