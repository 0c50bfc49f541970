// Showing the whole window on any screen. The window is designed at 1024 x
// 768 pixels with its frame; at the desktop's scale factor it may not fit
// the screen's available area (a laptop's screen with a panel, a full-HD
// screen at 150 %). Then the program runs at the largest smaller scale
// factor at which it fits, so that it stays sharp: text and lines are drawn
// at the screen's pixels, and pictures come from their twice-size drawings
// above a factor of 1.
//
// Qt fixes its scale factor when the application object is made, so the
// factor is measured on the first application object and, when the window
// does not fit, that object is made again with QT_SCALE_FACTOR set for it
// (the environment is given back afterwards, so that programs the window
// starts do not inherit it). Platforms without a screen of their own
// (offscreen, minimal) are left as they are.
#pragma once

#include <QSize>
#include <memory>

#include "app/application.h"

namespace dorvem {

// The smallest factor the window is made smaller to. Below a factor of 1
// the toolkit (Qt 6.4 on X11) lays the window out at the smaller size but
// leaves parts of its controls unpainted (black areas, the bottom bar
// missing), so the window is never shown below its design size: on a
// screen with less room than that, the window keeps factor 1 and its top
// (the search box) stays on the screen (CentreOnScreen).
inline constexpr double kMinFitFactor = 1.0;

// The scale factor to show a window of `windowSize` design pixels at on an
// available area of `available` device pixels, when the desktop's factor
// is `desktopFactor`: that factor when the window fits at it; else the
// largest factor below it, a multiple of 0.05, at which it fits, but no
// less than kMinFitFactor (nor than the desktop's own factor).
double FittingScaleFactor(QSize windowSize, QSize available, double desktopFactor);

// Makes the application object (argc and argv as main() gets them), at a
// scale factor at which the window fits the primary screen.
std::unique_ptr<TApplication> CreateApplicationFittingTheWindow(int& argc, char** argv);

}  // namespace dorvem
