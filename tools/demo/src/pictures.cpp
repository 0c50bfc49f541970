#include "pictures.h"

#include <stdexcept>

namespace demo {

const std::vector<PictureSpec>& PictureCatalogue() {
  static const std::vector<PictureSpec> catalogue = [] {
    std::vector<PictureSpec> all;
    AddSymbolPictures(all);
    AddInstrumentPictures(all);
    return all;
  }();
  return catalogue;
}

std::string RenderPicture(const std::string& name) {
  for (const PictureSpec& spec : PictureCatalogue()) {
    if (spec.name != name) continue;
    Canvas canvas(spec.width, spec.height, {255, 255, 255});
    spec.draw(canvas);
    const std::string bmp = EncodeBmp(canvas, spec.kind);
    return spec.graphic_header ? WithGraphicHeader(bmp) : bmp;
  }
  throw std::runtime_error("no picture named \"" + name + "\"");
}

}  // namespace demo
