// Paths of the program's files.
//
// Every file the program uses lies under the program folder: the directory
// of the running executable with exactly one trailing separator. The fixed
// relative parts ("Data\dorvem1.cds", the media folders) and the names read
// from the data are written with "\" as in the system's texts; FileSystemPath
// maps "\" to the platform's separator where a path touches the file system.
#pragma once

#include <QString>
#include <string>

namespace dorvem {

// The data file, relative to the program folder.
inline constexpr char kDataFileName[] = "Data\\dorvem1.cds";

// `dir` with one separator ("/" or "\") at its end: added when missing.
QString IncludeTrailingPathDelimiter(const QString& dir);

// The program folder of an executable at `executablePath` (a relative path
// is taken from the current directory): its directory plus one separator;
// "/" for an executable in the root.
QString ProgramFolderOf(const QString& executablePath);

// The program folder of the running executable. Needs the application
// object.
QString ProgramFolder();
// The same, as the system names the running executable, before the
// application object exists; empty when the system does not say.
QString ProgramFolderBeforeApplication();

// `path` with every "\" replaced by the platform's separator.
QString FileSystemPath(const QString& path);

// FileSystemPath(path) in the file system's encoding, as the dataset and
// other byte-string interfaces take file names.
std::string FileSystemName(const QString& path);

}  // namespace dorvem
