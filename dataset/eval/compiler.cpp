// Walking the buffer: nodes, fields, constants and lists.
#include "dataset/eval/compiler.h"

#include <cstring>
#include <new>
#include <string>

#include "dataset/locale/locale_services.h"
#include "dataset/packet/packet_format.h"
#include "dataset/store/logical_types.h"
#include "dataset/store/table.h"

namespace dorvem::eval {
namespace {

// Deeper than any tree the parser writes.
constexpr int kMaxDepth = 1100;

// Leaves the depth count when a node is done.
class DepthScope {
 public:
  explicit DepthScope(int* depth) : depth_(depth) { ++*depth_; }
  ~DepthScope() { --*depth_; }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;

 private:
  int* depth_;
};

bool SameName(std::string_view a, std::string_view b) {
  return locale::lstrcmpiA(std::string(a).c_str(), std::string(b).c_str()) == 0;
}

// A table field by name, ignoring case; "A.B" is field B of structure A.
const DSFLDDesc* FindField(const DSBASE& table, std::string_view name) {
  std::uint16_t parent = 0;
  const DSFLDDesc* found = nullptr;
  for (;;) {
    const std::size_t dot = name.find('.');
    const std::string_view part = name.substr(0, dot);
    found = nullptr;
    for (const DSFLDDesc& d : table.Fields()) {
      if (d.parentId == parent && SameName(d.name, part)) {
        found = &d;
        break;
      }
    }
    if (found == nullptr || dot == std::string_view::npos) return found;
    parent = found->fieldId;
    name = name.substr(dot + 1);
  }
}

}  // namespace

bool IsNumericType(std::uint32_t t) {
  switch (t) {
    case kLtInt16:
    case kLtInt32:
    case kLtFloat64:
    case kLtBcd:
    case kLtUInt16:
    case kLtUInt32:
    case kLtInt64:
    case kLtUInt64:
    case kLtFmtBcd:
    case kLtInt8:
    case kLtUInt8:
      return true;
    default:
      return false;
  }
}

bool IsTemporalType(std::uint32_t t) {
  return t == kLtDate || t == kLtTime || t == kLtTimeStamp || t == kLtSqlTimeStamp;
}

std::uint32_t FixedValueSize(std::uint32_t t) {
  // The stored sizes, but nested tables and 80-bit floats have no value a
  // filter can hold.
  if (t == kLtNestedTable || t == kLtFloat80) return 0;
  return FixedRecordLength(static_cast<LogicalType>(t));
}

std::uint8_t* Compiler::Area(std::size_t size) {
  // Every area ends in a zero byte and is followed by a null flag, so that a
  // string in it is always terminated.
  auto area = std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size + 2]());
  if (!area) return nullptr;
  program_.areas_.push_back(std::move(area));
  return program_.areas_.back().get();
}

DBResult Compiler::Run() {
  Operand root;
  if (DBResult r = Node(0, &root)) return r;
  program_.root_ = root;
  if (program_.code_.size() == 1 && program_.code_[0].op == Opcode::kCmpStringPrefix) {
    const Instruction& test = program_.code_[0];
    program_.prefix_ = {test.prefix.get(), test.left.fieldId, test.relation == Relation::kEqual};
  }
  return dbr::kOk;
}

DBResult Compiler::Node(std::uint16_t offset, Operand* out) {
  const DepthScope scope(&depth_);
  if (depth_ > kMaxDepth || ++visits_ > view_.MaxNodes()) return dbr::kInvalidParameter;
  BufferNode node;
  if (!view_.Node(offset, &node)) return dbr::kInvalidParameter;
  switch (node.rawOp) {
    case 13:
      return node.cls == NodeClass::kField ? Field(node, out) : dbr::kInvalidParameter;
    case 14:
      return node.cls == NodeClass::kConst ? Constant(node, out) : dbr::kInvalidParameter;
    case 1:
    case 2:
    case 9:
      return node.cls == NodeClass::kUnary ? Unary(node, out) : dbr::kInvalidParameter;
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 10:
    case 11:
    case 16:
    case 17:
    case 18:
    case 19:
    case 30:
    case 37:
      return node.cls == NodeClass::kBinary || node.cls == NodeClass::kCompare
                 ? Binary(node, out)
                 : dbr::kInvalidParameter;
    case 31:
      return node.cls == NodeClass::kBinary ? In(node, out) : dbr::kInvalidParameter;
    case 35:
      return node.cls == NodeClass::kFunc ? Function(node, out) : dbr::kInvalidParameter;
    default:
      return dbr::kInvalidParameter;
  }
}

DBResult Compiler::Field(const BufferNode& node, Operand* out) {
  std::string_view name;
  if (!view_.Text(node.operands[1], &name)) return dbr::kInvalidParameter;
  const DSFLDDesc* d = FindField(table_, name);
  if (d == nullptr) return dbr::kObjectNotFound;
  out->fieldId = d->fieldId;
  out->size = d->recordLength;
  // Unsigned 32- and 16-bit fields are read as their signed kinds.
  out->type = d->logicalType == kLtUInt32   ? kLtInt32
              : d->logicalType == kLtUInt16 ? kLtInt16
                                            : d->logicalType;
  return dbr::kOk;
}

DBResult Compiler::Constant(const BufferNode& node, Operand* out) {
  const std::uint16_t type = node.operands[0], size = node.operands[1];
  const std::uint8_t* bytes = nullptr;
  if (!view_.Bytes(node.operands[2], size, &bytes)) return dbr::kInvalidParameter;
  const std::uint32_t fixed = FixedValueSize(type);
  if (size != 0 && fixed != 0 && size != fixed) return dbr::kInvalidParameter;
  // A value of a fixed type is read whole even when the constant is null.
  std::uint8_t* area = Area(std::max<std::size_t>(size, fixed) + 1);
  if (area == nullptr) return dbr::kOutOfMemory;
  if (size) std::memcpy(area, bytes, size);
  std::uint8_t* null = area + std::max<std::size_t>(size, fixed) + 1;
  *null = size == 0 ? 1 : 0;
  out->fieldId = 0;
  out->value = area;
  out->null = null;
  out->size = std::max<std::uint32_t>(size, fixed);
  out->type = type;
  out->constant = true;
  return dbr::kOk;
}

DBResult Compiler::Unary(const BufferNode& node, Operand* out) {
  Operand operand;
  if (DBResult r = Node(node.operands[0], &operand)) return r;
  Instruction in;
  in.left = operand;
  in.leftFieldId = operand.fieldId;
  switch (node.rawOp) {
    case 1:
      in.op = Opcode::kIsNull;
      break;
    case 2:
      in.op = Opcode::kIsNotNull;
      break;
    default:
      if (operand.type != kLtBool16) return dbr::kTypeMismatch;
      in.op = Opcode::kNot;
      break;
  }
  *out = Emit(std::move(in), kLtBool16, 2);
  return out->value ? dbr::kOk : dbr::kOutOfMemory;
}

DBResult Compiler::Binary(const BufferNode& node, Operand* out) {
  const bool compare = node.cls == NodeClass::kCompare;
  const std::uint16_t leftNode = compare ? node.operands[2] : node.operands[0];
  const std::uint16_t rightNode = compare ? node.operands[3] : node.operands[1];
  BufferNode leftHead;
  if (!view_.Node(leftNode, &leftHead)) return dbr::kInvalidParameter;
  const bool leftIsField = leftHead.rawOp == 13;
  Operand left, right;
  if (DBResult r = Node(leftNode, &left)) return r;
  if (DBResult r = Node(rightNode, &right)) return r;
  const std::uint32_t caseFlag = compare ? node.operands[0] : 0;
  const std::uint16_t partial = compare ? node.operands[1] : 0;
  switch (node.rawOp) {
    case 10:
    case 11:
      return Logic(node.op, left, right, out);
    case 16:
    case 17:
    case 18:
    case 19:
      return Arithmetic(node.op, left, right, out);
    case 30:
      return Like(left, right, caseFlag, out);
    case 37: {
      Instruction in;
      in.op = Opcode::kAssign;
      in.left = left;
      in.right = right;
      in.hasRight = true;
      in.leftFieldId = left.fieldId;
      *out = Emit(std::move(in), left.type, left.size);
      return out->value ? dbr::kOk : dbr::kOutOfMemory;
    }
    default:
      return Comparison(node.op, left, right, caseFlag, partial, leftIsField, out);
  }
}

DBResult Compiler::List(std::uint16_t first, std::vector<Operand>* out) {
  std::uint16_t element = first;
  do {
    BufferNode node;
    if (++visits_ > view_.MaxNodes() || !view_.Node(element, &node) ||
        node.cls != NodeClass::kListElem)
      return dbr::kInvalidParameter;
    Operand value;
    if (DBResult r = Node(node.operands[0], &value)) return r;
    out->push_back(value);
    element = node.operands[1];
  } while (element != 0);
  return dbr::kOk;
}

DBResult Compiler::In(const BufferNode& node, Operand* out) {
  Operand tested;
  if (DBResult r = Node(node.operands[0], &tested)) return r;
  std::vector<Operand> values;
  if (DBResult r = List(node.operands[1], &values)) return r;
  Instruction in;
  in.op = Opcode::kIn;
  in.left = tested;
  in.leftFieldId = tested.fieldId;
  for (const Operand& value : values) {
    Operand equal;
    if (DBResult r =
            Comparison(TCANOperator::kEqual, tested, value, 0, 0, tested.fieldId != 0, &equal))
      return r;
    in.list.push_back(equal);
  }
  *out = Emit(std::move(in), kLtBool16, 2);
  return out->value ? dbr::kOk : dbr::kOutOfMemory;
}

DBResult Compiler::Function(const BufferNode& node, Operand* out) {
  std::string_view name;
  if (!view_.Text(node.operands[0], &name)) return dbr::kInvalidParameter;
  std::vector<Operand> args;
  if (node.operands[1] != 0)
    if (DBResult r = List(node.operands[1], &args)) return r;
  static constexpr struct {
    const char* name;
    FunctionId id;
  } kFunctions[] = {
      {"UPPER", FunctionId::kUpper},
      {"LOWER", FunctionId::kLower},
      {"SUBSTRING", FunctionId::kSubstring},
      {"TRIM", FunctionId::kTrim},
      {"TRIMLEFT", FunctionId::kTrimLeft},
      {"TRIMRIGHT", FunctionId::kTrimRight},
      {"YEAR", FunctionId::kYear},
      {"MONTH", FunctionId::kMonth},
      {"DAY", FunctionId::kDay},
      {"HOUR", FunctionId::kHour},
      {"MINUTE", FunctionId::kMinute},
      {"SECOND", FunctionId::kSecond},
      {"DATE", FunctionId::kDate},
      {"TIME", FunctionId::kTime},
      {"GETDATE", FunctionId::kGetDate},
  };
  for (const auto& f : kFunctions)
    if (SameName(name, f.name)) return Call(f.id, std::move(args), out);
  for (const char* aggregate : {"SUM", "MIN", "MAX", "AVG", "COUNT", "COUNT(*)"})
    if (SameName(name, aggregate)) return dbr::kNotApplicable;
  return dbr::kObjectNotFound;
}

Operand Compiler::Emit(Instruction in, std::uint32_t resultType, std::uint32_t resultSize) {
  Operand result;
  std::uint8_t* area = Area(resultSize);
  if (area == nullptr) return result;
  in.result = area;
  in.resultNull = area + resultSize + 1;
  in.resultSize = resultSize;
  in.resultType = resultType;
  result.value = area;
  result.null = in.resultNull;
  result.size = resultSize;
  result.type = resultType;
  try {
    program_.code_.push_back(std::move(in));
  } catch (const std::bad_alloc&) {
    return Operand{};
  }
  return result;
}

const locale::Collator* Compiler::CollatorFor(std::uint32_t caseFlag) const {
  return locale::Collator::For(table_.Lcid(), caseFlag ? locale::kIgnoreCase : 0);
}

DBResult Program::Compile(const std::uint8_t* buffer, std::size_t size, const DSBASE& table,
                          std::unique_ptr<Program>* out) {
  ExprBufferView view;
  if (!view.Open(buffer, size)) return dbr::kInvalidParameter;
  std::unique_ptr<Program> program(new (std::nothrow) Program());
  if (!program) return dbr::kOutOfMemory;
  program->table_ = &table;
  Compiler compiler(table, *program, view);
  try {
    if (DBResult r = compiler.Run()) return r;
  } catch (const std::bad_alloc&) {
    return dbr::kOutOfMemory;
  }
  *out = std::move(program);
  return dbr::kOk;
}

}  // namespace dorvem::eval
