// The event thread's cost of a move with chbHang ticked on the real media
// layer: stop and close what plays, open a cue and play it (one cue), and
// the same with both cues, the sound cue cut off by the score cue; also
// playing a MIDI entry. Between moves the benchmark lets the pipelines
// finish their work, as they do between a user's keystrokes; that work,
// done on the layer's worker thread, is reported as worker_ms.
//
//   build/bin/media_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>

#include "media/gst_mci.h"
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
