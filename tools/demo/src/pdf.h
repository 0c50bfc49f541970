// Writes a one-page score document (PDF 1.4) for a tune: a title, a subtitle, the music
// laid out in systems and the publisher's line at the foot of the page.
//
// Everything musical is drawn with path operators; the texts use the standard Helvetica
// fonts with the Latin encoding extended by the Hungarian double-acute letters (ő ű Ő Ű).
// No dates or identifiers are written, so equal input gives equal bytes. Free function.
#pragma once

#include <string>

#include "music.h"

namespace demo {

// Returns the PDF file's bytes. `title` and `subtitle` are UTF-8 and may use ASCII and the
// Hungarian letters; anything else throws std::runtime_error.
std::string ScorePdf(const std::string& title, const std::string& subtitle, const Tune& tune);

// The text as bytes of the documents' font encoding (see above).
std::string PdfTextBytes(const std::string& utf8);

}  // namespace demo
