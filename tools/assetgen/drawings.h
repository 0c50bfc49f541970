// The window's pictures, drawn from scratch: the publisher's logo, the large
// picture, the window icon and the button glyphs.
#pragma once

#include <QImage>

namespace assetgen {

QImage DrawLogo();        // 179 x 169, true colour (reduced to 256 colours when written)
QImage DrawBackground();  // 1000 x 451, true colour
QImage DrawWindowIcon();  // 32 x 32, in the 16 Windows colours
QImage DrawScoreGlyph();  // 22 x 22, 16 colours, fuchsia is transparent
QImage DrawPlayGlyph();   // 22 x 22, 16 colours, fuchsia is transparent
QImage DrawExitGlyph();   // 16 x 16, 16 colours, fuchsia is transparent

// `glyph` followed by its disabled image (its dark parts in grey with a
// white shadow) in one strip twice as wide; fuchsia stays transparent.
QImage GlyphStrip(const QImage& glyph);

}  // namespace assetgen
