// Finding an entry of a folder by its name ignoring case, without reading
// the folder again while it has not changed.
//
// The entry refresh looks for the current entry's score document on every
// move, twice per search keystroke, and a name that is not there exactly
// is looked for ignoring case, which means reading the whole folder - the
// score folder of a large dictionary holds thousands of documents. So the
// names read from a folder are kept, keyed by the folder's path, with the
// folder's device, inode, modification and change times, and used again
// while a new look at the folder (one stat) finds all of them unchanged.
//
// Adding, removing or renaming an entry changes the folder's modification
// time - but only to the file system's clock tick. A change within the tick
// in which the folder was read could leave the time as it was, so a
// listing is kept only when the folder's modification time lay at least
// kTrustAfter before the moment it was read; the folder of a fresh install
// or of a test, changed moments ago, is read again every time until then.
//
// Event thread only; the kept listings live as long as the process (a few
// folders: the program folder, the media folder, the score folder).
#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

namespace dorvem {

// How long before reading a folder its last change must lie for the
// listing to be kept.
inline constexpr std::chrono::seconds kTrustAfter{3};

// The entry of the folder `dir` whose name equals `name` ignoring case - the
// first such entry in name order - or nothing (also when the folder cannot
// be read). Files, folders, hidden and system entries all count; "." and
// ".." do not.
std::optional<QString> FindEntryIgnoringCase(const QString& dir, const QString& name);

// How many times FindEntryIgnoringCase has read a folder; for tests.
std::uint64_t FolderReads();

}  // namespace dorvem
