// The whole build of the demo dictionary: reads the sources, checks that entries and media
// recipes agree, writes every media file and the packet description.
//
// Output layout under `out`: Sounds/... (media and score documents) and packet/ (the JSON
// description with the memo and picture files it names). Both folders are replaced.
#pragma once

#include <filesystem>

namespace demo {

struct BuildSummary {
  size_t entries = 0;
  size_t plain = 0;     // entries whose memo is plain text
  size_t pictures = 0;  // distinct pictures
  int sounds = 0;       // WAV and MP3 files
  int midis = 0;
  int scores = 0;  // score documents
};

// Builds from `source` (entries/, media.txt, copied documents) into `out`. Throws
// std::runtime_error with the source location when the sources are inconsistent: a media
// name without a recipe, a recipe no entry uses (the two cue sounds excepted), a recipe
// given twice, or any error of the parsers and checks it runs.
BuildSummary BuildDemo(const std::filesystem::path& source, const std::filesystem::path& out);

}  // namespace demo
