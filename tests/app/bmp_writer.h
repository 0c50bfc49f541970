// A small bitmap file writer for the picture tests, written from the
// published file layout and independent of the program's reader: it turns
// a picture given as colours into the bytes of a bitmap file in a chosen
// depth, header kind and row order, so that the tests know exactly which
// colour every pixel must show.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dorvem::testing {

// A picture as colours 0xRRGGBB, top row first.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// width x height pixels; pixel (x, y) takes colours[(x + 2 * y) % size].
RgbPicture Pattern(int width, int height, const std::vector<std::uint32_t>& colours);
// Every pixel its own colour: red x, green y, blue from the high bits of
// both (unique up to 1024 x 1024).
RgbPicture Gradient(int width, int height);

struct BmpEncoding {
  enum Kind {
    kRgb,        // uncompressed; 16 bits as 5-5-5
    kRle8,       // 8 bits, runs
    kBitFields,  // 16 bits as 5-6-5, 32 bits as 8-8-8, masks after the header
  };
  int bits = 24;  // 1, 4, 8, 16, 24 or 32
  Kind kind = kRgb;
  bool coreHeader = false;  // the 12-byte header with 3-byte colour entries
  bool topDown = false;     // negative height, top row stored first
};

// The bitmap file of `picture`. Indexed depths get a palette of the
// picture's colours in order of first appearance (at most 2^bits of them).
// Colours of 16-bit pictures keep only their top 5 (green: 5 or 6) bits.
std::string EncodeBmp(const RgbPicture& picture, const BmpEncoding& encoding);

// The colour a 16-bit pixel shows for `rgb`: each component cut to its
// stored bits, the bits standing at the top of the 8-bit value.
std::uint32_t Cut16(std::uint32_t rgb, bool green6);

// The 8-byte graphic header (count 1, type 0x0100, the given size) in front
// of `file`; the size is that of `file` unless another one is given.
std::string WithGraphicHeader(const std::string& file);
std::string WithGraphicHeader(const std::string& file, std::uint32_t size);

// Little-endian stores into a byte string.
void Put16(std::string& bytes, std::size_t at, std::uint16_t value);
void Put32(std::string& bytes, std::size_t at, std::uint32_t value);

}  // namespace dorvem::testing
