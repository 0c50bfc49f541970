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

int RunInfo(const Args& args);
int RunRows(const Args& args);
int RunConvert(const Args& args);
int RunBuild(const Args& args);
int RunFilterBuffer(const Args& args);
int RunTrace(const Args& args);

}  // namespace cdstool
