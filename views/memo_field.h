// Reading the head of a memo field of the current record: as much of its
// bytes as the explanation view shows, and what the view needs to know of
// the rest, without holding the whole memo in memory at once. A memo of
// 50 MB costs a scan of its bytes in small pieces, not a copy of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dorvem {

class TField;

// The start of a memo and what is known of the rest.
struct TMemoHead {
  std::vector<std::uint8_t> bytes;  // the first bytes of the memo
  std::size_t size = 0;             // of the whole memo
  bool zeroInRest = false;          // a zero byte lies after `bytes`
  bool operator==(const TMemoHead&) const = default;
};

// Reads the first `headBytes` bytes of `field`'s value in the current record
// (all of a shorter one) and scans the rest for a zero byte. A field that
// is not a blob is read whole, as its text. Raises what reading the field
// raises.
TMemoHead ReadMemoHead(const TField& field, std::size_t headBytes);

}  // namespace dorvem
