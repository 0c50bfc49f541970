#include "views/rtf/rtf_tokenizer.h"

#include <algorithm>

#include "views/rtf/rtf_limits.h"

namespace dorvem::rtf {

namespace {

TRtfToken Make(TRtfTokenKind kind) {
  TRtfToken t;
  t.kind = kind;
  return t;
}

bool IsLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(unsigned char c) {
  return c >= '0' && c <= '9';
}

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

TRtfToken TRtfTokenizer::Next() {
  while (pos_ < bytes_.size()) {
    const unsigned char c = static_cast<unsigned char>(bytes_[pos_]);
    switch (c) {
      case '{':
        ++pos_;
        return Make(TRtfTokenKind::kGroupOpen);
      case '}':
        ++pos_;
        return Make(TRtfTokenKind::kGroupClose);
      case '\r':
      case '\n':
        ++pos_;
        continue;
      case '\\': {
        TRtfToken t = ReadControl();
        if (t.kind != TRtfTokenKind::kEnd) return t;
        continue;  // a malformed \' or a trailing backslash: nothing
      }
      default: {
        const std::size_t start = pos_;
        while (pos_ < bytes_.size()) {
          const char d = bytes_[pos_];
          if (d == '{' || d == '}' || d == '\\' || d == '\r' || d == '\n') break;
          ++pos_;
        }
        TRtfToken t = Make(TRtfTokenKind::kText);
        t.text = bytes_.substr(start, pos_ - start);
        return t;
      }
    }
  }
  return {};
}

// Reads what follows a backslash. Returns kEnd when it yields no token.
TRtfToken TRtfTokenizer::ReadControl() {
  ++pos_;  // the backslash
  if (pos_ >= bytes_.size()) return {};
  const unsigned char c = static_cast<unsigned char>(bytes_[pos_]);
  if (!IsLetter(c)) {
    ++pos_;
    if (c == '\'') {
      int hi = pos_ < bytes_.size() ? HexValue(static_cast<unsigned char>(bytes_[pos_])) : -1;
      if (hi < 0) return {};
      ++pos_;
      int lo = pos_ < bytes_.size() ? HexValue(static_cast<unsigned char>(bytes_[pos_])) : -1;
      if (lo < 0) return {};
      ++pos_;
      TRtfToken t = Make(TRtfTokenKind::kHexByte);
      t.value = static_cast<unsigned char>(hi * 16 + lo);
      return t;
    }
    TRtfToken t = Make(TRtfTokenKind::kSymbol);
    t.value = (c == '\r') ? '\n' : c;
    return t;
  }

  const std::size_t start = pos_;
  while (pos_ < bytes_.size() && IsLetter(static_cast<unsigned char>(bytes_[pos_]))) ++pos_;
  TRtfToken t = Make(TRtfTokenKind::kWord);
  if (pos_ - start <= kMaxWordLength) t.text = bytes_.substr(start, pos_ - start);

  bool negative = false;
  if (pos_ + 1 < bytes_.size() && bytes_[pos_] == '-' &&
      IsDigit(static_cast<unsigned char>(bytes_[pos_ + 1]))) {
    negative = true;
    ++pos_;
  }
  if (pos_ < bytes_.size() && IsDigit(static_cast<unsigned char>(bytes_[pos_]))) {
    std::int64_t value = 0;
    while (pos_ < bytes_.size() && IsDigit(static_cast<unsigned char>(bytes_[pos_]))) {
      value = value * 10 + (bytes_[pos_] - '0');
      if (value > kMaxParameter) value = kMaxParameter;
      ++pos_;
    }
    t.hasParam = true;
    t.param = static_cast<std::int32_t>(negative ? -value : value);
  }
  if (pos_ < bytes_.size() && bytes_[pos_] == ' ') ++pos_;

  if (t.text == "bin") {
    // The raw bytes follow at once; they are never read as RTF.
    const std::size_t left = bytes_.size() - pos_;
    const std::size_t n = t.param <= 0 ? 0 : std::min(left, static_cast<std::size_t>(t.param));
    TRtfToken bin = Make(TRtfTokenKind::kBinary);
    bin.text = bytes_.substr(pos_, n);
    pos_ += n;
    return bin;
  }
  return t;
}

}  // namespace dorvem::rtf
