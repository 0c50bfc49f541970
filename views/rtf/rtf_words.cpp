#include "views/rtf/rtf_words.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace dorvem::rtf {

namespace {

// Sorted by name (byte order) for the binary search below.
constexpr TRtfWordInfo kWords[] = {
    {"ansi", TRtfWord::kAnsi, 0},
    {"ansicpg", TRtfWord::kAnsiCodePage, 0},
    {"author", TRtfWord::kSkipDestination, 0},
    {"b", TRtfWord::kBold, 0},
    {"bkmkend", TRtfWord::kSkipDestination, 0},
    {"bkmkstart", TRtfWord::kSkipDestination, 0},
    {"blue", TRtfWord::kBlue, 0},
    {"bullet", TRtfWord::kCharacter, 0x2022},
    {"buptim", TRtfWord::kSkipDestination, 0},
    {"cb", TRtfWord::kBackground, 0},
    {"cell", TRtfWord::kCell, 0},
    {"cf", TRtfWord::kForeground, 0},
    {"chcbpat", TRtfWord::kBackground, 0},
    {"colorschememapping", TRtfWord::kSkipDestination, 0},
    {"colortbl", TRtfWord::kColourTable, 0},
    {"comment", TRtfWord::kSkipDestination, 0},
    {"company", TRtfWord::kSkipDestination, 0},
    {"creatim", TRtfWord::kSkipDestination, 0},
    {"datastore", TRtfWord::kSkipDestination, 0},
    {"deff", TRtfWord::kDefaultFont, 0},
    {"dibitmap", TRtfWord::kOtherPictureKind, 0},
    {"do", TRtfWord::kSkipDestination, 0},
    {"doccomm", TRtfWord::kSkipDestination, 0},
    {"docvar", TRtfWord::kSkipDestination, 0},
    {"emdash", TRtfWord::kCharacter, 0x2014},
    {"emfblip", TRtfWord::kOtherPictureKind, 0},
    {"emspace", TRtfWord::kCharacter, 0x2003},
    {"endash", TRtfWord::kCharacter, 0x2013},
    {"enspace", TRtfWord::kCharacter, 0x2002},
    {"f", TRtfWord::kFont, 0},
    {"falt", TRtfWord::kSkipDestination, 0},
    {"fbidi", TRtfWord::kFontFamilyOther, 0},
    {"fcharset", TRtfWord::kFontCharset, 0},
    {"fcpg", TRtfWord::kFontCodePage, 0},
    {"fdecor", TRtfWord::kFontFamilyDecor, 0},
    {"fi", TRtfWord::kFirstIndent, 0},
    {"filetbl", TRtfWord::kSkipDestination, 0},
    {"fldinst", TRtfWord::kSkipDestination, 0},
    {"fmodern", TRtfWord::kFontFamilyModern, 0},
    {"fnil", TRtfWord::kFontFamilyOther, 0},
    {"fonttbl", TRtfWord::kFontTable, 0},
    {"footer", TRtfWord::kSkipDestination, 0},
    {"footerf", TRtfWord::kSkipDestination, 0},
    {"footerl", TRtfWord::kSkipDestination, 0},
    {"footerr", TRtfWord::kSkipDestination, 0},
    {"footnote", TRtfWord::kSkipDestination, 0},
    {"froman", TRtfWord::kFontFamilyRoman, 0},
    {"fs", TRtfWord::kFontSize, 0},
    {"fscript", TRtfWord::kFontFamilyScript, 0},
    {"fswiss", TRtfWord::kFontFamilySwiss, 0},
    {"ftech", TRtfWord::kFontFamilyOther, 0},
    {"ftncn", TRtfWord::kSkipDestination, 0},
    {"ftnsep", TRtfWord::kSkipDestination, 0},
    {"ftnsepc", TRtfWord::kSkipDestination, 0},
    {"generator", TRtfWord::kSkipDestination, 0},
    {"green", TRtfWord::kGreen, 0},
    {"header", TRtfWord::kSkipDestination, 0},
    {"headerf", TRtfWord::kSkipDestination, 0},
    {"headerl", TRtfWord::kSkipDestination, 0},
    {"headerr", TRtfWord::kSkipDestination, 0},
    {"highlight", TRtfWord::kBackground, 0},
    {"i", TRtfWord::kItalic, 0},
    {"info", TRtfWord::kSkipDestination, 0},
    {"jpegblip", TRtfWord::kJpeg, 0},
    {"keywords", TRtfWord::kSkipDestination, 0},
    {"latentstyles", TRtfWord::kSkipDestination, 0},
    {"ldblquote", TRtfWord::kCharacter, 0x201C},
    {"li", TRtfWord::kLeftIndent, 0},
    {"line", TRtfWord::kLine, 0},
    {"listoverridetable", TRtfWord::kSkipDestination, 0},
    {"listtable", TRtfWord::kSkipDestination, 0},
    {"lquote", TRtfWord::kCharacter, 0x2018},
    {"ltrmark", TRtfWord::kCharacter, 0x200E},
    {"mac", TRtfWord::kMac, 0},
    {"macpict", TRtfWord::kOtherPictureKind, 0},
    {"nonshppict", TRtfWord::kSkipDestination, 0},
    {"nosupersub", TRtfWord::kNoSuperSub, 0},
    {"objclass", TRtfWord::kSkipDestination, 0},
    {"objdata", TRtfWord::kSkipDestination, 0},
    {"objname", TRtfWord::kSkipDestination, 0},
    {"operator", TRtfWord::kSkipDestination, 0},
    {"page", TRtfWord::kSectionBreak, 0},
    {"panose", TRtfWord::kSkipDestination, 0},
    {"par", TRtfWord::kPar, 0},
    {"pard", TRtfWord::kPard, 0},
    {"pc", TRtfWord::kPc, 0},
    {"pca", TRtfWord::kPca, 0},
    {"pgdsctbl", TRtfWord::kSkipDestination, 0},
    {"pichgoal", TRtfWord::kPictureGoalHeight, 0},
    {"picscalex", TRtfWord::kPictureScaleX, 0},
    {"picscaley", TRtfWord::kPictureScaleY, 0},
    {"pict", TRtfWord::kPicture, 0},
    {"picwgoal", TRtfWord::kPictureGoalWidth, 0},
    {"plain", TRtfWord::kPlain, 0},
    {"pmmetafile", TRtfWord::kOtherPictureKind, 0},
    {"pn", TRtfWord::kSkipDestination, 0},
    {"pngblip", TRtfWord::kPng, 0},
    {"printim", TRtfWord::kSkipDestination, 0},
    {"protusertbl", TRtfWord::kSkipDestination, 0},
    {"qc", TRtfWord::kAlignCentre, 0},
    {"qd", TRtfWord::kAlignJustify, 0},
    {"qj", TRtfWord::kAlignJustify, 0},
    {"ql", TRtfWord::kAlignLeft, 0},
    {"qmspace", TRtfWord::kCharacter, 0x2005},
    {"qr", TRtfWord::kAlignRight, 0},
    {"rdblquote", TRtfWord::kCharacter, 0x201D},
    {"red", TRtfWord::kRed, 0},
    {"revtbl", TRtfWord::kSkipDestination, 0},
    {"ri", TRtfWord::kRightIndent, 0},
    {"row", TRtfWord::kRow, 0},
    {"rquote", TRtfWord::kCharacter, 0x2019},
    {"rsidtbl", TRtfWord::kSkipDestination, 0},
    {"rtlmark", TRtfWord::kCharacter, 0x200F},
    {"sa", TRtfWord::kSpaceAfter, 0},
    {"sb", TRtfWord::kSpaceBefore, 0},
    {"sect", TRtfWord::kSectionBreak, 0},
    {"shpinst", TRtfWord::kSkipDestination, 0},
    {"shppict", TRtfWord::kShapePicture, 0},
    {"strike", TRtfWord::kStrike, 0},
    {"striked", TRtfWord::kStrike, 0},
    {"stylesheet", TRtfWord::kSkipDestination, 0},
    {"sub", TRtfWord::kSubscript, 0},
    {"subject", TRtfWord::kSkipDestination, 0},
    {"super", TRtfWord::kSuperscript, 0},
    {"tab", TRtfWord::kTab, 0},
    {"tc", TRtfWord::kSkipDestination, 0},
    {"template", TRtfWord::kSkipDestination, 0},
    {"themedata", TRtfWord::kSkipDestination, 0},
    {"title", TRtfWord::kSkipDestination, 0},
    {"txe", TRtfWord::kSkipDestination, 0},
    {"u", TRtfWord::kUnicode, 0},
    {"uc", TRtfWord::kUnicodeSkip, 0},
    {"ul", TRtfWord::kUnderline, 0},
    {"uld", TRtfWord::kUnderlineDotted, 0},
    {"uldash", TRtfWord::kUnderlineDash, 0},
    {"uldashd", TRtfWord::kUnderlineDash, 0},
    {"uldashdd", TRtfWord::kUnderlineDash, 0},
    {"uldb", TRtfWord::kUnderline, 0},
    {"ulhwave", TRtfWord::kUnderlineWave, 0},
    {"ulldash", TRtfWord::kUnderlineDash, 0},
    {"ulnone", TRtfWord::kUnderlineNone, 0},
    {"ulth", TRtfWord::kUnderline, 0},
    {"ulthd", TRtfWord::kUnderlineDotted, 0},
    {"ulthdash", TRtfWord::kUnderlineDash, 0},
    {"ululdbwave", TRtfWord::kUnderlineWave, 0},
    {"ulw", TRtfWord::kUnderline, 0},
    {"ulwave", TRtfWord::kUnderlineWave, 0},
    {"userprops", TRtfWord::kSkipDestination, 0},
    {"v", TRtfWord::kHidden, 0},
    {"wbitmap", TRtfWord::kOtherPictureKind, 0},
    {"wgrffmtfilter", TRtfWord::kSkipDestination, 0},
    {"wmetafile", TRtfWord::kOtherPictureKind, 0},
    {"xe", TRtfWord::kSkipDestination, 0},
    {"xmlnstbl", TRtfWord::kSkipDestination, 0},
    {"zwj", TRtfWord::kCharacter, 0x200D},
    {"zwnj", TRtfWord::kCharacter, 0x200C},
};

constexpr bool IsSorted() {
  for (std::size_t i = 1; i < std::size(kWords); ++i)
    if (!(kWords[i - 1].name < kWords[i].name)) return false;
  return true;
}
static_assert(IsSorted(), "the control-word table must be sorted by name");

constexpr TRtfWordInfo kUnknownWord{"", TRtfWord::kUnknown, 0};

}  // namespace

const TRtfWordInfo& FindRtfWord(std::string_view name) {
  if (name.empty()) return kUnknownWord;
  // The table's range of each first letter, so the search looks at a few
  // entries only.
  struct Range {
    std::uint16_t begin = 0, end = 0;
  };
  static const std::array<Range, 256> kByFirst = [] {
    std::array<Range, 256> ranges{};
    for (std::size_t i = 0; i < std::size(kWords); ++i) {
      Range& r = ranges[static_cast<unsigned char>(kWords[i].name[0])];
      if (r.begin == r.end) r.begin = static_cast<std::uint16_t>(i);
      r.end = static_cast<std::uint16_t>(i + 1);
    }
    return ranges;
  }();
  const Range r = kByFirst[static_cast<unsigned char>(name[0])];
  const auto* end = std::begin(kWords) + r.end;
  const auto* it =
      std::lower_bound(std::begin(kWords) + r.begin, end, name,
                       [](const TRtfWordInfo& info, std::string_view n) { return info.name < n; });
  return (it != end && it->name == name) ? *it : kUnknownWord;
}

char16_t RtfSymbolCharacter(unsigned char symbol) {
  switch (symbol) {
    case '~':
      return u'\u00A0';  // non-breaking space
    case '-':
      return u'\u00AD';  // optional hyphen
    case '_':
      return u'\u2011';  // non-breaking hyphen
    case '{':
    case '}':
    case '\\':
      return symbol;
    default:
      return 0;
  }
}

}  // namespace dorvem::rtf
