#include "dataset/filter/expr_typing.h"

#include "dataset/core/db_errors.h"
#include "dataset/filter/filter_messages.h"

namespace dorvem::filter {
namespace {

[[noreturn]] void Mismatch() {
  DatabaseError(msg::kExprTypeMismatch);
}

bool IsFieldNode(const TExprNode* n) {
  return n != nullptr && n->kind == TExprNodeKind::kField;
}

bool IsConstNode(const TExprNode* n) {
  return n != nullptr && n->kind == TExprNodeKind::kConst;
}

// Bytes and blobs cannot be compared.
void RefuseUncomparable(const TExprNode* n) {
  if (n != nullptr && (n->dataType == ftBytes || IsBlobFieldType(n->dataType))) Mismatch();
}

// A constant compared with a field takes the field's type and size.
void ConstantTakesFieldType(const TExprNode* field, TExprNode* constant) {
  constant->dataType = field->dataType;
  constant->dataSize = field->dataSize;
}

}  // namespace

TExprScopeKind CombineScopes(TExprScopeKind a, TExprScopeKind b) {
  using S = TExprScopeKind;
  if ((a == S::kAggregate && b == S::kRecord) || (a == S::kRecord && b == S::kAggregate))
    DatabaseError(msg::kExprBadScope);
  if (a == S::kConst && b == S::kConst) return S::kConst;
  if (a == S::kAggregate || b == S::kAggregate) return S::kAggregate;
  return S::kRecord;
}

void TypeComparison(TExprNode* node) {
  TExprNode* l = node->left;
  TExprNode* r = node->right;
  const TCANOperator op = node->op;

  if (IsFieldNode(l) && IsConstNode(r))
    ConstantTakesFieldType(l, r);
  else if (IsFieldNode(r) && IsConstNode(l))
    ConstantTakesFieldType(r, l);

  if (op == TCANOperator::kLike && IsBlobFieldType(l->dataType)) {
    // A memo or blob may be matched against a pattern.
    if (IsConstNode(r)) r->dataType = ftString;
  } else if (op != TCANOperator::kIsNull && op != TCANOperator::kIsNotNull) {
    RefuseUncomparable(l);
    RefuseUncomparable(r);
    for (const TExprNode* element : node->args) RefuseUncomparable(element);
  }

  node->dataType = ftBoolean;
  if (r != nullptr) {
    // A string meeting a date or time is read as one.
    if (IsTemporalFieldType(l->dataType) && IsStringFieldType(r->dataType))
      r->dataType = l->dataType;
    else if (IsTemporalFieldType(r->dataType) && IsStringFieldType(l->dataType))
      l->dataType = r->dataType;
  }
  if (op == TCANOperator::kIn && IsTemporalFieldType(l->dataType))
    for (TExprNode* element : node->args) element->dataType = l->dataType;

  TExprScopeKind scope = l->scope;
  if (r != nullptr) scope = CombineScopes(scope, r->scope);
  for (const TExprNode* element : node->args) scope = CombineScopes(scope, element->scope);
  node->scope = scope;
}

void TypeArithmetic(TExprNode* node) {
  TExprNode* l = node->left;
  TExprNode* r = node->right;
  const bool add = node->op == TCANOperator::kAdd;
  const bool subtract = node->op == TCANOperator::kSubtract;

  // A string constant before a number is a date-time ('2024-01-01' + 1).
  if (IsConstNode(l) && IsStringFieldType(l->dataType) && IsNumericFieldType(r->dataType))
    l->dataType = ftDateTime;

  const TFieldType lt = l->dataType, rt = r->dataType;
  if (IsNumericFieldType(lt) && IsNumericFieldType(rt)) {
    node->dataType = ftFloat;
  } else if (add && IsStringFieldType(lt) && IsStringFieldType(rt)) {
    node->dataType = ftString;
  } else if (add && ((IsTemporalFieldType(lt) && IsNumericFieldType(rt)) ||
                     (IsNumericFieldType(lt) && IsTemporalFieldType(rt)))) {
    node->dataType = ftDateTime;
  } else if (subtract && IsTemporalFieldType(lt) && IsNumericFieldType(rt)) {
    node->dataType = lt;
  } else if (subtract && IsTemporalFieldType(lt) && IsTemporalFieldType(rt)) {
    node->dataType = ftFloat;
  } else if (subtract && IsStringFieldType(lt) && IsTemporalFieldType(rt)) {
    l->dataType = rt;
    node->dataType = ftFloat;
  } else {
    Mismatch();
  }
  node->scope = CombineScopes(l->scope, r->scope);
}

void TypeLogical(TExprNode* node) {
  node->dataType = ftBoolean;
  node->scope =
      node->right ? CombineScopes(node->left->scope, node->right->scope) : node->left->scope;
}

void TypeFunction(TExprNode* node, const std::string& name) {
  const bool countAll = name == "COUNT(*)";
  if (node->args.empty() && !countAll && name != "GETDATE") Mismatch();
  const TExprNode* first = node->args.empty() ? nullptr : node->args.front();
  auto firstScope = [&] { return first ? first->scope : TExprScopeKind::kConst; };

  if (name == "SUM" || name == "AVG") {
    node->dataType = ftFloat;
    node->scope = TExprScopeKind::kAggregate;
  } else if (name == "MIN" || name == "MAX") {
    node->dataType = first->dataType;
    node->scope = TExprScopeKind::kAggregate;
  } else if (name == "COUNT" || countAll) {
    node->dataType = ftInteger;
    node->scope = TExprScopeKind::kAggregate;
  } else if (name == "YEAR" || name == "MONTH" || name == "DAY" || name == "HOUR" ||
             name == "MINUTE" || name == "SECOND") {
    node->dataType = ftInteger;
    node->scope = firstScope();
  } else if (name == "DATE") {
    node->dataType = ftDate;
    node->scope = firstScope();
  } else if (name == "TIME") {
    node->dataType = ftTime;
    node->scope = firstScope();
  } else if (name == "GETDATE") {
    node->dataType = ftDateTime;
    node->scope = TExprScopeKind::kConst;
  } else {
    // UPPER, LOWER, SUBSTRING, TRIM, TRIMLEFT, TRIMRIGHT
    node->dataType = ftString;
    node->scope = firstScope();
  }
}

}  // namespace dorvem::filter
