#include "tools/assetgen/bmp_writer.h"

#include <QFile>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace assetgen {

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

bool Fail(const QString& path, const char* why) {
  std::fprintf(stderr, "assetgen: %s: %s\n", qPrintable(path), why);
  return false;
}

}  // namespace

bool WriteBmp(const QImage& source, int bitsPerPixel, const QString& path) {
  QImage image = source;
  const bool indexed = bitsPerPixel == 4 || bitsPerPixel == 8;
  if (!indexed && bitsPerPixel != 24) return Fail(path, "unsupported colour depth");
  if (indexed &&
      (image.format() != QImage::Format_Indexed8 || image.colorCount() > (1 << bitsPerPixel)))
    return Fail(path, "image does not fit the colour table");
  if (!indexed) image = image.convertToFormat(QImage::Format_RGB32);

  const auto width = static_cast<std::uint32_t>(image.width());
  const auto height = static_cast<std::uint32_t>(image.height());
  const std::uint32_t stride = ((width * bitsPerPixel + 31) / 32) * 4;
  const std::uint32_t colours = indexed ? static_cast<std::uint32_t>(image.colorCount()) : 0;
  const std::uint32_t pixelOffset = 14 + 40 + colours * 4;
  const std::uint32_t imageSize = stride * height;

  std::vector<std::uint8_t> out;
  out.reserve(pixelOffset + imageSize);
  out.push_back('B');
  out.push_back('M');
  Put32(out, pixelOffset + imageSize);
  Put32(out, 0);
  Put32(out, pixelOffset);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, static_cast<std::uint32_t>(bitsPerPixel));
  Put32(out, 0);  // uncompressed
  Put32(out, imageSize);
  Put32(out, 3780);  // 96 dots per inch
  Put32(out, 3780);
  Put32(out, colours);
  Put32(out, colours);
  for (std::uint32_t i = 0; i < colours; ++i) {
    const QRgb c = image.color(static_cast<int>(i));
    out.push_back(static_cast<std::uint8_t>(qBlue(c)));
    out.push_back(static_cast<std::uint8_t>(qGreen(c)));
    out.push_back(static_cast<std::uint8_t>(qRed(c)));
    out.push_back(0);
  }
  for (int y = static_cast<int>(height) - 1; y >= 0; --y) {
    const std::size_t rowStart = out.size();
    const uchar* line = image.constScanLine(y);
    for (std::uint32_t x = 0; x < width; ++x) {
      if (bitsPerPixel == 8) {
        out.push_back(line[x]);
      } else if (bitsPerPixel == 4) {
        if (x % 2 == 0)
          out.push_back(static_cast<std::uint8_t>(line[x] << 4));
        else
          out.back() |= static_cast<std::uint8_t>(line[x] & 0x0F);
      } else {
        const QRgb c = reinterpret_cast<const QRgb*>(line)[x];
        out.push_back(static_cast<std::uint8_t>(qBlue(c)));
        out.push_back(static_cast<std::uint8_t>(qGreen(c)));
        out.push_back(static_cast<std::uint8_t>(qRed(c)));
      }
    }
    while (out.size() - rowStart < stride) out.push_back(0);
  }

  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return Fail(path, "cannot write the file");
  const auto size = static_cast<qint64>(out.size());
  if (file.write(reinterpret_cast<const char*>(out.data()), size) != size)
    return Fail(path, "cannot write the file");
  return true;
}

}  // namespace assetgen
