// One run of the window, inside the process the benchmark started for it:
// the program's own application object and main window on a program folder,
// timed from the start-up trace (app/startup_trace.h) until the headword
// list has been painted, then the resident memory, then the CPU time of
// each key of a fixed key sequence typed into the search box.
//
// Each key is pressed and released, and the event loop then runs for a
// fixed gap (a quick typist's pace) before the next one: the key's cost is
// the CPU time of the whole process (all threads: the event thread, the
// media layer's worker and GStreamer's) over the key and its gap, so that
// the repaint and the work that follows the key in the background count.
// The event thread's share is reported too. The sequence is typed twice:
// with the cue sounds on, as the window starts, and with them off.
//
// Message boxes and error reports never block a run: they are counted and
// printed to stderr. The report goes to stdout (run_report.h).
#pragma once

#include <string>
#include <vector>

namespace dorvem::bench {

// The fixed key sequence: for each of a dozen two-letter prefixes common
// in Hungarian headwords, its two letters typed and then deleted with two
// backspaces (Qt key codes).
std::vector<int> TwoLetterPrefixKeys();

struct ProbeOptions {
  std::string programFolder;  // with a trailing separator
  int keyGapMs = 150;
  bool keys = true;
};

// Runs the window as the options say and prints the report; returns the
// process's exit code. `argc`/`argv` go to the application object.
int RunWindowProbe(int argc, char** argv, const ProbeOptions& options);

}  // namespace dorvem::bench
