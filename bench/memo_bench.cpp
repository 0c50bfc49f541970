// Huge memos in the explanation view: what the window pays for a move to a
// memo of one long word and to memos of 50 MB of each kind. The view is set
// up as the window sets up edtSzoveg, in a dataset of two entries: a short
// memo, and the huge one after it.
//
//   build/bin/memo_bench
//
// Each run makes one move from the short memo to the huge one and reports:
// first_paint_ms: the move and the view's first paint after it;
// longest_idle_pass_ms: the longest pass of the event loop while the rest
//   is built (idle_passes of them, until the build is done and the
//   document dropped is freed);
// key_ms: after another such move, a key on the view at once (Ctrl+End),
//   which builds the rest of what the view shows before it acts;
// longest_stall_ms: the longest of the three; key_cpu_ms and
//   first_paint_cpu_ms: the processor time of the key and of the move (on
//   a busy machine the wall-clock times hold waits for the processor too);
// peak_rss_mb: the program's peak resident memory over the moves, and
//   peak_growth_mb that peak less the resident memory before them.
// Kinds: one_word_1MB and rich_word_1MB (one word of a megabyte, plain and
// in rich text), and of 50 MB: one_word, plain_lines (lines of 60 to 80
// bytes) and rich_text (the demo dictionary's style).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>

#include "bench/support/dictionary_data.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/data_source.h"
#include "views/db_rich_edit.h"

namespace {

using namespace dorvem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kMegabyte = 1 << 20;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The processor time of this thread so far, in milliseconds.
double ThreadCpuMilliseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::string OneWord(std::size_t size) {
  return std::string(size, 'x');
}

std::string RichWord(std::size_t size) {
  return "{\\rtf1 " + std::string(size - 8, 'x') + "}";
}

// Lines of 60 to 80 bytes of windows-1250 words.
std::string PlainLines(std::size_t size) {
  static const char* const kWords[] = {"hang",   "k\xF6z", "heged\xFB", "fuvola",
                                       "ritmus", "dallam", "\xF5si",    "z\xE9ne"};
  std::string memo;
  memo.reserve(size + 100);
  std::size_t line = 0;
  for (std::size_t i = 0; memo.size() < size; ++i) {
    const std::string word = kWords[(i * 7 + i / 3) % std::size(kWords)];
    memo += word;
    line += word.size() + 1;
    if (line >= 60 + (i % 21)) {
      memo += "\r\n";
      line = 0;
    } else {
      memo += ' ';
    }
  }
  memo.resize(size);
  return memo;
}

class HugeMemoView {
 public:
  explicit HugeMemoView(const std::string& memo) {
    ds.SetFileName(bench::EntryPacketFile(
        "huge", {{".A", "short", std::nullopt}, {".B", memo, std::nullopt}}));
    source.SetDataSet(&ds);
    edit.SetDataSource(&source);
    edit.SetDataField("SZOVMAGY");
    edit.SetReadOnly(true);
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit.resize(449, 235);
    edit.show();
    ds.Open();
    QCoreApplication::processEvents();
  }

  // Moves to the huge memo and paints; returns the milliseconds.
  double MoveAndPaint() {
    const Clock::time_point start = Clock::now();
    ds.GoNext();
    edit.viewport()->repaint();
    return MillisecondsSince(start);
  }

  TClientDataSet ds{"tblAdat"};
  TDataSource source{"DataSource1"};
  TDBRichEdit edit;
};

void BM_HugeMemo(benchmark::State& state, std::string (*make)(std::size_t), std::size_t size) {
  std::unique_ptr<HugeMemoView> made;
  {
    const std::string memo = make(size);
    made = std::make_unique<HugeMemoView>(memo);
  }
  HugeMemoView& view = *made;
  const std::uint64_t before = bench::CurrentResidentBytes();
  bench::ResetPeakResident();
  double firstPaint = 0;
  double longestPass = 0;
  double key = 0;
  double firstPaintCpu = 0;
  double keyCpu = 0;
  int passes = 0;
  for (auto _ : state) {
    const double cpu = ThreadCpuMilliseconds();
    firstPaint = view.MoveAndPaint();
    firstPaintCpu = ThreadCpuMilliseconds() - cpu;
    // The passes that build the rest, and the one that frees the document
    // dropped.
    for (bool last = false; !last; ++passes) {
      last = !view.edit.Loading();
      const Clock::time_point start = Clock::now();
      QCoreApplication::processEvents();
      longestPass = std::max(longestPass, MillisecondsSince(start));
    }
    view.ds.GoPrior();
    QCoreApplication::processEvents();
    view.MoveAndPaint();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    const Clock::time_point start = Clock::now();
    const double keyStart = ThreadCpuMilliseconds();
    QCoreApplication::sendEvent(&view.edit, &press);
    key = MillisecondsSince(start);
    keyCpu = ThreadCpuMilliseconds() - keyStart;
  }
  const std::uint64_t peak = bench::PeakResidentBytes();
  state.counters["memo_mb"] = static_cast<double>(size) / kMegabyte;
  state.counters["first_paint_ms"] = firstPaint;
  state.counters["longest_idle_pass_ms"] = longestPass;
  state.counters["idle_passes"] = passes;
  state.counters["key_ms"] = key;
  state.counters["first_paint_cpu_ms"] = firstPaintCpu;
  state.counters["key_cpu_ms"] = keyCpu;
  state.counters["longest_stall_ms"] = std::max({firstPaint, longestPass, key});
  state.counters["peak_rss_mb"] = static_cast<double>(peak) / kMegabyte;
  state.counters["peak_growth_mb"] =
      peak > before ? static_cast<double>(peak - before) / kMegabyte : 0.0;
}

BENCHMARK_CAPTURE(BM_HugeMemo, one_word_1MB, &OneWord, kMegabyte)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HugeMemo, rich_word_1MB, &RichWord, kMegabyte)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HugeMemo, one_word_50MB, &OneWord, 50 * kMegabyte)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HugeMemo, plain_lines_50MB, &PlainLines, 50 * kMegabyte)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HugeMemo, rich_text_50MB, &bench::LargeRichTextMemo, 50 * kMegabyte)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
