#include "bmp.h"

#include "byte_io.h"

#include <array>
#include <cstdint>

namespace demo {
namespace {

std::array<Rgb, 256> MakePalette() {
  std::array<Rgb, 256> pal{};
  size_t n = 0;
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) {
        pal[n++] = {static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                    static_cast<uint8_t>(b * 51)};
      }
    }
  }
  for (int i = 0; i < 40; ++i) {
    const auto v = static_cast<uint8_t>((i * 255 + 19) / 39);
    pal[n++] = {v, v, v};
  }
  return pal;
}

uint8_t Nearest(const std::array<Rgb, 256>& pal, Rgb c) {
  int best = 0;
  int best_d = 1 << 30;
  for (int i = 0; i < 256; ++i) {
    const int dr = pal[i].r - c.r;
    const int dg = pal[i].g - c.g;
    const int db = pal[i].b - c.b;
    const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (d < best_d) {
      best_d = d;
      best = i;
    }
  }
  return static_cast<uint8_t>(best);
}

}  // namespace

std::string EncodeBmp(const Canvas& canvas, BmpKind kind) {
  const int w = canvas.width();
  const int h = canvas.height();
  const int bytes_per_pixel = kind == BmpKind::kTrueColor ? 3 : 1;
  const uint32_t stride = (static_cast<uint32_t>(w) * bytes_per_pixel + 3) & ~3u;
  const uint32_t palette_bytes = kind == BmpKind::kPalette ? 256 * 4 : 0;
  const uint32_t offset = 14 + 40 + palette_bytes;
  const uint32_t image_size = stride * static_cast<uint32_t>(h);

  std::string s = "BM";
  Put32(s, offset + image_size);
  Put32(s, 0);  // reserved
  Put32(s, offset);
  Put32(s, 40);
  Put32(s, static_cast<uint32_t>(w));
  Put32(s, static_cast<uint32_t>(h));  // positive: rows stored bottom-up
  Put16(s, 1);                         // planes
  Put16(s, static_cast<uint32_t>(bytes_per_pixel * 8));
  Put32(s, 0);  // no compression
  Put32(s, image_size);
  Put32(s, 3780);  // 96 dpi in pixels per metre
  Put32(s, 3780);
  Put32(s, kind == BmpKind::kPalette ? 256 : 0);
  Put32(s, 0);

  const auto palette = MakePalette();
  if (kind == BmpKind::kPalette) {
    for (const Rgb& c : palette) {
      s += static_cast<char>(c.b);
      s += static_cast<char>(c.g);
      s += static_cast<char>(c.r);
      s += '\0';
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < w; ++x) {
      const Rgb c = canvas.At(x, y);
      if (kind == BmpKind::kTrueColor) {
        row += static_cast<char>(c.b);
        row += static_cast<char>(c.g);
        row += static_cast<char>(c.r);
      } else {
        row += static_cast<char>(Nearest(palette, c));
      }
    }
    row.resize(stride, '\0');
    s += row;
  }
  return s;
}

std::string WithGraphicHeader(const std::string& bmp) {
  std::string s;
  Put16(s, 1);
  Put16(s, 0x0100);
  Put32(s, static_cast<uint32_t>(bmp.size()));
  return s + bmp;
}

}  // namespace demo
