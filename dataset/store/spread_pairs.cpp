#include "dataset/store/spread_pairs.h"

#include <sys/random.h>

#include <cstdint>

namespace dorvem {

SpreadPairs PickSpreadPairs(std::size_t pairs, std::size_t most) {
  SpreadPairs s;
  if (most == 0 || pairs <= most) return s;
  s.stride = pairs / most;
  std::uint32_t random = 0;
  if (::getrandom(&random, sizeof random, 0) == static_cast<ssize_t>(sizeof random))
    s.first = random % s.stride;
  return s;
}

}  // namespace dorvem
