// Compiler: turns an expression buffer into a Program for one table
// (engine-internal; Program::Compile is the entry point).
//
// The tree under node offset 0 is compiled in post-order: a node's operands
// first, then its own instruction, so the root's instruction comes last.
// A node's operator code decides its role (13 field, 14 constant, 1, 2 and
// 9 one-operand operators, 3 to 8, 10, 11, 16 to 19, 30 and 37 two-operand
// operators, 31 In, 35 function); a Compare node (class 3) supplies the case
// flag, the partial length and its operands [2] and [3]. Conversions to a
// common type are inserted before an operator whose operands need them.
//
// Every read of the buffer is checked; a buffer that refers outside itself,
// nests deeper than any parsed filter, or visits more nodes than it can hold
// (shared or cyclic references) is refused. The compiler writes into the
// program it is given and owns nothing.
#pragma once

#include <cstdint>
#include <string_view>

#include "dataset/eval/expr_buffer.h"
#include "dataset/eval/program.h"

namespace dorvem::eval {

class Compiler {
 public:
  Compiler(const DSBASE& table, Program& program, const ExprBufferView& view)
      : table_(table), program_(program), view_(view) {}

  // Compiles the whole tree; the program's root operand is set on success.
  DBResult Run();

 private:
  DBResult Node(std::uint16_t offset, Operand* out);
  DBResult Field(const BufferNode& node, Operand* out);
  DBResult Constant(const BufferNode& node, Operand* out);
  DBResult Unary(const BufferNode& node, Operand* out);
  DBResult Binary(const BufferNode& node, Operand* out);
  DBResult In(const BufferNode& node, Operand* out);
  DBResult Function(const BufferNode& node, Operand* out);
  // The value nodes of a ListElement chain starting at `first`.
  DBResult List(std::uint16_t first, std::vector<Operand>* out);

  // compiler_ops.cpp: instructions over compiled operands.
  DBResult Comparison(TCANOperator op, Operand left, Operand right, std::uint32_t caseFlag,
                      std::uint16_t partial, bool leftIsField, Operand* out);
  DBResult Like(Operand left, Operand right, std::uint32_t caseFlag, Operand* out);
  DBResult Logic(TCANOperator op, Operand left, Operand right, Operand* out);
  DBResult Arithmetic(TCANOperator op, Operand left, Operand right, Operand* out);
  DBResult Call(FunctionId id, std::vector<Operand> args, Operand* out);
  // Brings two operands to a common type where the conversion rules say so.
  void Convert(Operand* left, Operand* right);
  Operand Converted(Opcode op, const Operand& from, std::uint32_t type, std::uint32_t size);

  // Appends an instruction with a fresh result area; returns its operand.
  Operand Emit(Instruction in, std::uint32_t resultType, std::uint32_t resultSize);
  std::uint8_t* Area(std::size_t size);
  const locale::Collator* CollatorFor(std::uint32_t caseFlag) const;

  const DSBASE& table_;
  Program& program_;
  const ExprBufferView& view_;
  int depth_ = 0;
  std::size_t visits_ = 0;
};

// Logical types as the engine evaluates them.
bool IsNumericType(std::uint32_t type);
bool IsTemporalType(std::uint32_t type);
// Bytes a value of a fixed-size type takes (0 for strings, bytes, blobs...).
std::uint32_t FixedValueSize(std::uint32_t type);

}  // namespace dorvem::eval
