// MappingFaultGuard: a read of a mapped file that another program has
// truncated gives zeros instead of killing the process.
//
// Touching a page of a file mapping that lies past the file's current end
// raises SIGBUS. A process-wide handler, installed with the first watched
// range, puts a page of zeros in the place of such a page and lets the read
// go on; the range is marked as having faulted, so its owner can tell that
// what it read is not the file it mapped. A SIGBUS outside every watched
// range goes to the handler that was there before (or kills the process as
// it would have). The handler takes no lock and allocates nothing.
//
// Tested by tests/dataset/data_file_change_test.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvem::mapping_fault_guard {

// Watches the mapped range [begin, begin + size). Returns its slot, or -1
// when every slot is taken (the range is then read unguarded, as before).
int Watch(const void* begin, std::size_t size);
// Stops watching the slot (before its range is unmapped); -1 is ignored.
void Forget(int slot);
// True when a read in the slot's range met a page the file no longer has.
bool Faulted(int slot);
// How many such pages were replaced by zeros in this process so far.
std::uint64_t FaultCount();

}  // namespace dorvem::mapping_fault_guard
