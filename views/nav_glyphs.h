// The navigator's button glyphs, drawn here: each is an icon with an image
// for the enabled button (black symbol) and one for the disabled button
// (grey symbol with a white shadow, as disabled glyphs look on the design's
// desktop). Each image is drawn at its size and at twice it, for screens of
// twice the pixel density.
#pragma once

#include <QIcon>
#include <QSize>

#include "views/db_navigator.h"

namespace dorvem {

// The size of one glyph image, in the window's units.
inline constexpr QSize kNavGlyphSize{10, 10};

// The glyph of `button`: pointing triangles with a bar for the moving
// buttons, plus, minus, a pen-like wedge, a tick, a cross and a circling
// arrow for the others.
QIcon NavigatorGlyph(TNavigateBtn button);

}  // namespace dorvem
