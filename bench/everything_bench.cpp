// The everything search (headwords and explanations) as the window runs it:
// TDictionary::SearchEverything on the open dictionary, the list rebuilt
// through the dataset on every keystroke.
//
//   build/bin/everything_bench
//
// Data: the demo dictionary (build/bin/Data/dorvem1.cds, rich text) and
// 1,000,000 entries in the shape of the peer bench's large dictionary
// (PeerShapedPacket: plain-text memos, written once to the temporary folder).
//
// BM_EverythingFirstKey: a fresh dictionary opened, then the first keystroke
//   ("K"), which builds the index; the processor time of that keystroke.
//   Counters: index_MB (the index's heap memory), rss_MB (the process's
//   resident memory after it), words (distinct words indexed).
// BM_EverythingKeys: with the index built, the keystrokes the peer probe
//   types (K, KO, K, "", S, SZ, S, ""), each one iteration; the processor
//   time per keystroke, key_max_ms the slowest of them.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <ctime>
#include <filesystem>
#include <memory>

#include "bench/support/dictionary_data.h"
#include "dictionary/dictionary.h"

namespace {

using namespace dorvem;

double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// A program folder whose data file is `packet` (linked, not copied).
class ProgramFolder {
 public:
  explicit ProgramFolder(const std::string& packet) {
    QDir(dir_.path()).mkpath(QStringLiteral("Data"));
    std::filesystem::create_symlink(std::filesystem::absolute(packet),
                                    dir_.path().toStdString() + "/Data/dorvem1.cds");
  }
  TDictionaryOptions Options() const {
    return {dir_.path() + QDir::separator(), bench::CacheFolder(), QString(), std::string()};
  }

 private:
  QTemporaryDir dir_;
};

std::string DemoPacket() {
  return std::string(DORVEM_BIN_DIR) + "/Data/dorvem1.cds";
}

std::string Packet(std::int64_t records) {
  return records == 0 ? DemoPacket()
                      : bench::PeerShapedPacketFile(static_cast<std::size_t>(records));
}

void BM_EverythingFirstKey(benchmark::State& state) {
  const ProgramFolder folder(Packet(state.range(0)));
  for (auto _ : state) {
    TDictionary dictionary(folder.Options());
    dictionary.Open();
    dictionary.Search(QString());
    const double before = ProcessCpuMs();
    dictionary.SearchEverything(QStringLiteral("K"));
    const double ms = ProcessCpuMs() - before;
    state.SetIterationTime(ms / 1e3);
    state.counters["index_MB"] =
        static_cast<double>(dictionary.EverythingIndex().MemoryBytes()) / (1 << 20);
    state.counters["rss_MB"] = static_cast<double>(bench::CurrentResidentBytes()) / (1 << 20);
    state.counters["words"] = dictionary.EverythingIndex().WordCount();
    state.counters["matches"] = dictionary.tblAdat.RecordCount();
  }
}
BENCHMARK(BM_EverythingFirstKey)
    ->ArgName("records")
    ->Arg(0)
    ->Arg(1000000)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_EverythingKeys(benchmark::State& state) {
  const ProgramFolder folder(Packet(state.range(0)));
  TDictionary dictionary(folder.Options());
  dictionary.Open();
  dictionary.SearchEverything(QStringLiteral("K"));
  const QString keys[] = {
      QStringLiteral("K"), QStringLiteral("KO"), QStringLiteral("K"), QString(),
      QStringLiteral("S"), QStringLiteral("SZ"), QStringLiteral("S"), QString()};
  std::size_t next = 0;
  double slowest = 0;
  for (auto _ : state) {
    const double before = ProcessCpuMs();
    dictionary.SearchEverything(keys[next++ % std::size(keys)]);
    const double ms = ProcessCpuMs() - before;
    slowest = std::max(slowest, ms);
    state.SetIterationTime(ms / 1e3);
  }
  state.counters["key_max_ms"] = slowest;
}
BENCHMARK(BM_EverythingKeys)
    ->ArgName("records")
    ->Arg(0)
    ->Arg(1000000)
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
