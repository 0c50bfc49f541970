#include "bench/app/window_probe.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string_view>

#include "app/application.h"
#include "app/error_report.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "app/program_options.h"
#include "app/startup_trace.h"
#include "bench/app/run_report.h"
#include "dataset/host/table_preload.h"
#include "dictionary/dictionary.h"
#include "dictionary/external_programs.h"

namespace dorvem::bench {

namespace {

constexpr int kStartTimeoutMs = 120000;
// Before the keys: the start-up's own cue sound and idle work end.
constexpr int kSettleMs = 500;

std::int64_t CpuNs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
}

std::uint64_t StatusKb(const char* key) {
  std::ifstream in("/proc/self/status");
  const std::string prefix = std::string(key) + ":";
  for (std::string line; std::getline(in, line);)
    if (line.rfind(prefix, 0) == 0) return std::stoull(line.substr(prefix.size()));
  return 0;
}

// Runs `loop` for at most `ms` milliseconds (it may be quit earlier).
void RunEventLoop(QEventLoop& loop, int ms) {
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

void RunEventLoop(int ms) {
  QEventLoop loop;
  RunEventLoop(loop, ms);
}

void Type(QWidget* box, int key) {
  const QString text =
      key == Qt::Key_Backspace ? QString(QChar(u'\b')) : QString(QChar(key)).toLower();
  QTest::sendKeyEvent(QTest::Press, box, static_cast<Qt::Key>(key), text, Qt::NoModifier);
  QTest::sendKeyEvent(QTest::Release, box, static_cast<Qt::Key>(key), text, Qt::NoModifier);
}

// One key and the gap after it. Kept out of line so that a profiler can
// collect exactly the keys (callgrind --toggle-collect='*KeyAndGap*').
[[gnu::noinline]] void KeyAndGap(QWidget* box, int key, int gapMs) {
  Type(box, key);
  RunEventLoop(gapMs);
}

}  // namespace

std::vector<int> TwoLetterPrefixKeys() {
  static const char* const kPrefixes[] = {"KA", "SZ", "ME", "TA", "BO", "NY",
                                          "GY", "LE", "RA", "CS", "VI", "DO"};
  std::vector<int> keys;
  for (const char* p : kPrefixes) {
    keys.push_back(p[0]);
    keys.push_back(p[1]);
    keys.push_back(Qt::Key_Backspace);
    keys.push_back(Qt::Key_Backspace);
  }
  return keys;
}

int RunWindowProbe(int argc, char** argv, const ProbeOptions& options) {
  RunReport report;
  QEventLoop* startLoop = nullptr;
  StartStartupTrace([&](const char* phase, std::int64_t ns) {
    report.phases.emplace_back(phase, ns);
    if (startLoop != nullptr && std::string_view(phase) == "first paint") startLoop->quit();
  });
  // As the program's entry does: the table loads while the toolkit starts.
  const TDictionaryOptions dictionaryOptions{QString::fromStdString(options.programFolder),
                                             UserCacheFolder(),
                                             QString::fromLatin1(kVideoPlayerPath),
                                             {}};
  const TTablePreload preload(TDictionary::PreloadRequest(dictionaryOptions));
  TApplication app(argc, argv);
  StartupPhaseDone("application");
  auto count = [&report](const QString& text) {
    ++report.reports;
    std::fprintf(stderr, "app_bench: the window reported: %s\n", text.toUtf8().constData());
  };
  SetErrorReportSink([&](const ErrorReportBox& box) { count(box.text); });
  SetMessageBoxSink([&](const MessageBoxText& box) { count(box.text); });

  TfrmMain window(dictionaryOptions);
  window.show();
  StartupPhaseDone("shown");
  if (!report.PhaseEnd("first paint")) {
    QEventLoop loop;
    startLoop = &loop;
    RunEventLoop(loop, kStartTimeoutMs);
    startLoop = nullptr;
  }
  report.rssKb = StatusKb("VmRSS");
  report.peakKb = StatusKb("VmHWM");

  if (options.keys) {
    // With the cue sounds, as the window starts, then without them.
    for (std::vector<KeyCost>* costs : {&report.keys, &report.quietKeys}) {
      window.chbHang->setChecked(costs == &report.keys);
      RunEventLoop(kSettleMs);
      for (const int key : TwoLetterPrefixKeys()) {
        const std::int64_t process = CpuNs(CLOCK_PROCESS_CPUTIME_ID);
        const std::int64_t thread = CpuNs(CLOCK_THREAD_CPUTIME_ID);
        KeyAndGap(window.edtKeres, key, options.keyGapMs);
        costs->push_back(
            {CpuNs(CLOCK_PROCESS_CPUTIME_ID) - process, CpuNs(CLOCK_THREAD_CPUTIME_ID) - thread});
      }
    }
  }
  std::cout << FormatReport(report) << std::flush;
  // The window and its million records need not be taken down piece by
  // piece: the run is over.
  std::_Exit(0);
}

}  // namespace dorvem::bench
