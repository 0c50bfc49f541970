// The entry refresh: after every scroll of tblAdat the window recomputes
// what it offers for the current entry (picture view, play and score
// buttons, cue sounds).
#include "app/main_window.h"
#include "views/db_image.h"

namespace dorvem {

void TfrmMain::ConnectEntryHandlers() {
  tblAdat.AfterScroll = [this](TDataSet& ds) { tblAdatAfterScroll(ds); };
}

void TfrmMain::tblAdatAfterScroll(TDataSet& dataSet) {
  (void)dataSet;
  // What plays is stopped before anything else (media device).

  // The picture view covers the fixed picture imgKep exactly when the entry
  // has a picture.
  dbiKep->setVisible(!tblAdatGRAPHIC.IsNull());

  // Then the play and score buttons and the cue sounds (media actions).
}

}  // namespace dorvem
