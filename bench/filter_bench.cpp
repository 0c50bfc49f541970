// The search box's keystrokes over dictionary-shaped tables, and SQLite with
// the same ICU collation answering the same prefix queries on the same data
// in the same run.
//
// A keystroke is what the search box does: assign the (unchanged) filter
// options, then the filter text KSZOVEG='<text>*' for A, AL, ALL, ALLE
// typed one after another; clearing the box assigns "KSZOVEG='.*'" alone.
// The dataset is open, ordered by KSZOVEG, filtered, with a 20-row grid.
// The peer runs SELECT id FROM t WHERE substr(k, 1, n) = ? COLLATE HU
// ORDER BY k COLLATE HU over an in-memory table of the same headwords
// (UTF-8) with an index on k COLLATE HU, reading every row. Both answer
// with the same records (checked). Each round times every keystroke and
// every query once; the table shows medians over the rounds.
//
//   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DDORVEM_GUI=OFF
//   cmake --build build-release -j2 --target filter_bench
//   build-release/bin/filter_bench [rounds, default 15] [sizes..., default 10000 100000 1000000]
#include <sqlite3.h>
#include <unicode/ucol.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/support/dictionary_data.h"
#include "dataset/host/client_dataset.h"
#include "dataset/host/data_source.h"
#include "dataset/locale/locale_services.h"

namespace {

using namespace dorvem;
using Clock = std::chrono::steady_clock;

const std::vector<std::string> kTyped = {"A", "AL", "ALL", "ALLE"};
constexpr int kKeystrokes = 5;  // the four texts, then clearing the box

double Ms(Clock::time_point from) {
  return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0
                   : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

// A grid's worth of rows, as the window's grid asks.
class GridLink : public TDataLink {
 public:
  GridLink() { SetBufferCount(20); }
};

// --- The dataset side -------------------------------------------------------

class Search {
 public:
  explicit Search(const std::string& path) {
    ds_.SetFileName(path);
    ds_.SetCacheFolder(bench::CacheFolder());
    ds_.SetIndexFieldNames("KSZOVEG");
    ds_.SetFilter("KSZOVEG='.*'");
    ds_.SetFiltered(true);
    source_.SetDataSet(&ds_);
    grid_.SetDataSource(&source_);
    ds_.Open();
  }
  // Keystroke k: 0..3 type kTyped[k], 4 clears the box.
  void Keystroke(int k) {
    if (k == kKeystrokes - 1) {
      ds_.SetFilter("KSZOVEG='.*'");
      return;
    }
    ds_.SetFilterOptions(ds_.FilterOptions() & ~foNoPartialCompare);
    ds_.SetFilter("KSZOVEG='" + kTyped[static_cast<std::size_t>(k)] + "*'");
  }
  int Count() { return ds_.RecordCount(); }
  // Record numbers of the visible records, in order.
  std::vector<std::uint32_t> Records() {
    std::vector<std::uint32_t> out;
    ds_.GoFirst();
    while (!ds_.IsEmpty()) {
      out.push_back(ds_.Buffer(ds_.ActiveSlot()).bookmark.record);
      ds_.GoNext();
      if (ds_.AtEnd()) break;
    }
    return out;
  }

 private:
  TClientDataSet ds_{"tblAdat"};
  TDataSource source_{"DataSource1"};
  GridLink grid_;
};

// --- The SQLite peer -----------------------------------------------------------

int CollateHu(void* collator, int la, const void* a, int lb, const void* b) {
  UErrorCode status = U_ZERO_ERROR;
  const UCollationResult r =
      ucol_strcollUTF8(static_cast<UCollator*>(collator), static_cast<const char*>(a), la,
                       static_cast<const char*>(b), lb, &status);
  return r == UCOL_LESS ? -1 : r == UCOL_EQUAL ? 0 : 1;
}

void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

class Peer {
 public:
  explicit Peer(const std::vector<std::string>& headwords) {
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open("hu_HU", &status);
    ucol_setStrength(collator_, UCOL_TERTIARY);
    Check(sqlite3_open(":memory:", &db_), db_, "open");
    Check(sqlite3_create_collation_v2(db_, "HU", SQLITE_UTF8, collator_, CollateHu, nullptr), db_,
          "collation");
    Exec("CREATE TABLE t(id INTEGER PRIMARY KEY, k TEXT)");
    Exec("BEGIN");
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db_, "INSERT INTO t VALUES(?1, ?2)", -1, &insert, nullptr), db_,
          "prepare");
    for (std::size_t i = 0; i < headwords.size(); ++i) {
      const std::string utf8 = locale::ToUtf8(headwords[i], 1250);
      sqlite3_bind_int64(insert, 1, static_cast<sqlite3_int64>(i + 1));
      sqlite3_bind_text(insert, 2, utf8.c_str(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
      Check(sqlite3_step(insert), db_, "insert");
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec("COMMIT");
    Exec("CREATE INDEX ik ON t(k COLLATE HU)");
    Check(sqlite3_prepare_v2(db_,
                             "SELECT id FROM t WHERE substr(k, 1, ?1) = ?2 COLLATE HU "
                             "ORDER BY k COLLATE HU",
                             -1, &query_, nullptr),
          db_, "prepare");
  }
  ~Peer() {
    sqlite3_finalize(query_);
    sqlite3_close(db_);
    ucol_close(collator_);
  }
  // The records whose first characters equal `prefix` (UTF-8), in order.
  std::vector<std::uint32_t> Query(const std::string& prefix, int characters) {
    std::vector<std::uint32_t> out;
    sqlite3_bind_int(query_, 1, characters);
    sqlite3_bind_text(query_, 2, prefix.c_str(), static_cast<int>(prefix.size()), SQLITE_STATIC);
    int rc;
    while ((rc = sqlite3_step(query_)) == SQLITE_ROW)
      out.push_back(static_cast<std::uint32_t>(sqlite3_column_int64(query_, 0)));
    Check(rc, db_, "query");
    sqlite3_reset(query_);
    return out;
  }

 private:
  void Exec(const char* sql) { Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), db_, sql); }

  UCollator* collator_ = nullptr;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* query_ = nullptr;
};

// The peer's query for keystroke k.
std::vector<std::uint32_t> PeerQuery(Peer& peer, int k) {
  if (k == kKeystrokes - 1) return peer.Query(".", 1);
  const std::string& t = kTyped[static_cast<std::size_t>(k)];
  return peer.Query(t, static_cast<int>(t.size()));
}

void RunSize(std::size_t count, int rounds) {
  const std::string path = bench::DictionaryPacketFile(count);
  auto started = Clock::now();
  Search search(path);
  const double openMs = Ms(started);
  started = Clock::now();
  Peer peer(bench::HungarianHeadwords(count));
  const double peerLoadMs = Ms(started);

  // Same records from both (as sets: equal headwords may stand in another
  // order), and the number of matches.
  std::vector<int> matches(kKeystrokes);
  for (int k = 0; k < kKeystrokes; ++k) {
    search.Keystroke(k);
    std::vector<std::uint32_t> ours = search.Records(), theirs = PeerQuery(peer, k);
    matches[static_cast<std::size_t>(k)] = static_cast<int>(ours.size());
    std::sort(ours.begin(), ours.end());
    std::sort(theirs.begin(), theirs.end());
    if (ours != theirs) {
      std::fprintf(stderr, "records differ for keystroke %d at %zu records\n", k, count);
      std::exit(1);
    }
  }

  std::vector<std::vector<double>> ours(kKeystrokes), theirs(kKeystrokes);
  for (int r = 0; r < rounds; ++r) {
    for (int k = 0; k < kKeystrokes; ++k) {
      const auto t0 = Clock::now();
      search.Keystroke(k);
      ours[static_cast<std::size_t>(k)].push_back(Ms(t0));
    }
    for (int k = 0; k < kKeystrokes; ++k) {
      const auto t0 = Clock::now();
      const std::vector<std::uint32_t> rows = PeerQuery(peer, k);
      theirs[static_cast<std::size_t>(k)].push_back(Ms(t0));
      if (static_cast<int>(rows.size()) != matches[static_cast<std::size_t>(k)]) std::exit(1);
    }
  }

  std::printf("\n%zu records (open %.0f ms, peer load %.0f ms), medians of %d rounds:\n", count,
              openMs, peerLoadMs, rounds);
  std::printf("  %-16s %9s %12s %12s %8s\n", "keystroke", "matches", "dataset ms", "sqlite ms",
              "ratio");
  for (int k = 0; k < kKeystrokes; ++k) {
    const std::string label =
        k == kKeystrokes - 1 ? "clear ('.*')" : "'" + kTyped[static_cast<std::size_t>(k)] + "*'";
    const double a = Median(ours[static_cast<std::size_t>(k)]);
    const double b = Median(theirs[static_cast<std::size_t>(k)]);
    std::printf("  %-16s %9d %12.3f %12.3f %7.1fx\n", label.c_str(),
                matches[static_cast<std::size_t>(k)], a, b, b / a);
  }
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  std::vector<std::size_t> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(static_cast<std::size_t>(std::atoll(argv[i])));
  if (sizes.empty()) sizes = {10000, 100000, 1000000};
  try {
    for (std::size_t n : sizes) RunSize(n, rounds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "filter_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
