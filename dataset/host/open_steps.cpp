#include "dataset/host/open_steps.h"

#include <utility>

namespace dorvem {

namespace {
TOpenStepObserver observer = nullptr;
}  // namespace

TOpenStepObserver SetOpenStepObserver(TOpenStepObserver next) noexcept {
  return std::exchange(observer, next);
}

void OpenStepDone(const char* step) noexcept {
  if (observer) observer(step);
}

}  // namespace dorvem
