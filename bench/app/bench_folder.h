// The program folder a benchmark run of the window uses: the data file in
// "Data/dorvem1.cds" and the two cue sounds in "Sounds/", as an installed
// dictionary has them (without the cues every entry refresh of an entry
// with media would stop on an error box). The entries' own media files and
// score documents are not there: the refresh looks for the score document
// of every entry and finds none, and nothing plays an entry's media.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dorvem::bench {

// Creates (or refreshes) the folder `root` with `packet` as its data file -
// written anew, so that the run that follows is the first on a new data
// file - and the cue sounds copied from `soundsSource` (the demo's Sounds
// folder). Returns the folder with one trailing "/".
std::string WriteBenchFolder(const std::string& root, const std::vector<std::uint8_t>& packet,
                             const std::string& soundsSource);

// Reads the file whole, so that the runs find it in the file cache.
void WarmFileCache(const std::string& path);

}  // namespace dorvem::bench
