// RIFF WAVE files: chunk layout and playing time.
//
// "RIFF", u32 size, "WAVE", then chunks: a four-byte id, a u32 size and the
// body, padded to an even length. The "fmt " chunk holds u16 format tag,
// u16 channels, u32 samples per second, u32 average bytes per second,
// u16 block align, ...; the "data" chunk holds the sound. All integers are
// little-endian.
#include <cstring>

#include "dataset/core/byte_layout.h"
#include "media/probe/media_formats.h"

namespace dorvem::mci {

std::optional<std::uint32_t> WaveLengthMs(std::span<const std::uint8_t> file) {
  if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
      std::memcmp(file.data() + 8, "WAVE", 4) != 0)
    return std::nullopt;
  std::uint32_t bytesPerSecond = 0;
  std::size_t at = 12;
  while (file.size() - at >= 8) {
    const std::uint8_t* chunk = file.data() + at;
    const std::uint32_t size = LoadU32(chunk + 4);
    const std::size_t available = file.size() - at - 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (size < 16 || available < 16) return std::nullopt;
      bytesPerSecond = LoadU32(chunk + 16);
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      // The sound comes after its format; a data chunk cut short plays what
      // is there.
      if (bytesPerSecond == 0) return std::nullopt;
      const std::uint64_t bytes = std::min<std::uint64_t>(size, available);
      return static_cast<std::uint32_t>(bytes * 1000 / bytesPerSecond);
    }
    if (size > available) return std::nullopt;
    at += 8 + std::size_t(size) + (size & 1);
    if (at > file.size()) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace dorvem::mci
