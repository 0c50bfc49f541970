// The window's pictures, compiled into the program from assets/ (see
// assets/assets.qrc and tools/assetgen).
//
// Each picture is also there at twice its size, under its name with "@2x"
// before the extension. On a screen of twice the pixel density (or more)
// the window shows that one, marked with a device pixel ratio of 2, so
// that it keeps its size in the window's units and is drawn sharp rather
// than enlarged. Sizes below are in the window's units.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <future>

namespace dorvem {

// Resource paths of the pictures.
inline constexpr char kLogoPicture[] = ":/assets/morvel_logo.bmp";       // 179 x 169, 8 bit
inline constexpr char kBackgroundPicture[] = ":/assets/background.bmp";  // 1000 x 451, 24 bit
inline constexpr char kWindowIcon[] = ":/assets/window_icon.bmp";        // 32 x 32, 4 bit
inline constexpr char kScoreGlyph[] = ":/assets/glyph_score.bmp";        // 2 images
inline constexpr char kPlayGlyph[] = ":/assets/glyph_play.bmp";          // 2 images
inline constexpr char kExitGlyph[] = ":/assets/glyph_exit.bmp";          // 1 image

// The resource path of the picture's twice-size variant: "@2x" inserted
// before the extension.
QString DoubleSizePath(const char* path);

// The device pixel ratio the window's pictures are drawn for: the highest
// of the screens'. Needs the application object.
qreal ScreenPixelRatio();

// The picture at `path`: its twice-size variant when `devicePixelRatio` is
// above 1.5 (with that variant's ratio of 2), its designed one otherwise; a
// null pixmap when it is missing.
QPixmap LoadPicture(const char* path, qreal devicePixelRatio = ScreenPixelRatio());

// The same picture as an image, decoded on a thread of its own: decoding
// the large picture takes milliseconds that the start-up need not wait
// for (when no thread can be started, it is decoded when asked for). The
// caller turns the image into a pixmap on the event thread.
std::future<QImage> LoadPictureImageAsync(const char* path,
                                          qreal devicePixelRatio = ScreenPixelRatio());

// A button glyph: a strip of `count` images of equal width side by side,
// the first for the normal state and the second (when present) for the
// disabled state. The colour of the strip's bottom-left pixel is
// transparent. The icon holds the designed images and the twice-size ones,
// and gives each screen the one of its density.
QIcon LoadGlyph(const char* path, int count);

// The width and height of one image of a glyph strip.
QSize GlyphSize(const char* path, int count);

}  // namespace dorvem
