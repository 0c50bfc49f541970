// ExprScanner: splits a filter text into tokens for the filter parser.
//
// The scanner reads single-byte characters; a zero byte ends the text. It
// keeps the current token (kind, text, whether a literal is numeric), the
// kind of the token before it (which decides whether '-' is an operator or
// starts a number) and where the current token starts in the text (for the
// "%s found" messages). Errors are raised as EDatabaseError with the
// scanner's messages. The scanner owns a copy of the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dorvem::filter {

enum class TokenKind {
  kEnd,             // end of the text
  kName,            // a name (also the words AND, OR, NOT, NULL, True, False)
  kBracketName,     // [name]: the text between the brackets
  kLiteral,         // a string literal (text without quotes) or a number
  kLParen,          // (
  kRParen,          // )
  kComma,           // ,
  kMultiply,        // *
  kDivide,          // /
  kPlus,            // +
  kMinus,           // -
  kEqual,           // =
  kNotEqual,        // <>
  kLess,            // <
  kLessOrEqual,     // <=
  kGreater,         // >
  kGreaterOrEqual,  // >=
  kLike,            // LIKE
  kIn,              // IN
  kIsNull,          // IS NULL
  kIsNotNull,       // IS NOT NULL
};

// Longest literal the scanner collects; further characters are dropped.
inline constexpr std::size_t kMaxLiteralLength = 256;

class ExprScanner {
 public:
  // Starts over on `text` (cut at its first zero byte); `decimalSeparator`
  // is the one numeric literals may contain. No token is read yet: the
  // current token is kEnd until Next().
  void Reset(std::string_view text, char decimalSeparator);

  // Reads the next token; raises EDatabaseError for a character that starts
  // no token, an unclosed comment, string or bracketed name, or IS without
  // NULL / NOT NULL.
  void Next();

  TokenKind Token() const { return token_; }
  TokenKind Previous() const { return previous_; }
  // The token's text: a name, the inside of a bracketed name, a literal's
  // characters (at most kMaxLiteralLength) or an operator's characters.
  const std::string& Text() const { return tokenText_; }
  bool Numeric() const { return numeric_; }
  std::size_t TokenStart() const { return tokenStart_; }

  // The current token for the "%s found" messages: its source text in
  // single quotes, or "nothing" at the end of the text.
  std::string Found() const;

  // The first character after the current token that is not a blank
  // (codes 1 to 32); '\0' at the end of the text.
  char PeekNonBlank() const;
  // Consumes characters up to and including the next non-blank one (used
  // for the '*' of COUNT(*)).
  void SkipNonBlank();

 private:
  char At(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
  void TakeText(std::size_t from, std::size_t length);
  void SkipBlanks();
  void SkipComment();
  void ScanString();
  bool LiteralEnds(std::size_t quote) const;
  void ScanNumber();
  void ScanName();
  bool ScanLetters(std::string* word);
  [[noreturn]] void InvalidChar(std::size_t at) const;

  std::string text_;
  char decimalSeparator_ = '.';
  std::size_t pos_ = 0;
  std::size_t tokenStart_ = 0;
  TokenKind token_ = TokenKind::kEnd;
  TokenKind previous_ = TokenKind::kEnd;
  std::string tokenText_;
  bool numeric_ = false;
};

}  // namespace dorvem::filter
