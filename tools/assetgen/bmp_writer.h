// Writes Windows bitmap files (14-byte file header, 40-byte information
// header, colour table, bottom-up rows padded to 4 bytes) of exactly the
// colour depth asked for: 4 or 8 bits with a colour table, or 24 bits.
#pragma once

#include <QImage>
#include <QString>

namespace assetgen {

// Writes `image` to `path` with `bitsPerPixel` 4, 8 or 24. For 4 and 8 bits
// the image must be Format_Indexed8 with at most 16 or 256 colours; for 24
// bits any format. Returns false (with a message on stderr) on failure.
bool WriteBmp(const QImage& image, int bitsPerPixel, const QString& path);

}  // namespace assetgen
