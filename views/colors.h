// The colours of the window's design. The system colours are fixed here
// to the values a current Windows desktop uses, since Qt's palette has no
// role for them.
#pragma once

#include <QColor>

namespace dorvem {

inline const QColor kMoneyGreen{192, 220, 192};
inline const QColor kNavy{0, 0, 128};
inline const QColor kMaroon{128, 0, 0};
inline const QColor kTeal{0, 128, 128};
inline const QColor kWhite{255, 255, 255};
inline const QColor kBlack{0, 0, 0};
// The system's gradient-active-caption colour (the search frame).
inline const QColor kGradientActiveCaption{185, 209, 234};
// The system's active-border colour (the grid's cells).
inline const QColor kActiveBorder{180, 180, 180};
// The system's button-face colour (between a control's two scroll bars).
inline const QColor kButtonFace{240, 240, 240};
// The system's highlight and highlight-text colours (the grid's current row
// while it has the focus) and its grey-text colour (disabled text).
inline const QColor kHighlight{0, 120, 215};
inline const QColor kHighlightText{255, 255, 255};
inline const QColor kGrayText{109, 109, 109};
// The system's window-frame colour (a focused picture view's inner frame).
inline const QColor kWindowFrame{100, 100, 100};

}  // namespace dorvem
