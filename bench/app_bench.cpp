// The real window on dictionary-shaped data packets of 100,000 and
// 1,000,000 entries (bench/support/dictionary_data.h, PlainDictionaryPacket):
// each run starts the program's application object and main window in a
// process of its own (bench/app/window_probe.h), on Qt's offscreen platform
// unless QT_QPA_PLATFORM names another (run under xvfb-run with
// QT_QPA_PLATFORM=xcb for a real X server), with the data file in the file
// cache.
//
//   build/bin/app_bench [--app_runs=3] [--app_key_gap_ms=150] [benchmark flags]
//
// Per size, the data file is written anew and started on once without keys
// (first_start_ms: the first start on a new data file), then --app_runs
// times with the key sequence (typing and deleting a dozen two-letter
// prefixes). Counters, over those runs:
//   start_ms        process start to the headword list painted (median)
//   first_start_ms  the same for the first start on the new file
//   rss_MB, peak_MB resident memory once the list is painted, and its peak
//   key_med_ms, key_max_ms   CPU per key over all threads (median, max)
//   ui_key_med_ms, ui_key_max_ms   the event thread's share
//   quiet_...       the same keys typed again with the cue sounds off
// The phases of the start-up (app/startup_trace.h) of the median run and
// of the first start are printed to stderr, in ms since the process start.
//
// Each run's own files (XDG_CACHE_HOME included) live in the temporary
// folder under "dorvem-app-bench". Before the first size, one small run
// primes the caches the toolkit and the media layer keep there.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/app/bench_folder.h"
#include "bench/app/child_process.h"
#include "bench/app/run_report.h"
#include "bench/app/window_probe.h"
#include "bench/support/dictionary_data.h"

namespace {

namespace fs = std::filesystem;
using namespace dorvem::bench;

int g_runs = 3;
int g_keyGapMs = 150;

fs::path WorkFolder() {
  return fs::temp_directory_path() / "dorvem-app-bench";
}

std::vector<std::string> ChildEnvironment() {
  std::vector<std::string> env = {"XDG_CACHE_HOME=" + (WorkFolder() / "cache").string()};
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr || *platform == 0) env.push_back("QT_QPA_PLATFORM=offscreen");
  return env;
}

// One run in a process of its own; stops the benchmark when it fails.
bool Run(benchmark::State& state, const std::string& folder, bool keys, RunReport* report,
         std::int64_t* spawnNs) {
  std::vector<std::string> args = {"--window", folder,
                                   "--key-gap-ms=" + std::to_string(g_keyGapMs)};
  if (!keys) args.push_back("--no-keys");
  const ChildRun run =
      RunChild(fs::read_symlink("/proc/self/exe").string(), args, ChildEnvironment());
  std::optional<RunReport> parsed = ParseReport(run.output);
  if (!run.Succeeded() || !parsed || !parsed->PhaseEnd("first paint")) {
    state.SkipWithError("a run of the window failed");
    return false;
  }
  if (parsed->reports > 0) state.SkipWithError("the window reported an error");
  *report = std::move(*parsed);
  *spawnNs = run.spawnNs;
  return true;
}

double Ms(std::int64_t ns) {
  return static_cast<double>(ns) / 1e6;
}

void PrintPhases(const char* title, const RunReport& report, std::int64_t spawnNs) {
  std::fprintf(stderr, "  %s\n", title);
  std::int64_t previous = spawnNs;
  for (const auto& [name, ns] : report.phases) {
    std::fprintf(stderr, "    %9.2f ms  +%8.2f ms  %s\n", Ms(ns - spawnNs), Ms(ns - previous),
                 name.c_str());
    previous = ns;
  }
}

void BM_Window(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::string folder =
      WriteBenchFolder((WorkFolder() / std::to_string(count)).string(),
                       PlainDictionaryPacket(count), DORVEM_SOURCE_DIR "/demo/Sounds");
  WarmFileCache(folder + "Data/dorvem1.cds");

  for (auto _ : state) {
    RunReport first;
    std::int64_t firstSpawn = 0;
    if (!Run(state, folder, false, &first, &firstSpawn)) return;

    std::vector<RunReport> reports(static_cast<std::size_t>(g_runs));
    std::vector<std::int64_t> spawns(reports.size());
    std::vector<double> starts, rss, peaks, keys, uiKeys, quietKeys, quietUiKeys;
    for (std::size_t i = 0; i < reports.size(); ++i) {
      if (!Run(state, folder, true, &reports[i], &spawns[i])) return;
      starts.push_back(Ms(*reports[i].PhaseEnd("first paint") - spawns[i]));
      rss.push_back(static_cast<double>(reports[i].rssKb) / 1024);
      peaks.push_back(static_cast<double>(reports[i].peakKb) / 1024);
      for (const KeyCost& k : reports[i].keys) {
        keys.push_back(Ms(k.processCpuNs));
        uiKeys.push_back(Ms(k.eventThreadCpuNs));
      }
      for (const KeyCost& k : reports[i].quietKeys) {
        quietKeys.push_back(Ms(k.processCpuNs));
        quietUiKeys.push_back(Ms(k.eventThreadCpuNs));
      }
    }
    const double start = Median(starts);
    state.SetIterationTime(start / 1e3);
    state.counters["start_ms"] = start;
    state.counters["first_start_ms"] = Ms(*first.PhaseEnd("first paint") - firstSpawn);
    state.counters["rss_MB"] = Median(rss);
    state.counters["peak_MB"] = Median(peaks);
    state.counters["key_med_ms"] = Median(keys);
    state.counters["key_max_ms"] = Max(keys);
    state.counters["ui_key_med_ms"] = Median(uiKeys);
    state.counters["ui_key_max_ms"] = Max(uiKeys);
    state.counters["quiet_key_med_ms"] = Median(quietKeys);
    state.counters["quiet_key_max_ms"] = Max(quietKeys);
    state.counters["quiet_ui_key_med_ms"] = Median(quietUiKeys);

    const std::size_t median =
        static_cast<std::size_t>(std::find(starts.begin(), starts.end(), start) - starts.begin());
    std::fprintf(stderr, "Start-up phases at %zu records:\n", count);
    if (median < reports.size()) PrintPhases("median start", reports[median], spawns[median]);
    PrintPhases("first start on a new data file", first, firstSpawn);
  }
}
BENCHMARK(BM_Window)
    ->ArgName("records")
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Primes the toolkit's and the media layer's caches with one small run.
void Prime() {
  const std::string folder =
      WriteBenchFolder((WorkFolder() / "prime").string(), PlainDictionaryPacket(100),
                       DORVEM_SOURCE_DIR "/demo/Sounds");
  RunChild(fs::read_symlink("/proc/self/exe").string(), {"--window", folder, "--no-keys"},
           ChildEnvironment());
}

// Takes the benchmark's own flags out of argv.
void TakeOwnFlags(int* argc, char** argv) {
  int kept = 1;
  for (int i = 1; i < *argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--app_runs=", 0) == 0)
      g_runs = std::max(1, std::stoi(arg.substr(11)));
    else if (arg.rfind("--app_key_gap_ms=", 0) == 0)
      g_keyGapMs = std::max(0, std::stoi(arg.substr(17)));
    else
      argv[kept++] = argv[i];
  }
  *argc = kept;
}

// The arguments of a run: "--window <folder> [--key-gap-ms=N] [--no-keys]".
int RunWindow(int argc, char** argv) {
  ProbeOptions options;
  options.programFolder = argv[2];
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--no-keys") options.keys = false;
    if (arg.rfind("--key-gap-ms=", 0) == 0) options.keyGapMs = std::stoi(arg.substr(13));
  }
  int qtArgc = 1;
  return RunWindowProbe(qtArgc, argv, options);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--window") == 0) return RunWindow(argc, argv);
  TakeOwnFlags(&argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Prime();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
