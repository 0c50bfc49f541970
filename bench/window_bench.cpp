// The headword grid's record window over a dictionary-shaped table ordered
// by headword: refilling it from the first record (how every search
// keystroke ends) and scrolling through the table row by row (every row
// past the window's end is fetched from the engine).
//
//   build-rel/bin/window_bench --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "bench/support/dictionary_data.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/data_source.h"

namespace {

using namespace dorvem;

constexpr int kGridRows = 20;
constexpr int kScrollRows = 1000;

// A grid's worth of rows, as the window's grid asks.
class GridLink : public TDataLink {
 public:
  GridLink() { SetBufferCount(kGridRows); }
};

struct Grid {
  explicit Grid(std::size_t count) {
    ds.SetFileName(bench::DictionaryPacketFile(count));
    ds.SetCacheFolder(bench::CacheFolder());
    ds.SetIndexFieldNames("KSZOVEG");
    source.SetDataSet(&ds);
    link.SetDataSource(&source);
    ds.Open();
  }
  TClientDataSet ds{"tblAdat"};
  TDataSource source;
  GridLink link;
};

// One open table per size, kept for the whole run.
Grid& GridOf(std::size_t count) {
  static std::map<std::size_t, std::unique_ptr<Grid>> grids;
  auto& grid = grids[count];
  if (!grid) grid = std::make_unique<Grid>(count);
  return *grid;
}

void BM_RefillWindow(benchmark::State& state) {
  Grid& g = GridOf(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) g.ds.GoFirst();
  state.SetItemsProcessed(state.iterations() * kGridRows);
}

void BM_ScrollRows(benchmark::State& state) {
  Grid& g = GridOf(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    g.ds.GoFirst();
    state.ResumeTiming();
    benchmark::DoNotOptimize(g.ds.MoveRecords(kScrollRows));
  }
  state.SetItemsProcessed(state.iterations() * kScrollRows);
}

BENCHMARK(BM_RefillWindow)
    ->ArgName("records")
    ->Arg(10000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScrollRows)
    ->ArgName("records")
    ->Arg(10000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
