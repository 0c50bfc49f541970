// Opening dictionary-shaped packets: the whole file read, loaded into the
// record store and the fields bound, as the window does at start-up.
//
//   build/bench/load_bench --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/support/dictionary_data.h"
#include "dataset/host/client_dataset.h"

namespace {

using namespace dorvem;

void BM_OpenDictionaryPacket(benchmark::State& state) {
  const auto count = static_cast<std::size_t>(state.range(0));
  const std::string path = bench::DictionaryPacketFile(count);
  const auto fileBytes = static_cast<double>(std::filesystem::file_size(path));
  std::uint64_t peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    bench::ResetPeakResident();
    const std::uint64_t before = bench::CurrentResidentBytes();
    state.ResumeTiming();
    {
      TClientDataSet ds("tblAdat");
      TStringField fajlnev("FAJLNEV", 255), kszoveg("KSZOVEG", 40);
      TMemoField szovmagy("SZOVMAGY");
      TBlobField graphic("GRAPHIC");
      TIntegerField index("Index");
      for (TField* f : {static_cast<TField*>(&fajlnev), static_cast<TField*>(&kszoveg),
                        static_cast<TField*>(&szovmagy), static_cast<TField*>(&graphic),
                        static_cast<TField*>(&index)})
        f->SetDataSet(&ds);
      ds.SetFileName(path);
      ds.SetCacheFolder(bench::CacheFolder());
      ds.Open();
      benchmark::DoNotOptimize(kszoveg.AsString());
      state.PauseTiming();
      peak = std::max<std::uint64_t>(peak, bench::PeakResidentBytes() - before);
      ds.Close();
      state.ResumeTiming();
    }
  }
  state.counters["records/s"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["MB/s"] =
      benchmark::Counter(fileBytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["file_MB"] = fileBytes / 1e6;
  state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
}
BENCHMARK(BM_OpenDictionaryPacket)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
