// The character and paragraph properties the RTF reader tracks per group,
// and how they become Qt's text formats.
//
// Character properties: font number (-1 = the document's default font,
// \deffN), size in half-points (\fsN, 24 = 12 points by default), bold,
// italic, underline kind, strike-through, hidden, sub/superscript, and the
// foreground and background colour-table indexes (0 = automatic / none).
// Paragraph properties: alignment and, in twips, the left, right and
// first-line indents and the space before and after.
//
// Conversion: the font family is the font table's name (a run whose font is
// not in the table keeps the document's default family); the point size is
// half the half-points; automatic colours set no colour, so the view's own
// apply. Twips become document pixels at 96 per inch (15 twips a pixel).
#pragma once

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <cstdint>

namespace dorvem::rtf {

class TRtfFontTable;
class TRtfColourTable;

enum class TRtfUnderline : std::uint8_t { kNone, kSingle, kDotted, kDash, kWave };
enum class TRtfVertical : std::uint8_t { kNormal, kSub, kSuper };
enum class TRtfAlign : std::uint8_t { kLeft, kCentre, kRight, kJustify };

struct TRtfCharProps {
  int font = -1;
  int halfPoints = 24;
  int foreground = 0;
  int background = 0;
  bool bold = false;
  bool italic = false;
  bool strike = false;
  bool hidden = false;
  TRtfUnderline underline = TRtfUnderline::kNone;
  TRtfVertical vertical = TRtfVertical::kNormal;

  bool operator==(const TRtfCharProps&) const = default;
};

struct TRtfParaProps {
  TRtfAlign align = TRtfAlign::kLeft;
  int leftIndent = 0;
  int rightIndent = 0;
  int firstIndent = 0;
  int spaceBefore = 0;
  int spaceAfter = 0;

  bool operator==(const TRtfParaProps&) const = default;
};

// Document pixels of a length in twips.
inline double TwipsToPixels(int twips) {
  return twips / 15.0;
}

// `defaultFont` is the font number of \deffN (used when props.font is -1).
QTextCharFormat ToCharFormat(const TRtfCharProps& props, int defaultFont,
                             const TRtfFontTable& fonts, const TRtfColourTable& colours);
QTextBlockFormat ToBlockFormat(const TRtfParaProps& props);

}  // namespace dorvem::rtf
