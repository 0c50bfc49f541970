// The subcommands of cdstool. Each takes the arguments after its name and
// returns the process exit status; errors are raised as exceptions and
// reported by main. UsageError is raised for malformed command lines.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace cdstool {

using Args = std::vector<std::string>;

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What main gives every command besides its arguments.
struct Context {
  // The folder the datasets keep their caches in (empty: none).
  std::string cacheFolder;
};

// The user's cache folder for the datasets, from the environment:
// "$XDG_CACHE_HOME/dorvem", else "$HOME/.cache/dorvem", each only when the
// variable holds an absolute path; empty when neither does.
std::string UserCacheFolder();

int RunInfo(const Args& args, const Context& context);
int RunRows(const Args& args, const Context& context);
int RunConvert(const Args& args, const Context& context);
int RunBuild(const Args& args, const Context& context);
int RunExport(const Args& args, const Context& context);
int RunFilterBuffer(const Args& args, const Context& context);
int RunTrace(const Args& args, const Context& context);

}  // namespace cdstool
