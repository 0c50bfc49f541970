// Starting one run of the window in a process of its own, so that its
// start time and resident memory are its own: the benchmark program runs
// itself again with the arguments of the run, and reads what the run
// prints on its stdout (its stderr goes to the benchmark's).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace dorvem::bench {

struct ChildRun {
  // The monotonic clock (nanoseconds) just before the process was started.
  std::int64_t spawnNs = 0;
  std::string output;
  // Exit status as waitpid gives it; -1 when the process could not start.
  int status = -1;
  bool Succeeded() const;
};

// Runs `program` with `args` (without the program name) and the
// benchmark's environment with `environment` ("NAME=value") set on top,
// and waits for it to end.
ChildRun RunChild(const std::string& program, const std::vector<std::string>& args,
                  const std::vector<std::string>& environment);

// The monotonic clock in nanoseconds (the clock the window's start-up
// trace uses).
std::int64_t MonotonicNs();

}  // namespace dorvem::bench
