// The program folder and the file system paths built from it, and the
// start without a display.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include "app/display_check.h"
#include "dictionary/paths.h"

namespace dorvem {
namespace {

TEST(PathsTest, ExactlyOneSeparatorBeforeData) {
  const QString data = QString::fromLatin1(kDataFileName);
  EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/dorvem"), "/opt/dorvem/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/opt/dorvem/"), "/opt/dorvem/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/"), "/");

  EXPECT_EQ(ProgramFolderOf("/opt/dorvem/dorvem"), "/opt/dorvem/");
  EXPECT_EQ(ProgramFolderOf("/dorvem"), "/");
  EXPECT_EQ(ProgramFolderOf("bin/dorvem"), QDir::currentPath() + "/bin/");
  EXPECT_EQ(FileSystemPath(ProgramFolderOf("/opt/dorvem/dorvem") + data),
            "/opt/dorvem/Data/dorvem1.cds");
  EXPECT_EQ(FileSystemPath(ProgramFolderOf("/dorvem") + data), "/Data/dorvem1.cds");
  EXPECT_EQ(FileSystemPath(IncludeTrailingPathDelimiter("/opt/dorvem/") + data),
            "/opt/dorvem/Data/dorvem1.cds");

  // The running program's folder, and a name from the data with "\".
  EXPECT_EQ(ProgramFolder(), QCoreApplication::applicationDirPath() + "/");
  EXPECT_EQ(FileSystemName(QStringLiteral(u"/zene/Sounds\\PICTURES\\szó.PDF")),
            "/zene/Sounds/PICTURES/sz\xC3\xB3.PDF");
}

TEST(DisplayTest, NoDisplayIsOneClearLineNotABacktrace) {
  EXPECT_FALSE(HasDisplay(nullptr, nullptr, nullptr));
  EXPECT_FALSE(HasDisplay("", "", ""));
  EXPECT_TRUE(HasDisplay(":0", nullptr, nullptr));
  EXPECT_TRUE(HasDisplay(nullptr, "wayland-0", nullptr));
  EXPECT_TRUE(HasDisplay(nullptr, nullptr, "offscreen"));

  QProcess dorvem;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    env.remove(QString::fromLatin1(name));
  dorvem.setProcessEnvironment(env);
  dorvem.start(QStringLiteral(DORVEM_PATH), {});
  ASSERT_TRUE(dorvem.waitForFinished(30000));
  EXPECT_EQ(dorvem.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(dorvem.exitCode(), 1);
  const QString err = QString::fromLocal8Bit(dorvem.readAllStandardError());
  EXPECT_EQ(err.count(u'\n'), 1) << err.toStdString();
  EXPECT_TRUE(err.contains("no display")) << err.toStdString();
  EXPECT_TRUE(err.contains("xvfb-run -a")) << err.toStdString();
}

}  // namespace
}  // namespace dorvem
