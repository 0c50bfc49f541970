// The audio sinks of the pipelines: finding the device sink that the
// default audio output would use, making a pipeline's sink from the
// verdict of AudioOutput (audio_output.h), and the program's one
// AudioOutput.
//
// ProbeAudioDevice looks for a device sink as GStreamer's automatic audio
// sink does for each pipeline: every installed element factory classed as
// an audio sink, of at least marginal rank, in rank order, that takes raw
// audio, is made and opened (set to READY); the first that opens is the
// answer, and is closed again at once. None opening: the answer is empty.
//
// MakeOutputSink turns a verdict into a sink: empty gives the silent sink
// the automatic sink falls back to (a fakesink with sync on, so that the
// sound keeps real time and its end comes when it would be heard); a
// factory name gives that element, already opened, as the automatic sink
// hands over its chosen child. These functions run on the worker thread
// and the runtime thread, with GStreamer initialised.
#pragma once

#include <string>

#include "media/audio_output.h"

typedef struct _GstElement GstElement;

namespace dorvem::mci {

// The factory name of the first device sink that opens; empty for none.
std::string ProbeAudioDevice();

// A new sink (a floating reference) for `factory` (empty: the silent
// sink). For a device, null when the device does not open; the caller
// then tells the AudioOutput (DeviceFailed) and chooses again.
GstElement* MakeOutputSink(const std::string& factory);

// The program's audio output, probing with ProbeAudioDevice on the
// monotonic clock. Created on first use.
AudioOutput& DefaultAudioOutput();

}  // namespace dorvem::mci
