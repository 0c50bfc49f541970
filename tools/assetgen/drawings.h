// The window's pictures, drawn from scratch: the publisher's logo, the large
// picture, the window icon and the button glyphs, and the program's icon for
// the desktop's menus.
//
// Every window picture is drawn at `scale` 1 (its designed size) and at 2
// for screens of twice the pixel density: the same drawing on a painter
// scaled by 2, so that lines, curves and text are drawn anew at the finer
// grid instead of having their pixels doubled.
#pragma once

#include <QImage>

namespace assetgen {

// Sizes at scale 1.
QImage DrawLogo(int scale = 1);        // 179 x 169, true colour (256 colours when written)
QImage DrawBackground(int scale = 1);  // 1000 x 451, true colour
QImage DrawWindowIcon(int scale = 1);  // 32 x 32, in the 16 Windows colours
QImage DrawScoreGlyph(int scale = 1);  // 22 x 22, 16 colours, fuchsia is transparent
QImage DrawPlayGlyph(int scale = 1);   // 22 x 22, 16 colours, fuchsia is transparent
QImage DrawExitGlyph(int scale = 1);   // 16 x 16, 16 colours, fuchsia is transparent

// `glyph` followed by its disabled image (its dark parts in grey with a
// white shadow) in one strip twice as wide; fuchsia stays transparent.
// The shadow is offset by `scale` pixels.
QImage GlyphStrip(const QImage& glyph, int scale = 1);

// The program's icon for the desktop: `size` x `size` pixels with an alpha
// channel, drawn with antialiasing for each size rather than scaled.
QImage DrawAppIcon(int size);

}  // namespace assetgen
