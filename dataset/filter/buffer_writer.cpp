#include "dataset/filter/buffer_writer.h"

#include <cstring>

#include "dataset/core/byte_layout.h"
#include "dataset/core/db_errors.h"
#include "dataset/core/message_format.h"
#include "dataset/filter/constant_encoder.h"
#include "dataset/filter/filter_expr.h"
#include "dataset/filter/filter_messages.h"

namespace dorvem::filter {
namespace {

constexpr std::size_t kMaxBufferSize = 0xFFFF;
// Deepest tree written; a chain of 1000 conditions is far beyond any filter.
constexpr int kMaxDepth = 1000;

// Counts the writer's recursion while a node is being written.
class DepthGuard {
 public:
  explicit DepthGuard(int* depth) : depth_(depth) {
    if (++*depth_ > kMaxDepth) {
      --*depth_;
      DatabaseError(msg::kExprIncorrect);
    }
  }
  ~DepthGuard() { --*depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int* depth_;
};

TCANOperator Mirrored(TCANOperator op) {
  switch (op) {
    case TCANOperator::kGreater:
      return TCANOperator::kLess;
    case TCANOperator::kLess:
      return TCANOperator::kGreater;
    case TCANOperator::kGreaterOrEqual:
      return TCANOperator::kLessOrEqual;
    case TCANOperator::kLessOrEqual:
      return TCANOperator::kGreaterOrEqual;
    default:
      return op;
  }
}

bool IsField(const TExprNode* n) {
  return n->kind == TExprNodeKind::kField;
}

}  // namespace

std::vector<std::uint8_t> BufferWriter::Write(TExprNode* root) {
  nodes_.clear();
  literals_.clear();
  depth_ = 0;
  PutNode(root, TCANOperator::kNone);
  const std::size_t total = kExprHeaderSize + nodes_.size() + literals_.size();
  std::vector<std::uint8_t> buffer(total);
  StoreU16(buffer.data(), kExprBufferVersion);
  StoreU16(buffer.data() + 2, static_cast<std::uint16_t>(total));
  StoreU16(buffer.data() + 4, kExprNodeCountUnknown);
  StoreU16(buffer.data() + 6, kExprHeaderSize);
  StoreU16(buffer.data() + 8, static_cast<std::uint16_t>(kExprHeaderSize + nodes_.size()));
  std::uint8_t* at = buffer.data() + kExprHeaderSize;
  if (!nodes_.empty()) std::memcpy(at, nodes_.data(), nodes_.size());
  if (!literals_.empty()) std::memcpy(at + nodes_.size(), literals_.data(), literals_.size());
  return buffer;
}

void BufferWriter::CheckRoom(std::size_t more) const {
  if (kExprHeaderSize + nodes_.size() + literals_.size() + more > kMaxBufferSize)
    DatabaseError(msg::kExprIncorrect);
}

std::uint16_t BufferWriter::Reserve(NodeClass cls, TCANOperator op) {
  const std::size_t size = kExprNodeHeaderSize + 2 * static_cast<std::size_t>(OperandCount(cls));
  CheckRoom(size);
  const auto offset = static_cast<std::uint16_t>(nodes_.size());
  nodes_.resize(nodes_.size() + size, 0);
  StoreU32(nodes_.data() + offset, static_cast<std::uint32_t>(cls));
  StoreU32(nodes_.data() + offset + 4, static_cast<std::uint32_t>(op));
  return offset;
}

void BufferWriter::SetOperand(std::uint16_t node, int index, std::uint16_t value) {
  StoreU16(nodes_.data() + node + kExprNodeHeaderSize + 2 * index, value);
}

std::uint16_t BufferWriter::PutLiteral(const std::uint8_t* bytes, std::size_t size) {
  CheckRoom(size);
  const auto offset = static_cast<std::uint16_t>(literals_.size());
  literals_.insert(literals_.end(), bytes, bytes + size);
  return offset;
}

std::uint16_t BufferWriter::PutName(std::string_view name) {
  CheckRoom(name.size() + 1);
  const auto offset = static_cast<std::uint16_t>(literals_.size());
  literals_.insert(literals_.end(), name.begin(), name.end());
  literals_.push_back(0);
  return offset;
}

std::uint16_t BufferWriter::PutNode(TExprNode* node, TCANOperator parent) {
  const DepthGuard guard(&depth_);
  switch (node->kind) {
    case TExprNodeKind::kField: {
      // A boolean field standing as a condition is tested as <> false.
      if (node->dataType == ftBoolean &&
          (parent == TCANOperator::kNone || parent == TCANOperator::kNot ||
           parent == TCANOperator::kAnd || parent == TCANOperator::kOr)) {
        const std::uint16_t n = Reserve(NodeClass::kBinary, TCANOperator::kNotEqual);
        SetOperand(n, 0, PutFieldNode(node));
        SetOperand(n, 1, PutConstNode(false, ftBoolean, 0));
        return n;
      }
      return PutFieldNode(node);
    }
    case TExprNodeKind::kConst:
      return PutConstNode(node->data, node->dataType, node->dataSize);
    case TExprNodeKind::kFunc: {
      const std::uint16_t n = Reserve(NodeClass::kFunc, TCANOperator::kFunc);
      SetOperand(n, 0, PutName(node->Text()));
      SetOperand(n, 1, PutList(node->args, TCANOperator::kFunc));
      return n;
    }
    case TExprNodeKind::kOperator:
      return PutOperator(node);
  }
  return 0;
}

std::uint16_t BufferWriter::PutFieldNode(const TExprNode* node) {
  const FilterField& field = node->field;
  if (field.kind != fkData && field.kind != fkInternalCalc)
    DatabaseError(msg::Fmt(msg::kExprBadField, {field.name}));
  const std::uint16_t n = Reserve(NodeClass::kField, TCANOperator::kField);
  SetOperand(n, 0, static_cast<std::uint16_t>(field.fieldNo));
  const bool own = (expr_.ParserOptions() & kPoFieldNameGiven) != 0;
  SetOperand(n, 1, PutName(own ? field.name : node->Text()));
  return n;
}

std::uint16_t BufferWriter::PutConstNode(const ExprValue& value, TFieldType type, int size) {
  const EncodedConstant c =
      EncodeConstant(value, type, size, expr_.FieldMap(), expr_.DecimalSeparator());
  const std::uint16_t n = Reserve(NodeClass::kConst, TCANOperator::kConst);
  SetOperand(n, 0, c.logicalType);
  SetOperand(n, 1, static_cast<std::uint16_t>(c.bytes.size()));
  SetOperand(n, 2, PutLiteral(c.bytes.data(), c.bytes.size()));
  return n;
}

std::uint16_t BufferWriter::PutList(const std::vector<TExprNode*>& values, TCANOperator parent) {
  std::uint16_t first = 0;
  std::uint16_t previous = 0;
  bool any = false;
  for (TExprNode* value : values) {
    const std::uint16_t element = Reserve(NodeClass::kListElem, TCANOperator::kListElem);
    SetOperand(element, 0, PutNode(value, parent));
    if (any)
      SetOperand(previous, 1, element);
    else
      first = element;
    previous = element;
    any = true;
  }
  return first;
}

std::uint16_t BufferWriter::PutOperator(TExprNode* node) {
  switch (node->op) {
    case TCANOperator::kNot:
    case TCANOperator::kIsNull:
    case TCANOperator::kIsNotNull: {
      const std::uint16_t n = Reserve(NodeClass::kUnary, node->op);
      SetOperand(n, 0, PutNode(node->left, node->op));
      return n;
    }
    case TCANOperator::kIn: {
      const std::uint16_t n = Reserve(NodeClass::kBinary, TCANOperator::kIn);
      SetOperand(n, 0, PutNode(node->left, TCANOperator::kIn));
      SetOperand(n, 1, PutList(node->args, TCANOperator::kIn));
      return n;
    }
    default:
      return PutComparison(node);
  }
}

std::uint16_t BufferWriter::PutComparison(TExprNode* node) {
  TExprNode* l = node->left;
  TExprNode* r = node->right;
  TCANOperator op = node->op;
  if (IsRelational(op) && IsField(r) && !IsField(l)) {
    std::swap(l, r);
    op = Mirrored(op);
  }
  const bool equality =
      op == TCANOperator::kEqual || op == TCANOperator::kNotEqual || op == TCANOperator::kLike;
  if (equality && IsField(l) && r->kind == TExprNodeKind::kConst) {
    if (r->IsNull()) {
      if (op == TCANOperator::kLike) DatabaseError(msg::kExprNullLike);
      const TCANOperator test =
          op == TCANOperator::kEqual ? TCANOperator::kIsNull : TCANOperator::kIsNotNull;
      const std::uint16_t n = Reserve(NodeClass::kUnary, test);
      SetOperand(n, 0, PutNode(l, test));
      return n;
    }
    std::string text = ConstantText(r->data);
    if (IsStringFieldType(r->dataType) && !text.empty()) {
      const TFilterOptions options = expr_.Options();
      const std::uint16_t caseFlag = (options & foCaseInsensitive) ? 1 : 0;
      std::size_t partial = 0;
      if (node->partial) {
        partial = text.size();
      } else if (!(options & foNoPartialCompare) && text.size() > 1 && text.back() == '*') {
        text.pop_back();
        partial = text.size();
      }
      if (caseFlag != 0 || partial != 0) {
        const std::uint16_t n = Reserve(NodeClass::kCompare, op);
        SetOperand(n, 0, caseFlag);
        SetOperand(n, 1, static_cast<std::uint16_t>(partial));
        SetOperand(n, 2, PutFieldNode(l));
        SetOperand(n, 3, PutConstNode(text, r->dataType, r->dataSize));
        return n;
      }
    }
  }
  const std::uint16_t n = Reserve(NodeClass::kBinary, op);
  SetOperand(n, 0, PutNode(l, op));
  SetOperand(n, 1, PutNode(r, op));
  return n;
}

}  // namespace dorvem::filter
