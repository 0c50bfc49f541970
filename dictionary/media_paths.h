// Paths of the entries' media: the media folder, the score documents, the
// cue sounds and the score player, and how a name from the data finds its
// file on this system.
//
// The data was made on Windows: names use "\" between folders and the file
// system there ignores case. So a name is looked up one component at a
// time below the program folder; a component that does not exist exactly
// is matched ignoring case ("FUVOLA.MP3" finds "fuvola.mp3", "sub\tone.wav"
// finds "sub/tone.wav"). Both "\" and "/" separate components.
//
// Names from the data are untrusted: one that is absolute ("\x", "/x",
// "C:x") or has a ".." component could reach files outside the media
// folder, so it names no file at all - it is treated as a missing file.
// A name whose file is reached through a symbolic link leading out of the
// media folder is missing too: what is found is kept only when its real
// path (every link resolved) lies inside the media folder's real path.
// Links that stay inside the folder work as before.
//
// The short (8.3) form of a path, which external players are given, is the
// path itself on this system.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <string_view>

namespace dorvem {

// Below the program folder, with "\" as the data's texts write them.
inline constexpr char kMediaFolder[] = "Sounds\\";
inline constexpr char kScoreFolder[] = "Sounds\\PICTURES\\";
inline constexpr char kSoundCue[] = "Sounds\\hangkep.mp3";
inline constexpr char kScoreCue[] = "Sounds\\kottakep.mp3";
// In the program folder, under exactly this name.
inline constexpr char kScorePlayer[] = "scplayer.exe";

// The extension of `name`: from the last "." that follows the last "\" or
// ":", dot included; empty when there is none. Bytes in, bytes out.
std::string ExtensionOf(std::string_view name);

// `name` with its extension replaced by ".PDF", or ".PDF" appended when it
// has none ("a.b.wav" -> "a.b.PDF", "" -> ".PDF").
std::string ScoreFileName(std::string_view name);

// How the play action treats an entry's media file, chosen by the extension
// of its name in the data, upper-cased with the data's locale (never the
// desktop's: under a Turkish desktop ".mid" must still read ".MID") and
// compared exactly.
enum class TMediaHandling {
  mhSequencer,    // ".MID", ".RMI": played in the program on the sequencer
  mhAutoSelect,   // ".WAV", ".MP3": played in the program, the device chosen by the file
  mhScorePlayer,  // ".SCM": handed to the score player
  mhVideoPlayer,  // ".AVI": handed to the video player
  mhSystem,       // anything else, or no extension: opened with the system
};

// The handling of the data's name `name` (bytes in the code page of
// `lcid`, the data's locale identifier: the packet's LCID, 0 for none).
TMediaHandling MediaHandlingOf(std::string_view name, std::uint32_t lcid);

// Whether a name from the data may name a file: not absolute (no leading
// "\" or "/", no drive "X:") and without a ".." component.
bool IsSafeMediaName(const QString& name);

// The components of a relative path: the parts between "\" and "/"
// separators, empty ones skipped ("a\\b/c" -> a, b, c).
QStringList PathComponents(const QString& path);

// A file looked up below the program folder.
struct LocatedFile {
  // The file found (with the case it has on disk), or, when nothing was
  // found, the path as written, with "/" between components.
  QString path;
  // A file, not a folder, was found.
  bool exists = false;
  // A file was found, but its real path lies outside the media folder:
  // `exists` is false, `path` is what was found (the data check names it).
  bool outside = false;
};

// Looks up `relative` (components separated by "\" or "/", empty ones
// skipped) below `folder` (a path with or without a trailing separator),
// each component exactly first, then ignoring case.
LocatedFile LocateFile(const QString& folder, const QString& relative);

// The real path (links resolved) of the media folder below
// `programFolder`, found ignoring case like any name; empty when it is not
// a folder.
QString RealMediaFolder(const QString& programFolder);

// Whether the file at `path` lies inside the folder whose real path is
// `realFolder` once every link is resolved; never when `realFolder` is
// empty or `path` does not exist.
bool LiesInsideFolder(const QString& path, const QString& realFolder);

// The media file ("Sounds\" + name) and the score document
// ("Sounds\PICTURES\" + ScoreFileName(name)) of the data's name `name`
// (decoded from the data's code page), looked up below `programFolder`. A
// name that is not safe names no file: the result is the path as written
// below the program folder, not found. A file whose real path lies outside
// the media folder is not found either (`outside` set).
LocatedFile LocateMediaFile(const QString& programFolder, const QString& name);
LocatedFile LocateScoreFile(const QString& programFolder, const QString& name);
// The sound cue (kSoundCue) or the score cue (kScoreCue) below
// `programFolder`, kept inside the media folder like the entries' media.
LocatedFile LocateCueFile(const QString& programFolder, bool scoreCue);
// The path LocateCueFile gives, without asking where its file really lies:
// the path the cue is played from on every move, where the real paths of
// the folder and the file cost a dozen system calls.
QString CuePath(const QString& programFolder, bool scoreCue);

// The short form of `path` given to external programs: the path itself.
inline QString ShortPathName(const QString& path) {
  return path;
}

}  // namespace dorvem
