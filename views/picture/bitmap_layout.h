// The byte layout of a picture blob and the checks made on it before any
// pixel is decoded. No Qt here: these are the rules on bytes alone.
//
// A picture blob is a device-independent bitmap file, optionally preceded by
// an 8-byte graphic header:
//   offset 0  u16 count  = 1
//   offset 2  u16 type   = 0x0100 (bytes 00 01)
//   offset 4  u32 size   = blob length - 8
// all little-endian. The header is recognised only when the blob has at
// least 8 bytes and all three values match; the bitmap file then starts at
// byte 8, otherwise at byte 0.
//
// The bitmap file:
//   offset 0   2 bytes "BM"; u32 file size; 2 x u16 reserved; u32 offset of
//              the pixel rows (bfOffBits)                          14 bytes
//   offset 14  information header, its first u32 being its own size:
//              12: core header: u16 width, u16 height, u16 planes,
//                  u16 bits per pixel; colour table of 3-byte entries
//              40 and more: i32 width, i32 height (negative: rows stored
//                  top-down), u16 planes, u16 bits per pixel,
//                  u32 compression, u32 image size, 2 x i32 resolution,
//                  u32 colours used, u32 colours important; colour table
//                  of 4-byte entries
//   then, for a 40-byte header with bit-field compression (3), the 32-bit
//   red, green and blue masks (12 bytes; 16 with alpha-bit-field
//   compression, 6); then the colour table; then the pixel rows, from
//   bfOffBits when that lies beyond the colour table, else right after it.
//
// The colour table holds "colours used" entries when that is not 0, else
// 2^bits entries for 1 to 8 bits per pixel and none above (a core header
// has no "colours used": 2^bits for up to 8 bits, else none).
//
// The checks, in the order in which a reader meets the bytes:
//   - no bytes at all: an empty picture, no error;
//   - fewer than 14 bytes: read error;
//   - not "BM": not valid;
//   - the header's size, the header, the masks or the colour table cut
//     short: read error;
//   - a header size other than 12 or at least 40: not valid;
//   - planes other than 1: not valid;
//   - sizes and kinds the pixel decoder cannot take: not valid. These are a
//     width below 1, a height of 0, bits per pixel other than 1, 4, 8, 16,
//     24 or 32, a compression other than none (0), RLE8 (1, with 8 bits),
//     RLE4 (2, with 4 bits) and bit fields (3, with 16 or 32 bits), and
//     compressed rows stored top-down.
// Pixel rows cut short are not an error: the missing bytes read as zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace dorvem {

inline constexpr std::size_t kGraphicHeaderSize = 8;
inline constexpr std::uint16_t kGraphicHeaderCount = 1;
inline constexpr std::uint16_t kGraphicHeaderType = 0x0100;

inline constexpr std::size_t kBitmapFileHeaderSize = 14;
inline constexpr std::size_t kBitmapPixelOffsetAt = 10;  // bfOffBits
inline constexpr std::uint32_t kBitmapCoreHeaderSize = 12;
inline constexpr std::uint32_t kBitmapInfoHeaderSize = 40;

// Compression codes of the information header.
inline constexpr std::uint32_t kBitmapRgb = 0;
inline constexpr std::uint32_t kBitmapRle8 = 1;
inline constexpr std::uint32_t kBitmapRle4 = 2;
inline constexpr std::uint32_t kBitmapBitFields = 3;
inline constexpr std::uint32_t kBitmapAlphaBitFields = 6;

// The bytes of the bitmap file inside `blob`: after the graphic header when
// the blob has one, else all of it.
std::span<const std::uint8_t> BitmapFileOfBlob(std::span<const std::uint8_t> blob);

enum class TBitmapCheck {
  kOk,
  kEmpty,      // no bytes: an empty picture
  kNotValid,   // "Bitmap image is not valid"
  kReadError,  // "Stream read error"
};

// What the checks found out about a bitmap file.
struct TBitmapLayout {
  TBitmapCheck check = TBitmapCheck::kEmpty;
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: top-down rows
  std::uint16_t bitCount = 0;
  std::uint32_t compression = kBitmapRgb;
  bool coreHeader = false;
  // Where the colour table begins and ends, within the file: the bytes
  // before its end are all present when the check is kOk.
  std::size_t tableStart = 0;
  std::size_t tableEnd = 0;
  // Where the pixel rows begin, within the file; may lie beyond its end.
  std::uint64_t pixelOffset = 0;
  // Bytes of one stored row of uncompressed pixels (0 when compressed).
  std::uint64_t rowBytes = 0;

  bool Compressed() const { return compression == kBitmapRle8 || compression == kBitmapRle4; }
  std::uint64_t Rows() const {
    const std::int64_t h = height;
    return static_cast<std::uint64_t>(h < 0 ? -h : h);
  }
};

// Runs the checks above on the bytes of a bitmap file. Reads nothing
// outside `file`.
TBitmapLayout InspectBitmapFile(std::span<const std::uint8_t> file);

}  // namespace dorvem
