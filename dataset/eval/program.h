// Program: an expression buffer compiled for one table, run once per record
// while a filtered index is built.
//
// A program is a list of instructions in execution order (operands before
// the operators that use them, the root's instruction last) and the
// operands they read. An operand is a field of the record being tested, a
// constant, or an earlier instruction's result; constants and results live
// in value areas allocated when the program is compiled, so running it
// allocates nothing (Like over a blob or a computed pattern aside).
//
// Running an instruction sets its result's null flag first: set when the
// left operand is null (except for And, Or and Not), or when the right one
// is (except for And, Or and Assign); IsNull is never null. The value is
// computed in every case, from whatever bytes a null operand holds. A
// record passes when the last result is a bool16 that is not null and not 0.
//
// The program owns its value areas, instructions and their helpers; it
// reads the table (which must outlive it) under the table's lock.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dataset/core/result_codes.h"
#include "dataset/eval/prefix_matcher.h"
#include "dataset/locale/collator.h"
#include "dataset/store/table.h"

namespace dorvem::eval {

class PrefixMatcher;
class LikePattern;
struct Value;

// Opcodes. The opcode of a comparison or arithmetic instruction is chosen
// by its instruction class and its left operand's logical type; the result
// type follows from the allowed (left, right) pairs.
enum class Opcode : std::uint8_t {
  // --- Comparisons: bool16, 1 when `relation` holds ---------------------
  kCmpString,        // by the table's collation, with the partial, fixed-length and
                     // case rules; a comparison that fails counts as "less"
  kCmpStringPrefix,  // = or <> of a string field's first N characters with a constant of
                     // N characters, by a PrefixMatcher (same answers as kCmpString)
  kCmpInt16,         // signed 16-bit values
  kCmpInt32,         // signed 32-bit values (dates are day numbers)
  kCmpUInt32,        // unsigned 32-bit values (times)
  kCmpFloat64,       // 64-bit floats (and date-times); = within 1e-15, <> when not identical
  kCmpSqlTimeStamp,  // year, month, day, hour, minute, second, fraction in turn
  kCmpBytes,         // bytes, then the shorter first
  kCmpBool,          // truth values (0 false, else true)
  kCmpStringBool,    // a string (true when it is "TRUE" ignoring case) with a bool16
  kCmpBoolString,    // a bool16 with a string
  // --- Pattern matching: bool16 -----------------------------------------
  kLikeString,  // a string against a pattern: % any run, _ one character, \ escapes
  kLikeBlob,    // a blob's bytes against a pattern
  kLikeText,    // a 64-bit integer's decimal text (or other bytes as text) against a pattern
  // --- Logic: bool16 ----------------------------------------------------
  kAnd,        // both values nonzero; null flags ignored
  kOr,         // either value nonzero; null flags ignored
  kNot,        // the value is 0; its null flag ignored
  kIsNull,     // the operand's null flag is set; never null
  kIsNotNull,  // the operand's null flag is clear
  kIn,         // any of the list's equality results is 1 and not null
  // --- Conversions ------------------------------------------------------
  kToFloat64,           // int16, int32, int64, bcd or fmtbcd to float64
  kDateToTimeStamp,     // day number to milliseconds (date-time)
  kDateToSqlTimeStamp,  // day number to an SQL time stamp at midnight
  kTimeStampToTime,     // date-time to its milliseconds since midnight
  // --- Arithmetic -------------------------------------------------------
  kAddFloat,  // float64 + float64
  kSubFloat,  // float64 - float64
  kMulFloat,  // float64 * float64
  kDivFloat,  // float64 / float64; null when dividing by 0
  kConcat,    // string + string
  kAddDays,   // date, time, date-time or time stamp + days: a date-time
  kSubDays,   // date, time or date-time - days: the same type
  kDiffDays,  // date-time - date-time: days as float64
  kAssign,    // the left value
  kFunction,  // a function (FunctionId) of the list's operands
};

enum class Relation : std::uint8_t {
  kEqual,
  kNotEqual,
  kGreater,
  kLess,
  kGreaterOrEqual,
  kLessOrEqual
};

enum class FunctionId : std::uint8_t {
  kUpper,      // the string upper-cased by the table's locale
  kLower,      // the string lower-cased by the table's locale
  kSubstring,  // SUBSTRING(s, from [, count]): 1-based, count characters or to the end
  kTrim,       // blanks removed at both ends
  kTrimLeft,   // blanks removed at the start
  kTrimRight,  // blanks removed at the end
  kYear,       // parts of a date, time, date-time or time stamp, as int32
  kMonth,
  kDay,
  kHour,
  kMinute,
  kSecond,
  kDate,     // the date part (a date)
  kTime,     // the time part (a time)
  kGetDate,  // the current date and time (a date-time)
};

// An operand: a field of the tested record (fieldId != 0), or a value area.
struct Operand {
  std::uint32_t fieldId = 0;
  const std::uint8_t* value = nullptr;  // constants and results
  const std::uint8_t* null = nullptr;   // their null flag; null: cannot be null
  std::uint32_t size = 0;               // bytes of the value
  std::uint32_t type = 0;               // logical type as evaluated
  bool constant = false;                // a constant of the buffer
};

struct Instruction {
  Opcode op = Opcode::kAssign;
  Relation relation = Relation::kEqual;
  FunctionId function = FunctionId::kUpper;
  Operand left;
  Operand right;
  bool hasRight = false;
  std::uint8_t* result = nullptr;      // the result's value area
  std::uint8_t* resultNull = nullptr;  // followed by its null flag
  std::uint32_t resultSize = 0;
  std::uint32_t resultType = 0;
  std::uint32_t leftFieldId = 0;
  // String comparisons.
  std::uint16_t partial = 0;
  std::uint32_t caseFlag = 0;
  std::uint32_t leftIsField = 0;
  bool fixedChar = false;  // the left field is a fixed-width string
  const locale::Collator* collator = nullptr;
  std::shared_ptr<PrefixMatcher> prefix;
  std::shared_ptr<LikePattern> like;  // a constant pattern, prepared once
  std::vector<Operand> list;          // In: equality results; Function: arguments
  // UPPER and LOWER: the table's byte mapping (locale_services.h).
  const locale::CaseTable* caseTable = nullptr;
};

// The fast path of the search filter: a program that is one prefix
// comparison (= or <>) of a string field with a constant, answered from the
// field's null flag and its PrefixMatcher alone. The compiler decides when
// a program is one (Program::SolePrefixTest); the program and the filter
// list both answer it here.
struct PrefixTest {
  PrefixMatcher* matcher = nullptr;
  std::uint32_t fieldId = 0;
  bool equal = true;  // passes when equal (=), else when unequal (<>)

  // A null field fails; nothing else of the record is read.
  bool Passes(const DSBASE& table, std::uint32_t record) const {
    if (table.NullFlag(record, fieldId) != 0) return false;
    return matcher->Equal(reinterpret_cast<const char*>(table.ValuePtr(record, fieldId))) == equal;
  }
};

class Program {
 public:
  // Compiles `size` bytes of an expression buffer for `table`. kOk, or the
  // status that refuses it: kTypeMismatch for a combination of types
  // without an entry, kObjectNotFound for an unknown field or function,
  // kNotApplicable for aggregates, kInvalidParameter for a malformed
  // buffer, kOutOfMemory.
  static DBResult Compile(const std::uint8_t* buffer, std::size_t size, const DSBASE& table,
                          std::unique_ptr<Program>* out);

  // Runs the program over record `record` (1-based); true when it passes.
  bool Passes(std::uint32_t record);

  const std::vector<Instruction>& Instructions() const { return code_; }
  // When the whole program is one prefix comparison of a field (every
  // search filter): the test that answers it. Else null.
  const PrefixTest* SolePrefixTest() const { return prefix_.matcher ? &prefix_ : nullptr; }

 private:
  friend class Compiler;
  Program() = default;
  void Run(Instruction& in, std::uint32_t record);
  bool RunLike(Instruction& in, const Value& left, const Value& right, std::uint32_t record);

  const DSBASE* table_ = nullptr;
  std::vector<Instruction> code_;
  // Set when the program is one prefix comparison of a field (the search
  // filter): Passes answers it without running the general loop.
  PrefixTest prefix_;
  Operand root_;  // the last result (or a lone operand when there is no instruction)
  std::vector<std::unique_ptr<std::uint8_t[]>> areas_;
  std::vector<std::uint8_t> blobScratch_;  // a blob's bytes for Like, reused
};

}  // namespace dorvem::eval
