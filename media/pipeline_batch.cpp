#include "media/pipeline_batch.h"

#include <algorithm>
#include <utility>

namespace dorvem::mci {

PipelineBatch::PipelineBatch(std::function<void(Work)> handOver, std::function<void()> schedule)
    : handOver_(std::move(handOver)), schedule_(std::move(schedule)) {}

void PipelineBatch::Hold(std::uint64_t instance, Work work) {
  const bool wasEmpty = items_.empty();
  items_.push_back({instance, std::move(work)});
  if (wasEmpty) schedule_();
}

void PipelineBatch::AddStart(std::uint64_t instance, Work start) {
  unstarted_.insert(instance);
  Hold(instance, std::move(start));
}

void PipelineBatch::Add(std::uint64_t instance, Work work) {
  Hold(instance, std::move(work));
}

bool PipelineBatch::DropUnstarted(std::uint64_t instance) {
  if (unstarted_.erase(instance) == 0) return false;
  std::erase_if(items_, [instance](const Item& item) { return item.instance == instance; });
  return true;
}

void PipelineBatch::Flush() {
  std::vector<Item> items = std::exchange(items_, {});
  unstarted_.clear();
  for (Item& item : items) handOver_(std::move(item.work));
}

}  // namespace dorvem::mci
