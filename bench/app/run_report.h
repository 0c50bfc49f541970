// RunReport: what one run of the window reports to the benchmark that
// started it, the text it travels in (one process's stdout to the other),
// and the statistics the benchmark takes over several runs.
//
// The text is one item per line:
//   "phase <monotonic ns> <name>"   a start-up phase ended (names may hold blanks)
//   "rss <kB>" / "peak <kB>"        resident memory after start, and its peak
//   "key <process CPU ns> <event thread CPU ns>"   one key of the key sequence
//   "quiet <process CPU ns> <event thread CPU ns>" the same with the cue sounds off
//   "reports <n>"                   message boxes and error reports seen
// Lines of any other form are ignored.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dorvem::bench {

struct KeyCost {
  std::int64_t processCpuNs = 0;  // all threads
  std::int64_t eventThreadCpuNs = 0;
  bool operator==(const KeyCost&) const = default;
};

struct RunReport {
  // Each phase with the moment it ended (monotonic clock, nanoseconds), in
  // the order they ended.
  std::vector<std::pair<std::string, std::int64_t>> phases;
  std::uint64_t rssKb = 0;
  std::uint64_t peakKb = 0;
  std::vector<KeyCost> keys;
  std::vector<KeyCost> quietKeys;
  int reports = 0;
  bool operator==(const RunReport&) const = default;

  // The moment `phase` ended, when it was reported.
  std::optional<std::int64_t> PhaseEnd(std::string_view phase) const;
};

std::string FormatReport(const RunReport& report);
// Reads a report; nullopt when no line of it was one.
std::optional<RunReport> ParseReport(std::string_view text);

// The median of `values` (the mean of the middle two for an even count);
// 0 for none.
double Median(std::vector<double> values);
// The largest of `values`; 0 for none.
double Max(const std::vector<double>& values);

}  // namespace dorvem::bench
