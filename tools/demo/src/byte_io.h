// Little-endian integer writers shared by the binary file encoders (bitmaps, WAV, AVI).
// Inline free functions appending to a byte string the caller owns.
#pragma once

#include <cstdint>
#include <string>

namespace demo {

inline void Put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

}  // namespace demo
