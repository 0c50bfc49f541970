#include "dataset/filter/filter_expr.h"

#include "dataset/core/db_errors.h"
#include "dataset/core/message_format.h"
#include "dataset/filter/buffer_writer.h"
#include "dataset/filter/filter_messages.h"

namespace dorvem {

TFilterExpr::TFilterExpr(const FieldLookup& fields, const FieldTypeMap& fieldMap,
                         TFilterOptions options, TParserOptions parserOptions,
                         std::string fieldName, DependentFields* dependentFields,
                         char decimalSeparator)
    : fields_(fields),
      fieldMap_(fieldMap),
      options_(options),
      parserOptions_(parserOptions),
      fieldName_(std::move(fieldName)),
      dependentFields_(dependentFields),
      decimalSeparator_(decimalSeparator) {}

TFilterExpr::~TFilterExpr() = default;

FilterField TFilterExpr::CallerField() const {
  return fields_.FieldForFilter(fieldName_);
}

FilterField TFilterExpr::LookupField(const std::string& name) const {
  // Field objects here record no origin, so kPoUseOrigNames finds nothing
  // by origin and falls through to the lookup by name.
  FilterField field =
      (parserOptions_ & kPoFieldNameGiven) ? CallerField() : fields_.FieldForFilter(name);
  if ((parserOptions_ & kPoAggregate) && field.kind == fkCalculated)
    DatabaseError(msg::Fmt(msg::kExprNotInternalCalc, {field.name}));
  if ((parserOptions_ & kPoFieldDepend) && dependentFields_ && field.fieldNo > 0) {
    const auto bit = static_cast<std::size_t>(field.fieldNo - 1);
    if (dependentFields_->size() <= bit) dependentFields_->resize(bit + 1, false);
    (*dependentFields_)[bit] = true;
  }
  return field;
}

TExprNode* TFilterExpr::NewNode(TExprNodeKind kind, TCANOperator op, ExprValue data,
                                TExprNode* left, TExprNode* right) {
  auto node = std::make_unique<TExprNode>();
  node->kind = kind;
  node->op = op;
  node->data = std::move(data);
  node->left = left;
  node->right = right;
  switch (kind) {
    case TExprNodeKind::kField:
      node->field = LookupField(node->Text());
      node->dataType = node->field.dataType;
      node->dataSize = node->field.size;
      node->scope = TExprScopeKind::kRecord;
      break;
    case TExprNodeKind::kConst:
      node->scope = TExprScopeKind::kConst;
      break;
    default:
      break;
  }
  nodes_.push_back(std::move(node));
  return nodes_.back().get();
}

std::vector<std::uint8_t> TFilterExpr::GetFilterData(TExprNode* root) {
  filter::BufferWriter writer(*this);
  return writer.Write(root);
}

}  // namespace dorvem
