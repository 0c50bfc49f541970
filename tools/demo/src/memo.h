// Renders an entry's explanation (the SZOVMAGY memo) as rich text or as plain text.
//
// Rich text: windows-1250 code page, Central European font charset, the headword in bold
// colour, the origin in italics, one paragraph per block; non-ASCII letters as \'xx escapes,
// so the result is pure ASCII. Plain text: windows-1250 bytes, lines separated by bare LF.
// Inline markup of the sources: //italic//, **bold**, [[REFERENCE]] (bold, coloured in rich
// text). Free functions, no state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "entries.h"

namespace demo {

enum class SpanStyle { kNormal, kItalic, kBold, kReference };

struct Span {
  SpanStyle style = SpanStyle::kNormal;
  std::string text;  // UTF-8, markup removed
};

// Splits a block's text at its inline markers. Throws std::runtime_error on a marker that
// is not closed or on nested markers.
std::vector<Span> ParseInline(std::string_view text);

// Escapes UTF-8 text for the body of a windows-1250 rich text document.
std::string RtfEscape(std::string_view utf8);

// The memo as a rich text document (ASCII bytes).
std::string RenderRtf(const Entry& entry);

// The memo as plain windows-1250 text with LF line breaks.
std::string RenderPlain(const Entry& entry);

}  // namespace demo

namespace demo {

// Checks that every [[REFERENCE]] of every entry names an existing headword. Throws
// std::runtime_error naming the entry and the missing headword.
void CheckReferences(const std::vector<Entry>& entries);

}  // namespace demo
