// What assistive technology (screen readers, magnifiers) is told about the
// window's own views; Qt's controls describe themselves.
//
// - The headword grid is a list (QAccessible::List) whose items are the
//   rows it shows, each named by its headword, the current one selected
//   (and focused while the grid has the focus). Its scroll bars are not
//   listed: the rows say all they say.
// - The navigator is a tool bar of its (Qt) buttons, the picture view a
//   graphic, the media device, never shown, a sound object, and the main
//   window a window (Qt would call a plain top-level widget a client area).
//
// InstallAccessibleViews registers the factory that makes these interfaces;
// QAccessible owns every interface it hands out, the grid's interface the
// interfaces of its rows.
#pragma once

#include <QAccessible>
#include <vector>

namespace dorvem {

class TDBGrid;

// Registers the factory of the views' interfaces; once per process, later
// calls do nothing. Needs the application object.
void InstallAccessibleViews();

// One event about a child of a view.
struct TAccessibleNotice {
  QAccessible::Event type;
  int child;
  bool operator==(const TAccessibleNotice&) const = default;
};

// The events that tell of `grid`'s current row: a selection event for it
// and, while the grid has the focus, a focus event; none while the grid
// shows no record.
std::vector<TAccessibleNotice> GridCurrentRowNotices(const TDBGrid* grid);

// Sends the events of GridCurrentRowNotices while assistive technology
// listens (QAccessible::isActive); run after every change of the dataset.
void NotifyGridCurrentRow(TDBGrid* grid);

}  // namespace dorvem
