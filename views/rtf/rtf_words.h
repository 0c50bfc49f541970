// The control words the RTF reader acts on, and the look-up from a word's
// name to its meaning. Every other word is unknown and ignored (its group's
// text is still read), except right after \*, where an unknown word makes
// the whole group skipped.
#pragma once

#include <cstdint>
#include <string_view>

namespace dorvem::rtf {

enum class TRtfWord : std::uint8_t {
  kUnknown,
  // Destinations the reader reads itself.
  kFontTable,     // \fonttbl
  kColourTable,   // \colortbl
  kPicture,       // \pict
  kShapePicture,  // \shppict: a wrapper whose \pict is read
  // Destinations whose whole group is skipped (headers, notes, meta data,
  // fallback pictures, field instructions, ...).
  kSkipDestination,
  // Document settings.
  kAnsi,
  kMac,
  kPc,
  kPca,
  kAnsiCodePage,
  kDefaultFont,
  kUnicodeSkip,
  kUnicode,
  // Font table entries.
  kFont,
  kFontCharset,
  kFontCodePage,
  kFontFamilyRoman,
  kFontFamilySwiss,
  kFontFamilyModern,
  kFontFamilyScript,
  kFontFamilyDecor,
  kFontFamilyOther,
  // Colour table entries.
  kRed,
  kGreen,
  kBlue,
  // Character formatting.
  kPlain,
  kBold,
  kItalic,
  kUnderline,
  kUnderlineDotted,
  kUnderlineDash,
  kUnderlineWave,
  kUnderlineNone,
  kStrike,
  kFontSize,
  kForeground,
  kBackground,
  kHidden,
  kSubscript,
  kSuperscript,
  kNoSuperSub,
  // Paragraph formatting and breaks.
  kPard,
  kPar,
  kLine,
  kTab,
  kAlignLeft,
  kAlignCentre,
  kAlignRight,
  kAlignJustify,
  kLeftIndent,
  kRightIndent,
  kFirstIndent,
  kSpaceBefore,
  kSpaceAfter,
  kCell,
  kRow,
  kSectionBreak,
  // Pictures.
  kPng,
  kJpeg,
  kOtherPictureKind,
  kPictureGoalWidth,
  kPictureGoalHeight,
  kPictureScaleX,
  kPictureScaleY,
  // Words that stand for one character (TRtfWordInfo::character).
  kCharacter,
};

struct TRtfWordInfo {
  std::string_view name;
  TRtfWord word;
  char16_t character;  // for kCharacter
};

// The meaning of a control word; {"", kUnknown, 0} for an unknown one.
const TRtfWordInfo& FindRtfWord(std::string_view name);

// The character of a control symbol (\~ \- \_ \{ \} \\); 0 for other symbols.
char16_t RtfSymbolCharacter(unsigned char symbol);

}  // namespace dorvem::rtf
