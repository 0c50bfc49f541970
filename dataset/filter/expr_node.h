// TExprNode: one node of a parsed filter expression, and the classes of
// field types the typing rules speak of.
//
// Nodes are made by the builder (TFilterExpr), which owns all of them and
// frees them together; the links between nodes (left, right, args) do not
// own. A node's data is the field name or function name as written, or a
// constant's value: null, a truth value, or text (every literal of a filter
// text stays text until the buffer is written, where it is converted to the
// type the node carries by then).
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "dataset/expr/expr_codes.h"
#include "dataset/filter/field_lookup.h"

namespace dorvem {

// A constant's value: std::monostate is null.
using ExprValue = std::variant<std::monostate, bool, std::string>;

struct TExprNode {
  TExprNodeKind kind = TExprNodeKind::kConst;
  bool partial = false;  // compare only the constant's length (never set by the parser)
  TCANOperator op = TCANOperator::kNone;
  ExprValue data;
  TExprNode* left = nullptr;
  TExprNode* right = nullptr;  // unary operators use left only
  TFieldType dataType = ftUnknown;
  int dataSize = 0;              // the field's size; copied to constants compared with it
  std::vector<TExprNode*> args;  // IN list or function arguments
  TExprScopeKind scope = TExprScopeKind::kRecord;
  FilterField field;  // the field a field node refers to

  bool IsNull() const { return std::holds_alternative<std::monostate>(data); }
  const std::string& Text() const { return std::get<std::string>(data); }
};

}  // namespace dorvem
