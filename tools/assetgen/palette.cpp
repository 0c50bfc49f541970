#include "tools/assetgen/palette.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace assetgen {

QList<QRgb> Windows16Colours() {
  return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
          qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
          qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
          qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

namespace {

int Nearest(QRgb c, const QList<QRgb>& colours) {
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < colours.size(); ++i) {
    const long dr = qRed(c) - qRed(colours[i]);
    const long dg = qGreen(c) - qGreen(colours[i]);
    const long db = qBlue(c) - qBlue(colours[i]);
    const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (bestDistance < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace

QImage ToIndexed(const QImage& image, const QList<QRgb>& colours) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  QImage out(rgb.size(), QImage::Format_Indexed8);
  out.setColorTable(colours);
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uchar* line = out.scanLine(y);
    for (int x = 0; x < rgb.width(); ++x) line[x] = static_cast<uchar>(Nearest(in[x], colours));
  }
  return out;
}

QImage ReduceColours(const QImage& image, int maxColours) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  struct Cell {
    std::uint64_t r = 0, g = 0, b = 0, n = 0;
    int index = 0;
  };
  std::vector<Cell> cells(1 << 15);
  auto key = [](QRgb c) { return (qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3); };
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      Cell& cell = cells[key(in[x])];
      cell.r += qRed(in[x]);
      cell.g += qGreen(in[x]);
      cell.b += qBlue(in[x]);
      ++cell.n;
    }
  }
  std::vector<int> used;
  for (int i = 0; i < static_cast<int>(cells.size()); ++i)
    if (cells[i].n) used.push_back(i);
  std::stable_sort(used.begin(), used.end(), [&](int a, int b) { return cells[a].n > cells[b].n; });
  if (static_cast<int>(used.size()) > maxColours) used.resize(maxColours);
  QList<QRgb> colours;
  for (int i : used) {
    const Cell& c = cells[i];
    colours.push_back(qRgb(static_cast<int>(c.r / c.n), static_cast<int>(c.g / c.n),
                           static_cast<int>(c.b / c.n)));
  }
  return ToIndexed(rgb, colours);
}

}  // namespace assetgen
