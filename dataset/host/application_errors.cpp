#include "dataset/host/application_errors.h"

#include <utility>

#include "dataset/host/handler_guard.h"

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
    if (Installed()) {
      Installed()(error);
    } else {
      // The window shows it, like any error of the event being handled.
      KeepHandlerException(std::move(error));
    }
  } catch (...) {
  }
}

}  // namespace dorvem
