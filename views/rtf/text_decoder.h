// TTextDecoder: turns the bytes of one Windows code page into UTF-16, for
// RTF text (\'hh and 8-bit bytes in the current font's code page) and for
// plain-text memos (in the data's code page).
//
// Single-byte code pages decode through a 256-entry table built once per
// process from ICU's converter and never freed. Multi-byte ones (932, 936,
// 949, 950, 65001, ...) go through an ICU converter owned by the decoder;
// a character cut between two Append calls is completed by the next call,
// and Flush ends the sequence. A code page ICU does not know decodes as
// windows-1252. Code page 42 is the symbol character set: the Greek letters
// and the common signs of the symbol font are mapped to their Unicode
// characters, other bytes as in windows-1252.
//
// The mapping from an RTF \fcharset to its code page is here too.
#pragma once

#include <QString>
#include <array>
#include <string_view>

struct UConverter;

namespace dorvem::rtf {

inline constexpr int kSymbolCodePage = 42;
inline constexpr int kFallbackCodePage = 1252;

// The code page of a font character set (\fcharsetN): 0 -> 1252,
// 238 -> 1250, 204 -> 1251, 161 -> 1253, 162 -> 1254, 186 -> 1257, ...;
// 1 (the default character set) and unknown sets -> `documentCodePage`.
int CodePageOfCharset(int charset, int documentCodePage);

class TTextDecoder {
 public:
  explicit TTextDecoder(int codePage);
  ~TTextDecoder();
  TTextDecoder(const TTextDecoder&) = delete;
  TTextDecoder& operator=(const TTextDecoder&) = delete;

  // The code page asked for (even when it decodes as the fallback).
  int CodePage() const { return codePage_; }
  // Whether characters may span several bytes (then Flush matters).
  bool MultiByte() const { return table_ == nullptr; }

  // Appends the characters of `bytes` to `out`.
  void Append(std::string_view bytes, QString& out) {
    if (table_ != nullptr) {
      const qsizetype at = out.size();
      out.resize(at + static_cast<qsizetype>(bytes.size()));
      char16_t* p = reinterpret_cast<char16_t*>(out.data()) + at;
      for (char b : bytes) *p++ = (*table_)[static_cast<unsigned char>(b)];
    } else {
      AppendMultiByte(bytes, out, false);
    }
  }

  // Ends a byte sequence: an unfinished multi-byte character becomes
  // U+FFFD. Nothing happens for single-byte code pages.
  void Flush(QString& out) {
    if (table_ == nullptr) AppendMultiByte({}, out, true);
  }

 private:
  void AppendMultiByte(std::string_view bytes, QString& out, bool flush);

  int codePage_;
  const std::array<char16_t, 256>* table_ = nullptr;
  UConverter* converter_ = nullptr;
};

}  // namespace dorvem::rtf
