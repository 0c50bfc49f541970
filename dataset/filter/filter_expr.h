// TFilterExpr: the builder of one parse. It makes the nodes of the parse
// tree (looking fields up in the dataset as it goes, field_lookup.h), owns all of them, and
// flattens the finished tree into an expression buffer (expr_codes.h).
//
// The builder keeps what a parse is run with: the dataset whose fields are
// referenced, a copy of the 38-byte field-type map, the filter options, the
// parser options, the caller's field name (options kPoFieldNameGiven and
// kPoDefaultExpr), the caller's dependent-field set (option kPoFieldDepend;
// may be absent) and the decimal separator that numeric constants use. The
// dataset and the dependent-field set must outlive the builder.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dataset/filter/expr_node.h"

namespace dorvem {

// Logical type of each TFieldType, indexed by the field type.
using FieldTypeMap = std::array<std::uint8_t, kFieldTypeCount>;

// One flag per field number - 1.
using DependentFields = std::vector<bool>;

class TFilterExpr {
 public:
  TFilterExpr(const FieldLookup& fields, const FieldTypeMap& fieldMap, TFilterOptions options,
              TParserOptions parserOptions, std::string fieldName, DependentFields* dependentFields,
              char decimalSeparator);
  ~TFilterExpr();
  TFilterExpr(const TFilterExpr&) = delete;
  TFilterExpr& operator=(const TFilterExpr&) = delete;

  // Makes a node owned by the builder. A field node (data: the name as
  // written) looks its field up (see LookupField) and takes the field's type
  // and size, with record scope. A constant node has constant scope and
  // type ftUnknown; the parser sets the type of literals. Raises
  // EDatabaseError when a field cannot be found or used.
  TExprNode* NewNode(TExprNodeKind kind, TCANOperator op, ExprValue data, TExprNode* left,
                     TExprNode* right);

  // Flattens the tree under `root` into a new expression buffer and returns
  // it (header included). Raises EDatabaseError with the flattening
  // messages (fields that cannot be filtered on, constants of the wrong type
  // or out of range, LIKE NULL, conversion failures, a buffer that would
  // exceed 65535 bytes).
  std::vector<std::uint8_t> GetFilterData(TExprNode* root);

  TFilterOptions Options() const { return options_; }
  TParserOptions ParserOptions() const { return parserOptions_; }
  const std::string& FieldName() const { return fieldName_; }
  const FieldTypeMap& FieldMap() const { return fieldMap_; }
  char DecimalSeparator() const { return decimalSeparator_; }
  // The field the caller named (raises "<dataset>: Field '<name>' not found").
  FilterField CallerField() const;

 private:
  FilterField LookupField(const std::string& name) const;

  const FieldLookup& fields_;
  FieldTypeMap fieldMap_;
  TFilterOptions options_;
  TParserOptions parserOptions_;
  std::string fieldName_;
  DependentFields* dependentFields_;
  char decimalSeparator_;
  std::vector<std::unique_ptr<TExprNode>> nodes_;
};

}  // namespace dorvem
