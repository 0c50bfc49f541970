// The system's actions for external programs really start them, without a
// shell: a stub xdg-open first on the PATH receives the desktop open, and a
// started program receives its argument as one, blanks and quotes intact.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include "dictionary/external_programs.h"

namespace dorvem {
namespace {

// A folder with a stub program that writes its arguments, one a line, into
// a named pipe, from which the test reads what it was given.
class Stub {
 public:
  explicit Stub(const QString& name) {
    pipe_ = dir_.filePath(QStringLiteral("args"));
    EXPECT_EQ(::mkfifo(QFile::encodeName(pipe_).constData(), 0600), 0);
    program_ = dir_.filePath(name);
    QFile script(program_);
    EXPECT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(pipe_) + "'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }

  const QString& Program() const { return program_; }
  QString Folder() const { return dir_.path(); }

  // What the stub was given; empty when it was not run within the bound.
  QString Arguments() const {
    const int fd = ::open(QFile::encodeName(pipe_).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return {};
    QByteArray got;
    // Waits for the stub's output, not for time to pass: the bound only
    // ends a test whose stub never runs.
    pollfd p{fd, POLLIN, 0};
    bool writerSeen = false;
    while (::poll(&p, 1, 30000) > 0) {
      char buffer[512];
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n > 0) {
        got.append(buffer, n);
        writerSeen = true;
      } else if (n == 0 && (writerSeen || (p.revents & POLLHUP))) {
        break;  // the stub closed its end
      }
    }
    ::close(fd);
    return QString::fromUtf8(got);
  }

 private:
  QTemporaryDir dir_;
  QString pipe_;
  QString program_;
};

TEST(ExternalProgramsTest, OpeningWithTheSystemRunsXdgOpenWithTheFilesUrl) {
  Stub stub(QStringLiteral("xdg-open"));
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(stub.Folder()) + ':' + path);
  const QString file = QStringLiteral("/tmp/kotta és dal.pdf");
  SystemOpenWithSystem(file);
  qputenv("PATH", path);
  EXPECT_EQ(stub.Arguments(), QStringLiteral("file:///tmp/kotta%20%C3%A9s%20dal.pdf\n"));
}

TEST(ExternalProgramsTest, AProgramGetsItsArgumentAsOneWithoutAShell) {
  Stub stub(QStringLiteral("scplayer.exe"));
  SystemStartProgram(stub.Program(), QStringLiteral("/a b/'c' $HOME;d.scm"));
  EXPECT_EQ(stub.Arguments(), QStringLiteral("/a b/'c' $HOME;d.scm\n"));
}

}  // namespace
}  // namespace dorvem
