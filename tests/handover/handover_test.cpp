// The hand-over between two starts on a private session bus (ctest runs
// this program under dbus-run-session): a second start on the same data
// file hands its words to the first and ends with 0; one on another data
// file, or without a bus, keeps to itself. The starts are this program run
// again as a peer:
//   handover_tests --peer PROGRAM_FOLDER [SEARCH]
// prints "first" when it owns the window's name and then the first search
// handed to it ("search: TEXT|everything"), or exits with 0 after handing
// its search over, or 3 when the hand-over failed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "app/single_instance.h"

namespace dorvem {
namespace {

const QString kAppId = QStringLiteral("hu.morvel.dorvem");
constexpr int kLimitMs = 20000;  // generous: only a hang reaches it

int RunPeer(const QString& folder, const QString& search) {
  TDictionaryOptions options;
  options.programFolder = folder;
  TSingleInstance instance(kAppId, options);
  if (instance.AnotherWindowRuns()) return instance.HandOver(search, true) ? 0 : 3;
  std::printf("first\n");
  std::fflush(stdout);
  QObject::connect(&instance, &TSingleInstance::ShowRequested,
                   [](const QString& text, bool everything) {
                     std::printf("search: %s|%d\n", qPrintable(text), int(everything));
                     std::fflush(stdout);
                     QCoreApplication::exit(0);
                   });
  return QCoreApplication::exec();
}

// A peer started on `folder`, with its output.
struct Peer {
  Peer(const QString& folder, const QStringList& words,
       const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationFilePath(),
                  QStringList{QStringLiteral("--peer"), folder} + words);
  }
  // The next line it prints; empty when it ends first or hangs.
  QString Line() {
    while (!process.canReadLine())
      if (!process.waitForReadyRead(kLimitMs)) return {};
    return QString::fromUtf8(process.readLine()).trimmed();
  }
  int Exit() {
    if (!process.waitForFinished(kLimitMs)) return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
  }
  ~Peer() {
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished(kLimitMs);
    }
  }
  QProcess process;
};

TEST(HandOverTest, ASecondStartHandsItsWordsToTheFirstAndEnds) {
  ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
      << "run under dbus-run-session";
  QTemporaryDir one, two;
  Peer first(one.path() + u'/', {});
  ASSERT_EQ(first.Line(), QStringLiteral("first"));
  // Another data file has a window of its own.
  Peer other(two.path() + u'/', {});
  EXPECT_EQ(other.Line(), QStringLiteral("first"));
  Peer second(one.path() + u'/', {QStringLiteral(u"ma non troppó")});
  EXPECT_EQ(second.Exit(), 0);
  EXPECT_EQ(first.Line(), QStringLiteral(u"search: ma non troppó|1"));
  EXPECT_EQ(first.Exit(), 0);
}

TEST(HandOverTest, WithoutABusEveryStartIsOnItsOwn) {
  QTemporaryDir one;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
             QStringLiteral("unix:path=") + one.path() + QStringLiteral("/no-bus"));
  Peer first(one.path() + u'/', {}, env);
  EXPECT_EQ(first.Line(), QStringLiteral("first"));
  Peer second(one.path() + u'/', {QStringLiteral("A")}, env);
  EXPECT_EQ(second.Line(), QStringLiteral("first"));
}

}  // namespace
}  // namespace dorvem

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc >= 3 && QByteArray(argv[1]) == "--peer")
    return dorvem::RunPeer(QString::fromLocal8Bit(argv[2]),
                           argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
