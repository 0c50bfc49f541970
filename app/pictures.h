// The window's pictures, compiled into the program from assets/ (see
// assets/assets.qrc and tools/assetgen).
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace dorvem {

// Resource paths of the pictures.
inline constexpr char kLogoPicture[] = ":/assets/morvel_logo.bmp";       // 179 x 169, 8 bit
inline constexpr char kBackgroundPicture[] = ":/assets/background.bmp";  // 1000 x 451, 24 bit
inline constexpr char kWindowIcon[] = ":/assets/window_icon.bmp";        // 32 x 32, 4 bit
inline constexpr char kScoreGlyph[] = ":/assets/glyph_score.bmp";        // 2 images
inline constexpr char kPlayGlyph[] = ":/assets/glyph_play.bmp";          // 2 images
inline constexpr char kExitGlyph[] = ":/assets/glyph_exit.bmp";          // 1 image

// The picture at `path`; a null pixmap when it is missing.
QPixmap LoadPicture(const char* path);

// A button glyph: a strip of `count` images of equal width side by side,
// the first for the normal state and the second (when present) for the
// disabled state. The colour of the strip's bottom-left pixel is
// transparent.
QIcon LoadGlyph(const char* path, int count);

// The width and height of one image of a glyph strip.
QSize GlyphSize(const char* path, int count);

}  // namespace dorvem
