#include "dataset/host/handler_guard.h"

namespace dorvem {

namespace {
std::exception_ptr pending;
}  // namespace

void KeepHandlerException(std::exception_ptr error) noexcept {
  if (!pending) pending = std::move(error);
}

std::exception_ptr TakeHandlerException() noexcept {
  std::exception_ptr error = std::move(pending);
  pending = nullptr;
  return error;
}

}  // namespace dorvem
