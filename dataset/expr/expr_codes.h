// The vocabulary shared by the filter parser (dataset/filter) and the filter
// engine (dataset/eval): filter and parser options, the kinds and scopes of
// parse-tree nodes, the node classes and operator codes of an expression
// buffer, and the buffer's header layout.
//
// An expression buffer is the self-contained byte block in which a parsed
// filter travels from the host to the engine. All integers in it are
// little-endian:
//
//   offset 0  u16  format version (kExprBufferVersion)
//          2  u16  total size of the buffer in bytes
//          4  u16  node count, always 0xFFFF (not given)
//          6  u16  start of the node area (always kExprHeaderSize)
//          8  u16  start of the literal area (= 10 + size of the node area)
//
// A node is a u32 node class, a u32 operator code and its operands as u16
// words, so a node takes 8 + 2 x (operand count) bytes. A node reference is
// the byte offset of the referenced node from the start of the node area; a
// literal reference is a byte offset from the start of the literal area. The
// root node is always at node offset 0.
#pragma once

#include <cstdint>

namespace dorvem {

// --- Options -----------------------------------------------------------------

// FilterOptions of a dataset: a set stored in one byte.
using TFilterOptions = std::uint8_t;
inline constexpr TFilterOptions foCaseInsensitive = 1;   // = and <> and LIKE ignore case
inline constexpr TFilterOptions foNoPartialCompare = 2;  // a trailing * is an ordinary character

// Options of one parse (a byte of bits). Filters always pass kPoExtended.
using TParserOptions = std::uint8_t;
inline constexpr TParserOptions kPoExtended = 1;         // functions and + - * / accepted
inline constexpr TParserOptions kPoAggregate = 2;        // the result must be an aggregate
inline constexpr TParserOptions kPoDefaultExpr = 4;      // wrapped as Assign to the named field
inline constexpr TParserOptions kPoUseOrigNames = 8;     // match field origins before names
inline constexpr TParserOptions kPoFieldNameGiven = 16;  // every field is the named field
inline constexpr TParserOptions kPoFieldDepend = 32;     // record referenced field numbers

// --- Parse tree ----------------------------------------------------------------

// Kind of a TExprNode.
enum class TExprNodeKind : std::uint8_t {
  kField = 0,     // a field reference; data is the name as written
  kConst = 1,     // a constant; data is its value (null, a truth value or text)
  kOperator = 2,  // an operator over left (and right) or over the argument list
  kFunc = 3,      // a function call; data is the name as written
};

// Scope of a node's value.
enum class TExprScopeKind : std::uint8_t {
  kRecord = 0,     // varies from record to record
  kAggregate = 1,  // an aggregate over records
  kConst = 2,      // the same for every record
};

// --- Expression buffer ---------------------------------------------------------

inline constexpr std::uint16_t kExprBufferVersion = 2;
inline constexpr std::uint16_t kExprHeaderSize = 10;
inline constexpr std::uint16_t kExprNodeCountUnknown = 0xFFFF;
inline constexpr std::uint32_t kExprNodeHeaderSize = 8;

// Node classes, each with the operand words that follow its header.
enum class NodeClass : std::uint32_t {
  // [0] operand node. Operators IsNull, IsNotNull, Not.
  kUnary = 1,
  // [0] left node, [1] right node. Comparisons, And, Or, arithmetic, Like,
  // Assign; for In, [0] the tested node and [1] the first ListElement node.
  kBinary = 2,
  // [0] case flag (1 = ignore case, 0 = exact), [1] partial length (0 =
  // whole values, N = the first N characters), [2] Field node, [3] Constant
  // node. Operators Equal, NotEqual, Like against a string constant.
  kCompare = 3,
  // [0] 1-based field number, [1] literal offset of the field's name,
  // zero-terminated. Operator Field.
  kField = 4,
  // [0] logical type, [1] value size in bytes, [2] literal offset of the
  // value bytes. Operator Constant. A size of 0 is the null constant.
  kConst = 5,
  // [0] literal offset of the function's name, zero-terminated, as written;
  // [1] first ListElement node of the arguments, or 0 for none.
  kFunc = 10,
  // [0] value node, [1] next ListElement node, or 0 for the last.
  kListElem = 11,
};

// Number of operand words of a node class (0 for an unknown class).
constexpr int OperandCount(NodeClass c) {
  switch (c) {
    case NodeClass::kUnary:
      return 1;
    case NodeClass::kBinary:
    case NodeClass::kField:
    case NodeClass::kFunc:
    case NodeClass::kListElem:
      return 2;
    case NodeClass::kConst:
      return 3;
    case NodeClass::kCompare:
      return 4;
  }
  return 0;
}

// Operator codes, of tree nodes and of buffer nodes alike.
enum class TCANOperator : std::uint8_t {
  kNone = 0,
  kIsNull = 1,          // true when the operand is null; never null itself
  kIsNotNull = 2,       // true when the operand is not null
  kEqual = 3,           // =
  kNotEqual = 4,        // <>
  kGreater = 5,         // >
  kLess = 6,            // <
  kGreaterOrEqual = 7,  // >=
  kLessOrEqual = 8,     // <=
  kNot = 9,             // NOT, inverts its operand's value, ignoring its null flag
  kAnd = 10,            // AND, both operands always evaluated
  kOr = 11,             // OR, both operands always evaluated
  kField = 13,          // a field of the record being tested
  kConst = 14,          // a constant
  kAdd = 16,            // +
  kSubtract = 17,       // -
  kMultiply = 18,       // *
  kDivide = 19,         // /
  kLike = 30,           // LIKE: % any run, _ one character, \ escapes the next
  kIn = 31,             // IN (list): equal to one of the list's values
  kFunc = 35,           // a function call
  kListElem = 36,       // one element of an argument or IN list
  kAssign = 37,         // the left value assigned to the right field
};

constexpr bool IsRelational(TCANOperator op) {
  return op >= TCANOperator::kEqual && op <= TCANOperator::kLessOrEqual;
}

}  // namespace dorvem
