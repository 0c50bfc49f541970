// Runs the media tests inside an application object (the media device is a
// widget, and notices travel through the event queue), on Qt's offscreen
// platform unless another one is named.
#include <gtest/gtest.h>

#include <QApplication>

// Leaks the sanitizer build does not report. GLib keeps its quark table for
// the life of the process and leaks the old table each time it grows, which
// GStreamer's many quarks make it do. GLib is built without frame pointers,
// so such a leak shows only malloc and g_malloc: the rule names GLib's
// library for that reason.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libglib-2.0.so\n";
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
