// BufferWriter: flattens a parse tree into an expression buffer.
//
// Nodes are appended to the node area and literals (field names, function
// names, constant values) to the literal area in the order in which they are
// written; every operator node reserves its own place before its operands
// are written, so the root is at node offset 0. The writer applies the
// flattening rules on the way: a boolean field standing alone becomes
// "field <> false"; relational operators put a field on the left (mirroring
// the operator); a field compared with NULL becomes IS [NOT] NULL; a field
// compared with a string constant becomes a Compare node when the case flag
// or a partial length is needed. One writer per flattening; it reads the
// builder's options and owns nothing beyond the bytes it is writing.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "dataset/expr/expr_codes.h"
#include "dataset/filter/expr_node.h"

namespace dorvem {
class TFilterExpr;
}

namespace dorvem::filter {

class BufferWriter {
 public:
  explicit BufferWriter(const TFilterExpr& expr) : expr_(expr) {}

  // The whole buffer for the tree under `root`: header, nodes, literals.
  // Raises EDatabaseError (see TFilterExpr::GetFilterData).
  std::vector<std::uint8_t> Write(TExprNode* root);

 private:
  // Writes `node` (whose parent has operator `parent`), returns its offset.
  std::uint16_t PutNode(TExprNode* node, TCANOperator parent);
  std::uint16_t PutFieldNode(const TExprNode* node);
  std::uint16_t PutConstNode(const ExprValue& value, TFieldType type, int size);
  std::uint16_t PutOperator(TExprNode* node);
  std::uint16_t PutComparison(TExprNode* node);
  // A chain of ListElement nodes over `values`; the offset of the first.
  std::uint16_t PutList(const std::vector<TExprNode*>& values, TCANOperator parent);

  std::uint16_t Reserve(NodeClass cls, TCANOperator op);
  void SetOperand(std::uint16_t node, int index, std::uint16_t value);
  std::uint16_t PutLiteral(const std::uint8_t* bytes, std::size_t size);
  std::uint16_t PutName(std::string_view name);
  // Raises when the buffer would grow beyond 65535 bytes (or the tree is
  // deeper than any buffer can reasonably hold).
  void CheckRoom(std::size_t more) const;

  const TFilterExpr& expr_;
  int depth_ = 0;
  std::vector<std::uint8_t> nodes_;
  std::vector<std::uint8_t> literals_;
};

}  // namespace dorvem::filter
