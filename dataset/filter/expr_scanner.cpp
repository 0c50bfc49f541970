#include "dataset/filter/expr_scanner.h"

#include <cstring>

#include "dataset/core/ascii.h"
#include "dataset/core/db_errors.h"
#include "dataset/core/message_format.h"
#include "dataset/filter/filter_messages.h"
#include "dataset/filter/word_classifier.h"

namespace dorvem::filter {
namespace {

bool IsBlank(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= 32;
}

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool StartsName(char c) {
  const auto u = static_cast<unsigned char>(c);
  return IsAsciiLetter(c) || c == '_' || (u >= 0x81 && u <= 0xFE);
}

bool ContinuesName(char c) {
  return IsAsciiLetter(c) || IsDigit(c) || c == '_' || c == '.' || c == '[' || c == ']';
}

}  // namespace

void ExprScanner::Reset(std::string_view text, char decimalSeparator) {
  text_.assign(text.substr(0, text.find('\0')));
  decimalSeparator_ = decimalSeparator;
  pos_ = 0;
  tokenStart_ = 0;
  token_ = TokenKind::kEnd;
  previous_ = TokenKind::kEnd;
  tokenText_.clear();
  numeric_ = false;
}

void ExprScanner::InvalidChar(std::size_t at) const {
  const char c = At(at);
  DatabaseError(
      msg::Fmt(msg::kExprInvalidChar, {c == '\0' ? std::string_view() : std::string_view(&c, 1)}));
}

void ExprScanner::SkipBlanks() {
  while (IsBlank(At(pos_))) ++pos_;
}

void ExprScanner::SkipComment() {
  if (At(pos_) != '/' || At(pos_ + 1) != '*') return;
  std::size_t p = pos_ + 2;
  while (At(p) != '\0' && At(p) != '*') ++p;
  // Only the first '*' can close the comment.
  if (At(p) != '*' || At(p + 1) != '/') InvalidChar(p);
  pos_ = p + 2;
}

std::string ExprScanner::Found() const {
  if (token_ == TokenKind::kEnd) return std::string(msg::kExprNothing);
  const std::size_t n = pos_ - tokenStart_;
  std::string found(n + 2, '\'');
  std::memcpy(found.data() + 1, text_.data() + tokenStart_, n);
  return found;
}

void ExprScanner::TakeText(std::size_t from, std::size_t length) {
  // Copied by hand: the library's substring copies draw false overlap
  // warnings from the optimiser.
  tokenText_.resize(length);
  if (length != 0) std::memcpy(tokenText_.data(), text_.data() + from, length);
}

char ExprScanner::PeekNonBlank() const {
  std::size_t p = pos_;
  while (IsBlank(At(p))) ++p;
  return At(p);
}

void ExprScanner::SkipNonBlank() {
  SkipBlanks();
  if (At(pos_) != '\0') ++pos_;
}

void ExprScanner::Next() {
  previous_ = token_;
  tokenText_.clear();
  numeric_ = false;
  SkipBlanks();
  SkipComment();
  SkipBlanks();
  tokenStart_ = pos_;
  const char c = At(pos_);
  auto single = [&](TokenKind kind, std::size_t length) {
    token_ = kind;
    TakeText(pos_, length);
    pos_ += length;
  };
  switch (c) {
    case '\0':
      token_ = TokenKind::kEnd;
      return;
    case '\'':
      ScanString();
      return;
    case '(':
      return single(TokenKind::kLParen, 1);
    case ')':
      return single(TokenKind::kRParen, 1);
    case ',':
      return single(TokenKind::kComma, 1);
    case '*':
      return single(TokenKind::kMultiply, 1);
    case '/':
      return single(TokenKind::kDivide, 1);
    case '+':
      return single(TokenKind::kPlus, 1);
    case '=':
      return single(TokenKind::kEqual, 1);
    case '<':
      if (At(pos_ + 1) == '=') return single(TokenKind::kLessOrEqual, 2);
      if (At(pos_ + 1) == '>') return single(TokenKind::kNotEqual, 2);
      return single(TokenKind::kLess, 1);
    case '>':
      if (At(pos_ + 1) == '=') return single(TokenKind::kGreaterOrEqual, 2);
      return single(TokenKind::kGreater, 1);
    case '[': {
      const std::size_t close = text_.find(']', pos_ + 1);
      if (close == std::string::npos) DatabaseError(msg::kExprNameTerm);
      token_ = TokenKind::kBracketName;
      TakeText(pos_ + 1, close - pos_ - 1);
      pos_ = close + 1;
      return;
    }
    default:
      break;
  }
  if (c == '-' || IsDigit(c)) {
    // After an operand the character is a minus (even a digit, which is then
    // consumed as the operator); elsewhere it starts a number.
    if (previous_ == TokenKind::kName || previous_ == TokenKind::kBracketName ||
        previous_ == TokenKind::kLiteral || previous_ == TokenKind::kRParen)
      return single(TokenKind::kMinus, 1);
    ScanNumber();
    return;
  }
  if (StartsName(c)) {
    ScanName();
    return;
  }
  InvalidChar(pos_);
}

void ExprScanner::ScanString() {
  token_ = TokenKind::kLiteral;
  std::size_t p = pos_ + 1;
  for (;;) {
    const char c = At(p);
    if (c == '\0') DatabaseError(msg::kExprStringTerm);
    if (c == '\'') {
      if (At(p + 1) == '\'') {
        // A doubled quote is one quote character.
        if (tokenText_.size() < kMaxLiteralLength) tokenText_.push_back('\'');
        p += 2;
        continue;
      }
      if (LiteralEnds(p)) {
        pos_ = p + 1;
        return;
      }
    }
    if (tokenText_.size() < kMaxLiteralLength) tokenText_.push_back(c);
    ++p;
  }
}

bool ExprScanner::LiteralEnds(std::size_t quote) const {
  if (text_.find('\'', quote + 1) == std::string::npos) return true;
  std::size_t p = quote + 1;
  while (At(p) == ' ' || At(p) == ')') ++p;
  return ClassifyWord(text_, p) != WordClass::kName;
}

void ExprScanner::ScanNumber() {
  token_ = TokenKind::kLiteral;
  numeric_ = true;
  std::size_t p = pos_;
  for (;;) {
    const char c = At(p);
    if (!(IsDigit(c) || c == '+' || c == '-' || c == 'E' || c == 'e' ||
          (c == decimalSeparator_ && c != '\0')))
      break;
    ++p;
  }
  // "1, 2" in a list: with ',' as the decimal separator a comma followed by
  // a blank separates list elements.
  if (p > pos_ && At(p - 1) == ',' && decimalSeparator_ == ',' && At(p) == ' ') --p;
  TakeText(pos_, p - pos_);
  pos_ = p;
}

bool ExprScanner::ScanLetters(std::string* word) {
  SkipBlanks();
  word->clear();
  while (IsAsciiLetter(At(pos_))) word->push_back(text_[pos_++]);
  return !word->empty();
}

void ExprScanner::ScanName() {
  std::size_t p = pos_ + 1;
  while (ContinuesName(At(p))) ++p;
  TakeText(pos_, p - pos_);
  pos_ = p;
  token_ = TokenKind::kName;
  if (EqualIgnoringAsciiCase(tokenText_, "LIKE")) {
    token_ = TokenKind::kLike;
  } else if (EqualIgnoringAsciiCase(tokenText_, "IN")) {
    token_ = TokenKind::kIn;
  } else if (EqualIgnoringAsciiCase(tokenText_, "IS")) {
    std::string word;
    ScanLetters(&word);
    if (EqualIgnoringAsciiCase(word, "NOT")) {
      ScanLetters(&word);
      if (!EqualIgnoringAsciiCase(word, "NULL")) DatabaseError(msg::kExprKeywordUse);
      token_ = TokenKind::kIsNotNull;
    } else if (EqualIgnoringAsciiCase(word, "NULL")) {
      token_ = TokenKind::kIsNull;
    } else {
      DatabaseError(msg::kExprKeywordUse);
    }
  }
}

}  // namespace dorvem::filter
