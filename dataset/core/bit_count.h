// CountSetBits: the number of bits set in an array of words. A search's
// record set has a word for every 64 records of the table and is counted
// on every keystroke. Built for any x86-64, std::popcount is a library call
// per word; this uses the processor's instruction where it has one.
// Tested in tests/dataset/bit_count_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvem {

// The bits set in words[0..n).
std::size_t CountSetBits(const std::uint64_t* words, std::size_t n);
// The same, counted in the word by shifts and masks: what CountSetBits
// does on a processor without a population count.
std::size_t CountSetBitsPortable(const std::uint64_t* words, std::size_t n);

}  // namespace dorvem
