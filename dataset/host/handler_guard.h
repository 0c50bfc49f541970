// Exceptions that leave event handlers.
//
// The window toolkit calls the program's event handlers from its own frames,
// and no exception may unwind through those. So every handler body that the
// toolkit calls runs through GuardHandler: an exception leaving the body is
// kept here as the pending handler exception and the handler returns
// normally. The application's event dispatch takes the pending exception as
// soon as the event has been delivered and shows it with the
// application-wide error report.
//
// At most one exception is pending: the first one raised while an event is
// handled ends that handling, so later ones before it is taken are dropped.
// Only the event thread uses this; it owns nothing but the pending exception.
#pragma once

#include <exception>
#include <utility>

namespace dorvem {

// Keeps `error` as the pending handler exception unless one is pending
// already. A null pointer is ignored.
void KeepHandlerException(std::exception_ptr error) noexcept;

// Returns the pending handler exception (null when none) and clears it.
std::exception_ptr TakeHandlerException() noexcept;

// Runs `body`; an exception leaving it becomes the pending handler
// exception. Returns true when the body finished normally.
template <class Body>
bool GuardHandler(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
    return true;
  } catch (...) {
    KeepHandlerException(std::current_exception());
    return false;
  }
}

}  // namespace dorvem
