// The file half of the dictionary check: the media folders, the cue sounds,
// and each entry's media file and score document, looked up exactly as the
// window looks them up (media_paths.h) and, for the kinds played in the
// program, probed as the media layer probes a file before it opens it.
//
// What counts as a problem:
//   - a media file that is missing, is a folder, has a name that is not
//     safe, or (played in the program) cannot be played by its content:
//     an error;
//   - a media file, cue sound or score document whose real path (links
//     resolved) lies outside the media folder: an error;
//   - a file the window would open with the system (a media file of no
//     kind played in the program, a video when its player is missing, a
//     score document) that the desktop's opener may run (a launcher, an
//     executable file, a script; runnable_files.h): an error;
//   - a media file, cue sound, score document or media folder that is only
//     found because the look-up ignores case or takes "\" for "/": a
//     warning (it works here, but the data should name it as it is);
//   - a score document that is not a PDF file: an error. A missing score
//     document is no problem: an entry need not have one.
// An external player that is not installed is a fact about this machine,
// not the data: it becomes a note.
//
// One object per check; it appends to the TDataCheck it is given, which
// must outlive it.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

#include "dictionary/data_check.h"
#include "dictionary/media_paths.h"

namespace dorvem {

class TFileCheck {
 public:
  TFileCheck(const QString& programFolder, TDataCheck& check);

  // The media folders and the two cue sounds, once per check.
  void CheckFolders();
  // The entry labelled `entry`, whose FAJLNEV is `name` (bytes in the
  // data's code page `codePage`; nothing when it is null); `lcid` is the
  // data's locale identifier.
  void CheckEntry(const std::string& entry, const std::optional<std::string>& name,
                  std::uint32_t codePage, std::uint32_t lcid);
  // Adds the notes on the external players that entries need but this
  // machine lacks; once, after the last entry.
  void AddNotes();

 private:
  // A media file or cue sound `name` (as the data or the program writes
  // it) below the media folder, found as `found`, played as `handling`;
  // `what` names it in the texts ("médiafájl", "jelzőhang").
  void CheckPlayable(const std::string& entry, const char* what, const QString& name,
                     const LocatedFile& found, TMediaHandling handling);
  void CheckScore(const std::string& entry, const QString& name);
  // Adds the error for `found`, the file written `written` (below the
  // program folder), whose real path lies outside the media folder.
  void AddOutside(const std::string& entry, const char* what, const QString& written,
                  const LocatedFile& found);
  // Adds an error, and returns true, when `found` (a file the window opens
  // with the system) is one the desktop's opener may run.
  bool CheckRunnable(const std::string& entry, const char* what, const QString& written,
                     const LocatedFile& found);
  // Adds a warning when `found`, the file `name` below `folder` (one of
  // the fixed media folders), was found only with another case or
  // another separator.
  void CheckSpelling(const std::string& entry, const char* what, const char* folder,
                     const QString& name, const LocatedFile& found);
  void Add(TFindingLevel level, const std::string& entry, const QString& text);

  QString programFolder_;
  TDataCheck& check_;
  int scorePlayerEntries_ = 0;
  int videoEntries_ = 0;
};

}  // namespace dorvem
