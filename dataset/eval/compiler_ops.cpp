// Choosing instructions: conversions to a common type, the allowed pairs of
// each instruction class, and the opcode by the left operand's type.
#include <cstring>

#include "dataset/eval/compiler.h"
#include "dataset/eval/like_pattern.h"
#include "dataset/eval/prefix_matcher.h"
#include "dataset/packet/packet_format.h"
#include "dataset/store/logical_types.h"
#include "dataset/store/table.h"

namespace dorvem::eval {
namespace {

Relation RelationOf(TCANOperator op) {
  switch (op) {
    case TCANOperator::kNotEqual:
      return Relation::kNotEqual;
    case TCANOperator::kGreater:
      return Relation::kGreater;
    case TCANOperator::kLess:
      return Relation::kLess;
    case TCANOperator::kGreaterOrEqual:
      return Relation::kGreaterOrEqual;
    case TCANOperator::kLessOrEqual:
      return Relation::kLessOrEqual;
    default:
      return Relation::kEqual;
  }
}

// The opcode of a comparison of a `left` with a `right` value, or false when
// the pair is not allowed.
bool ComparisonOpcode(std::uint32_t left, std::uint32_t right, bool equality, Opcode* op) {
  if (left == kLtString && right == kLtBool16 && equality)
    return *op = Opcode::kCmpStringBool, true;
  if (left == kLtBool16 && right == kLtString && equality)
    return *op = Opcode::kCmpBoolString, true;
  if (left != right) return false;
  switch (left) {
    case kLtString:
      *op = Opcode::kCmpString;
      return true;
    case kLtDate:
    case kLtInt32:
      *op = Opcode::kCmpInt32;
      return true;
    case kLtBool16:
      *op = Opcode::kCmpBool;
      return true;
    case kLtInt16:
      *op = Opcode::kCmpInt16;
      return true;
    case kLtFloat64:
    case kLtTimeStamp:
      *op = Opcode::kCmpFloat64;
      return true;
    case kLtTime:
      *op = Opcode::kCmpUInt32;
      return true;
    case kLtSqlTimeStamp:
      *op = Opcode::kCmpSqlTimeStamp;
      return true;
    case kLtBytes:
      *op = Opcode::kCmpBytes;
      return equality;
    default:
      return false;
  }
}

bool IsBcd(std::uint32_t t) {
  return t == kLtBcd || t == kLtFmtBcd;
}

}  // namespace

Operand Compiler::Converted(Opcode op, const Operand& from, std::uint32_t type,
                            std::uint32_t size) {
  Instruction in;
  in.op = op;
  in.left = from;
  in.leftFieldId = from.fieldId;
  return Emit(std::move(in), type, size);
}

void Compiler::Convert(Operand* a, Operand* b) {
  if (IsNumericType(a->type) && IsNumericType(b->type) &&
      (a->type != b->type || IsBcd(a->type) || IsBcd(b->type))) {
    if (a->type != kLtFloat64) *a = Converted(Opcode::kToFloat64, *a, kLtFloat64, 8);
    if (b->type != kLtFloat64) *b = Converted(Opcode::kToFloat64, *b, kLtFloat64, 8);
    return;
  }
  auto pair = [&](std::uint32_t x, std::uint32_t y) {
    return (a->type == x && b->type == y) || (a->type == y && b->type == x);
  };
  Operand* date = a->type == kLtDate ? a : b;
  if (pair(kLtDate, kLtTimeStamp)) {
    *date = Converted(Opcode::kDateToTimeStamp, *date, kLtTimeStamp, 8);
  } else if (pair(kLtDate, kLtSqlTimeStamp)) {
    *date = Converted(Opcode::kDateToSqlTimeStamp, *date, kLtSqlTimeStamp, 16);
  } else if (pair(kLtTimeStamp, kLtTime)) {
    Operand* stamp = a->type == kLtTimeStamp ? a : b;
    *stamp = Converted(Opcode::kTimeStampToTime, *stamp, kLtTime, 4);
  }
}

DBResult Compiler::Comparison(TCANOperator op, Operand left, Operand right, std::uint32_t caseFlag,
                              std::uint16_t partial, bool leftIsField, Operand* out) {
  const Relation relation = RelationOf(op);
  const bool equality = relation == Relation::kEqual || relation == Relation::kNotEqual;
  Convert(&left, &right);
  if (left.size == 0 && left.value == nullptr && left.fieldId == 0) return dbr::kOutOfMemory;
  if (right.size == 0 && right.value == nullptr && right.fieldId == 0) return dbr::kOutOfMemory;
  Instruction in;
  if (!ComparisonOpcode(left.type, right.type, equality, &in.op)) return dbr::kTypeMismatch;
  in.relation = relation;
  in.left = left;
  in.right = right;
  in.hasRight = true;
  in.leftFieldId = left.fieldId;
  in.caseFlag = caseFlag;
  in.partial = partial;
  in.leftIsField = leftIsField ? 1 : 0;
  if (in.op == Opcode::kCmpString) {
    in.collator = CollatorFor(equality ? caseFlag : 0);
    in.fixedChar =
        left.fieldId != 0 && table_.Field(left.fieldId).subtype == packet::kSubtypeFixedChar;
    // A field's first N characters against a constant of N characters.
    if (equality && partial > 0 && leftIsField && left.fieldId != 0 && right.constant &&
        *right.null == 0 &&
        strnlen(reinterpret_cast<const char*>(right.value), right.size) == partial) {
      in.op = Opcode::kCmpStringPrefix;
      in.prefix = std::make_shared<PrefixMatcher>(
          in.collator, std::string_view(reinterpret_cast<const char*>(right.value), partial));
    }
  }
  *out = Emit(std::move(in), kLtBool16, 2);
  return out->value ? dbr::kOk : dbr::kOutOfMemory;
}

DBResult Compiler::Like(Operand left, Operand right, std::uint32_t caseFlag, Operand* out) {
  Instruction in;
  if (right.type != kLtString) return dbr::kTypeMismatch;
  if (left.type == kLtString)
    in.op = Opcode::kLikeString;
  else if (left.type == kLtBlob)
    in.op = Opcode::kLikeBlob;
  else if (left.type == 17 || left.type == kLtInt64)
    in.op = Opcode::kLikeText;
  else
    return dbr::kTypeMismatch;
  in.left = left;
  in.right = right;
  in.hasRight = true;
  in.leftFieldId = left.fieldId;
  in.caseFlag = caseFlag;
  in.leftIsField = left.fieldId != 0;
  in.collator = CollatorFor(caseFlag);
  if (right.constant)
    in.like = std::make_shared<LikePattern>(
        in.collator,
        std::string_view(reinterpret_cast<const char*>(right.value),
                         strnlen(reinterpret_cast<const char*>(right.value), right.size)));
  *out = Emit(std::move(in), kLtBool16, 2);
  return out->value ? dbr::kOk : dbr::kOutOfMemory;
}

DBResult Compiler::Logic(TCANOperator op, Operand left, Operand right, Operand* out) {
  if (left.type != kLtBool16 || right.type != kLtBool16) return dbr::kTypeMismatch;
  Instruction in;
  in.op = op == TCANOperator::kAnd ? Opcode::kAnd : Opcode::kOr;
  in.left = left;
  in.right = right;
  in.hasRight = true;
  in.leftFieldId = left.fieldId;
  *out = Emit(std::move(in), kLtBool16, 2);
  return out->value ? dbr::kOk : dbr::kOutOfMemory;
}

DBResult Compiler::Arithmetic(TCANOperator op, Operand left, Operand right, Operand* out) {
  Instruction in;
  std::uint32_t type = kLtFloat64, size = 8;
  const bool add = op == TCANOperator::kAdd, subtract = op == TCANOperator::kSubtract;
  auto toFloat = [&](Operand* o) {
    if (o->type != kLtFloat64) *o = Converted(Opcode::kToFloat64, *o, kLtFloat64, 8);
  };
  if (IsNumericType(left.type) && IsNumericType(right.type)) {
    toFloat(&left);
    toFloat(&right);
    in.op = add                             ? Opcode::kAddFloat
            : subtract                      ? Opcode::kSubFloat
            : op == TCANOperator::kMultiply ? Opcode::kMulFloat
                                            : Opcode::kDivFloat;
  } else if (add && left.type == kLtString && right.type == kLtString) {
    in.op = Opcode::kConcat;
    type = kLtString;
    size = left.size + right.size;
  } else if (add && IsTemporalType(right.type) && IsNumericType(left.type)) {
    std::swap(left, right);
    toFloat(&right);
    in.op = Opcode::kAddDays;
    type = kLtTimeStamp;
  } else if (add && IsTemporalType(left.type) && IsNumericType(right.type)) {
    toFloat(&right);
    in.op = Opcode::kAddDays;
    type = kLtTimeStamp;
  } else if (subtract && IsTemporalType(left.type) && IsNumericType(right.type)) {
    toFloat(&right);
    in.op = Opcode::kSubDays;
    type = left.type;
    size = FixedValueSize(left.type);
  } else if (subtract && IsTemporalType(left.type) && IsTemporalType(right.type)) {
    in.op = Opcode::kDiffDays;
  } else {
    return dbr::kTypeMismatch;
  }
  if (left.value == nullptr && left.fieldId == 0) return dbr::kOutOfMemory;
  if (right.value == nullptr && right.fieldId == 0) return dbr::kOutOfMemory;
  in.left = left;
  in.right = right;
  in.hasRight = true;
  in.leftFieldId = left.fieldId;
  *out = Emit(std::move(in), type, size);
  return out->value ? dbr::kOk : dbr::kOutOfMemory;
}

DBResult Compiler::Call(FunctionId id, std::vector<Operand> args, Operand* out) {
  Instruction in;
  in.op = Opcode::kFunction;
  in.function = id;
  std::uint32_t type = kLtString, size = 0;
  auto textArg = [&]() { return args.size() >= 1 && args[0].type == kLtString; };
  auto timeArg = [&]() {
    return args.size() == 1 && (IsTemporalType(args[0].type) || args[0].type == kLtString);
  };
  switch (id) {
    case FunctionId::kUpper:
    case FunctionId::kLower:
    case FunctionId::kTrim:
    case FunctionId::kTrimLeft:
    case FunctionId::kTrimRight:
      if (args.size() != 1 || !textArg()) return dbr::kTypeMismatch;
      size = args[0].size;
      // UPPER and LOWER map the table's text by the table's locale.
      if (id == FunctionId::kUpper) in.caseTable = &locale::UpperCaseTable(table_.Lcid());
      if (id == FunctionId::kLower) in.caseTable = &locale::LowerCaseTable(table_.Lcid());
      break;
    case FunctionId::kSubstring:
      if (args.size() < 2 || args.size() > 3 || !textArg()) return dbr::kTypeMismatch;
      for (std::size_t i = 1; i < args.size(); ++i) {
        if (!IsNumericType(args[i].type)) return dbr::kTypeMismatch;
        if (args[i].type != kLtFloat64)
          args[i] = Converted(Opcode::kToFloat64, args[i], kLtFloat64, 8);
        if (args[i].value == nullptr && args[i].fieldId == 0) return dbr::kOutOfMemory;
      }
      size = args[0].size;
      break;
    case FunctionId::kYear:
    case FunctionId::kMonth:
    case FunctionId::kDay:
    case FunctionId::kHour:
    case FunctionId::kMinute:
    case FunctionId::kSecond:
      if (!timeArg()) return dbr::kTypeMismatch;
      type = kLtInt32;
      size = 4;
      break;
    case FunctionId::kDate:
      if (!timeArg()) return dbr::kTypeMismatch;
      type = kLtDate;
      size = 4;
      break;
    case FunctionId::kTime:
      if (!timeArg()) return dbr::kTypeMismatch;
      type = kLtTime;
      size = 4;
      break;
    case FunctionId::kGetDate:
      if (!args.empty()) return dbr::kTypeMismatch;
      type = kLtTimeStamp;
      size = 8;
      break;
  }
  if (!args.empty()) {
    in.left = args[0];
    in.leftFieldId = args[0].fieldId;
  }
  in.list = std::move(args);
  *out = Emit(std::move(in), type, std::max<std::uint32_t>(size, 1));
  return out->value ? dbr::kOk : dbr::kOutOfMemory;
}

}  // namespace dorvem::eval
