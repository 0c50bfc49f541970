// TExprParser: reads a filter text against a dataset's fields and produces
// its expression buffer.
//
// Grammar, loosest to tightest (tokens are read one ahead):
//   expression  := conjunction { OR conjunction }
//   conjunction := negation { AND negation }
//   negation    := [ NOT ] comparison
//   comparison  := sum [ relop sum | LIKE sum | IS [NOT] NULL
//                       | IN '(' expression { ',' expression } ')' ]
//   sum         := product { ('+' | '-') product }
//   product     := primary { ('*' | '/') primary }
//   primary     := function '(' [ expression { ',' expression } ] ')' | COUNT(*)
//                | NULL | True | False | name | [name] | literal | '(' expression ')'
// AND, OR, NOT, NULL, True and False are names compared without regard to
// ASCII case. Arithmetic and functions need the extended-syntax option.
//
// The parser owns its builder (TFilterExpr), which owns the parse tree; a
// new text replaces both. The dataset (its FieldLookup) must outlive the parser. Every failure
// raises EDatabaseError and leaves no buffer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/filter/expr_scanner.h"
#include "dataset/filter/filter_expr.h"

namespace dorvem {

// The decimal separator of the user's locale (from LC_ALL, LC_NUMERIC or
// LANG): '.' when the environment names no locale or its separator is not
// a single ASCII character.
char UserDecimalSeparator();

class TExprParser {
 public:
  // Creates a parser and, when `text` is not empty, parses it at once.
  // `decimalSeparator` is the one numeric literals use.
  TExprParser(const FieldLookup& fields, std::string_view text, TFilterOptions options,
              TParserOptions parserOptions, std::string fieldName, DependentFields* dependentFields,
              const FieldTypeMap& fieldMap, char decimalSeparator = UserDecimalSeparator());
  ~TExprParser();
  TExprParser(const TExprParser&) = delete;
  TExprParser& operator=(const TExprParser&) = delete;

  // Discards the previous tree and buffer and parses `text` (nothing when
  // it is empty) with the new options.
  void SetExprParams(std::string_view text, TFilterOptions options, TParserOptions parserOptions,
                     std::string fieldName);

  // The expression buffer of the last parse (empty when the text was).
  const std::vector<std::uint8_t>& FilterData() const { return filterData_; }
  std::size_t DataSize() const { return filterData_.size(); }

 private:
  void Parse(std::string_view text);
  TExprNode* ParseExpr();
  TExprNode* ParseConjunction();
  TExprNode* ParseNegation();
  TExprNode* ParseComparison();
  TExprNode* ParseSum();
  TExprNode* ParseProduct();
  TExprNode* ParsePrimary();
  TExprNode* ParseFunction();
  // Reads "( expression {, expression} )" after the current '(' into *args;
  // `emptyMessage` is raised for "()" when not empty, else "()" is no
  // arguments.
  void ParseList(std::vector<TExprNode*>* args, std::string_view emptyMessage);
  TExprNode* Operator(TCANOperator op, TExprNode* left, TExprNode* right);
  bool IsWord(std::string_view word) const;
  [[noreturn]] void Expected(std::string_view pattern) const;

  const FieldLookup& fields_;
  std::unique_ptr<TFilterExpr> builder_;
  filter::ExprScanner scanner_;
  TFilterOptions options_;
  TParserOptions parserOptions_;
  std::string fieldName_;
  DependentFields* dependentFields_;
  FieldTypeMap fieldMap_;
  std::string trueWord_;
  std::string falseWord_;
  char decimalSeparator_;
  int depth_ = 0;
  std::vector<std::uint8_t> filterData_;
};

}  // namespace dorvem
