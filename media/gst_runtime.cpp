#include "media/gst_runtime.h"

#include <gst/gst.h>

#include <array>
#include <future>
#include <mutex>
#include <system_error>

#include "media/audio_sinks.h"
#include "media/sound_library_logs.h"

namespace dorvem::mci {

namespace {

struct Census {
  bool ready = false;
  std::array<bool, 4> installed{};  // by MediaKind
};

// Whether some installed element takes `caps` as input.
bool SomethingTakes(const char* caps) {
  GstCaps* wanted = gst_caps_from_string(caps);
  GList* all =
      gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODABLE, GST_RANK_MARGINAL);
  GList* takers = gst_element_factory_list_filter(all, wanted, GST_PAD_SINK, FALSE);
  const bool found = takers != nullptr;
  gst_plugin_feature_list_free(takers);
  gst_plugin_feature_list_free(all);
  gst_caps_unref(wanted);
  return found;
}

Census TakeCensus() {
  Census census;
  census.ready = gst_init_check(nullptr, nullptr, nullptr);
  if (!census.ready) return census;
  census.installed[int(MediaKind::kWave)] = SomethingTakes("audio/x-wav");
  census.installed[int(MediaKind::kMpegAudio)] = SomethingTakes("audio/mpeg, mpegversion=(int)1");
  census.installed[int(MediaKind::kMidi)] =
      SomethingTakes("audio/midi") && SomethingTakes("audio/x-midi-event");
  return census;
}

// The census, begun once; its future's destructor joins the thread at exit.
std::shared_future<Census>& Runtime() {
  static std::shared_future<Census> runtime;
  return runtime;
}

// The elements that every pipeline is built of, and the parsers and
// decoders of WAVE and MPEG audio (the cue sounds'), and the ends that
// decode a sound into memory and play it from there (decoded_sounds.h);
// MIDI's synthesizer is left for its first use, for its size.
constexpr const char* kPipelineElements[] = {
    "playbin",  "uridecodebin", "decodebin",      "filesrc",        "typefind",      "queue",
    "tee",      "identity",     "input-selector", "audioconvert",   "audioresample", "volume",
    "fakesink", "wavparse",     "mpegaudioparse", "mpg123audiodec", "appsrc",        "appsink"};

// Loads the plugins of the pipeline elements and sets their classes up, by
// making one of each and dropping it again, so that the first pipeline
// does not pay for it on its own path. The type finders are loaded too.
void WarmPipelineElements() {
  for (const char* factory : kPipelineElements)
    if (GstElement* element = gst_element_factory_make(factory, nullptr)) {
      gst_object_ref_sink(element);
      gst_object_unref(element);
    }
  if (GstPlugin* finders = gst_plugin_load_by_name("typefindfunctions")) gst_object_unref(finders);
}

// The preparation after the census - the audio output's first probe and
// the warming of the elements - begun once; joined at exit (before the
// census, which was begun before it).
std::shared_future<void>& Preparation() {
  static std::shared_future<void> preparation;
  return preparation;
}

const Census& Wait() {
  StartGstRuntime();
  return Runtime().get();
}

}  // namespace

void StartGstRuntime() {
  static std::once_flag once;
  std::call_once(once, [] {
    // Before any thread of the runtime starts: the probe's failures are
    // not the terminal's business.
    QuietSoundLibraries();
    try {
      Runtime() = std::async(std::launch::async, TakeCensus).share();
    } catch (const std::system_error&) {
      // No thread to be had: the census is taken by the first that waits.
      Runtime() = std::async(std::launch::deferred, TakeCensus).share();
    }
    // Made before the preparation's future, so that it is destroyed after
    // the future has joined the thread that uses it.
    DefaultAudioOutput();
    try {
      Preparation() = std::async(std::launch::async, [] {
                        if (!Runtime().get().ready) return;
                        DefaultAudioOutput().Prime();
                        WarmPipelineElements();
                      }).share();
    } catch (const std::system_error&) {
      // The first pipeline probes on its own path instead.
    }
  });
}

bool GstReady() {
  return Wait().ready;
}

bool DecoderInstalled(MediaKind kind) {
  return Wait().installed[int(kind)];
}

void WaitForGstPreparation() {
  StartGstRuntime();
  if (Preparation().valid()) Preparation().wait();
}

}  // namespace dorvem::mci
