// Files the desktop's opener must never be handed.
//
// Files that the program does not play itself go to the desktop's opener,
// which runs rather than shows some of them: a launcher starts the program
// it names, and an executable file or a script may be run. The media folder
// comes with the data, from anyone, so such a file there is refused: the
// entry is treated as having no file at all.
#pragma once

#include <QString>

namespace dorvem {

// What makes a file one the desktop's opener may run.
enum class TRunnableKind {
  rkNone,        // a plain file: the opener may show it
  rkLauncher,    // a launcher: named ".desktop" (any case), or beginning "[Desktop Entry]"
  rkExecutable,  // any execute permission bit set (owner, group or others)
  rkScript,      // begins with "#!", or cannot be read to tell
};

// The kind of the file at `path`, links followed; for a launcher the name
// of the link and of the file it leads to both count. The first kind that
// applies, in the order of the enumeration; rkNone for a missing file.
TRunnableKind RunnableKindOf(const QString& path);

// Whether the desktop's opener may be handed the file at `path`: a file
// whose kind is rkNone.
inline bool MayOpenWithSystem(const QString& path) {
  return RunnableKindOf(path) == TRunnableKind::rkNone;
}

}  // namespace dorvem
