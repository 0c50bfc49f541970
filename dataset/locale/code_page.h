// Single-byte code pages: a byte -> UTF-16 table per code page, built once
// from ICU's converters, and the reverse look-up for encoding.
//
// CodePage::Get hands out process-wide tables that are never freed, so callers
// may keep the reference (the collators keep one per locale). Tables are
// immutable once built and may be read from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <utility>

namespace dorvem::locale {

// The code page of single-byte text whose locale names none: windows-1250,
// the dictionary's Central European text.
inline constexpr std::uint32_t kDefaultCodePage = 1250;

class CodePage {
 public:
  // The table of `number` (1250, 1252, 874, ...). A code page that ICU does
  // not know, or that is not single-byte, gives the windows-1250 table.
  static const CodePage& Get(std::uint32_t number);

  // The code page this table really describes (1250 after a fallback).
  std::uint32_t number() const { return number_; }

  // UTF-16 unit of byte `b`. Bytes the code page leaves undefined map to the
  // control character of the same value.
  char16_t Decode(unsigned char b) const { return decode_[b]; }
  const std::array<char16_t, 256>& decodeTable() const { return decode_; }

  // Byte that decodes to `c`, or -1 when the code page has no such character.
  int Encode(char32_t c) const;

  CodePage(const CodePage&) = delete;
  CodePage& operator=(const CodePage&) = delete;

 private:
  explicit CodePage(std::uint32_t number) : number_(number) {}
  // Fills the tables from ICU; false when ICU has no single-byte converter.
  bool Load();

  std::uint32_t number_;
  std::array<char16_t, 256> decode_{};
  // (character, byte) sorted by character, for Encode's binary search.
  std::array<std::pair<char16_t, std::uint8_t>, 256> encode_{};
};

}  // namespace dorvem::locale
