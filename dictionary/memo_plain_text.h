// An explanation as plain text, for the terminal and for scripts.
//
// The memo is read exactly as the explanation view reads it (memo_text.h:
// rich text through our RTF reader, else plain text in the data's code
// page, else the failure text "(Failed to Load Stream)"), and what the
// view would show is taken back out as text: one line per paragraph, with
// formatting, fonts, colours and pictures left out. Needs the GUI
// application object (the reader builds a text document).
#pragma once

#include <QString>
#include <cstdint>
#include <string_view>

namespace dorvem {

// The text of the memo `bytes` (data in `codePage`): paragraphs and line
// breaks become "\n" (none after the last paragraph), a no-break space a
// space, a table cell's end a tab; an embedded picture leaves nothing.
QString MemoPlainText(std::string_view bytes, std::uint32_t codePage);

}  // namespace dorvem
