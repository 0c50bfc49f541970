// Runs the dictionary's tests in a GUI application without widgets, on
// Qt's offscreen platform unless another one is named (explanations are
// laid out in text documents). An external program that no test expects
// fails the running test instead of starting.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "dictionary/external_programs.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QGuiApplication app(argc, argv);
  dorvem::SetExternalActions(
      {[](const QString& file) { ADD_FAILURE() << "unexpected open: " << file.toStdString(); },
       [](const QString& program, const QString&) {
         ADD_FAILURE() << "unexpected start: " << program.toStdString();
       }});
  return RUN_ALL_TESTS();
}
