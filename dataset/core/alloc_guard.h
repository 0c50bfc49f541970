// GuardAllocation: the one place where an engine operation's allocation
// failure becomes a result code.
//
// Engine operations never throw. Work that may allocate through the
// standard library (vectors, strings, make_unique) runs inside
// GuardAllocation, which answers kOutOfMemory when std::bad_alloc escapes
// it. The work returns a DBResult, or nothing (then kOk is its answer).
#pragma once

#include <new>
#include <type_traits>

#include "dataset/core/result_codes.h"

namespace dorvem {

template <class F>
[[nodiscard]] DBResult GuardAllocation(F&& work) noexcept {
  try {
    if constexpr (std::is_void_v<std::invoke_result_t<F>>) {
      work();
      return dbr::kOk;
    } else {
      return work();
    }
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
}

}  // namespace dorvem
