// Runs the cdstool executable (without a shell) and collects what it prints.
#pragma once

#include <string>
#include <vector>

namespace dorvem::testing {

struct ToolResult {
  int status = -1;   // exit status; -1 when it ended by a signal
  int signal = 0;    // the signal that ended it, if any
  std::string out;
  std::string err;
};

ToolResult RunTool(const std::vector<std::string>& args);

}  // namespace dorvem::testing
