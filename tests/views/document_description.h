// Test helper: a text document described as plain strings, so that tests
// can state the exact blocks, runs and formats they expect.
//
// A block is described by its non-default paragraph settings, e.g.
// "align=center li=48 ri=24 fi=-24 sb=8 sa=16" (margins in document pixels)
// or "" for a plain block. A run is its text followed, in braces, by its
// non-default character settings in this order: font=<family>, <n>pt (when
// not 12), b, i, u (single) / u:dot / u:dash / u:wave, s (strike), sub /
// super, fg=#rrggbb, bg=#rrggbb; e.g. "bold{b}" or "x{font=Arial 10pt i}";
// a run with none is its bare text. A picture is "[image WxH]" with its
// shown size. Line separators show as "|", tabs as "\t".
#pragma once

#include <QTextDocument>
#include <string>
#include <vector>

namespace dorvem::testing {

struct BlockDescription {
  std::string format;
  std::vector<std::string> runs;
  bool operator==(const BlockDescription&) const = default;
};

std::vector<BlockDescription> Describe(const QTextDocument& doc);

// Only the runs of all blocks, in order.
std::vector<std::string> Runs(const QTextDocument& doc);

// The document's text with blocks joined by "\n" (line separators as "|",
// other characters as they are, a picture as U+FFFC).
std::string Text(const QTextDocument& doc);

void PrintTo(const BlockDescription& b, std::ostream* os);

}  // namespace dorvem::testing
