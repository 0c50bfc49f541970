// Colour tables for the indexed pictures: the 16 colours of the classic
// Windows palette, and a reduction of a true-colour image to at most 256
// colours of its own.
#pragma once

#include <QImage>
#include <QList>

namespace assetgen {

// Black, maroon, green, olive, navy, purple, teal, silver, grey, red, lime,
// yellow, blue, fuchsia, aqua, white.
QList<QRgb> Windows16Colours();

// `image` as Format_Indexed8 over `colours`, each pixel mapped to its
// nearest colour (no dithering).
QImage ToIndexed(const QImage& image, const QList<QRgb>& colours);

// `image` as Format_Indexed8 with a table of at most `maxColours` colours
// chosen from the image: the most used colours of a 5-bit-per-channel
// histogram, averaged within their cells.
QImage ReduceColours(const QImage& image, int maxColours);

}  // namespace assetgen
