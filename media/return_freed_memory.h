// ReturnFreedMemory: hands the heap's free memory back to the system.
//
// A pipeline freed after use (a MIDI piece's holds its sound font, over a
// hundred megabytes) leaves its memory free inside the process, where the
// C library keeps it for later allocations; resident memory only falls
// when it is given back. Called after idle pipelines are released, never on
// a keystroke's path: it walks the heap.
#pragma once

namespace dorvem::mci {

void ReturnFreedMemory();

}  // namespace dorvem::mci
