#include "tests/app/bmp_writer.h"

#include <map>

namespace dorvem::testing {

namespace {

void Append16(std::string& b, std::uint32_t v) {
  b.push_back(static_cast<char>(v & 0xFF));
  b.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Append32(std::string& b, std::uint32_t v) {
  Append16(b, v & 0xFFFF);
  Append16(b, v >> 16);
}

std::uint32_t R(std::uint32_t c) {
  return (c >> 16) & 0xFF;
}
std::uint32_t G(std::uint32_t c) {
  return (c >> 8) & 0xFF;
}
std::uint32_t B(std::uint32_t c) {
  return c & 0xFF;
}

// One stored row of pixel values, most significant bits first for depths
// below 8, padded to a multiple of 4 bytes.
std::string PackedRow(const std::vector<std::uint32_t>& values, int bits) {
  std::string row;
  if (bits < 8) {
    std::uint32_t acc = 0;
    int used = 0;
    for (std::uint32_t v : values) {
      acc = acc << bits | v;
      used += bits;
      if (used == 8) {
        row.push_back(static_cast<char>(acc));
        acc = 0;
        used = 0;
      }
    }
    if (used > 0) row.push_back(static_cast<char>(acc << (8 - used)));
  } else {
    for (std::uint32_t v : values)
      for (int byte = 0; byte < bits / 8; ++byte) row.push_back(static_cast<char>(v >> (8 * byte)));
  }
  while (row.size() % 4 != 0) row.push_back('\0');
  return row;
}

// A row of indices as runs: count (at most 255), index.
std::string RunRow(const std::vector<std::uint32_t>& indices) {
  std::string row;
  for (std::size_t i = 0; i < indices.size();) {
    std::size_t n = 1;
    while (i + n < indices.size() && n < 255 && indices[i + n] == indices[i]) ++n;
    row.push_back(static_cast<char>(n));
    row.push_back(static_cast<char>(indices[i]));
    i += n;
  }
  return row;
}

}  // namespace

RgbPicture Pattern(int width, int height, const std::vector<std::uint32_t>& colours) {
  RgbPicture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      p.pixels.push_back(colours[static_cast<std::size_t>(x + 2 * y) % colours.size()]);
  return p;
}

RgbPicture Gradient(int width, int height) {
  RgbPicture p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const auto ux = static_cast<std::uint32_t>(x);
      const auto uy = static_cast<std::uint32_t>(y);
      const std::uint32_t blue = (ux >> 8) * 16 + (uy >> 8) * 64;
      p.pixels.push_back((ux & 0xFF) << 16 | (uy & 0xFF) << 8 | blue);
    }
  return p;
}

std::uint32_t Cut16(std::uint32_t rgb, bool green6) {
  const std::uint32_t greenMask = green6 ? 0xFC : 0xF8;
  return (R(rgb) & 0xF8) << 16 | (G(rgb) & greenMask) << 8 | (B(rgb) & 0xF8);
}

std::string EncodeBmp(const RgbPicture& picture, const BmpEncoding& e) {
  const bool indexed = e.bits <= 8;
  std::vector<std::uint32_t> palette;
  std::map<std::uint32_t, std::uint32_t> indexOf;
  if (indexed)
    for (std::uint32_t c : picture.pixels)
      if (indexOf.emplace(c, static_cast<std::uint32_t>(palette.size())).second)
        palette.push_back(c);

  std::string pixels;
  for (int i = 0; i < picture.height; ++i) {
    const int y = e.topDown ? i : picture.height - 1 - i;
    std::vector<std::uint32_t> values;
    for (int x = 0; x < picture.width; ++x) {
      const std::uint32_t c = picture.At(x, y);
      if (indexed)
        values.push_back(indexOf[c]);
      else if (e.bits == 16 && e.kind == BmpEncoding::kBitFields)
        values.push_back((R(c) >> 3) << 11 | (G(c) >> 2) << 5 | B(c) >> 3);
      else if (e.bits == 16)
        values.push_back((R(c) >> 3) << 10 | (G(c) >> 3) << 5 | B(c) >> 3);
      else
        values.push_back(c);  // 24 and 32 bits store blue, green, red (, 0)
    }
    if (e.kind == BmpEncoding::kRle8) {
      pixels += RunRow(values);
      pixels += i + 1 < picture.height ? std::string("\0\0", 2) : std::string("\0\1", 2);
    } else {
      pixels += PackedRow(values, e.bits);
    }
  }

  std::string header;
  std::size_t entries = palette.size();
  if (e.coreHeader) {
    Append32(header, 12);
    Append16(header, static_cast<std::uint32_t>(picture.width));
    Append16(header, static_cast<std::uint32_t>(picture.height));
    Append16(header, 1);
    Append16(header, static_cast<std::uint32_t>(e.bits));
    if (indexed) entries = std::size_t{1} << e.bits;  // a core table is always full
  } else {
    const std::uint32_t compression = e.kind == BmpEncoding::kRle8        ? 1
                                      : e.kind == BmpEncoding::kBitFields ? 3
                                                                          : 0;
    Append32(header, 40);
    Append32(header, static_cast<std::uint32_t>(picture.width));
    Append32(header, static_cast<std::uint32_t>(e.topDown ? -picture.height : picture.height));
    Append16(header, 1);
    Append16(header, static_cast<std::uint32_t>(e.bits));
    Append32(header, compression);
    Append32(header, static_cast<std::uint32_t>(pixels.size()));
    Append32(header, 2835);
    Append32(header, 2835);
    Append32(header, static_cast<std::uint32_t>(palette.size()));
    Append32(header, 0);
    if (e.kind == BmpEncoding::kBitFields) {
      const bool bits16 = e.bits == 16;
      Append32(header, bits16 ? 0xF800 : 0xFF0000);
      Append32(header, bits16 ? 0x07E0 : 0x00FF00);
      Append32(header, bits16 ? 0x001F : 0x0000FF);
    }
  }
  for (std::size_t i = 0; i < entries; ++i) {
    const std::uint32_t c = i < palette.size() ? palette[i] : 0;
    header.push_back(static_cast<char>(B(c)));
    header.push_back(static_cast<char>(G(c)));
    header.push_back(static_cast<char>(R(c)));
    if (!e.coreHeader) header.push_back('\0');
  }

  std::string file = "BM";
  const auto offset = static_cast<std::uint32_t>(14 + header.size());
  Append32(file, offset + static_cast<std::uint32_t>(pixels.size()));
  Append32(file, 0);
  Append32(file, offset);
  return file + header + pixels;
}

std::string WithGraphicHeader(const std::string& file) {
  return WithGraphicHeader(file, static_cast<std::uint32_t>(file.size()));
}

std::string WithGraphicHeader(const std::string& file, std::uint32_t size) {
  std::string blob;
  Append16(blob, 1);
  Append16(blob, 0x0100);
  Append32(blob, size);
  return blob + file;
}

void Put16(std::string& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
  Put16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
  Put16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace dorvem::testing
