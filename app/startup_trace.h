// The start-up trace: where the program's start-up spends its time.
//
// While the trace is on, the program notes the moment each phase of its
// start-up ends - the application object, the window's controls, the media
// device, each step of opening the data file (dataset/host/open_steps.h),
// the first entry refresh, showing the window and the first paint of the
// headword list - and hands each phase with its moment to a sink. The
// trace ends by itself once the headword list has been painted for the
// first time; later marks are ignored, so the per-key paths that also mark
// a phase cost a test of one flag.
//
// Switched on by the program's entry when the environment has
// DORVEM_TRACE_STARTUP=1; each phase is then one line on stderr:
//   "dorvem start-up: <ms since main> ms  +<ms since the previous phase> ms  <phase>"
// and the audio output the media layer chose, once it has probed:
//   "dorvem start-up: audio output: <sink>" (or "none (...)" without a device)
// A benchmark installs its own sink. Event thread only.
#pragma once

#include <cstdint>
#include <functional>

class QWidget;

namespace dorvem {

// Receives a phase's name and the moment it ended, in nanoseconds of the
// system's monotonic clock (comparable between processes).
using TStartupTraceSink = std::function<void(const char* phase, std::int64_t monotonicNs)>;

// Switches the trace on with `sink` (null: off) and notes the phase "main".
void StartStartupTrace(TStartupTraceSink sink);
// Switches it on, printing to stderr, when DORVEM_TRACE_STARTUP is "1".
void StartStartupTraceFromEnvironment();
bool StartupTraceOn();

// Notes that `phase` (a string literal) has just ended; nothing while the
// trace is off.
void StartupPhaseDone(const char* phase);

// While the trace is on: notes "first paint" once `list` has been painted
// for the first time (after the paint event is done) and ends the trace.
void EndStartupTraceAfterFirstPaint(QWidget* list);

}  // namespace dorvem
