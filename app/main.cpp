// The program's entry: checks that there is a display, creates the
// application and the main window, and runs the event loop until the window
// closes.
#include <cstdio>

#include "app/application.h"
#include "app/display_check.h"
#include "app/main_window.h"

int main(int argc, char** argv) {
  if (!dorvem::HasDisplayInEnvironment()) {
    std::fprintf(stderr, "%s\n", dorvem::NoDisplayMessage(argc > 0 ? argv[0] : "dorvem").c_str());
    return 1;
  }
  dorvem::TApplication app(argc, argv);
  dorvem::TfrmMain frmMain;
  frmMain.show();
  return app.exec();
}
