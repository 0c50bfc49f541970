// RadixSortBy64: a stable sort of a vector by a 64-bit key of each element.
//
// For the one-off sorts of a whole column by a fixed-width prefix (the
// first eight bytes of each value), where a comparison sort of a million
// elements costs more. Least significant byte first, one counting pass per
// byte: stable, so elements of equal keys keep their order, and a byte that
// is the same in every key costs no pass.
// The caller sorts runs of equal keys further where the key does not
// decide. Tested by radix_sort_test.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace dorvem {

// Sorts `v` by key(element), an unsigned 64-bit number, keeping the order
// of elements with equal keys. False, with `v` as it was, when memory for
// the second buffer cannot be had.
template <class T, class Key>
bool RadixSortBy64(std::vector<T>& v, const Key& key) {
  const std::size_t n = v.size();
  if (n < 2) return true;
  // counts[d][b]: elements whose byte d (from the lowest) is b.
  std::vector<std::array<std::size_t, 256>> counts(8);
  for (auto& c : counts) c.fill(0);
  for (const T& e : v) {
    const std::uint64_t k = key(e);
    for (unsigned d = 0; d < 8; ++d) ++counts[d][(k >> (8 * d)) & 0xFF];
  }
  std::vector<T> other;
  try {
    other.resize(n);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (unsigned d = 0; d < 8; ++d) {
    std::array<std::size_t, 256>& c = counts[d];
    // Every key has the same byte here: the pass would change nothing.
    if (c[(key(v[0]) >> (8 * d)) & 0xFF] == n) continue;
    std::size_t at = 0;
    for (std::size_t& slot : c) {
      const std::size_t count = slot;
      slot = at;
      at += count;
    }
    for (const T& e : v) other[c[(key(e) >> (8 * d)) & 0xFF]++] = e;
    v.swap(other);
  }
  return true;
}

}  // namespace dorvem
