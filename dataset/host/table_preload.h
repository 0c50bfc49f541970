// TTablePreload: a data file's table opened on a thread of its own while the
// program builds its window.
//
// At a million entries, loading the rows and checking (or computing) their
// orders is most of a start, and the toolkit's own start most of the rest;
// neither needs the other, and a desktop has a second core. A preload
// started before the toolkit loads the table as a client dataset's open
// would (ReadPacketFileOf, then the engine), opens a cursor on it ordered by
// the key fields the dataset will ask for, and attaches the dataset's filter
// to a second cursor that is then dropped, so that what filters keep on the
// table (its byte orders, the collator's profile) is already there. The
// profile, which needs no rows, is made on a second thread meanwhile.
//
// The first open of a dataset that reads the same file (same absolute path,
// device, inode, size and times when it opens), keeps its caches in the
// same folder and is ordered by the same key fields takes the table and the
// ordered cursor instead of loading its own (TakePreloadedTable), and then
// goes through every step of an open as before: its notices, its errors,
// its filter are its own. When anything differs, when the preload failed
// (its error is dropped) or was taken already, the open loads the file
// itself and reports as it always did.
//
// One preload at a time per process; it is offered to opens from the moment
// it starts until it is taken or destroyed.
#pragma once

#include <memory>
#include <string>

#include "dataset/core/engine_object.h"
#include "dataset/cursor/cursor_interface.h"
#include "dataset/expr/expr_codes.h"
#include "dataset/store/table_interface.h"

namespace dorvem {

struct TTablePreloadRequest {
  std::string fileName;         // the dataset's FileName
  std::string cacheFolder;      // its CacheFolder
  std::string indexFieldNames;  // its IndexFieldNames, or empty
  std::string filterText;       // the filter it will attach, or empty
  TFilterOptions filterOptions{};
};

class TTablePreload {
 public:
  // Starts loading on a new thread. Does nothing when another preload is
  // alive or no thread can be had.
  explicit TTablePreload(TTablePreloadRequest request);
  // Withdraws the offer and waits for the thread.
  ~TTablePreload();
  // Waits until the load has ended (taken or not).
  void Wait();
  TTablePreload(const TTablePreload&) = delete;
  TTablePreload& operator=(const TTablePreload&) = delete;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// The table and ordered cursor of the live preload, when it was started for
// exactly this file (as it is now), cache folder and key fields and has not
// been taken: waits for it to finish and hands them over. False otherwise
// (a failed preload included); a preload that does not match stays.
bool TakePreloadedTable(const std::string& fileName, const std::string& cacheFolder,
                        const std::string& indexFieldNames, EngineRef<TDSBASE>* table,
                        EngineRef<TDSCursor>* cursor);

}  // namespace dorvem
