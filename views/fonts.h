// The window's fonts.
//
// The design names Windows fonts that Linux does not have. Each is asked for
// by a family list that starts with the named font and goes on with its
// closest stand-ins from Debian's font packages: Liberation Sans (metric
// twin of Arial, close to "MS Sans Serif"), EB Garamond for "Garamond",
// DejaVu Sans and Liberation Serif as last resorts. Sizes are character
// heights in pixels, as designed at 96 dots per inch.
#pragma once

#include <QFont>
#include <QStringList>

namespace dorvem {

QStringList MsSansSerifFamilies();
QStringList GaramondFamilies();
QStringList ArialCeFamilies();

// A font of `families` (first available wins) with the character height
// `pixelHeight`.
QFont MakeFont(const QStringList& families, int pixelHeight, bool bold = false,
               bool underline = false);

// Registers the stand-ins as substitutes of the named families for text
// that names its fonts itself (rich text). Call once after the application
// object exists.
void RegisterFontSubstitutes();

}  // namespace dorvem
