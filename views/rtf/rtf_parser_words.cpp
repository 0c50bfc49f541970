// The control words and symbols of TRtfParser, by destination.
#include <algorithm>

#include "views/rtf/rtf_limits.h"
#include "views/rtf/rtf_parser.h"

namespace dorvem::rtf {

namespace {

// A toggle word: on without a parameter or with a nonzero one.
bool On(const TRtfToken& t) {
  return !t.hasParam || t.param != 0;
}

int Twips(const TRtfToken& t, int low) {
  return t.hasParam ? std::clamp(t.param, low, kMaxTwips) : 0;
}

int NonNegative(const TRtfToken& t) {
  return t.hasParam ? std::max(t.param, 0) : 0;
}

// Destinations the reader reads itself; after \* every other word makes
// its group skipped.
bool IsReadDestination(TRtfWord w) {
  return w == TRtfWord::kFontTable || w == TRtfWord::kColourTable || w == TRtfWord::kPicture ||
         w == TRtfWord::kShapePicture;
}

}  // namespace

void TRtfParser::OnWord(const TRtfToken& t) {
  FlushBytes();
  const TRtfWordInfo& info = FindRtfWord(t.text);
  TRtfGroup& g = groups_.back();
  if (g.ignorable) {
    g.ignorable = false;
    if (!IsReadDestination(info.word)) {
      g.destination = TRtfDestination::kSkip;
      return;
    }
  }
  if (info.word == TRtfWord::kUnicode && g.destination != TRtfDestination::kSkip) {
    if (g.destination == TRtfDestination::kText) OnUnicode(t.hasParam ? t.param : 0);
    skip_ = g.unicodeSkip;
    return;
  }
  if (info.word == TRtfWord::kUnicodeSkip) {
    g.unicodeSkip = std::clamp(NonNegative(t), 0, kMaxUnicodeSkip);
    return;
  }
  switch (g.destination) {
    case TRtfDestination::kText:
      OnTextWord(info, t, g);
      break;
    case TRtfDestination::kFontTable:
      OnFontTableWord(info, t);
      break;
    case TRtfDestination::kColourTable:
      if (info.word == TRtfWord::kRed) colours_.SetRed(NonNegative(t));
      if (info.word == TRtfWord::kGreen) colours_.SetGreen(NonNegative(t));
      if (info.word == TRtfWord::kBlue) colours_.SetBlue(NonNegative(t));
      break;
    case TRtfDestination::kPicture:
      OnPictureWord(info, t);
      break;
    case TRtfDestination::kSkip:
      break;
  }
}

void TRtfParser::OnTextWord(const TRtfWordInfo& info, const TRtfToken& t, TRtfGroup& g) {
  TRtfCharProps& c = g.chars;
  TRtfParaProps& p = g.para;
  auto begin = [&g](TRtfDestination d) {
    g.destination = d;
    g.destinationStart = true;
  };
  switch (info.word) {
    case TRtfWord::kFontTable:
      begin(TRtfDestination::kFontTable);
      break;
    case TRtfWord::kColourTable:
      begin(TRtfDestination::kColourTable);
      break;
    case TRtfWord::kSkipDestination:
      begin(TRtfDestination::kSkip);
      break;
    case TRtfWord::kPicture:
      begin(TRtfDestination::kPicture);
      picture_.emplace();
      break;

    case TRtfWord::kAnsi:
      SetDocumentCodePage(1252);
      break;
    case TRtfWord::kMac:
      SetDocumentCodePage(10000);
      break;
    case TRtfWord::kPc:
      SetDocumentCodePage(437);
      break;
    case TRtfWord::kPca:
      SetDocumentCodePage(850);
      break;
    case TRtfWord::kAnsiCodePage:
      if (t.hasParam && t.param > 0) SetDocumentCodePage(t.param);
      break;
    case TRtfWord::kDefaultFont:
      if (t.hasParam && t.param >= 0) {
        defaultFont_ = t.param;
        decoder_ = nullptr;
        builder_.SetDefaultFont(defaultFont_);
      }
      break;

    case TRtfWord::kFont:
      if (t.hasParam && t.param >= 0) c.font = t.param;
      break;
    case TRtfWord::kPlain:
      c = TRtfCharProps{};
      break;
    case TRtfWord::kBold:
      c.bold = On(t);
      break;
    case TRtfWord::kItalic:
      c.italic = On(t);
      break;
    case TRtfWord::kStrike:
      c.strike = On(t);
      break;
    case TRtfWord::kHidden:
      c.hidden = On(t);
      break;
    case TRtfWord::kUnderline:
      c.underline = On(t) ? TRtfUnderline::kSingle : TRtfUnderline::kNone;
      break;
    case TRtfWord::kUnderlineDotted:
      c.underline = On(t) ? TRtfUnderline::kDotted : TRtfUnderline::kNone;
      break;
    case TRtfWord::kUnderlineDash:
      c.underline = On(t) ? TRtfUnderline::kDash : TRtfUnderline::kNone;
      break;
    case TRtfWord::kUnderlineWave:
      c.underline = On(t) ? TRtfUnderline::kWave : TRtfUnderline::kNone;
      break;
    case TRtfWord::kUnderlineNone:
      c.underline = TRtfUnderline::kNone;
      break;
    case TRtfWord::kFontSize:
      c.halfPoints = (t.hasParam && t.param > 0)
                         ? std::clamp(t.param, kMinHalfPoints, kMaxHalfPoints)
                         : TRtfCharProps{}.halfPoints;
      break;
    case TRtfWord::kForeground:
      c.foreground = NonNegative(t);
      break;
    case TRtfWord::kBackground:
      c.background = NonNegative(t);
      break;
    case TRtfWord::kSubscript:
      c.vertical = On(t) ? TRtfVertical::kSub : TRtfVertical::kNormal;
      break;
    case TRtfWord::kSuperscript:
      c.vertical = On(t) ? TRtfVertical::kSuper : TRtfVertical::kNormal;
      break;
    case TRtfWord::kNoSuperSub:
      c.vertical = TRtfVertical::kNormal;
      break;

    case TRtfWord::kPard:
      p = TRtfParaProps{};
      break;
    case TRtfWord::kPar:
    case TRtfWord::kRow:
      builder_.EndParagraph(p, c);
      break;
    case TRtfWord::kSectionBreak:
      // Writers put a section or page break after the last \par of a
      // section, so it ends only a paragraph that has content.
      if (builder_.ParagraphHasContent()) builder_.EndParagraph(p, c);
      break;
    case TRtfWord::kLine:
      builder_.AppendChar(u'\u2028', c, p);
      break;
    case TRtfWord::kTab:
    case TRtfWord::kCell:
      builder_.AppendChar(u'\t', c, p);
      break;
    case TRtfWord::kAlignLeft:
      p.align = TRtfAlign::kLeft;
      break;
    case TRtfWord::kAlignCentre:
      p.align = TRtfAlign::kCentre;
      break;
    case TRtfWord::kAlignRight:
      p.align = TRtfAlign::kRight;
      break;
    case TRtfWord::kAlignJustify:
      p.align = TRtfAlign::kJustify;
      break;
    case TRtfWord::kLeftIndent:
      p.leftIndent = Twips(t, 0);
      break;
    case TRtfWord::kRightIndent:
      p.rightIndent = Twips(t, 0);
      break;
    case TRtfWord::kFirstIndent:
      p.firstIndent = Twips(t, -kMaxTwips);
      break;
    case TRtfWord::kSpaceBefore:
      p.spaceBefore = Twips(t, 0);
      break;
    case TRtfWord::kSpaceAfter:
      p.spaceAfter = Twips(t, 0);
      break;

    case TRtfWord::kCharacter:
      builder_.AppendChar(info.character, c, p);
      break;
    default:
      break;  // unknown words and words of other destinations
  }
}

void TRtfParser::SetDocumentCodePage(int codePage) {
  documentCodePage_ = codePage;
  decoder_ = nullptr;
}

void TRtfParser::OnFontTableWord(const TRtfWordInfo& info, const TRtfToken& t) {
  switch (info.word) {
    case TRtfWord::kFont:
      if (t.hasParam && t.param >= 0) fonts_.BeginEntry(t.param);
      break;
    case TRtfWord::kFontCharset:
      if (t.hasParam) fonts_.SetCharset(t.param);
      break;
    case TRtfWord::kFontCodePage:
      if (t.hasParam && t.param > 0) fonts_.SetCodePage(t.param);
      break;
    case TRtfWord::kFontFamilyRoman:
      fonts_.SetStyleHint(QFont::Serif);
      break;
    case TRtfWord::kFontFamilySwiss:
      fonts_.SetStyleHint(QFont::SansSerif);
      break;
    case TRtfWord::kFontFamilyModern:
      fonts_.SetStyleHint(QFont::TypeWriter);
      break;
    case TRtfWord::kFontFamilyScript:
      fonts_.SetStyleHint(QFont::Cursive);
      break;
    case TRtfWord::kFontFamilyDecor:
      fonts_.SetStyleHint(QFont::Decorative);
      break;
    case TRtfWord::kFontFamilyOther:
      fonts_.SetStyleHint(QFont::AnyStyle);
      break;
    default:
      break;
  }
}

void TRtfParser::OnPictureWord(const TRtfWordInfo& info, const TRtfToken& t) {
  if (!picture_) return;
  switch (info.word) {
    case TRtfWord::kPng:
      picture_->SetKind(TRtfPictureKind::kPng);
      break;
    case TRtfWord::kJpeg:
      picture_->SetKind(TRtfPictureKind::kJpeg);
      break;
    case TRtfWord::kOtherPictureKind:
      picture_->SetKind(TRtfPictureKind::kOther);
      break;
    case TRtfWord::kPictureGoalWidth:
      picture_->SetGoalWidth(NonNegative(t));
      break;
    case TRtfWord::kPictureGoalHeight:
      picture_->SetGoalHeight(NonNegative(t));
      break;
    case TRtfWord::kPictureScaleX:
      picture_->SetScaleX(NonNegative(t));
      break;
    case TRtfWord::kPictureScaleY:
      picture_->SetScaleY(NonNegative(t));
      break;
    default:
      break;
  }
}

void TRtfParser::OnSymbol(unsigned char symbol) {
  FlushBytes();
  TRtfGroup& g = groups_.back();
  if (symbol == '*') {
    g.ignorable = true;
    return;
  }
  g.ignorable = false;
  if (g.destination != TRtfDestination::kText) return;
  if (symbol == '\n') {
    builder_.EndParagraph(g.para, g.chars);
    return;
  }
  if (const char16_t c = RtfSymbolCharacter(symbol)) builder_.AppendChar(c, g.chars, g.para);
}

}  // namespace dorvem::rtf
