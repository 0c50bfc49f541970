// TRtfTokenizer: splits RTF bytes into tokens, one at a time, in a single
// pass over the input (each byte is looked at a bounded number of times).
//
// Tokens: "{" and "}"; control words (a backslash, up to kMaxWordLength
// ASCII letters - lower case by the format, though some writers use upper
// case inside words too -, an optional signed decimal parameter saturated at
// kMaxParameter, and one optional space that belongs to the word); control
// symbols (a backslash and one other character); hex bytes (\'hh); runs of
// text; and binary data (\binN followed by N raw bytes, cut at the end of
// the input). Carriage returns and line feeds in text are not text and are
// dropped; a backslash before one of them is the symbol '\n' (a paragraph
// mark). A word longer than kMaxWordLength letters comes out with an empty
// name, so it matches no known word. A \' without two hex digits is
// dropped, as is a backslash at the very end.
//
// The tokenizer does not own the bytes; tokens point into them.
#pragma once

#include <cstdint>
#include <string_view>

namespace dorvem::rtf {

enum class TRtfTokenKind : std::uint8_t {
  kEnd,         // no more bytes
  kGroupOpen,   // {
  kGroupClose,  // }
  kWord,        // text = name, param/hasParam
  kSymbol,      // value = the character after the backslash ('\n' for a line end)
  kHexByte,     // value = the byte of \'hh
  kText,        // text = the bytes of the run (no CR, LF, braces or backslashes)
  kBinary,      // text = the raw bytes after \binN
};

struct TRtfToken {
  TRtfTokenKind kind = TRtfTokenKind::kEnd;
  std::string_view text;
  std::int32_t param = 0;
  bool hasParam = false;
  unsigned char value = 0;
};

class TRtfTokenizer {
 public:
  explicit TRtfTokenizer(std::string_view bytes) : bytes_(bytes) {}

  // The next token; kEnd once the bytes are used up (and ever after).
  TRtfToken Next();
  // How many bytes the tokens so far have used.
  std::size_t Position() const { return pos_; }

 private:
  TRtfToken ReadControl();

  std::string_view bytes_;
  std::size_t pos_ = 0;
};

}  // namespace dorvem::rtf
