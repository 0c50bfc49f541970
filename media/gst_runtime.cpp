#include "media/gst_runtime.h"

#include <gst/gst.h>

#include <array>
#include <future>
#include <mutex>
#include <system_error>

#include "media/audio_sinks.h"

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

// The audio output's first probe, begun once; joined at exit (before the
// census, which was begun before it).
std::future<void>& OutputProbe() {
  static std::future<void> probe;
  return probe;
}

const Census& Wait() {
  StartGstRuntime();
  return Runtime().get();
}

}  // namespace

void StartGstRuntime() {
  static std::once_flag once;
  std::call_once(once, [] {
    try {
      Runtime() = std::async(std::launch::async, TakeCensus).share();
    } catch (const std::system_error&) {
      // No thread to be had: the census is taken by the first that waits.
      Runtime() = std::async(std::launch::deferred, TakeCensus).share();
    }
    try {
      OutputProbe() = std::async(std::launch::async, [] {
        if (Runtime().get().ready) DefaultAudioOutput().Prime();
      });
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

}  // namespace dorvem::mci
