// The bounds the RTF reader keeps, whatever the bytes: how deep groups nest,
// how large numbers, fonts, margins and pictures may get, and how long a
// block of the document it builds may grow. Each bound lives here once; the
// reader clamps or drops what lies beyond it, so memory stays proportional
// to the input (plus at most one picture budget) and time linear in it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dorvem::rtf {

// Groups nested deeper than this are read as part of the group at this
// depth: their braces are counted but open no new state.
inline constexpr int kMaxGroupDepth = 128;

// Letters of a control word that count; a longer word is an unknown word.
inline constexpr std::size_t kMaxWordLength = 32;

// Numeric parameters saturate at +-kMaxParameter.
inline constexpr std::int32_t kMaxParameter = 0x7FFFFFFF;

// \ucN skips at most this many characters after a \uN.
inline constexpr int kMaxUnicodeSkip = 16;

// Font sizes in half-points (\fsN): 1 point to 1638 points.
inline constexpr int kMinHalfPoints = 2;
inline constexpr int kMaxHalfPoints = 3276;

// Indents and spacing in twips (\li \ri \sb \sa, and \fi either way): up to
// 22 inches.
inline constexpr int kMaxTwips = 31680;

// Pictures: hex or binary data kept per picture (larger ones are skipped),
// pixels of one decoded picture, and of all pictures of one document;
// shown sizes are clamped to this many pixels a side.
inline constexpr std::size_t kMaxPictureBytes = 16u << 20;
inline constexpr std::int64_t kMaxPicturePixels = 4096 * 4096;
inline constexpr std::int64_t kMaxDocumentPicturePixels = 4096 * 4096;
inline constexpr int kMaxPictureSide = 8192;

// Blocks of a document (rich and plain text alike). Qt lays a block out as a
// whole, at a cost per character several times that of short blocks, and
// the cost of a line with no place to break grows with the square of its
// length. So a paragraph is continued in a new block after
// kMaxUnbrokenChars characters with no break between them (longer than any
// line of the view: such a word shows broken into lines of its own), and
// once it holds kMaxBlockChars characters, at its next break. Real text
// never reaches either.
inline constexpr int kMaxUnbrokenChars = 1024;
inline constexpr int kMaxBlockChars = 16384;

}  // namespace dorvem::rtf
