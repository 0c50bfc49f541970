// The catalogue of pictures the dictionary's entries show (the GRAPHIC blobs).
//
// Each picture has a name (used by the entries' "kep:" attribute), a size no larger than
// the picture area (996 x 447), a bitmap kind and whether its blob carries the 8-byte
// graphic header; it is drawn by code each time it is asked for. The catalogue is a
// static table; callers get fresh byte strings.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "bmp.h"
#include "raster.h"

namespace demo {

struct PictureDef {
  std::string name;
  int width = 0;
  int height = 0;
  BmpKind kind = BmpKind::kPalette;
  bool graphic_header = false;
  std::function<void(Canvas&)> draw;
};

// All pictures, in a fixed order.
const std::vector<PictureDef>& PictureCatalogue();

// The blob bytes of the named picture. Throws std::runtime_error for an unknown name.
std::string RenderPicture(const std::string& name);

// Drawing functions of the catalogue, one per family (defined in their own files).
void AddSymbolPictures(std::vector<PictureDef>& out);
void AddInstrumentPictures(std::vector<PictureDef>& out);

}  // namespace demo
