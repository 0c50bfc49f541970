// The colours of the window's design. The two system colours are fixed here
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

}  // namespace dorvem
