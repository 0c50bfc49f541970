// The entry refresh: after every scroll of tblAdat the window recomputes
// what it offers for the current entry (picture view, play and score
// buttons, cue sounds).
#include <QCheckBox>
#include <QToolButton>

#include "app/main_window.h"
#include "app/startup_trace.h"
#include "media/media_player.h"
#include "views/db_image.h"

namespace dorvem {

void TfrmMain::ConnectEntryHandlers() {
  tblAdat.AfterScroll = [this](TDataSet& ds) { tblAdatAfterScroll(ds); };
}

void TfrmMain::tblAdatAfterScroll(TDataSet& dataSet) {
  (void)dataSet;
  StartupPhaseDone("views loaded");
  // 1. Whatever plays, a cue or the entry's media, falls silent.
  if (MediaPlayer1->OpenDeviceId() != 0) {
    MediaPlayer1->Stop();
    MediaPlayer1->Close();
  }

  // 2. The picture view shows the entry's picture, or gives way to imgKep.
  dbiKep->setVisible(!tblAdatGRAPHIC.IsNull());

  // 3. The file itself is looked for only when the button is pressed.
  spbLejatszo->setEnabled(!tblAdatFAJLNEV.IsNull());
  // 4. A null name reads as empty text, whose score document is looked for
  // like any other.
  spbKep->setEnabled(ScoreFileExists(tblAdatFAJLNEV.AsString()));

  // 5. Each cue stops the one before, so with both buttons enabled the
  // sound cue is cut off at once by the score cue.
  if (chbHang->isChecked()) {
    if (spbLejatszo->isEnabled()) PlayCueSound(false);
    if (spbKep->isEnabled()) PlayCueSound(true);
  }
  StartupPhaseDone("entry refresh");
}

}  // namespace dorvem
