// Runs the window tests inside the program's own application object, on
// Qt's offscreen platform unless another one is named. A report that no
// test expects fails the running test instead of opening a modal box.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/error_report.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  dorvem::TApplication app(argc, argv);
  dorvem::SetErrorReportSink([](const dorvem::ErrorReportBox& report) {
    ADD_FAILURE() << "unexpected error report: " << report.text.toStdString();
  });
  return RUN_ALL_TESTS();
}
