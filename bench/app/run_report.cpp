#include "bench/app/run_report.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace dorvem::bench {

namespace {

// Splits off the first blank-separated word of `line`.
std::string_view TakeWord(std::string_view& line) {
  const std::size_t blank = line.find(' ');
  const std::string_view word = line.substr(0, blank);
  line = blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
  return word;
}

template <class Number>
bool ParseNumber(std::string_view text, Number* out) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *out);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<std::int64_t> RunReport::PhaseEnd(std::string_view phase) const {
  for (const auto& [name, ns] : phases)
    if (name == phase) return ns;
  return std::nullopt;
}

std::string FormatReport(const RunReport& report) {
  std::ostringstream out;
  for (const auto& [name, ns] : report.phases) out << "phase " << ns << ' ' << name << '\n';
  out << "rss " << report.rssKb << '\n' << "peak " << report.peakKb << '\n';
  for (const KeyCost& k : report.keys)
    out << "key " << k.processCpuNs << ' ' << k.eventThreadCpuNs << '\n';
  for (const KeyCost& k : report.quietKeys)
    out << "quiet " << k.processCpuNs << ' ' << k.eventThreadCpuNs << '\n';
  out << "reports " << report.reports << '\n';
  return out.str();
}

std::optional<RunReport> ParseReport(std::string_view text) {
  RunReport report;
  bool any = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::string_view kind = TakeWord(line);
    bool ok = false;
    if (kind == "phase") {
      std::int64_t ns = 0;
      ok = ParseNumber(TakeWord(line), &ns) && !line.empty();
      if (ok) report.phases.emplace_back(std::string(line), ns);
    } else if (kind == "rss") {
      ok = ParseNumber(line, &report.rssKb);
    } else if (kind == "peak") {
      ok = ParseNumber(line, &report.peakKb);
    } else if (kind == "key" || kind == "quiet") {
      KeyCost k;
      ok = ParseNumber(TakeWord(line), &k.processCpuNs) && ParseNumber(line, &k.eventThreadCpuNs);
      if (ok) (kind == "key" ? report.keys : report.quietKeys).push_back(k);
    } else if (kind == "reports") {
      ok = ParseNumber(line, &report.reports);
    }
    any = any || ok;
  }
  if (!any) return std::nullopt;
  return report;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  const std::size_t mid = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid), values.end());
  const double upper = values[mid];
  if (values.size() % 2 == 1) return upper;
  const double lower =
      *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid));
  return (lower + upper) / 2;
}

double Max(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

}  // namespace dorvem::bench
