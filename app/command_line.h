// The program's command line.
//
// Without arguments, or with arguments that are not the program's own, the
// program opens its window; those arguments are left to the toolkit (for
// example -platform or -style), as they always were. An own option is the
// first argument: "--help" (or "-h") and "--version" print a text and end
// the program without a window or a display; "--check" (with an optional
// data file name) checks a dictionary without a window (data_check.h).
//
// ParseCommandLine only reads the arguments; RunCommandLine carries out the
// commands that need no window and tells main() whether to open it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "dictionary/dictionary_options.h"

namespace dorvem {

enum class TCommand {
  cmWindow,      // open the window (the arguments go to the toolkit)
  cmHelp,        // print the usage text
  cmVersion,     // print the name and the version
  cmCheck,       // check the data file (dataFile, or the one beside the program)
  cmLookup,      // print the entries of `search` without a window
  cmUsageError,  // an own option used wrongly; `error` says how
};

struct TCommandLine {
  TCommand command = TCommand::cmWindow;
  std::string dataFile;  // cmCheck: the named data file, empty for the default one
  std::string error;     // cmUsageError: one line, without the program's name
  // cmWindow and cmLookup: the words to search for, joined by single
  // spaces (empty: none), and whether in the everything search (headwords
  // and explanations) instead of the headword search.
  std::string search;
  bool everything = false;
  bool json = false;  // cmLookup: one JSON object per entry
};

// Reads `args` (the arguments after the program's name).
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The program's name and version, one line with its line break.
std::string VersionText();

// The usage text. `dataFile` is the full name of the data file the window
// reads, shown so that the maintainer knows which file to replace.
std::string HelpText(const std::string& dataFile);

// What the program's entry knows of the terminals it writes to.
struct TTerminalInfo {
  int outWidth = 0;            // the width of the terminal of `out`; 0: not a terminal
  bool errIsTerminal = false;  // `err` is a terminal: the check shows its progress there
};

// Carries out a command that needs no window (any but cmWindow): writes
// the help or the version to `out` and returns 0; checks the named data
// file, or the data file of `options` when none is named, with its media in
// the Sounds folder beside the data file's folder, writes the report to
// `out` and returns 1 when it found an error, else 0, with its progress on
// `err` when that is a terminal; looks the search up (lookup.h: 0 found, 1
// nothing found, 2 the data cannot be read); or writes a usage error to
// `err` and returns 2. The check and the lookup need the GUI application
// object.
int RunCommandLine(const TCommandLine& commandLine, const TDictionaryOptions& options,
                   std::ostream& out, std::ostream& err, const TTerminalInfo& terminal = {});

}  // namespace dorvem
