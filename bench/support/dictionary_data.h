// Dictionary-shaped data for benchmarks: Hungarian-like headwords in
// windows-1250 and whole packets of the program's table, generated from a
// fixed seed so every run measures the same bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dataset/core/result_codes.h"

namespace dorvem::bench {

// `count` upper-case headwords of up to 40 bytes: accented letters, the
// digraphs CS SZ ZS GY NY LY TY DZ, blanks, hyphens and apostrophes; about
// `duplicatePercent` of them repeat an earlier one.
std::vector<std::string> HungarianHeadwords(std::size_t count, int duplicatePercent = 2,
                                            std::uint32_t seed = 1038);

// A binary packet of `count` records of the program's table: a file name, a
// headword, a memo of a few hundred bytes, a picture blob in one record of
// ten, and an integer.
std::vector<std::uint8_t> DictionaryPacket(std::size_t count);

// Path of that packet in the temporary folder, written on first use.
std::string DictionaryPacketFile(std::size_t count);

// The folder the benchmarks' datasets keep their caches in
// ("dorvem-bench-cache" in the temporary folder; never the user's), so
// that a second open of a packet reads its ranks back as the program does.
std::string CacheFolder();

// A binary packet of `count` records shaped like a large dictionary as the
// window benchmarks use it: headwords as HungarianHeadwords gives them, the
// first `dottedCount` of them (in record order) with a leading "." so that
// the window's start-up filter shows a list; a plain-text memo of 60 to 240
// bytes in windows-1250 each; a media file name ("hang<n>.mp3") on every
// third record; no pictures; Index 1, 2, ...
std::vector<std::uint8_t> PlainDictionaryPacket(std::size_t count, std::size_t dottedCount = 8);

// A binary packet of `count` records in the shape of the peer bench's large
// dictionary: headwords of one to four Hungarian-like syllables (a second
// word on one in four), upper case in windows-1250; on every entry the
// plain-text memo "<headword in lower case>: zenei fogalom, <n>. szócikk. "
// said one to four times; a media name on every third; no pictures.
std::vector<std::uint8_t> PeerShapedPacket(std::size_t count);
// That packet in the temporary folder, written on first use; its path.
std::string PeerShapedPacketFile(std::size_t count);

// One record of the program's table for the entry benchmarks: a headword,
// a memo and a picture blob (either may be null).
struct BenchEntry {
  std::string headword;
  std::optional<std::string> memo;
  std::optional<std::vector<std::uint8_t>> graphic;
};

// A binary packet of those records, in that order, with Index 1, 2, ...
std::vector<std::uint8_t> EntryPacket(const std::vector<BenchEntry>& entries);
// That packet written to "dorvem-bench-<name>.cds" in the temporary folder
// (rewritten on every call); returns the path.
std::string EntryPacketFile(const std::string& name, const std::vector<BenchEntry>& entries);

// A rich-text memo of at least `size` bytes in the demo dictionary's style:
// a font and colour table, then paragraphs with indents, bullets, bold,
// italic, underlined and coloured runs, windows-1250 escapes and \u
// characters.
std::string LargeRichTextMemo(std::size_t size);

// A picture blob as the demo dictionary stores them: the 8-byte graphic
// header (count 1, type 0x0100, the size of what follows), then a 24-bit
// bottom-up bitmap file of `width` x `height` pixels with a 40-byte
// information header and no colour table, its pixels a colour gradient.
std::vector<std::uint8_t> PictureBlob24(int width, int height);

// Peak resident memory of the process in bytes, and a reset of that peak
// (so that one benchmark's peak can be read on its own).
std::uint64_t PeakResidentBytes();
void ResetPeakResident();
std::uint64_t CurrentResidentBytes();

// Stops the benchmark program when an engine call that must succeed fails.
void Must(DBResult result);

}  // namespace dorvem::bench
