// The phases of the engine's start-up on a dictionary-shaped packet, timed
// one by one as the dataset runs them when the window opens: the file
// mapped (read), its rows stored (store), the headwords' collation ranks
// (ranks; once with an empty cache folder, once read back from it), the
// headword order (order), then the search's first keystroke 'A*' (which
// computes the byte order) and a second one 'AL*'. Resident memory is read
// after each phase, and the processor time (user and system, all threads)
// each phase took, which a busy machine disturbs less than the clock. The
// cache folder is a fresh temporary one.
//
//   build-release/bin/startup_bench [sizes..., default 100000 1000000]
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/dictionary_data.h"
#include "dataset/core/mapped_file.h"
#include "dataset/host/client_dataset.h"
#include "dataset/index/dsidx.h"
#include "dataset/index/index_list.h"
#include "dataset/packet/packet_bytes.h"
#include "dataset/store/table.h"

namespace {

using namespace dorvem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) {
  return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}
double Mb() {
  return static_cast<double>(bench::CurrentResidentBytes()) / (1 << 20);
}

// Processor time of the whole process so far, in milliseconds.
double CpuMs() {
  rusage u{};
  ::getrusage(RUSAGE_SELF, &u);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return ms(u.ru_utime) + ms(u.ru_stime);
}

double cpuMark = 0;

void Phase(const char* name, double ms) {
  const double cpu = CpuMs();
  std::printf("  %-28s %9.1f ms %9.1f ms CPU %9.1f MB\n", name, ms, cpu - cpuMark, Mb());
  cpuMark = CpuMs();
}

void EnginePhases(const std::string& path, bool warm, const std::string& cacheFolder) {
  cpuMark = CpuMs();
  auto t = Clock::now();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  ::fstat(fd, &st);
  MappedFile mapped;
  if (!mapped.Map(fd, static_cast<std::size_t>(st.st_size))) std::exit(1);
  ::close(fd);
  PacketSource source{std::filesystem::absolute(path).string(),
                      static_cast<std::uint64_t>(st.st_size),
                      st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec,
                      cacheFolder,
                      static_cast<std::uint64_t>(st.st_dev),
                      static_cast<std::uint64_t>(st.st_ino),
                      st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec};
  Phase("read (map)", Ms(t));

  t = Clock::now();
  TDSBASE* raw = nullptr;
  bench::Must(DSBASE_Factory(&raw));
  EngineRef<DSBASE> table(static_cast<DSBASE*>(raw));
  bench::Must(table->AppendData(PacketBytes(std::move(mapped), std::move(source)), true));
  Phase("store", Ms(t));

  const std::uint32_t kszoveg = 2;
  t = Clock::now();
  if (table->Ranks().Get(*table, kszoveg, table->Lcid(), 0) == nullptr) std::exit(1);
  Phase(warm ? "ranks (from the cache)" : "ranks (computed, cache cold)", Ms(t));

  t = Clock::now();
  DSIDX index(table.get(), IndexKind::kPlain);
  IndexDescriptor d{};
  SetIndexName(&d, "KSZOVEG");
  d.fieldCount = 1;
  d.fields[0] = static_cast<std::int32_t>(kszoveg);
  bench::Must(index.Define(d));
  bench::Must(index.Build(nullptr));
  benchmark::DoNotOptimize(index.Entry(1));
  Phase("order (first row known)", Ms(t));

  t = Clock::now();
  std::uint32_t count = 0;
  if (table->Ranks().ByteOrder(*table, kszoveg, &count) == nullptr) std::exit(1);
  Phase("byte order (first search)", Ms(t));
}

void HostPhases(const std::string& path) {
  cpuMark = CpuMs();
  auto t = Clock::now();
  TClientDataSet ds("tblAdat");
  ds.SetFileName(path);
  ds.SetIndexFieldNames("KSZOVEG");
  ds.SetFilter("KSZOVEG='.*'");
  ds.SetFiltered(true);
  ds.Open();
  Phase("dataset open, ordered", Ms(t));
  for (const char* text : {"A", "AL"}) {
    t = Clock::now();
    ds.SetFilterOptions(ds.FilterOptions() & ~foNoPartialCompare);
    ds.SetFilter(std::string("KSZOVEG='") + text + "*'");
    benchmark::DoNotOptimize(ds.RecordCount());
    Phase((std::string("keystroke '") + text + "*'").c_str(), Ms(t));
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::size_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(static_cast<std::size_t>(std::atoll(argv[i])));
  if (sizes.empty()) sizes = {100000, 1000000};
  char pattern[] = "/tmp/dorvem-startup-cache-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return 1;
  const std::string cacheFolder = std::string(pattern) + "/dorvem";
  for (std::size_t n : sizes) {
    const std::string path = bench::DictionaryPacketFile(n);
    for (bool warm : {false, true}) {
      std::printf("\n%zu records, engine phases, cache %s:\n", n, warm ? "warm" : "cold");
      EnginePhases(path, warm, cacheFolder);
    }
    std::printf("\n%zu records, dataset (cache warm):\n", n);
    HostPhases(path);
  }
  std::error_code ec;
  std::filesystem::remove_all(pattern, ec);
  return 0;
}
