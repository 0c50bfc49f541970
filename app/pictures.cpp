#include "app/pictures.h"

#include <QBitmap>
#include <QImage>

// Registers the compiled-in pictures; the resource lives in a static
// library, so it must be named once before the first use.
static void InitAssetResources() {
  Q_INIT_RESOURCE(assets);
}

namespace dorvem {

namespace {

QImage LoadImage(const char* path) {
  static const bool registered = (InitAssetResources(), true);
  (void)registered;
  return QImage(QString::fromLatin1(path));
}

}  // namespace

QPixmap LoadPicture(const char* path) {
  return QPixmap::fromImage(LoadImage(path));
}

QSize GlyphSize(const char* path, int count) {
  const QImage strip = LoadImage(path);
  return strip.isNull() || count < 1 ? QSize() : QSize(strip.width() / count, strip.height());
}

QIcon LoadGlyph(const char* path, int count) {
  QImage strip = LoadImage(path);
  if (strip.isNull() || count < 1) return {};
  const QRgb transparent = strip.pixel(0, strip.height() - 1);
  strip = strip.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < strip.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
    for (int x = 0; x < strip.width(); ++x)
      if (line[x] == transparent) line[x] = qRgba(0, 0, 0, 0);
  }
  const int w = strip.width() / count;
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(strip.copy(0, 0, w, strip.height())), QIcon::Normal);
  if (count > 1)
    icon.addPixmap(QPixmap::fromImage(strip.copy(w, 0, w, strip.height())), QIcon::Disabled);
  return icon;
}

}  // namespace dorvem
