#include "dataset/host/application_errors.h"

#include <utility>

namespace dorvem {

namespace {
ApplicationExceptionHandler& Installed() {
  static ApplicationExceptionHandler handler;
  return handler;
}
}  // namespace

ApplicationExceptionHandler SetApplicationExceptionHandler(ApplicationExceptionHandler handler) {
  return std::exchange(Installed(), std::move(handler));
}

void HandleApplicationException(std::exception_ptr error) noexcept {
  try {
    if (Installed()) Installed()(error);
  } catch (...) {
  }
}

}  // namespace dorvem
