// What must hold of the main window after every user action, whatever the
// action was: the checks the soak (window_soak.cpp) runs between actions.
//
//   - the grid's current row is the dataset's current record: the row of
//     the record's slot, showing its headword;
//   - the explanation view shows that record's memo: what it has built so
//     far is the beginning of what the memo loads to on its own (a long
//     memo is built in steps while the loop is idle);
//   - the play button is enabled only for an entry with a media name, and
//     after a move (an entry refresh) exactly then; the score button is
//     enabled exactly when the entry's score document exists;
//   - the picture view is shown exactly when the entry has a picture;
//   - no box is left open: no modal widget, and no top-level window shown
//     but the main window.
// The entry's checks (all but the grid's and the last) apply when the entry
// refresh ran for the current record: a move that an error ended before its
// refresh (a picture that is no bitmap) leaves the buttons of the entry
// before, as the program does. With the dataset closed or empty only the
// last applies.
#pragma once

#include <string>

namespace dorvem {
class TfrmMain;
}

namespace dorvem::testing {

// What the soak saw of the entry refresh (the dataset's AfterScroll).
struct RefreshSeen {
  bool duringAction = false;  // a refresh ran during the last action
  int index = -1;             // the Index of the record last refreshed
};

// The Index of the current record, -1 when there is none.
int CurrentIndex(TfrmMain& window);

// The first invariant that does not hold, described; empty when all hold.
std::string BrokenInvariant(TfrmMain& window, const RefreshSeen& refresh);

}  // namespace dorvem::testing
