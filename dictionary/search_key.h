// The search box's text turned into the dataset's filter text.
//
// The box holds Unicode text; the headwords are single-byte text in the
// data's code page, so the text is converted to that code page first. The
// key is then the converted text with the plain letters a to z made
// capitals (every other byte stays: the box has already upper-cased the
// accented letters) and with the bytes up to 32 (blanks and control
// characters) trimmed from both ends. The key goes into the filter text as
// it is: a quote in it is neither doubled nor escaped.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace dorvem {

// The filter text of an empty search box, which is also the stored one.
inline constexpr char kEmptySearchFilter[] = "KSZOVEG='.*'";

// `text` in the single-byte code page `codePage`; a character the code page
// lacks becomes "?".
std::string ToCodePage(const QString& text, std::uint32_t codePage);

// The search key of converted text: a-z capitalised, trimmed of bytes <= 32.
std::string SearchKey(std::string_view text);

// "KSZOVEG='" + key + "*'": the headwords that begin with `key`.
std::string SearchFilter(std::string_view key);

}  // namespace dorvem
