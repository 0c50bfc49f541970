// `dorvem --lookup`: the entries a search finds, printed without a window.
//
// For people, each entry is its headword on a line of its own, its
// explanation as plain text (paragraphs kept, wrapped to the terminal's
// width when there is one), then "Médiafájl: " and "Kotta: " lines for the
// files the play and score buttons would use, and an empty line between
// entries. With --json each entry is one line holding a JSON object:
// {"headword", "text", "media", "mediaFound", "score"} (media and score
// null when there is none).
#pragma once

#include <ostream>

#include "app/command_line.h"
#include "dictionary/dictionary_options.h"

namespace dorvem {

// Looks up `commandLine.search` (cmLookup) in the data file of `options`
// and writes the entries to `out`; `wrapWidth` is the terminal's width in
// characters, 0 for output that is not wrapped. Returns 0 when it found an
// entry, 1 when none, and 2 (with a one-line message on `err`) when the
// data file cannot be opened or the search is not available. Needs the GUI
// application object.
int RunLookup(const TCommandLine& commandLine, const TDictionaryOptions& options, std::ostream& out,
              std::ostream& err, int wrapWidth);

// The width of the terminal that the file descriptor `fd` writes to, in
// characters; 0 when it is not a terminal (or tells no width).
int TerminalWidth(int fd);

// `text` with each of its lines ("\n"-separated) broken before words so
// that no line is longer than `width` characters, where words allow; a
// word longer than that stays whole on a line of its own. Blanks at a break
// are dropped. `width` 0: `text` unchanged.
QString WrapText(const QString& text, int width);

}  // namespace dorvem
