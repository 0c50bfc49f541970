// ExprBufferView: read access to an expression buffer (layout in
// dataset/expr/expr_codes.h) that checks every read against the buffer's
// bounds, so that a malformed buffer is refused instead of read past.
//
// The view does not own the bytes; they must outlive it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dataset/expr/expr_codes.h"

namespace dorvem::eval {

struct BufferNode {
  NodeClass cls;
  TCANOperator op;  // as stored (may be outside the known codes)
  std::uint32_t rawOp;
  std::uint16_t operands[4];  // as many as the class has
  int operandCount;
};

class ExprBufferView {
 public:
  // False when the header is inconsistent with `size`: too short, a total
  // size beyond `size`, or areas outside the total.
  bool Open(const std::uint8_t* data, std::size_t size);

  // Reads the node at node offset `offset`; false when it lies outside the
  // node area or has an unknown class.
  bool Node(std::uint16_t offset, BufferNode* node) const;
  // The zero-terminated text at literal offset `offset`; false when it is
  // not terminated inside the buffer.
  bool Text(std::uint16_t offset, std::string_view* text) const;
  // `size` bytes at literal offset `offset`; false when they overrun.
  bool Bytes(std::uint16_t offset, std::uint16_t size, const std::uint8_t** bytes) const;

  // Upper bound of the nodes a well-formed buffer can hold.
  std::size_t MaxNodes() const { return (literalStart_ - nodeStart_) / kExprNodeHeaderSize; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t total_ = 0;
  std::size_t nodeStart_ = 0;
  std::size_t literalStart_ = 0;
};

}  // namespace dorvem::eval
