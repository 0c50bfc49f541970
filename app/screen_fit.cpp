#include "app/screen_fit.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/main_window.h"

namespace dorvem {

namespace {

// A copy of the command line for each application object made: Qt takes
// its own options out of the one it is given, and keeps referring to it.
struct TArguments {
  explicit TArguments(int argc, char** argv) : strings(argv, argv + argc) {
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    count = argc;
  }
  std::vector<std::string> strings;
  std::vector<char*> pointers;
  int count = 0;
};

bool HasRealScreen() {
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}  // namespace

double FittingScaleFactor(QSize windowSize, QSize available, double desktopFactor) {
  if (windowSize.isEmpty() || available.isEmpty()) return desktopFactor;
  const double fits = std::min(double(available.width()) / windowSize.width(),
                               double(available.height()) / windowSize.height());
  if (fits >= desktopFactor) return desktopFactor;
  // The small allowance keeps an exact fit (736 / 768 * 20 = 19.1666...)
  // from being lost to rounding.
  const double stepped = std::floor(fits * 20 + 1e-9) / 20;
  return std::max(std::min(kMinFitFactor, desktopFactor), stepped);
}

std::unique_ptr<TApplication> CreateApplicationFittingTheWindow(int& argc, char** argv) {
  // The first object gets a copy, so that argv stays whole for a second one.
  static TArguments first(argc, argv);
  auto app = std::make_unique<TApplication>(first.count, first.pointers.data());
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr || !HasRealScreen()) return app;
  const double desktopFactor = screen->devicePixelRatio();
  const QSize available = screen->availableGeometry().size() * desktopFactor;
  const double factor =
      FittingScaleFactor({TfrmMain::kOuterWidth, TfrmMain::kOuterHeight}, available, desktopFactor);
  if (factor == desktopFactor) return app;

  // QT_SCALE_FACTOR multiplies the platform's own factor.
  const bool hadFactor = qEnvironmentVariableIsSet("QT_SCALE_FACTOR");
  const QByteArray oldFactor = qgetenv("QT_SCALE_FACTOR");
  bool given = false;
  double envFactor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&given);
  if (!given || envFactor <= 0) envFactor = 1.0;
  app.reset();
  qputenv("QT_SCALE_FACTOR", QByteArray::number(envFactor * factor / desktopFactor, 'g', 10));
  static TArguments second(argc, argv);
  app = std::make_unique<TApplication>(second.count, second.pointers.data());
  if (hadFactor)
    qputenv("QT_SCALE_FACTOR", oldFactor);
  else
    qunsetenv("QT_SCALE_FACTOR");
  return app;
}

}  // namespace dorvem
