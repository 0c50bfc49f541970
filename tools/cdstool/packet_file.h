// Reading and writing whole packet files for cdstool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cdstool {

// The whole file; raises "Cannot open file "<name>". <reason>" on failure.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);
// Writes the bytes, replacing the file; raises on failure.
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace cdstool
