#include "media/pipeline_pool.h"

#include <algorithm>
#include <iterator>

namespace dorvem::mci {

PipelinePool::PipelinePool(Release release, Clock clock)
    : release_(std::move(release)), clock_(std::move(clock)) {}

PipelinePool::~PipelinePool() {
  Clear();
}

GstElement* PipelinePool::Take(const PipelineKey& key) {
  GstElement* found = nullptr;
  std::vector<Kept> stale;
  {
    std::lock_guard lock(mutex_);
    const auto hit =
        std::find_if(kept_.begin(), kept_.end(), [&key](const Kept& k) { return k.key == key; });
    if (hit != kept_.end()) {
      found = hit->pipeline;
      kept_.erase(hit);
    }
    stale =
        RemoveLocked([&key](const Kept& k) { return k.key.path == key.path && !(k.key == key); });
  }
  ReleaseAll(std::move(stale));
  return found;
}

void PipelinePool::Keep(const PipelineKey& key, GstElement* pipeline) {
  std::vector<Kept> gone;
  {
    std::lock_guard lock(mutex_);
    kept_.push_back({key, pipeline, clock_()});
    while (kept_.size() > kCapacity) {
      gone.push_back(kept_.front());
      kept_.erase(kept_.begin());
    }
  }
  ReleaseAll(std::move(gone));
}

void PipelinePool::Expire() {
  std::vector<Kept> gone;
  {
    std::lock_guard lock(mutex_);
    const std::int64_t now = clock_();
    gone = RemoveLocked([now](const Kept& k) { return now - k.keptAtMs >= kIdleMs; });
  }
  ReleaseAll(std::move(gone));
}

void PipelinePool::Clear() {
  std::vector<Kept> gone;
  {
    std::lock_guard lock(mutex_);
    gone.swap(kept_);
  }
  ReleaseAll(std::move(gone));
}

std::size_t PipelinePool::Size() const {
  std::lock_guard lock(mutex_);
  return kept_.size();
}

std::vector<PipelinePool::Kept> PipelinePool::RemoveLocked(
    const std::function<bool(const Kept&)>& gone) {
  std::vector<Kept> removed;
  std::copy_if(kept_.begin(), kept_.end(), std::back_inserter(removed), gone);
  std::erase_if(kept_, gone);
  return removed;
}

void PipelinePool::ReleaseAll(std::vector<Kept> gone) {
  for (const Kept& k : gone) release_(k.pipeline);
}

}  // namespace dorvem::mci
