// The application's exception handler: where an exception goes that no
// caller can receive. An OnFilterRecord handler runs while the engine builds
// a filtered index; what it raises cannot pass through the engine, so it is
// handed here and the build goes on. Without an installed handler it becomes
// the pending handler exception (handler_guard.h), which the window's event
// dispatch shows with the application-wide error report once the event is
// handled. One handler per process, used from the event thread.
#pragma once

#include <exception>
#include <functional>

namespace dorvem {

using ApplicationExceptionHandler = std::function<void(std::exception_ptr)>;

// Installs `handler` (empty: none) and returns the previous one.
ApplicationExceptionHandler SetApplicationExceptionHandler(ApplicationExceptionHandler handler);

// Hands `error` to the installed handler; an exception the handler raises
// in turn is dropped.
void HandleApplicationException(std::exception_ptr error) noexcept;

}  // namespace dorvem
