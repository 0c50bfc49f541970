// Building the headword index over dictionary-shaped tables: by one sort
// (append, then sort) and by copying a source index (ordered insertion),
// each once with a collator call per comparison and once over collation
// ranks, plus the one-off cost of computing the ranks. Every ranked build
// is checked against the order of the direct build (counter same_order).
//
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DDORVEM_GUI=OFF
//   cmake --build build-release -j2 --target index_bench
//   build-release/bin/index_bench --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true   (one command line)
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "bench/support/dictionary_data.h"
#include "dataset/core/byte_layout.h"
#include "dataset/index/dsidx.h"
#include "dataset/index/index_list.h"
#include "dataset/packet/packet_format.h"
#include "dataset/packet/packet_model.h"
#include "dataset/store/collation_ranks.h"
#include "dataset/store/table.h"

namespace {

using namespace dorvem;
namespace pk = dorvem::packet;

constexpr std::uint32_t kHeadword = 1;

// A table of `count` headwords (KSZOVEG, width 40) and an Index column,
// locale Hungarian, with the orders of the direct builds for reference.
struct Fixture {
  EngineRef<DSBASE> table;
  std::unique_ptr<DSIDX> source;  // built by sorting, with collator calls
  std::vector<std::uint32_t> sortedDirect, copiedDirect;
};

std::vector<std::uint8_t> HeadwordPacket(std::size_t count) {
  PacketModel m;
  PacketColumn head;
  std::snprintf(head.desc.name, sizeof head.desc.name, "KSZOVEG");
  head.desc.typeWord = pk::MakeTypeWord(pk::kTcString, 1, pk::kVarying);
  head.params.push_back(PacketParam{"WIDTH", pk::MakeTypeWord(pk::kTcUInt, 2), {40, 0}});
  PacketColumn index;
  std::snprintf(index.desc.name, sizeof index.desc.name, "Index");
  index.desc.typeWord = pk::MakeTypeWord(pk::kTcInt, 4);
  m.columns = {head, index};
  m.tableParams.push_back(
      PacketParam{"LCID", pk::MakeTypeWord(pk::kTcUInt, 4), {0x0E, 0x04, 0, 0}});
  const std::vector<std::string> words = bench::HungarianHeadwords(count);
  m.rows.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    PacketRow row;
    row.values.push_back(PacketValue{0, {words[i].begin(), words[i].end()}});
    std::vector<std::uint8_t> n(4);
    StoreU32(n.data(), static_cast<std::uint32_t>(i + 1));
    row.values.push_back(PacketValue{0, n});
    m.rows.push_back(std::move(row));
  }
  std::vector<std::uint8_t> bytes;
  bench::Must(WritePacketModel(m, PacketForm::kBinary, &bytes));
  return bytes;
}

IndexDescriptor HeadwordKey() {
  IndexDescriptor d;
  SetIndexName(&d, "KSZOVEG");
  d.fieldCount = 1;
  d.fields[0] = kHeadword;
  return d;
}

std::unique_ptr<DSIDX> NewIndex(DSBASE* table) {
  auto index = std::make_unique<DSIDX>(table, IndexKind::kPlain);
  bench::Must(index->Define(HeadwordKey()));
  return index;
}

std::vector<std::uint32_t> Entries(const DSIDX& index) {
  std::vector<std::uint32_t> out(index.Count());
  for (std::uint32_t i = 1; i <= index.Count(); ++i) out[i - 1] = index.Entry(i);
  return out;
}

Fixture& FixtureOf(std::size_t count) {
  static std::map<std::size_t, Fixture> fixtures;
  auto [it, fresh] = fixtures.try_emplace(count);
  Fixture& f = it->second;
  if (fresh) {
    TDSBASE* raw = nullptr;
    bench::Must(DSBASE_Factory(&raw));
    f.table = EngineRef<DSBASE>(static_cast<DSBASE*>(raw));
    bench::Must(f.table->AppendData(HeadwordPacket(count), true));
    f.table->Ranks().SetEnabled(false);
    f.source = NewIndex(f.table.get());
    bench::Must(f.source->Build());
    f.sortedDirect = Entries(*f.source);
    auto copy = NewIndex(f.table.get());
    bench::Must(copy->Build(f.source.get()));
    f.copiedDirect = Entries(*copy);
  }
  return f;
}

void Report(benchmark::State& state, const DSIDX& built, const std::vector<std::uint32_t>& direct) {
  state.counters["same_order"] = Entries(built) == direct ? 1 : 0;
  state.counters["records"] = static_cast<double>(built.Count());
}

void BM_Ranks(benchmark::State& state) {
  Fixture& f = FixtureOf(static_cast<std::size_t>(state.range(0)));
  f.table->Ranks().SetEnabled(true);
  for (auto _ : state) {
    f.table->Ranks().DropAll();
    benchmark::DoNotOptimize(f.table->Ranks().Get(*f.table.get(), kHeadword, 1038, 0));
  }
}

// Path d: append every record, then sort.
void BM_SortBuild(benchmark::State& state) {
  Fixture& f = FixtureOf(static_cast<std::size_t>(state.range(0)));
  const bool ranked = state.range(1) != 0;
  f.table->Ranks().SetEnabled(ranked);
  auto index = NewIndex(f.table.get());
  bench::Must(index->Build());  // ranks, when used, are computed here, outside the timing
  for (auto _ : state) bench::Must(index->Build());
  Report(state, *index, f.sortedDirect);
}

// Path b: a copy of the sorted index by ordered insertion.
void BM_CopyBuild(benchmark::State& state) {
  Fixture& f = FixtureOf(static_cast<std::size_t>(state.range(0)));
  const bool ranked = state.range(1) != 0;
  f.table->Ranks().SetEnabled(ranked);
  auto index = NewIndex(f.table.get());
  bench::Must(index->Build(f.source.get()));
  for (auto _ : state) bench::Must(index->Build(f.source.get()));
  Report(state, *index, f.copiedDirect);
}

void Sizes(benchmark::internal::Benchmark* b, bool withMode) {
  for (long n : {10000L, 100000L, 1000000L}) {
    if (withMode) {
      b->Args({n, 0})->Args({n, 1});
    } else {
      b->Arg(n);
    }
  }
  b->ArgNames(withMode ? std::vector<std::string>{"records", "ranked"}
                       : std::vector<std::string>{"records"});
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Ranks)->Apply([](auto* b) { Sizes(b, false); });
BENCHMARK(BM_SortBuild)->Apply([](auto* b) { Sizes(b, true); });
BENCHMARK(BM_CopyBuild)->Apply([](auto* b) { Sizes(b, true); });

}  // namespace

BENCHMARK_MAIN();
