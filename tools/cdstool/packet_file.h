// Reading and writing packet files for cdstool.
//
// Inputs are only ever regular files: a FIFO, a device or a folder named as
// an input is refused before anything is read from it (opening does not
// wait), and a file is read up to the size it had when opened, never
// beyond, so no input can make the tool read without end.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "dataset/packet/packet_bytes.h"
#include "dataset/packet/packet_model.h"

namespace cdstool {

// The whole file, when it is a regular file of at most `limit` bytes.
// Raises "Cannot open file "<name>". <reason>" when it cannot be opened or
// is no regular file, and "File "<name>" is too large: <n> bytes, at most
// <limit>." when it is larger, before reading any of it.
std::vector<std::uint8_t> ReadFileBytes(
    const std::string& path, std::uint64_t limit = std::numeric_limits<std::uint64_t>::max());

// The file mapped, not read (its pages are read as they are used), with the
// same refusals as ReadFileBytes; an empty file gives no bytes.
dorvem::PacketBytes MapFileBytes(const std::string& path);

// The packet of `path` as a model, for the commands that rewrite a packet
// (convert, export): only a packet the dataset opens (with its kept orders
// in `cacheFolder`) is read on; another raises the dataset's error.
dorvem::PacketModel ReadOpenablePacketModel(const std::string& path,
                                            const std::string& cacheFolder);

// Writes the bytes, replacing the file; raises on failure.
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace cdstool
