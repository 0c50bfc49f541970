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
//
// Given a pool (pipeline_pool.h), and playing into the chosen audio output,
// a playback starts from a kept pipeline of the same file and output when
// there is one, and on Finish rewinds its pipeline to the start (paused)
// and leaves it to the pool instead of freeing it - unless the pipeline
// reported an error or cannot be rewound. A pipeline taken from the pool is
// in the state a new one reaches by prerolling: paused at the start, no
// play limits. Given decoded sounds (decoded_sounds.h), with any sink, a
// new pipeline of a short file plays the file's sound decoded once and held
// in memory, rather than the file, through a pipeline of its own.
//
// An idle playback can be suspended: its pipeline (with its threads, and
// for MIDI the whole sound font) is freed, and where it stood is kept; the
// next Play builds the pipeline again and goes on from there, and a Seek
// meanwhile only moves that place.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "media/audio_output.h"
#include "media/decoded_sounds.h"
#include "media/pipeline_pool.h"

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
  // the program's (DefaultAudioOutput). `pool` (null: none) is used only
  // when `sinks` is empty; `sounds` (null: none) with any sink. All must
  // outlive the playback.
  GstPlayback(std::string path, AudioSinkFactory sinks, AudioOutput* output, PipelinePool* pool,
              EventHandler onEvent, DecodedSounds* sounds = nullptr);
  // Finishes the pipeline if Finish has not.
  ~GstPlayback();
  GstPlayback(const GstPlayback&) = delete;
  GstPlayback& operator=(const GstPlayback&) = delete;

  // --- Worker thread ---------------------------------------------------------
  // Builds the pipeline on the file and lets it preroll (paused at the
  // start). When no pipeline can be built, reports kError.
  void Start();
  // Plays from the current position, or from `fromMs`, up to `toMs` or the
  // end, at `rate` times the media's tempo with its pitch kept (a rate
  // other than 1 puts the tempo filter scaletempo into the pipeline, which
  // is then never kept for reuse). Events from now on carry `serial`.
  void Play(std::uint64_t serial, std::optional<std::uint32_t> fromMs,
            std::optional<std::uint32_t> toMs, double rate = 1.0);
  // Pauses where it is.
  void Pause();
  // Pauses at `ms`.
  void Seek(std::uint32_t ms);
  // Stops the pipeline and frees it, or rewinds it and leaves it to the
  // pool; nothing is reported after this.
  void Finish();
  // Frees the pipeline of a playback that is not playing, remembering that
  // it stands at `atMs`; nothing is reported until the next Play, which
  // builds the pipeline anew. Does nothing when no pipeline is built.
  void Suspend(std::uint32_t atMs);
  // Builds the pipeline (or finds it kept), waits for its preroll and
  // leaves it to the pool: a later playback of the file starts at once.
  // Does nothing without a pool.
  void Prepare();

  // Stops a pipeline and frees it (the pool's release).
  static void ReleasePipeline(GstElement* pipeline);

  // --- Any thread -------------------------------------------------------------
  // Where the pipeline is, when it can tell (not while suspended).
  std::optional<std::uint32_t> PositionMs() const;
  // Whether a pipeline is built now (not suspended, not finished).
  bool HasPipeline() const;

 private:
  // Waits (on the worker) until the pipeline has prerolled or failed.
  void WaitForPreroll() const;
  // The sink of the output `factory` names, or of the next choices when
  // that device does not open (a floating reference, or null when not even
  // the silent sink can be made); `factory` becomes the one made.
  GstElement* OutputSink(std::string& factory);
  // The audio output that chooses the sinks.
  AudioOutput& Output();
  // A new pipeline with the sink `sink` (null: playbin's own): a playbin on
  // the file, or BuildDecodedPipeline's when there is a `sound` and a sink.
  GstElement* BuildPipeline(GstElement* sink, std::shared_ptr<const DecodedSound> sound = {});
  // `sound` played into `sink` through a converter and a resampler, and
  // nothing else: no parser, decoder, queue or stream selection, so a play
  // sets few elements going and hands its pieces across no thread.
  GstElement* BuildDecodedPipeline(GstElement* sink, std::shared_ptr<const DecodedSound> sound);
  // Hands the pipeline's end and errors to onEvent_ from now on.
  void Attach(GstElement* pipeline);
  // Rebuilds the pipeline's sinks with scaletempo as its audio filter
  // (playbin takes a filter only when it sets its sinks up), paused at the
  // start again.
  void AddTempoFilter();
  // Links `filter` (a floating reference) between the decoded pipeline's
  // `source` and its converter, and makes the source start again; false
  // when it cannot.
  bool InsertFilter(GstElement* source, GstElement* filter);
  // Paused at the start, without play limits; false when it cannot be.
  static bool Rewind(GstElement* pipeline);

  std::string path_;
  AudioSinkFactory sinks_;
  AudioOutput* output_;
  PipelinePool* pool_;
  DecodedSounds* sounds_;
  EventHandler onEvent_;
  std::optional<PipelineKey> key_;  // the pipeline may go to the pool under it
  mutable std::mutex mutex_;        // guards pipeline_ against PositionMs
  GstElement* pipeline_ = nullptr;
  bool bounded_ = false;      // the last play ended at a position of its own
  double rate_ = 1.0;         // the rate of the last play's segment
  bool tempoFilter_ = false;  // scaletempo is in the pipeline
  std::atomic<std::uint64_t> serial_{0};
  std::atomic<bool> failed_{false};  // the pipeline reported an error
  // Where a suspended playback stands; set only while suspended (worker).
  std::optional<std::uint32_t> suspendedAtMs_;
};

}  // namespace dorvem::mci
