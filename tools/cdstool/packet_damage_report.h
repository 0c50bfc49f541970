// The damage check of a packet as cdstool reports it: info and rows run it
// after what they print, so that both agree with `dorvem --check`.
#pragma once

#include "dataset/packet/packet_bytes.h"

namespace cdstool {

// Looks for damage in `packet` (packet_damage.h) and prints one line per
// finding on stderr, as errors are printed ("cdstool: " + the line as the
// error report shows it). 1 when anything was found, else 0.
int ReportDamage(dorvem::PacketBytes packet);

}  // namespace cdstool
