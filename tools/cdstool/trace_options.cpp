#include "tools/cdstool/trace_options.h"

namespace cdstool {

using namespace dorvem;

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
  if (s.hasFilter || s.caseInsensitive || s.noPartial)
    throw UsageError("filtering options are not available yet");
  if (s.hasIndex) ds.SetIndexFieldNames(s.index);
}

bool RunTraceSettingCommand(const std::string& verb, const std::string& arg, bool hasArg,
                            TClientDataSet& ds) {
  if (verb == "index" && hasArg) {
    ds.SetIndexFieldNames(arg);
    return true;
  }
  return false;
}

}  // namespace cdstool
