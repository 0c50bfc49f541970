#include "pictures.h"

#include <stdexcept>

namespace demo {

const std::vector<PictureDef>& PictureCatalogue() {
  static const std::vector<PictureDef> catalogue = [] {
    std::vector<PictureDef> all;
    AddSymbolPictures(all);
    AddInstrumentPictures(all);
    return all;
  }();
  return catalogue;
}

std::string RenderPicture(const std::string& name) {
  for (const PictureDef& pic : PictureCatalogue()) {
    if (pic.name != name) continue;
    Canvas canvas(pic.width, pic.height, {255, 255, 255});
    pic.draw(canvas);
    const std::string bmp = EncodeBmp(canvas, pic.kind);
    return pic.graphic_header ? WithGraphicHeader(bmp) : bmp;
  }
  throw std::runtime_error("no picture named \"" + name + "\"");
}

}  // namespace demo
