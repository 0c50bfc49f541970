// Text helpers of the XML packet form: escapes and character references,
// Base64 for bytes values, and UTF-8 / UTF-16LE conversion for Unicode
// string values. Plain functions over strings the caller owns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dorvem::packet {

// Appends `raw` with its references resolved: "&lt;", "&gt;", "&amp;",
// "&quot;", "&apos;", decimal "&#NNN;" and hexadecimal "&#xHH;" character
// references. A character reference becomes UTF-8 when `utf8`; otherwise the
// text is single-byte in `codePage` and the character is converted to it
// (characters below 128 and the control characters stay as they are). An
// ampersand that starts no known reference is kept as it is.
void AppendUnescaped(std::string_view raw, bool utf8, std::uint32_t codePage, std::string* out);

// True when `raw` needs no unescaping and no conversion: no "&" and, for a
// UTF-8 text, nothing outside ASCII.
bool IsPlain(std::string_view raw, bool utf8);

// Appends UTF-8 `text` escaped for an attribute value: "&lt;", "&gt;",
// "&quot;", "&amp;", "&apos;", "&#013;", "&#010;", "&#009;", "&#092;", and
// "&#NNN;" for the other control characters.
void AppendEscaped(std::string_view text, std::string* out);

// Appends the UTF-8 form of a code point.
void AppendUtf8(char32_t c, std::string* out);

// UTF-8 to UTF-16LE bytes (appended); ill-formed sequences become U+FFFD.
void Utf8ToUtf16le(std::string_view utf8, std::vector<std::uint8_t>* out);
// UTF-16LE bytes to UTF-8 (appended); unpaired surrogates become U+FFFD and
// an odd last byte is ignored.
void Utf16leToUtf8(const std::uint8_t* bytes, std::size_t size, std::string* out);

// Standard Base64 with "=" padding.
void AppendBase64(const std::uint8_t* bytes, std::size_t size, std::string* out);
// Decodes Base64 text, appending the bytes; characters outside the alphabet
// are skipped, and decoding stops at the first "=".
void DecodeBase64(std::string_view text, std::vector<std::uint8_t>* out);

}  // namespace dorvem::packet
