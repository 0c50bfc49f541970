// The start-up trace: the phases the window names while it starts, in
// order, and the end of the trace once the headword list has been painted.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/startup_trace.h"
#include "tests/app/window_fixture.h"

namespace dorvem {
namespace {

using testing::ProgramFolderFixture;

TEST(StartupTraceTest, NamesEachPhaseInOrderAndEndsAfterTheFirstPaint) {
  EXPECT_FALSE(StartupTraceOn());
  ProgramFolderFixture folder;
  folder.WriteDataFile(ProgramFolderFixture::Dictionary({".BEVEZETO", "A", "AB", "B"}));
  std::vector<std::string> phases;
  std::vector<std::int64_t> moments;
  StartStartupTrace([&](const char* phase, std::int64_t ns) {
    phases.emplace_back(phase);
    moments.push_back(ns);
  });
  TfrmMain w(folder.Options());
  w.show();
  for (int i = 0; i < 1000 && StartupTraceOn(); ++i) QCoreApplication::processEvents();
  EXPECT_FALSE(StartupTraceOn());

  const std::vector<std::string> expected = {"main",
                                             // The window's controls.
                                             "search controls", "media device", "data views",
                                             "pictures", "controls", "native window",
                                             // Opening the data file, step by step.
                                             "read", "store", "fields", "order", "filter", "window",
                                             // The first entry refresh, and the window made.
                                             "views loaded", "entry refresh", "opened",
                                             // The headword list on the screen.
                                             "first paint"};
  EXPECT_EQ(phases, expected);
  for (std::size_t i = 1; i < moments.size(); ++i) EXPECT_LE(moments[i - 1], moments[i]) << i;

  // Over: the marks of the keystrokes' refreshes and of later opens go
  // nowhere.
  QTest::keyClicks(w.edtKeres, "ab");
  w.Dictionary().tblAdat.Close();
  w.Dictionary().tblAdat.Open();
  EXPECT_EQ(phases.size(), expected.size());
}

}  // namespace
}  // namespace dorvem
