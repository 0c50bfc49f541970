// The program's entry. An own option on the command line (command_line.h)
// is carried out without a window or a display; otherwise it checks that there is a
// display, creates the application and the main window, and runs the event
// loop until the window closes. A window already running on the same data
// file takes the search instead (single_instance.h). DORVEM_TRACE_STARTUP=1
// in the environment prints where the start-up spends its time
// (startup_trace.h).
#include <unistd.h>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "app/display_check.h"
#include "app/lookup.h"
#include "app/main_window.h"
#include "app/program_options.h"
#include "app/screen_fit.h"
#include "app/single_instance.h"
#include "app/startup_trace.h"
#include "app/toolkit_options.h"
#include "dataset/host/table_preload.h"
#include "dictionary/dictionary.h"
#include "dictionary/paths.h"
#include "terminal/progress_line.h"

int main(int argc, char** argv) {
  const dorvem::TCommandLine commandLine =
      dorvem::ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
  if (commandLine.command != dorvem::TCommand::cmWindow) {
    // Enough of an application to find the program folder; no display. The
    // check and the lookup lay explanations out in text documents, which
    // needs the GUI application, on the offscreen platform: it opens no
    // window.
    std::unique_ptr<QCoreApplication> app;
    if (commandLine.command == dorvem::TCommand::cmCheck ||
        commandLine.command == dorvem::TCommand::cmLookup) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
      app = std::make_unique<QCoreApplication>(argc, argv);
    }
    return dorvem::RunCommandLine(
        commandLine, dorvem::ProgramOptions(), std::cout, std::cerr,
        {dorvem::TerminalWidth(STDOUT_FILENO), dorvem::IsTerminal(STDERR_FILENO)});
  }
  if (!dorvem::HasDisplayInEnvironment()) {
    std::fprintf(stderr, "%s\n", dorvem::NoDisplayMessage(argc > 0 ? argv[0] : "dorvem").c_str());
    return 1;
  }
  dorvem::StartStartupTraceFromEnvironment();
  // The data file is loaded on a thread of its own while the toolkit starts;
  // the window's first open takes it when nothing changed meanwhile.
  const dorvem::TTablePreload preload(dorvem::TDictionary::PreloadRequest(
      {dorvem::ProgramFolderBeforeApplication(), dorvem::UserCacheFolder(), {}, {}}));
  // Words after a lone "--" are the search's, not the toolkit's options.
  int toolkitArgc = dorvem::ToolkitArgumentCount(argc, argv);
  const std::unique_ptr<dorvem::TApplication> app =
      dorvem::CreateApplicationFittingTheWindow(toolkitArgc, argv);
  // Lets the desktop match the window with its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(DORVEM_APP_ID));
  dorvem::StartupPhaseDone("application");
  const dorvem::TDictionaryOptions options = dorvem::ProgramOptions();
  const QString search = QString::fromLocal8Bit(commandLine.search);
  // A window on the same data file that already runs takes the search.
  dorvem::TSingleInstance instance(QStringLiteral(DORVEM_APP_ID), options);
  if (instance.AnotherWindowRuns() && instance.HandOver(search, commandLine.everything)) return 0;
  dorvem::TfrmMain frmMain(options);
  QObject::connect(&instance, &dorvem::TSingleInstance::ShowRequested, &frmMain,
                   &dorvem::TfrmMain::ShowFromOutside);
  frmMain.show();
  dorvem::StartupPhaseDone("shown");
  frmMain.TakeSearch(search, commandLine.everything);
  return app->exec();
}
