// PacketDamage: what a binary packet holds that its reader passes over in
// silence.
//
// A loading table reads exactly the header's row count of rows and ignores
// what follows; a value whose length word has the not-fetched bit set loads
// as a value that can never be read. So a packet that lost bytes in the
// middle, or whose header was edited, may still load, with fewer, other or
// unreadable entries, and nothing says so. FindPacketDamage reads the rows
// up to the end of the bytes instead and reports each kind of damage once,
// with how often it occurs and where it first does:
//   - values that cannot be fetched (the not-fetched bit in a packet that
//     is read from a file, which has every value);
//   - fewer whole rows than the header's row count (the load then fails or
//     shows fewer entries);
//   - more whole rows than the header's row count (the load shows only the
//     counted ones);
//   - bytes after the last whole row that no row accounts for.
// It neither loads nor changes anything; the packet's own refusal (a header
// or metadata the reader refuses) is not its business: the load reports it.
// Each finding has one line in Hungarian (DamageText), for the data check
// and cdstool alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dataset/core/result_codes.h"
#include "dataset/packet/packet_bytes.h"

namespace dorvem {

enum class DamageKind { kUnfetchedValues, kFewerRows, kMoreRows, kTrailingBytes };

struct PacketDamage {
  DamageKind kind = DamageKind::kUnfetchedValues;
  std::uint64_t count = 0;       // values (kUnfetchedValues), trailing bytes
  std::uint32_t headerRows = 0;  // the header's row count
  std::uint32_t wholeRows = 0;   // rows read whole up to the end of the bytes
  std::uint32_t firstRow = 0;    // kUnfetchedValues: 1-based row of the first
  std::string firstColumn;       // kUnfetchedValues: its column's name (as stored)
  std::uint64_t offset = 0;      // kTrailingBytes: where they begin
};

// Reads `packet` and puts what is damaged into *out (empty when nothing is).
// A text (XML) packet, a packet with nested tables and a packet the reader
// refuses before its rows give no findings. kOutOfMemory when memory runs
// out; kOk otherwise.
DBResult FindPacketDamage(PacketBytes packet, std::vector<PacketDamage>* out);

// The same for the file at `path`, mapped (never read whole) and opened
// only when it is a regular file; a file that cannot be opened or mapped
// gives no findings (opening the dataset reports it), one truncated while
// it is read gives none and kDataFileChangedWhileLoading.
DBResult FindPacketFileDamage(const std::string& path, std::vector<PacketDamage>* out);

// One line in Hungarian (UTF-8) describing `damage`, without a final full
// stop; column names are taken as windows-1250.
std::string DamageText(const PacketDamage& damage);

// The DamageText lines of the file at `path` (FindPacketFileDamage); none
// when memory runs out, the message alone when the file changed meanwhile.
std::vector<std::string> PacketFileDamageLines(const std::string& path);

}  // namespace dorvem
