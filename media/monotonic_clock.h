// The monotonic clock in milliseconds that the layer's timed rules (the
// audio output's retry, the kept pipelines' idle time) run on in the
// program; tests give those rules clocks of their own.
#pragma once

#include <chrono>
#include <cstdint>

namespace dorvem::mci {

inline std::int64_t MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace dorvem::mci
