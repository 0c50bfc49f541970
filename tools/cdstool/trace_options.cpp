#include "tools/cdstool/trace_options.h"

#include "dataset/locale/locale_services.h"

namespace cdstool {

using namespace dorvem;

namespace {

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// A filter text given as UTF-8, in the code page of the dataset's data. A
// closed dataset is opened once on the side to learn its code page when the
// text needs converting at all.
std::string FilterText(const std::string& utf8, TClientDataSet& ds) {
  if (IsAscii(utf8)) return utf8;
  if (ds.Active()) return locale::FromUtf8(utf8, ds.TextCodePage());
  TClientDataSet probe;
  probe.SetFileName(ds.FileName());
  probe.SetCacheFolder(ds.CacheFolder());
  probe.Open();
  return locale::FromUtf8(utf8, probe.TextCodePage());
}

}  // namespace

bool ParseTraceOption(const Args& args, std::size_t* i, TraceSettings* s) {
  const std::string& a = args[*i];
  if (a == "--index" && *i + 1 < args.size()) {
    s->hasIndex = true;
    s->index = args[++*i];
  } else if (a == "--filter" && *i + 1 < args.size()) {
    s->hasFilter = true;
    s->filter = args[++*i];
  } else if (a == "--case-insensitive") {
    s->caseInsensitive = true;
  } else if (a == "--no-partial") {
    s->noPartial = true;
  } else {
    return false;
  }
  return true;
}

void ApplyTraceSettings(const TraceSettings& s, TClientDataSet& ds) {
  if (s.hasIndex) ds.SetIndexFieldNames(s.index);
  TFilterOptions options = 0;
  if (s.caseInsensitive) options |= foCaseInsensitive;
  if (s.noPartial) options |= foNoPartialCompare;
  ds.SetFilterOptions(options);
  if (s.hasFilter) {
    ds.SetFilter(FilterText(s.filter, ds));
    ds.SetFiltered(true);
  }
}

bool RunTraceSettingCommand(const std::string& verb, const std::string& arg, bool hasArg,
                            TClientDataSet& ds) {
  if (!hasArg) return false;
  if (verb == "index") {
    ds.SetIndexFieldNames(arg);
  } else if (verb == "filter") {
    ds.SetFilter(FilterText(arg, ds));
  } else if (verb == "options") {
    TFilterOptions options = 0;
    std::size_t start = 0;
    while (start <= arg.size() && !arg.empty()) {
      const std::size_t comma = arg.find(',', start);
      const std::string word = arg.substr(start, comma - start);
      if (word == "ci")
        options |= foCaseInsensitive;
      else if (word == "np")
        options |= foNoPartialCompare;
      else
        throw UsageError("unknown filter option '" + word + "'");
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    ds.SetFilterOptions(options);
  } else if (verb == "filtered" && (arg == "0" || arg == "1")) {
    ds.SetFiltered(arg == "1");
  } else {
    return false;
  }
  return true;
}

}  // namespace cdstool
