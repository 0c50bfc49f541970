// MPEG audio frames: header layout and the playing time of a stream of them.
//
// A frame header is four bytes: 11 sync bits, version (2 bits: 0 = MPEG 2.5,
// 2 = MPEG 2, 3 = MPEG 1), layer (2 bits: 1 = III, 2 = II, 3 = I), CRC flag;
// bit-rate index (4 bits), sample-rate index (2 bits), padding bit, private
// bit; then channel mode and flags that the length does not need.
#include <array>
#include <cstring>

#include "media/probe/media_formats.h"

namespace dorvem::mci {

namespace {

// Kilobits per second by [table][index]; index 0 (free format) and 15 are
// not playable here.
constexpr std::array<std::array<std::uint16_t, 16>, 5> kBitRates{{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},  // 1, I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},     // 1, II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},      // 1, III
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},     // 2, I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},          // 2, II, III
}};

struct FrameHeader {
  std::uint32_t length = 0;       // bytes, header included
  std::uint32_t samples = 0;      // per channel
  std::uint32_t sampleRate = 0;   // per second
  std::uint32_t sideInfoEnd = 0;  // offset of the first byte after the side information
};

std::optional<FrameHeader> ParseHeader(std::span<const std::uint8_t> b) {
  if (b.size() < 4 || b[0] != 0xFF || (b[1] & 0xE0) != 0xE0) return std::nullopt;
  const unsigned version = (b[1] >> 3) & 3;
  const unsigned layer = (b[1] >> 1) & 3;
  const unsigned rateIndex = b[2] >> 4;
  const unsigned srIndex = (b[2] >> 2) & 3;
  if (version == 1 || layer == 0 || srIndex == 3) return std::nullopt;
  const bool mpeg1 = version == 3;
  static constexpr std::uint32_t kRates[3] = {44100, 48000, 32000};
  const std::uint32_t sampleRate = kRates[srIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  const unsigned table = mpeg1 ? 3 - layer : layer == 3 ? 3 : 4;
  const std::uint32_t bitRate = kBitRates[table][rateIndex] * 1000u;
  if (bitRate == 0) return std::nullopt;
  const std::uint32_t padding = (b[2] >> 1) & 1;

  FrameHeader h;
  h.sampleRate = sampleRate;
  if (layer == 3) {  // layer I: slots of four bytes
    h.samples = 384;
    h.length = (12 * bitRate / sampleRate + padding) * 4;
  } else if (layer == 2 || mpeg1) {  // layer II, and layer III of MPEG 1
    h.samples = 1152;
    h.length = 144 * bitRate / sampleRate + padding;
  } else {  // layer III of MPEG 2 and 2.5
    h.samples = 576;
    h.length = 72 * bitRate / sampleRate + padding;
  }
  const bool mono = (b[3] >> 6) == 3;
  const std::uint32_t sideInfo = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
  h.sideInfoEnd = 4 + ((b[1] & 1) == 0 ? 2 : 0) + sideInfo;
  if (h.length < 4) return std::nullopt;
  return h;
}

// Whether the frame at `frame` is an encoder's information frame (Xing,
// Info or VBRI tag), which carries no sound.
bool IsInfoFrame(std::span<const std::uint8_t> frame, const FrameHeader& h) {
  const auto has = [&](std::size_t at, const char* tag) {
    return frame.size() >= at + 4 && std::memcmp(frame.data() + at, tag, 4) == 0;
  };
  const std::size_t xing = h.sideInfoEnd;
  return has(xing, "Xing") || has(xing, "Info") || has(4 + 32, "VBRI");
}

// Bytes of the ID3v2 tags at the start (header, body, footer), back to back.
std::size_t Id3Size(std::span<const std::uint8_t> b) {
  std::size_t at = 0;
  while (b.size() >= at + 10 && std::memcmp(b.data() + at, "ID3", 3) == 0) {
    const std::uint8_t* s = b.data() + at + 6;
    if ((s[0] | s[1] | s[2] | s[3]) & 0x80) break;  // sizes are 7 bits a byte
    const std::size_t body =
        std::size_t(s[0]) << 21 | std::size_t(s[1]) << 14 | std::size_t(s[2]) << 7 | s[3];
    const bool footer = (b[at + 5] & 0x10) != 0;
    at += 10 + body + (footer ? 10 : 0);
  }
  return at;
}

// Whether a frame begins at `at` and is followed by another one (or by the
// end of the bytes).
bool FrameChainAt(std::span<const std::uint8_t> b, std::size_t at) {
  const auto h = ParseHeader(b.subspan(at));
  if (!h) return false;
  const std::size_t next = at + h->length;
  if (next >= b.size()) return next == b.size();
  return ParseHeader(b.subspan(next)).has_value();
}

}  // namespace

std::size_t MpegFrameLength(std::span<const std::uint8_t> bytes) {
  const auto h = ParseHeader(bytes);
  return h ? h->length : 0;
}

std::optional<std::uint32_t> Mp3LengthMs(std::span<const std::uint8_t> file) {
  std::size_t at = Id3Size(file);
  if (at > file.size()) return std::nullopt;
  // Encoders may pad after the tag: look a little further for the first
  // frame that another frame follows.
  const std::size_t searchEnd = std::min(file.size(), at + 4096);
  while (at < searchEnd && !FrameChainAt(file, at)) ++at;
  if (at >= searchEnd) return std::nullopt;

  std::uint64_t micros = 0;
  std::size_t frames = 0;
  while (at < file.size()) {
    const auto h = ParseHeader(file.subspan(at));
    // A trailing tag, or a last frame cut short, ends the sound.
    if (!h || at + h->length > file.size()) break;
    if (frames > 0 || !IsInfoFrame(file.subspan(at, h->length), *h))
      micros += std::uint64_t(h->samples) * 1000000u / h->sampleRate;
    ++frames;
    at += h->length;
  }
  if (frames == 0) return std::nullopt;
  return static_cast<std::uint32_t>(micros / 1000);
}

}  // namespace dorvem::mci
