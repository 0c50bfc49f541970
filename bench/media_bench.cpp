// The event thread's cost of a move with chbHang ticked on the real media
// layer: stop and close what plays, open a cue and play it (one cue), and
// the same with both cues, the sound cue cut off by the score cue; also
// playing a MIDI entry. Between moves the benchmark lets the pipelines
// finish their work, as they do between a user's keystrokes; that work,
// done on the layer's worker thread, is reported as worker_ms.
//
// BM_MidiMemory: resident memory around a MIDI play and after the idle
// device's pipeline is freed (see there).
//
// BM_CueCpu: what one cue costs the process over all of its threads - open,
// play to its end on the real default audio output, close - measured as the
// process's CPU time. The first cue of a fresh layer is reported apart
// (first_cpu_ms); cpu_ms and max_cpu_ms are over the cues after it.
//
//   build/bin/media_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <cstdio>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "media/gst_mci.h"
#include "media/gst_runtime.h"
#include "media/mci_notify.h"
#include "media/media_player.h"

namespace {

using namespace dorvem;

const std::string kSounds = std::string(DORVEM_SOURCE_DIR) + "/demo/Sounds/";

void PlayOn(TMediaPlayer& player, TMPDeviceTypes type, const std::string& file) {
  player.SetDeviceType(type);
  if (player.OpenDeviceId() != 0) {
    player.Stop();
    player.Close();
  }
  player.SetFileName(file);
  player.Open();
  player.Play();
}

// Runs `move` once per iteration, timing the event thread only.
template <class Move>
void RunMoves(benchmark::State& state, Move move) {
  mci::GstMci layer;
  TMediaPlayer player(nullptr, &layer);
  player.SetAutoRewind(false);
  double workerSeconds = 0;
  for (auto _ : state) {
    move(player);
    state.PauseTiming();
    const auto start = std::chrono::steady_clock::now();
    layer.WaitForPipelines();
    workerSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  player.Close();
  layer.WaitForPipelines();
  state.counters["worker_ms"] =
      benchmark::Counter(workerSeconds * 1000, benchmark::Counter::kAvgIterations);
}

void BM_MoveWithOneCue(benchmark::State& state) {
  RunMoves(state, [](TMediaPlayer& p) { PlayOn(p, dtAutoSelect, kSounds + "hangkep.mp3"); });
}
BENCHMARK(BM_MoveWithOneCue)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_MoveWithBothCues(benchmark::State& state) {
  RunMoves(state, [](TMediaPlayer& p) {
    PlayOn(p, dtAutoSelect, kSounds + "hangkep.mp3");
    PlayOn(p, dtAutoSelect, kSounds + "kottakep.mp3");
  });
}
BENCHMARK(BM_MoveWithBothCues)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_PlayMidiEntry(benchmark::State& state) {
  RunMoves(state, [](TMediaPlayer& p) { PlayOn(p, dtSequencer, kSounds + "menuett.mid"); });
}
BENCHMARK(BM_PlayMidiEntry)->Unit(benchmark::kMillisecond)->Iterations(300);

double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Counts the play notices that reach it and ends `loop` at each.
class NoticeCounter : public QObject {
 public:
  int notices = 0;
  QEventLoop loop;

 protected:
  void customEvent(QEvent* event) override {
    if (event->type() != mci::MciNotifyEvent::EventType()) return;
    ++notices;
    loop.quit();
  }
};

void BM_CueCpu(benchmark::State& state) {
  mci::GstMci layer;
  // As in the program, the output is decided and the elements are warmed
  // long before the first cue: that is waited for (its CPU time is not a
  // cue's).
  mci::WaitForGstPreparation();
  NoticeCounter counter;
  QTimer limit;  // ends a wait that no notice ends
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &counter.loop, &QEventLoop::quit);
  const std::string cue = kSounds + "hangkep.mp3";
  double first = -1, sum = 0, max = 0;
  int rest = 0;
  for (auto _ : state) {
    const double before = ProcessCpuMs();
    mci::MciRecord open = mci::MCI_OPEN_PARMS{nullptr, 0, {}, cue, {}};
    if (layer.SendCommand(0, mci::MCI_OPEN, mci::MCI_OPEN_ELEMENT, open) != 0) {
      state.SkipWithError("the cue cannot be opened");
      return;
    }
    const mci::MCIDEVICEID id = std::get<mci::MCI_OPEN_PARMS>(open).deviceId;
    mci::MciRecord play = mci::MCI_PLAY_PARMS{&counter, 0, 0};
    const int expected = counter.notices + 1;
    layer.SendCommand(id, mci::MCI_PLAY, mci::MCI_NOTIFY, play);
    // Sleeps in the event loop until the notice (or a time limit).
    limit.start(10000);
    if (counter.notices < expected) counter.loop.exec();
    mci::MciRecord close = mci::MCI_GENERIC_PARMS{};
    layer.SendCommand(id, mci::MCI_CLOSE, 0, close);
    layer.WaitForPipelines();
    const double spent = ProcessCpuMs() - before;
    if (first < 0) {
      first = spent;
    } else {
      sum += spent;
      max = std::max(max, spent);
      ++rest;
    }
  }
  state.counters["first_cpu_ms"] = first;
  state.counters["cpu_ms"] = rest ? sum / rest : 0;
  state.counters["max_cpu_ms"] = max;
}
BENCHMARK(BM_CueCpu)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

double ResidentMb() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// BM_MidiMemory: the process's resident memory before the first MIDI play
// (the layer and its output ready), after two seconds of a MIDI entry
// played and left open as the window leaves it, and once the device has
// been idle for its time (the layer's clock moved on): the pipeline and
// its sound font freed and the memory returned (back_mb is the last minus
// the first).
void BM_MidiMemory(benchmark::State& state) {
  std::int64_t now = 0;
  mci::GstMci layer({}, nullptr, [&now] { return now; });
  mci::WaitForGstPreparation();
  NoticeCounter counter;
  QTimer limit;
  limit.setSingleShot(true);
  QObject::connect(&limit, &QTimer::timeout, &counter.loop, &QEventLoop::quit);
  for (auto _ : state) {
    const double before = ResidentMb();
    mci::MciRecord open = mci::MCI_OPEN_PARMS{nullptr, 0, {}, kSounds + "menuett.mid", {}};
    if (layer.SendCommand(0, mci::MCI_OPEN, mci::MCI_OPEN_ELEMENT, open) != 0) {
      state.SkipWithError("the MIDI piece cannot be opened");
      return;
    }
    const mci::MCIDEVICEID id = std::get<mci::MCI_OPEN_PARMS>(open).deviceId;
    mci::MciRecord play = mci::MCI_PLAY_PARMS{&counter, 0, 2000};
    layer.SendCommand(id, mci::MCI_PLAY, mci::MCI_NOTIFY | mci::MCI_TO, play);
    limit.start(10000);
    counter.loop.exec();
    const double played = ResidentMb();
    now += mci::GstMci::kIdleMs;
    layer.ReleaseIdle();
    layer.WaitForPipelines();
    const double idle = ResidentMb();
    state.counters["before_mb"] = before;
    state.counters["played_mb"] = played;
    state.counters["idle_mb"] = idle;
    state.counters["back_mb"] = idle - before;
    mci::MciRecord close = mci::MCI_GENERIC_PARMS{};
    layer.SendCommand(id, mci::MCI_CLOSE, 0, close);
    layer.WaitForPipelines();
  }
}
BENCHMARK(BM_MidiMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
