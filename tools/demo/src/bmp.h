// Encodes a canvas as a Windows bitmap file, and wraps a bitmap in the 8-byte graphic header
// that picture blobs may carry (u16 count 1, u16 type 0x0100, u32 length of what follows).
//
// True colour: 24 bits per pixel. Palette: 8 bits per pixel with a fixed 256-entry palette
// (a 6x6x6 colour cube and 40 greys), each pixel mapped to its nearest palette entry.
// Both use the 40-byte information header, bottom-up rows padded to 4 bytes, 96 dpi.
// Free functions; the result is a byte string the caller owns.
#pragma once

#include <string>

#include "raster.h"

namespace demo {

enum class BmpKind { kTrueColor, kPalette };

std::string EncodeBmp(const Canvas& canvas, BmpKind kind);

// The blob form with the graphic header in front of `bmp`.
std::string WithGraphicHeader(const std::string& bmp);

}  // namespace demo
