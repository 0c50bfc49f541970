#include "dataset/eval/expr_buffer.h"

#include <cstring>

#include "dataset/core/byte_layout.h"

namespace dorvem::eval {

bool ExprBufferView::Open(const std::uint8_t* data, std::size_t size) {
  if (data == nullptr || size < kExprHeaderSize) return false;
  const std::size_t total = LoadU16(data + 2);
  const std::size_t nodes = LoadU16(data + 6);
  const std::size_t literals = LoadU16(data + 8);
  if (total > size || total < kExprHeaderSize || nodes < kExprHeaderSize || nodes > literals ||
      literals > total)
    return false;
  data_ = data;
  total_ = total;
  nodeStart_ = nodes;
  literalStart_ = literals;
  return true;
}

bool ExprBufferView::Node(std::uint16_t offset, BufferNode* node) const {
  const std::size_t at = nodeStart_ + offset;
  if (at + kExprNodeHeaderSize > literalStart_) return false;
  const std::uint32_t cls = LoadU32(data_ + at);
  node->cls = static_cast<NodeClass>(cls);
  node->rawOp = LoadU32(data_ + at + 4);
  node->op = node->rawOp <= 0xFF ? static_cast<TCANOperator>(node->rawOp) : TCANOperator::kNone;
  node->operandCount = OperandCount(node->cls);
  if (node->operandCount == 0) return false;
  if (at + kExprNodeHeaderSize + 2 * static_cast<std::size_t>(node->operandCount) > literalStart_)
    return false;
  for (int i = 0; i < node->operandCount; ++i)
    node->operands[i] = LoadU16(data_ + at + kExprNodeHeaderSize + 2 * i);
  return true;
}

bool ExprBufferView::Text(std::uint16_t offset, std::string_view* text) const {
  const std::size_t at = literalStart_ + offset;
  if (at >= total_) return false;
  const void* zero = std::memchr(data_ + at, 0, total_ - at);
  if (zero == nullptr) return false;
  *text = std::string_view(reinterpret_cast<const char*>(data_ + at),
                           static_cast<const std::uint8_t*>(zero) - (data_ + at));
  return true;
}

bool ExprBufferView::Bytes(std::uint16_t offset, std::uint16_t size,
                           const std::uint8_t** bytes) const {
  const std::size_t at = literalStart_ + offset;
  if (at > total_ || size > total_ - at) return false;
  *bytes = data_ + at;
  return true;
}

}  // namespace dorvem::eval
