#include "dataset/filter/expr_parser.h"

#include <array>

#include "dataset/core/ascii.h"
#include "dataset/core/db_errors.h"
#include "dataset/core/message_format.h"
#include "dataset/filter/expr_typing.h"
#include "dataset/filter/filter_messages.h"

namespace dorvem {
namespace {

using filter::TokenKind;

// Deepest nesting of parentheses, argument lists and IN lists.
constexpr int kMaxDepth = 200;

constexpr std::array<const char*, 20> kFunctionNames = {
    "UPPER", "LOWER", "SUBSTRING", "TRIM",   "TRIMLEFT", "TRIMRIGHT", "YEAR",
    "MONTH", "DAY",   "HOUR",      "MINUTE", "SECOND",   "GETDATE",   "DATE",
    "TIME",  "SUM",   "MIN",       "MAX",    "AVG",      "COUNT",
};

bool IsFunctionName(const std::string& upper) {
  for (const char* name : kFunctionNames)
    if (upper == name) return true;
  return false;
}

TCANOperator RelationalOperator(TokenKind t) {
  switch (t) {
    case TokenKind::kEqual:
      return TCANOperator::kEqual;
    case TokenKind::kNotEqual:
      return TCANOperator::kNotEqual;
    case TokenKind::kGreater:
      return TCANOperator::kGreater;
    case TokenKind::kLess:
      return TCANOperator::kLess;
    case TokenKind::kGreaterOrEqual:
      return TCANOperator::kGreaterOrEqual;
    case TokenKind::kLessOrEqual:
      return TCANOperator::kLessOrEqual;
    case TokenKind::kLike:
      return TCANOperator::kLike;
    default:
      return TCANOperator::kNone;
  }
}

// Whether an Assign of a value of type `value` to a field of type `field`
// is allowed.
bool Assignable(TFieldType value, TFieldType field) {
  return value == field || value == ftUnknown ||
         (IsNumericFieldType(value) && IsNumericFieldType(field)) ||
         (IsStringFieldType(value) && (IsStringFieldType(field) || IsTemporalFieldType(field))) ||
         (IsTemporalFieldType(value) && IsTemporalFieldType(field));
}

}  // namespace

TExprParser::TExprParser(const FieldLookup& fields, std::string_view text, TFilterOptions options,
                         TParserOptions parserOptions, std::string fieldName,
                         DependentFields* dependentFields, const FieldTypeMap& fieldMap,
                         char decimalSeparator)
    : fields_(fields),
      options_(options),
      parserOptions_(parserOptions),
      fieldName_(std::move(fieldName)),
      dependentFields_(dependentFields),
      fieldMap_(fieldMap),
      trueWord_(msg::kTrueWord),
      falseWord_(msg::kFalseWord),
      decimalSeparator_(decimalSeparator) {
  Parse(text);
}

TExprParser::~TExprParser() = default;

void TExprParser::SetExprParams(std::string_view text, TFilterOptions options,
                                TParserOptions parserOptions, std::string fieldName) {
  options_ = options;
  parserOptions_ = parserOptions;
  fieldName_ = std::move(fieldName);
  Parse(text);
}

void TExprParser::Parse(std::string_view text) {
  filterData_.clear();
  builder_ = std::make_unique<TFilterExpr>(fields_, fieldMap_, options_, parserOptions_, fieldName_,
                                           dependentFields_, decimalSeparator_);
  if (text.empty()) return;
  try {
    depth_ = 0;
    scanner_.Reset(text, decimalSeparator_);
    scanner_.Next();
    TExprNode* root = ParseExpr();
    if (scanner_.Token() != TokenKind::kEnd) DatabaseError(msg::kExprTermination);
    const bool aggregate = (parserOptions_ & kPoAggregate) != 0;
    if (aggregate && root->scope != TExprScopeKind::kAggregate) DatabaseError(msg::kExprNotAgg);
    if (!aggregate && root->scope == TExprScopeKind::kAggregate)
      DatabaseError(msg::kExprNoAggregates);
    if (parserOptions_ & kPoDefaultExpr) {
      TExprNode* field = builder_->NewNode(TExprNodeKind::kField, TCANOperator::kNone, fieldName_,
                                           nullptr, nullptr);
      if (!Assignable(root->dataType, field->dataType)) DatabaseError(msg::kExprTypeMismatch);
      TExprNode* assign = Operator(TCANOperator::kAssign, root, field);
      assign->dataType = field->dataType;
      assign->scope = root->scope;
      root = assign;
    }
    if (!(parserOptions_ & (kPoAggregate | kPoDefaultExpr)) && root->dataType != ftBoolean)
      DatabaseError(msg::kExprIncorrect);
    filterData_ = builder_->GetFilterData(root);
  } catch (...) {
    filterData_.clear();
    builder_ = std::make_unique<TFilterExpr>(fields_, fieldMap_, options_, parserOptions_,
                                             fieldName_, dependentFields_, decimalSeparator_);
    throw;
  }
}

bool TExprParser::IsWord(std::string_view word) const {
  return scanner_.Token() == TokenKind::kName &&
         ToAsciiUpper(scanner_.Text()) == ToAsciiUpper(word);
}

void TExprParser::Expected(std::string_view pattern) const {
  DatabaseError(msg::Fmt(pattern, {scanner_.Found()}));
}

TExprNode* TExprParser::Operator(TCANOperator op, TExprNode* left, TExprNode* right) {
  return builder_->NewNode(TExprNodeKind::kOperator, op, {}, left, right);
}

TExprNode* TExprParser::ParseExpr() {
  if (++depth_ > kMaxDepth) DatabaseError(msg::kExprIncorrect);
  TExprNode* left = ParseConjunction();
  while (IsWord("OR")) {
    scanner_.Next();
    TExprNode* node = Operator(TCANOperator::kOr, left, ParseConjunction());
    filter::TypeLogical(node);
    left = node;
  }
  --depth_;
  return left;
}

TExprNode* TExprParser::ParseConjunction() {
  TExprNode* left = ParseNegation();
  while (IsWord("AND")) {
    scanner_.Next();
    TExprNode* node = Operator(TCANOperator::kAnd, left, ParseNegation());
    filter::TypeLogical(node);
    left = node;
  }
  return left;
}

TExprNode* TExprParser::ParseNegation() {
  if (!IsWord("NOT")) return ParseComparison();
  scanner_.Next();
  TExprNode* node = Operator(TCANOperator::kNot, ParseComparison(), nullptr);
  filter::TypeLogical(node);
  return node;
}

TExprNode* TExprParser::ParseComparison() {
  TExprNode* left = ParseSum();
  const TokenKind t = scanner_.Token();
  TExprNode* node = nullptr;
  if (const TCANOperator op = RelationalOperator(t); op != TCANOperator::kNone) {
    scanner_.Next();
    node = Operator(op, left, ParseSum());
  } else if (t == TokenKind::kIsNull || t == TokenKind::kIsNotNull) {
    scanner_.Next();
    node = Operator(t == TokenKind::kIsNull ? TCANOperator::kIsNull : TCANOperator::kIsNotNull,
                    left, nullptr);
  } else if (t == TokenKind::kIn) {
    scanner_.Next();
    node = Operator(TCANOperator::kIn, left, nullptr);
    ParseList(&node->args, msg::kExprEmptyInList);
  } else {
    return left;
  }
  filter::TypeComparison(node);
  return node;
}

TExprNode* TExprParser::ParseSum() {
  TExprNode* left = ParseProduct();
  while (scanner_.Token() == TokenKind::kPlus || scanner_.Token() == TokenKind::kMinus) {
    if (!(parserOptions_ & kPoExtended)) DatabaseError(msg::kExprNoArith);
    const TCANOperator op =
        scanner_.Token() == TokenKind::kPlus ? TCANOperator::kAdd : TCANOperator::kSubtract;
    scanner_.Next();
    TExprNode* node = Operator(op, left, ParseProduct());
    filter::TypeArithmetic(node);
    left = node;
  }
  return left;
}

TExprNode* TExprParser::ParseProduct() {
  TExprNode* left = ParsePrimary();
  while (scanner_.Token() == TokenKind::kMultiply || scanner_.Token() == TokenKind::kDivide) {
    if (!(parserOptions_ & kPoExtended)) DatabaseError(msg::kExprNoArith);
    const TCANOperator op =
        scanner_.Token() == TokenKind::kMultiply ? TCANOperator::kMultiply : TCANOperator::kDivide;
    scanner_.Next();
    TExprNode* node = Operator(op, left, ParsePrimary());
    filter::TypeArithmetic(node);
    left = node;
  }
  return left;
}

TExprNode* TExprParser::ParsePrimary() {
  TExprNode* node = nullptr;
  switch (scanner_.Token()) {
    case TokenKind::kName: {
      const std::string upper = ToAsciiUpper(scanner_.Text());
      if ((parserOptions_ & kPoExtended) && IsFunctionName(upper) && scanner_.PeekNonBlank() == '(')
        return ParseFunction();
      if (upper == "NULL") {
        node = builder_->NewNode(TExprNodeKind::kConst, TCANOperator::kNone, {}, nullptr, nullptr);
      } else if (upper == ToAsciiUpper(trueWord_) || upper == ToAsciiUpper(falseWord_)) {
        node = builder_->NewNode(TExprNodeKind::kConst, TCANOperator::kNone,
                                 upper == ToAsciiUpper(trueWord_), nullptr, nullptr);
        node->dataType = ftBoolean;
      } else {
        node = builder_->NewNode(TExprNodeKind::kField, TCANOperator::kNone, scanner_.Text(),
                                 nullptr, nullptr);
      }
      break;
    }
    case TokenKind::kBracketName:
      node = builder_->NewNode(TExprNodeKind::kField, TCANOperator::kNone, scanner_.Text(), nullptr,
                               nullptr);
      break;
    case TokenKind::kLiteral:
      node = builder_->NewNode(TExprNodeKind::kConst, TCANOperator::kNone, scanner_.Text(), nullptr,
                               nullptr);
      node->dataType = scanner_.Numeric() ? ftFloat : ftString;
      break;
    case TokenKind::kLParen:
      scanner_.Next();
      node = ParseExpr();
      if (scanner_.Token() != TokenKind::kRParen) Expected(msg::kExprRParenExpected);
      break;
    default:
      Expected(msg::kExprExpected);
  }
  scanner_.Next();
  return node;
}

TExprNode* TExprParser::ParseFunction() {
  const std::string name = scanner_.Text();
  std::string upper = ToAsciiUpper(name);
  scanner_.Next();
  if (scanner_.Token() != TokenKind::kLParen) Expected(msg::kExprLParenExpected);
  std::vector<TExprNode*> args;
  std::string written = name;
  if (upper == "COUNT" && scanner_.PeekNonBlank() == '*') {
    scanner_.SkipNonBlank();
    scanner_.Next();
    if (scanner_.Token() != TokenKind::kRParen) Expected(msg::kExprRParenExpected);
    scanner_.Next();
    upper = "COUNT(*)";
    written = name + "(*)";
  } else {
    ParseList(&args, {});
  }
  TExprNode* node =
      builder_->NewNode(TExprNodeKind::kFunc, TCANOperator::kFunc, written, nullptr, nullptr);
  node->args = std::move(args);
  filter::TypeFunction(node, upper);
  return node;
}

void TExprParser::ParseList(std::vector<TExprNode*>* args, std::string_view emptyMessage) {
  if (scanner_.Token() != TokenKind::kLParen) Expected(msg::kExprLParenExpected);
  scanner_.Next();
  if (scanner_.Token() == TokenKind::kRParen) {
    if (!emptyMessage.empty()) DatabaseError(emptyMessage);
    scanner_.Next();
    return;
  }
  for (;;) {
    args->push_back(ParseExpr());
    if (scanner_.Token() == TokenKind::kComma) {
      scanner_.Next();
      continue;
    }
    if (scanner_.Token() != TokenKind::kRParen) Expected(msg::kExprRParenOrCommaExpected);
    scanner_.Next();
    return;
  }
}

}  // namespace dorvem
