#include "views/rtf/rtf_formats.h"

#include "views/rtf/rtf_tables.h"

namespace dorvem::rtf {

QTextCharFormat ToCharFormat(const TRtfCharProps& props, int defaultFont,
                             const TRtfFontTable& fonts, const TRtfColourTable& colours) {
  QTextCharFormat f;
  if (const TRtfFont* font = fonts.Find(props.font >= 0 ? props.font : defaultFont)) {
    f.setFontFamilies(QStringList{font->name});
    f.setFontStyleHint(font->styleHint);
  }
  f.setFontPointSize(props.halfPoints / 2.0);
  f.setFontWeight(props.bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(props.italic);
  f.setFontStrikeOut(props.strike);
  switch (props.underline) {
    case TRtfUnderline::kNone:
      f.setUnderlineStyle(QTextCharFormat::NoUnderline);
      break;
    case TRtfUnderline::kSingle:
      f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
      break;
    case TRtfUnderline::kDotted:
      f.setUnderlineStyle(QTextCharFormat::DotLine);
      break;
    case TRtfUnderline::kDash:
      f.setUnderlineStyle(QTextCharFormat::DashUnderline);
      break;
    case TRtfUnderline::kWave:
      f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
      break;
  }
  switch (props.vertical) {
    case TRtfVertical::kNormal:
      break;
    case TRtfVertical::kSub:
      f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
      break;
    case TRtfVertical::kSuper:
      f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
      break;
  }
  if (const QColor fg = colours.At(props.foreground); fg.isValid()) f.setForeground(fg);
  if (const QColor bg = colours.At(props.background); bg.isValid()) f.setBackground(bg);
  return f;
}

QTextBlockFormat ToBlockFormat(const TRtfParaProps& props) {
  QTextBlockFormat f;
  switch (props.align) {
    case TRtfAlign::kLeft:
      f.setAlignment(Qt::AlignLeft);
      break;
    case TRtfAlign::kCentre:
      f.setAlignment(Qt::AlignHCenter);
      break;
    case TRtfAlign::kRight:
      f.setAlignment(Qt::AlignRight);
      break;
    case TRtfAlign::kJustify:
      f.setAlignment(Qt::AlignJustify);
      break;
  }
  f.setLeftMargin(TwipsToPixels(props.leftIndent));
  f.setRightMargin(TwipsToPixels(props.rightIndent));
  f.setTextIndent(TwipsToPixels(props.firstIndent));
  f.setTopMargin(TwipsToPixels(props.spaceBefore));
  f.setBottomMargin(TwipsToPixels(props.spaceAfter));
  return f;
}

}  // namespace dorvem::rtf
