// The words the everything search finds an entry by: those of its headword
// and of its explanation as the explanation view shows it. Rich text is
// read by our RTF reader into a document (rtf/memo_text.h) and only the
// document's text counts, never the control words; plain text is folded
// straight from the data's code page; an explanation the view cannot load
// (zero bytes, not rich text) has no words.
#pragma once

#include <cstdint>
#include <string_view>

#include "dictionary/everything_index.h"

namespace dorvem {

class DSBASE;

// The index of the records of `table`: each visible record's string field
// `headwordField` and blob field `explanationField`, whose plain text is in
// `codePage`. Reads the table directly, without moving any cursor.
TEverythingIndex BuildEverythingIndex(DSBASE& table, std::uint32_t headwordField,
                                      std::uint32_t explanationField, std::uint32_t codePage);

}  // namespace dorvem
