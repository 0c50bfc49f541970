// Starting and closing the window with a data file that is absent,
// malformed or good.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/error_report.h"
#include "dataset/host/db_errors.h"
#include "tests/app/report_recorder.h"
#include "tests/app/window_fixture.h"

namespace dorvem {
namespace {

using testing::ProgramFolderFixture;
using testing::ReportRecorder;

TEST(StartUpTest, AbsentDataFileIsReportedOnceAndLeavesAUsableWindow) {
  ProgramFolderFixture folder;
  ReportRecorder recorder;
  TfrmMain w(folder.Options());
  ASSERT_EQ(recorder.reports.size(), 1u);
  EXPECT_EQ(recorder.reports[0].text, "tblAdat: Missing data provider or data packet.");
  EXPECT_EQ(recorder.reports[0].title,
            QFileInfo(QCoreApplication::applicationFilePath()).baseName());
  EXPECT_FALSE(w.Dictionary().tblAdat.Active());
  EXPECT_EQ(w.Dictionary().tblAdat.FileName(), folder.DataFile().toStdString());

  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
  EXPECT_EQ(QApplication::focusWidget(), w.edtKeres);
  EXPECT_FALSE(w.spbKep->isEnabled());
  EXPECT_FALSE(w.spbLejatszo->isEnabled());
  // Every change of the search text tries to open the data again.
  QTest::keyClicks(w.edtKeres, "dal");
  EXPECT_EQ(w.edtKeres->text(), "DAL");
  EXPECT_EQ(recorder.Texts(), QStringList(4, "tblAdat: Missing data provider or data packet."));
}

TEST(StartUpTest, MalformedDataFileReportsTheEnginesText) {
  ProgramFolderFixture folder;
  // Neither magic nor "<" at the start: the engine's 16389, whose text ends
  // in a full stop, so the report adds none.
  folder.WriteDataFile({'n', 'o', 't', ' ', 'a', ' ', 'p', 'a', 'c', 'k', 'e', 't'});
  ReportRecorder recorder;
  TfrmMain w(folder.Options());
  EXPECT_EQ(recorder.Texts(), QStringList{"Mismatch in datapacket."});
  EXPECT_FALSE(w.Dictionary().tblAdat.Active());
}

TEST(StartUpTest, GoodDataFileOpensWithoutAReport) {
  ProgramFolderFixture folder;
  folder.WriteDataFile(ProgramFolderFixture::Dictionary({".FIRST", "SECOND"}));
  ReportRecorder recorder;
  TfrmMain w(folder.Options());
  EXPECT_TRUE(recorder.reports.empty());
  ASSERT_TRUE(w.Dictionary().tblAdat.Active());
  EXPECT_EQ(w.Dictionary().Headword(), ".FIRST");
  EXPECT_EQ(w.Dictionary().Fields[TColumnRole::crMediaFile].AsString(), ".FIRST.mp3");
  EXPECT_EQ(w.Dictionary().Fields[TColumnRole::crIndex].AsInteger(), 1);
}

// Closing by the exit button and by the close box: both hide the window and
// close the dataset, and neither writes the data file.
TEST(StartUpTest, ExitButtonAndCloseBoxCloseAlikeWithoutWriting) {
  ProgramFolderFixture folder;
  const std::vector<std::uint8_t> packet = ProgramFolderFixture::Dictionary({".A"});
  folder.WriteDataFile(packet);
  const QFileInfo before(folder.DataFile());
  for (bool byButton : {true, false}) {
    SCOPED_TRACE(byButton ? "btnKilep" : "close box");
    TfrmMain w(folder.Options());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(w.Dictionary().tblAdat.Active());
    if (byButton)
      QTest::mouseClick(w.btnKilep, Qt::LeftButton);
    else
      w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.Dictionary().tblAdat.Active());
  }
  const QFileInfo after(folder.DataFile());
  EXPECT_EQ(after.lastModified(), before.lastModified());
  QFile file(folder.DataFile());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), QByteArray(reinterpret_cast<const char*>(packet.data()),
                                       static_cast<qsizetype>(packet.size())));
}

TEST(StartUpTest, SearchBoxForcesCapitalsAsTypedAndPasted) {
  ProgramFolderFixture folder;
  ReportRecorder recorder;
  TfrmMain w(folder.Options());
  QTest::keyClicks(w.edtKeres, "ab c");
  QTest::sendKeyEvent(QTest::Click, w.edtKeres, Qt::Key_unknown, QStringLiteral(u"é"),
                      Qt::NoModifier);
  QTest::sendKeyEvent(QTest::Click, w.edtKeres, Qt::Key_unknown, QStringLiteral(u"ő"),
                      Qt::NoModifier);
  EXPECT_EQ(w.edtKeres->text(), QStringLiteral(u"AB CÉŐ"));
  w.edtKeres->insert(QStringLiteral(u"ßx"));
  EXPECT_EQ(w.edtKeres->text(), QStringLiteral(u"AB CÉŐßX"));
}

}  // namespace
}  // namespace dorvem
