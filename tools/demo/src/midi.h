// Writes tunes as Standard MIDI Files.
//
// Format 0: one track with tempo, metre, instrument and notes. Format 1: a conductor track
// (tempo, metre, title) followed by one track with the instrument and the notes. 480 ticks
// per quarter note, channel 1, velocity 80. Free function returning the file's bytes.
#pragma once

#include <string>

#include "music.h"

namespace demo {

// `format` is 0 or 1; `title` (ASCII) becomes the track name. Throws std::invalid_argument
// for another format.
std::string EncodeMidi(const Tune& tune, int format, const std::string& title);

}  // namespace demo
