// Throughput of the collation hot path on Hungarian-like headwords in
// windows-1250: comparisons (as the index sort and the filters make them) and
// sort keys (as the index builder ranks headwords).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "dataset/locale/collator.h"
#include "dataset/locale/locale_services.h"

namespace {

using dorvem::locale::LCID;

constexpr LCID kHungarian = 1038;

// Musical terms of a few words: accented letters, digraphs, upper and lower
// case, spaces, hyphens and apostrophes; about 14 bytes on average.
const std::vector<std::string>& Headwords() {
  static const std::vector<std::string> words = [] {
    static const char* const kPieces[] = {
        "a",    "e",    "i",  "o",    "u",    "k",    "l",    "m",    "n",    "r",    "t",
        "d",    "g",    "v",  "z",    "\xE1", "\xE9", "\xED", "\xF3", "\xF6", "\xF5", "\xFA",
        "\xFC", "\xFB", "cs", "sz",   "zs",   "gy",   "ny",   "ly",   "ty",   "dz",   "A",
        "K",    "M",    "S",  "\xC1", "\xC9", "\xD6", "CS",   "SZ",   " ",    "-",    "'"};
    std::mt19937 rng(1038);
    std::uniform_int_distribution<int> length(4, 14);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
    std::vector<std::string> out;
    for (int i = 0; i < 4096; ++i) {
      std::string w;
      for (int n = length(rng); n > 0; --n) w += kPieces[piece(rng)];
      out.push_back(std::move(w));
    }
    return out;
  }();
  return words;
}

void BM_CompareStringA(benchmark::State& state) {
  const auto flags = static_cast<std::uint32_t>(state.range(0));
  const auto& words = Headwords();
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& a = words[i & 4095];
    const auto& b = words[(i * 7 + 1) & 4095];
    benchmark::DoNotOptimize(
        dorvem::locale::CompareStringA(kHungarian, flags, a.c_str(), -1, b.c_str(), -1));
    ++i;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_CompareStringA)->Arg(0)->Arg(dorvem::locale::kIgnoreCase);

// The same through a held handle: what an index sort with a comparator does.
void BM_CollatorCompareA(benchmark::State& state) {
  const auto* collator =
      dorvem::locale::Collator::For(kHungarian, static_cast<std::uint32_t>(state.range(0)));
  const auto& words = Headwords();
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& a = words[i & 4095];
    const auto& b = words[(i * 7 + 1) & 4095];
    benchmark::DoNotOptimize(collator->CompareA(a.c_str(), -1, b.c_str(), -1));
    ++i;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_CollatorCompareA)->Arg(0)->Arg(dorvem::locale::kIgnoreCase);

// Neighbours in headword order share their beginnings, as the late passes of
// an index sort compare them.
void BM_CompareNeighbours(benchmark::State& state) {
  static const std::vector<std::string> sorted = [] {
    auto words = Headwords();
    std::sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
      return dorvem::locale::CompareStringA(kHungarian, 0, a.c_str(), -1, b.c_str(), -1) <
             dorvem::locale::kEqual;
    });
    return words;
  }();
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& a = sorted[i & 4095];
    const auto& b = sorted[(i + 1) & 4095];
    benchmark::DoNotOptimize(
        dorvem::locale::CompareStringA(kHungarian, 0, a.c_str(), -1, b.c_str(), -1));
    ++i;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_CompareNeighbours);

// Prefix filter: the first characters of each headword against a typed text.
void BM_ComparePrefix(benchmark::State& state) {
  const auto& words = Headwords();
  std::size_t i = 0;
  for (auto _ : state) {
    const auto& a = words[i & 4095];
    benchmark::DoNotOptimize(dorvem::locale::CompareStringA(kHungarian, 0, a.c_str(), 3, "KOT", 3));
    ++i;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_ComparePrefix);

void BM_SortKeyA(benchmark::State& state) {
  const auto flags = static_cast<std::uint32_t>(state.range(0));
  const auto& words = Headwords();
  std::vector<std::uint8_t> key;
  key.reserve(256);
  std::size_t i = 0;
  std::size_t bytes = 0;
  for (auto _ : state) {
    key.clear();
    const auto& w = words[i++ & 4095];
    dorvem::locale::SortKeyA(kHungarian, flags, w.c_str(), -1, &key);
    bytes += key.size();
    benchmark::DoNotOptimize(key.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
  state.counters["key_bytes"] =
      benchmark::Counter(static_cast<double>(bytes) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_SortKeyA)->Arg(0)->Arg(dorvem::locale::kIgnoreCase);

// Keys of many headwords appended to one buffer, as the index builder does.
void BM_SortKeyAppend(benchmark::State& state) {
  const auto& words = Headwords();
  std::vector<std::uint8_t> keys;
  for (auto _ : state) {
    keys.clear();
    for (const auto& w : words) dorvem::locale::SortKeyA(kHungarian, 0, w.c_str(), -1, &keys);
    benchmark::DoNotOptimize(keys.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * words.size()));
}
BENCHMARK(BM_SortKeyAppend);

}  // namespace

BENCHMARK_MAIN();
