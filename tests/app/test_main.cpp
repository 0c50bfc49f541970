// Runs the window tests inside the program's own application object, on
// Qt's offscreen platform unless another one is named. A report, a message
// box or an external program that no test expects fails the running test
// instead of opening a modal box or starting anything. The media device
// plays nothing: a recording layer that accepts every request stands in
// for the real one unless a test installs its own.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/error_report.h"
#include "app/message_boxes.h"
#include "dictionary/external_programs.h"
#include "media/default_mci.h"
#include "tests/media/recording_mci.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  dorvem::TApplication app(argc, argv);
  dorvem::SetErrorReportSink([](const dorvem::ErrorReportBox& report) {
    ADD_FAILURE() << "unexpected error report: " << report.text.toStdString();
  });
  dorvem::SetMessageBoxSink([](const dorvem::MessageBoxText& box) {
    ADD_FAILURE() << "unexpected message box: " << box.text.toStdString();
  });
  dorvem::SetExternalActions(
      {[](const QString& file) { ADD_FAILURE() << "unexpected open: " << file.toStdString(); },
       [](const QString& program, const QString&) {
         ADD_FAILURE() << "unexpected start: " << program.toStdString();
       }});
  dorvem::testing::RecordingMci quietMedia;
  dorvem::mci::SetDefaultMci(&quietMedia);
  return RUN_ALL_TESTS();
}
