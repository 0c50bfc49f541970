// GstPlayback: one media file played through a GStreamer playbin, the
// engine of one open device of the layer (gst_mci.h).
//
// The layer creates it on the event thread and from then on drives it only
// through the worker (media_worker.h): Start, Play, Pause, Seek and Finish
// run on the worker thread, one after the other, and may block there (a
// state change to NULL joins GStreamer's threads). PositionMs may be asked
// from any thread. What the pipeline reports back (the end of the stream,
// an error) goes to the event handler, called on one of GStreamer's
// threads, with the serial number of the play request then in force; the
// layer forwards it to the event thread.
//
// MIDI goes through the fluidsynth decoder, given the General MIDI sound
// font that the program's packages install. Sound goes to the audio output
// that an AudioOutput has chosen (audio_output.h; the program's own unless
// one is given): a device sink made directly, or without a device the
// silent sink that keeps real time, so timing and notices are those of the
// automatic audio sink without its search on every pipeline. A device sink
// that no longer opens is reported to the AudioOutput and the pipeline
// takes its next choice, as the automatic sink would fall back. Tests put a
// sink of their own in its place (AudioSinkFactory).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "media/audio_output.h"

typedef struct _GstElement GstElement;

namespace dorvem::mci {

// Makes the audio sink of one pipeline (a floating reference), or null for
// the chosen audio output. Called on the worker thread.
using AudioSinkFactory = std::function<GstElement*()>;

class GstPlayback {
 public:
  enum class Event { kEndOfStream, kError };
  // Called on GStreamer's threads; must only hand the event on.
  using EventHandler = std::function<void(Event event, std::uint64_t playSerial)>;

  // The sound font given to the fluidsynth decoder.
  static constexpr char kSoundFont[] = "/usr/share/sounds/sf2/FluidR3_GM.sf2";

  // `output` chooses the audio output when `sinks` gives no sink; null for
  // the program's (DefaultAudioOutput). It must outlive the playback.
  GstPlayback(std::string path, AudioSinkFactory sinks, AudioOutput* output, EventHandler onEvent);
  // Finishes the pipeline if Finish has not.
  ~GstPlayback();
  GstPlayback(const GstPlayback&) = delete;
  GstPlayback& operator=(const GstPlayback&) = delete;

  // --- Worker thread ---------------------------------------------------------
  // Builds the pipeline on the file and lets it preroll (paused at the
  // start). When no pipeline can be built, reports kError.
  void Start();
  // Plays from the current position, or from `fromMs`, up to `toMs` or the
  // end. Events from now on carry `serial`.
  void Play(std::uint64_t serial, std::optional<std::uint32_t> fromMs,
            std::optional<std::uint32_t> toMs);
  // Pauses where it is.
  void Pause();
  // Pauses at `ms`.
  void Seek(std::uint32_t ms);
  // Stops the pipeline and frees it; nothing is reported after this.
  void Finish();

  // --- Any thread -------------------------------------------------------------
  // Where the pipeline is, when it can tell.
  std::optional<std::uint32_t> PositionMs() const;

 private:
  // Waits (on the worker) until the pipeline has prerolled or failed.
  void WaitForPreroll() const;
  // The sink of the chosen output (a floating reference, or null when not
  // even the silent sink can be made).
  GstElement* OutputSink();

  std::string path_;
  AudioSinkFactory sinks_;
  AudioOutput* output_;
  EventHandler onEvent_;
  mutable std::mutex mutex_;  // guards pipeline_ against PositionMs
  GstElement* pipeline_ = nullptr;
  bool bounded_ = false;  // the last play ended at a position of its own
  std::atomic<std::uint64_t> serial_{0};
};

}  // namespace dorvem::mci
