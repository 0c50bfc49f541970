// Reading a data packet file for a client dataset: the file mapped (or, when
// it cannot be, read whole) together with its identity (PacketSource).
#pragma once

#include <sys/stat.h>

#include <string>

#include "dataset/packet/packet_bytes.h"

namespace dorvem {

// The identity of the file `fileName` whose status is `st`: its absolute
// path (normalised; `fileName` itself when that cannot be had), size,
// times, device and inode, with the cache folder its dataset names.
PacketSource PacketSourceOf(const std::string& fileName, const std::string& cacheFolder,
                            const struct stat& st);

// The packet of file `fileName` for the dataset named `datasetName`.
// Raises EDatabaseError "Missing data packet" when there is no such
// regular file or it is empty, and "Cannot open file ..." with the system's
// reason when it cannot be opened or read.
PacketBytes ReadPacketFileOf(const std::string& fileName, const std::string& cacheFolder,
                             const std::string& datasetName);

}  // namespace dorvem
