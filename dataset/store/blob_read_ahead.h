// BlobReadAhead: reads the values of a BlobStore one after the other, for a
// pass over a whole table (an index of every memo's words).
//
// BlobStore::Read copies a value that lies in a mapped data file out of the
// file with one system call or two per value; a million memos cost seconds
// in the kernel alone. The read-ahead instead copies a window of the file
// (kWindowBytes, or the value when larger) at once and serves the values
// that lie in it from there. Values read in the order they lie in the file
// (a table's records in order) are read from the file nearly once each; any
// order stays correct, only slower.
//
// Results are BlobStore::Read's for the whole value, the data file changed
// in place included: the window is checked against the file when it is
// filled, and a change is reported once by the store and the read-ahead
// together. Test: tests/dataset/data_file_change_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/core/result_codes.h"

namespace dorvem {

class BlobStore;
class PacketBytes;

class BlobReadAhead {
 public:
  // Reads values of `store`, which must outlive the read-ahead and not
  // change while it reads.
  explicit BlobReadAhead(const BlobStore& store) : store_(store) {}

  // The whole value `handle` into `out` (resized to the bytes copied).
  // Result codes as BlobStore::Length and BlobStore::Read.
  DBResult Read(std::uint32_t handle, std::string& out);

  static constexpr std::size_t kWindowBytes = 1u << 20;

 private:
  // Fills the window with the bytes of `packet` from `from` on (at least
  // `n`); false when the data file changed in place.
  bool Fill(const PacketBytes& packet, const std::uint8_t* from, std::size_t n);

  const BlobStore& store_;
  std::vector<std::uint8_t> window_;
  const std::uint8_t* windowStart_ = nullptr;  // where window_ lies in its packet
  const PacketBytes* windowPacket_ = nullptr;
};

}  // namespace dorvem
