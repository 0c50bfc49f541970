// The window's fonts.
//
// The design names Windows fonts that Linux does not have. Each is asked for
// by a family list that starts with the named font and goes on with its
// closest stand-ins from Debian's font packages: Liberation Sans (the metric
// twin of Arial) for "Arial CE", EB Garamond for "Garamond", and for the
// bitmap font "MS Sans Serif" Liberation Sans condensed to 88 % of its width,
// since the bitmap face at these heights is that much narrower than Arial
// (its captions fit the designed control widths only so). DejaVu Sans and
// Liberation Serif are the last resorts. Sizes are character heights in
// pixels, as designed at 96 dots per inch.
//
// Every face must have every Hungarian letter, or Qt draws the missing ones
// from whatever fallback font it finds: EB Garamond's bold face has no á,
// é, ő or ű, so bold Garamond is Liberation Serif Bold, the serif stand-in
// that has them all in every weight.
#pragma once

#include <QFont>
#include <QStringList>

namespace dorvem {

// A requested face: families in order of preference, the families of its
// bold weight when they differ (empty: the same), and a width stretch in
// percent.
struct TFontFace {
  QStringList families;
  int stretch = QFont::Unstretched;
  QStringList boldFamilies;
};

TFontFace MsSansSerif();
TFontFace Garamond();
TFontFace ArialCe();

// A font of `face` (first available family wins; in bold, of its bold
// families) with the character height `pixelHeight`.
QFont MakeFont(const TFontFace& face, int pixelHeight, bool bold = false, bool underline = false);

// Registers the stand-ins as substitutes of the named families for text
// that names its fonts itself (rich text). Call once after the application
// object exists.
void RegisterFontSubstitutes();

}  // namespace dorvem
