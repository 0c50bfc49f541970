// The GStreamer runtime of the process: initialised once, on a thread of
// its own, so that the program's start-up does not wait for it.
//
// Initialising GStreamer (its type system, its plugin registry) and asking
// the registry which decoders are installed take tens of milliseconds of
// the event thread when done in line. The layer starts both here when it is
// created (StartGstRuntime); the first request that needs GStreamer - the
// first open of a device - waits for what is still left of it (GstReady,
// DecodersInstalled). Starting it again, also from another layer, does
// nothing; every caller sees the same answers.
//
// Once GStreamer is ready, a second thread of the runtime decides the
// program's audio output (DefaultAudioOutput, audio_sinks.h) and loads and
// sets up the elements that pipelines are built of, so that the first
// pipeline does not search for a sound device, load plugins or set up
// classes on its own path.
//
// The threads belong to the runtime and are joined when the process ends.
// When no thread can be started, the first caller that waits does the work
// in line, as it was done before.
// The functions may be called from any thread.
#pragma once

#include "media/probe/media_formats.h"

namespace dorvem::mci {

// Begins initialising GStreamer, taking the decoder census and deciding
// the audio output, unless that has begun already. Returns at once.
void StartGstRuntime();

// Waits until GStreamer has been initialised (starting it when nobody has);
// false when it could not be.
bool GstReady();

// Whether the decoders that files of `kind` need are installed (false when
// GStreamer is not ready, and for kUnknown). Waits as GstReady does.
bool DecoderInstalled(MediaKind kind);

// Waits until the audio output has been decided and the elements warmed
// (starting the runtime when nobody has). For tests and benchmarks that
// measure a pipeline as the program meets it, long after its start.
void WaitForGstPreparation();

}  // namespace dorvem::mci
