// The data maintainer's check of a dictionary (`dorvem --check`): reads the
// data file as the window opens it, loads every entry's explanation and
// picture the way the views load them, looks up every entry's media file
// and score document the way the media actions do, and lists each problem
// it meets as one finding. The check only reads; it writes nothing.
//
// CheckDictionary gathers the findings (data_check.cpp for the data file
// and the entries, data_check_files.cpp for the media and score files);
// WriteCheckReport turns them into the lines the maintainer reads
// (data_check_report.cpp). Loading an explanation lays it out in a text
// document, so the check needs the GUI application object, on any
// platform (offscreen is enough); it opens no window.
#pragma once

#include <QString>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace dorvem {

enum class TFindingLevel {
  flError,    // the window fails the user here: an error report, nothing to play, ...
  flWarning,  // works through this program's tolerant look-up, but the data should be fixed
};

struct TCheckFinding {
  TFindingLevel level = TFindingLevel::flError;
  // The entry, "HEADWORD (Index n)" in UTF-8; empty for a finding about
  // the data file or the program folder as a whole.
  std::string entry;
  // What is wrong, in Hungarian (UTF-8), one line, ending with the
  // loader's or the engine's own text where there is one.
  std::string text;
};

struct TDataCheck {
  std::string dataFile;                 // as it was opened (file system encoding)
  QString programFolder;                // where the media were looked for, one trailing separator
  bool opened = false;                  // the data file could be opened
  int entries = 0;                      // entries checked
  int mediaFiles = 0;                   // entries whose media file was found
  int scoreDocuments = 0;               // entries whose score document was found
  std::vector<TCheckFinding> findings;  // in the order met: the folder, then headword order
  // Facts about this machine that are not problems of the data (an
  // external player that is not installed), in Hungarian, one line each.
  std::vector<std::string> notes;
};

// The program folder of a data file named on the command line: the folder
// above the one that holds it, as the window's data file
// "Data\dorvem1.cds" lies below its program folder. One trailing
// separator.
QString ProgramFolderOfDataFile(const std::string& dataFile);

// Checks the data file `dataFile` (file system encoding) and the media
// below `programFolder` (with its trailing separator); the headword order
// is kept in `cacheFolder` as the window keeps it (empty: nothing kept).
// Never throws for anything the data or the files hold. Needs the GUI
// application object. `progress`, when given, is called after each entry
// with the entries checked and all the entries of the data file.
using TCheckProgress = std::function<void(int done, int total)>;
TDataCheck CheckDictionary(const std::string& dataFile, const QString& programFolder,
                           const std::string& cacheFolder = {},
                           const TCheckProgress& progress = {});

// Writes one line per finding ("HIBA: " or "FIGYELMEZTETÉS: ", then
// "<entry>: " when there is one, then the text), the notes, and the
// summary. Returns the exit status: 1 when there is an error, else 0
// (warnings alone leave it 0).
int WriteCheckReport(const TDataCheck& check, std::ostream& out);

}  // namespace dorvem
