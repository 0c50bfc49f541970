// Run on a real X screen (Xvfb): starts the application as the program
// does, at the scale factor that fits the window, shows the window on the
// dictionary beside this program, and checks that the window and every
// control lie inside the screen's available area. Prints the factor used
// and each control that does not fit; exits with 1 when one does not.
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "app/main_window.h"
#include "app/program_options.h"
#include "app/screen_fit.h"

int main(int argc, char** argv) {
  const auto app = dorvem::CreateApplicationFittingTheWindow(argc, argv);
  dorvem::TfrmMain window(dorvem::ProgramOptions());
  window.show();
  if (!QTest::qWaitForWindowExposed(&window, 20000)) return 2;
  const QScreen* screen = window.screen();
  const QRect area = screen->availableGeometry();
  std::printf("factor %.2f, available %dx%d\n", screen->devicePixelRatio(), area.width(),
              area.height());
  int outside = 0;
  QList<QWidget*> widgets = window.findChildren<QWidget*>();
  widgets.prepend(&window);
  for (const QWidget* w : widgets) {
    if (!w->isVisible()) continue;
    const QRect global(w->mapToGlobal(QPoint(0, 0)), w->size());
    if (!area.contains(global)) {
      std::printf("outside: %s\n", qPrintable(w->objectName()));
      ++outside;
    }
  }
  std::printf("%s\n", outside == 0 ? "every control on the screen" : "controls off the screen");
  return outside == 0 ? 0 : 1;
}
