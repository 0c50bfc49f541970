#include "app/pictures.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <system_error>

// Registers the compiled-in pictures; the resource lives in a static
// library, so it must be named once before the first use.
static void InitAssetResources() {
  Q_INIT_RESOURCE(assets);
}

namespace dorvem {

namespace {

QImage LoadImage(const QString& path) {
  static const bool registered = (InitAssetResources(), true);
  (void)registered;
  return QImage(path);
}

QImage LoadImage(const char* path) {
  return LoadImage(QString::fromLatin1(path));
}

// The twice-size image of `path` with its device pixel ratio of 2; null
// when there is none.
QImage LoadDoubleSizeImage(const char* path) {
  QImage image = LoadImage(DoubleSizePath(path));
  image.setDevicePixelRatio(2);
  return image;
}

// Adds to `icon` the `count` images of `strip` (the glyph at one density),
// with the colour of its bottom-left pixel made transparent.
void AddGlyphImages(QIcon& icon, QImage strip, int count) {
  if (strip.isNull()) return;
  const qreal ratio = strip.devicePixelRatio();
  const QRgb transparent = strip.pixel(0, strip.height() - 1);
  strip = strip.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < strip.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
    for (int x = 0; x < strip.width(); ++x)
      if (line[x] == transparent) line[x] = qRgba(0, 0, 0, 0);
  }
  const int w = strip.width() / count;
  auto image = [&](int i) {
    QImage one = strip.copy(i * w, 0, w, strip.height());
    one.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(one);
  };
  icon.addPixmap(image(0), QIcon::Normal);
  if (count > 1) icon.addPixmap(image(1), QIcon::Disabled);
}

}  // namespace

QString DoubleSizePath(const char* path) {
  QString result = QString::fromLatin1(path);
  const qsizetype dot = result.lastIndexOf(u'.');
  const qsizetype slash = result.lastIndexOf(u'/');
  result.insert(dot > slash ? dot : result.size(), QStringLiteral("@2x"));
  return result;
}

qreal ScreenPixelRatio() {
  return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

namespace {

QImage LoadPictureImage(const char* path, qreal devicePixelRatio) {
  if (devicePixelRatio > 1.5) {
    QImage sharp = LoadDoubleSizeImage(path);
    if (!sharp.isNull()) return sharp;
  }
  return LoadImage(path);
}

}  // namespace

QPixmap LoadPicture(const char* path, qreal devicePixelRatio) {
  return QPixmap::fromImage(LoadPictureImage(path, devicePixelRatio));
}

std::future<QImage> LoadPictureImageAsync(const char* path, qreal devicePixelRatio) {
  try {
    return std::async(std::launch::async, LoadPictureImage, path, devicePixelRatio);
  } catch (const std::system_error&) {
    // No thread to be had: decoded when the picture is asked for.
    return std::async(std::launch::deferred, LoadPictureImage, path, devicePixelRatio);
  }
}

QSize GlyphSize(const char* path, int count) {
  const QImage strip = LoadImage(path);
  return strip.isNull() || count < 1 ? QSize() : QSize(strip.width() / count, strip.height());
}

QIcon LoadGlyph(const char* path, int count) {
  if (count < 1) return {};
  QIcon icon;
  AddGlyphImages(icon, LoadImage(path), count);
  if (!icon.isNull()) AddGlyphImages(icon, LoadDoubleSizeImage(path), count);
  return icon;
}

}  // namespace dorvem
