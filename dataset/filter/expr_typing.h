// Parse-time typing of filter expressions: the type and scope each operator
// and function node gets when the parser builds it, and the type changes it
// makes to its operands (a constant compared with a field takes the field's
// type and size; a string meeting a date becomes a date; ...).
//
// Each function takes a node whose operands (left, right, args) are already
// in place and raises EDatabaseError "Type mismatch in expression" or "Operation
// cannot mix aggregate value with record-varying value" when the rules refuse it.
#pragma once

#include "dataset/filter/expr_node.h"

namespace dorvem::filter {

// Scope of an operator over operands of scopes `a` and `b`: constant when
// both are, aggregate when either is, else record-varying; mixing aggregate
// and record-varying raises.
TExprScopeKind CombineScopes(TExprScopeKind a, TExprScopeKind b);

// A comparison: relational operators, LIKE, IS NULL, IS NOT NULL and IN.
void TypeComparison(TExprNode* node);

// + - * / over left and right.
void TypeArithmetic(TExprNode* node);

// AND, OR (left and right) and NOT (left).
void TypeLogical(TExprNode* node);

// A function call; `upperName` is the name in upper case ("COUNT(*)" for
// the argument-less count).
void TypeFunction(TExprNode* node, const std::string& upperName);

}  // namespace dorvem::filter
