#include "dataset/host/blob_stream.h"

#include <cstring>

namespace dorvem {

std::size_t TClientBlobStream::Read(void* out, std::size_t count) {
  const std::size_t left = bytes_.size() - pos_;
  const std::size_t n = count < left ? count : left;
  if (n) std::memcpy(out, bytes_.data() + pos_, n);
  pos_ += n;
  return n;
}

}  // namespace dorvem
