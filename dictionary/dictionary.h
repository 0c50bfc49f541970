// TDictionary: what the program knows about its dictionary, apart from the
// window that shows it. It owns the client dataset tblAdat with its five
// persistent fields and the data source DataSource1 the views link to, and
// answers for the current entry: its headword, whether it has a picture, a
// media file and a score document, and what playing it and opening its
// score resolve to. The window wires its controls to it; the data check,
// tests and benchmarks use it without a window.
//
// The search runs exactly the dataset operations the window has always
// run, in the same order (see Search), so every notice and every
// AfterScroll keeps its rhythm. Event thread only.
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "dataset/host/client_dataset.h"
#include "dataset/host/data_source.h"
#include "dataset/host/table_preload.h"
#include "dictionary/dictionary_fields.h"
#include "dictionary/dictionary_options.h"
#include "dictionary/everything_index.h"
#include "dictionary/media_paths.h"

namespace dorvem {

// What the play action comes to for the current entry, decided before
// anything is done; the window carries it out in the order of the members.
struct TPlayPlan {
  // A warning to show first (the missing player or file), or empty.
  QString warning;
  // Open this file with the system, when it is a file at that moment.
  QString openWithSystem;
  // Start `program` with `argument`, when not empty.
  QString program;
  QString argument;
  // Play this file on the media device, with the device chosen by
  // `handling` (mhSequencer or mhAutoSelect), when not empty.
  QString devicePath;
  TMediaHandling handling = TMediaHandling::mhSystem;
  // Whether the play button is enabled again afterwards; it stays disabled
  // when the file or the needed player is missing.
  bool enableAfter = false;
};

class TDictionary {
 public:
  explicit TDictionary(TDictionaryOptions options);
  TDictionary(const TDictionary&) = delete;
  TDictionary& operator=(const TDictionary&) = delete;

  const TDictionaryOptions& Options() const { return options_; }
  // The data file below the program folder, in the file system's encoding.
  std::string DataFileName() const;

  // How tblAdat is opened, for a preload (table_preload.h) that its Open
  // then takes: the data file, cache folder, key fields and start-up filter.
  static TTablePreloadRequest PreloadRequest(const TDictionaryOptions& options);

  // Sets tblAdat's file name to the data file and opens it; raises the
  // dataset's error when that fails (tblAdat stays closed).
  void Open();
  // Closes tblAdat; the data file is never written.
  void Close();

  // The search for the text of the search box. An empty text sets the
  // start-up filter and nothing else. Any other text is converted to the
  // data's code page and made a search key (search_key.h); then
  // no-partial-compare is cleared from the filter options (on the open
  // dataset this moves to the first record of the list in force), the
  // filter becomes the headwords that begin with the key (a move to the
  // first of them), and tblAdat is opened (a new attempt when closed).
  // Raises what the dataset raises; when the first move fails the filter is
  // still set, and that first error is raised after it.
  void Search(const QString& text);
  // --- The everything search (dictionary_everything.cpp) -----------------
  // The search of headwords and explanations for the text of the search
  // box: the list becomes the entries that, for every word of `text`
  // (word_fold.h), have a word of their headword or explanation
  // (everything_source.h) beginning with it, in headword order. The
  // dataset's filter text is cleared and its record filter set to them,
  // which moves to the first of them; tblAdat is opened first when closed.
  // A text without words (empty, or blanks and punctuation only) shows
  // what the headword search's empty box shows: the record filter goes
  // and the filter is the start-up one. The index is built at the first
  // search after each open. Raises what the dataset raises.
  void SearchEverything(const QString& text);
  // Leaves the everything search: removes the record filter (a move to the
  // first record when there was one), so that Search works as before.
  void EndEverythingSearch();
  // The index of the open table, built when first asked for; also for the
  // command line and the benchmarks.
  const TEverythingIndex& EverythingIndex();
  // Whether `text` is a headword of the open dictionary (exactly, in the
  // data's code page).
  bool IsHeadword(const QString& text) const;
  // Whether a cross-reference with text `text` leads somewhere: to a
  // headword other than the current entry's.
  bool IsReferenceTarget(const QString& text) const;

  // The next and the prior entry of the list; raise the dataset's error on
  // a closed dataset.
  void StepNext();
  void StepPrior();

  // The current entry (tblAdat open, a record current).
  std::string Headword() const;  // bytes in the data's code page
  bool HasPicture() const;       // GRAPHIC is not null
  bool HasMedia() const;         // FAJLNEV is not null (the file is not looked for)
  bool HasScore() const;         // the score document of FAJLNEV (null reads as "") exists
  // The entry's media file and score document, looked up below the media
  // folder; a name that is not safe, or whose real path (links resolved)
  // lies outside the media folder, names no file. The score document is
  // opened with the system, so one the desktop's opener may run
  // (MayOpenWithSystem: a launcher, an executable file, a script) is
  // missing too.
  LocatedFile MediaFile() const;
  LocatedFile ScoreFile() const;
  // What the play action does now, the files and players looked for. The
  // desktop's opener is never handed a file it may run (MayOpenWithSystem):
  // an entry opened with the system whose file is such a one plans nothing,
  // as a missing file does (the button stays disabled); a video without
  // its player then shows the warning but is not opened. Files played in
  // the program or handed to a player are not opened by the desktop and
  // are not refused for it.
  TPlayPlan PlanPlay() const;
  // The sound cue, or the score cue, kept inside the media folder.
  LocatedFile CueFile(bool scoreCue) const;
  // The path the cue is played from (CuePath).
  QString CuePath(bool scoreCue) const;

  // Data text (bytes in the data's code page) as Unicode text.
  QString DataText(const std::string& bytes) const;

  // --- Components -----------------------------------------------------------
  TClientDataSet tblAdat{"tblAdat"};
  // Made from the table's declaration; tblAdatFAJLNEV ... tblAdatIndex.
  TDictionaryFields Fields{tblAdat};
  TDataSource DataSource1{"DataSource1"};

 private:
  TDictionaryOptions options_;
  // The everything search's index and the engine table it was built from.
  std::unique_ptr<TEverythingIndex> everything_;
  const void* everythingTable_ = nullptr;
};

}  // namespace dorvem
