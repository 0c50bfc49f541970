// The dataset settings cdstool can make before opening (--index, --filter,
// --case-insensitive, --no-partial) and the trace commands that change them
// while open (index:, filter:, options:, filtered:).
#pragma once

#include <string>

#include "dataset/host/client_dataset.h"
#include "tools/cdstool/commands.h"

namespace cdstool {

struct TraceSettings {
  bool hasIndex = false;
  std::string index;
  bool hasFilter = false;
  std::string filter;
  bool caseInsensitive = false;
  bool noPartial = false;
};

// Consumes args[*i] (and its value) when it is one of the settings options;
// returns false otherwise.
bool ParseTraceOption(const Args& args, std::size_t* i, TraceSettings* settings);

// Applies the settings to a closed dataset.
void ApplyTraceSettings(const TraceSettings& settings, dorvem::TClientDataSet& ds);

// Runs a setting command ("index", "filter", "options", "filtered"); false
// when `verb` is none of them.
bool RunTraceSettingCommand(const std::string& verb, const std::string& arg, bool hasArg,
                            dorvem::TClientDataSet& ds);

}  // namespace cdstool
