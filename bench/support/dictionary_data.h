// Dictionary-shaped data for benchmarks: Hungarian-like headwords in
// windows-1250 and whole packets of the program's table, generated from a
// fixed seed so every run measures the same bytes.
#pragma once

#include <cstdint>
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

// Peak resident memory of the process in bytes, and a reset of that peak
// (so that one benchmark's peak can be read on its own).
std::uint64_t PeakResidentBytes();
void ResetPeakResident();
std::uint64_t CurrentResidentBytes();

// Stops the benchmark program when an engine call that must succeed fails.
void Must(DBResult result);

}  // namespace dorvem::bench
