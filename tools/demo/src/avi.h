// Writes a tiny uncompressed video (AVI, 24-bit frames, no sound): a conductor's baton tip
// tracing the beat pattern of a bar, with a fading trail.
//
// The frames are drawn with the picture rasteriser; the file holds the main header, one
// video stream header with its bitmap format, the frames as '00db' chunks and an index.
// Free function returning the file's bytes.
#pragma once

#include <string>

namespace demo {

// `beats` is 2, 3 or 4 (the pattern); one bar at `bpm` beats per minute is shown `bars`
// times. Throws std::invalid_argument for another beat count.
std::string ConductingAvi(int beats, double bpm, int bars, int width = 64, int height = 48,
                          int fps = 10);

}  // namespace demo
