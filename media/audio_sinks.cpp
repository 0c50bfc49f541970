#include "media/audio_sinks.h"

#include <gst/gst.h>

#include <cstring>

#include "media/monotonic_clock.h"

namespace dorvem::mci {

namespace {

// Whether `factory` is an audio sink that automatic selection considers.
gboolean IsAudioSink(GstPluginFeature* feature, gpointer /*data*/) {
  if (!GST_IS_ELEMENT_FACTORY(feature)) return FALSE;
  const gchar* klass =
      gst_element_factory_get_metadata(GST_ELEMENT_FACTORY(feature), GST_ELEMENT_METADATA_KLASS);
  if (klass == nullptr || std::strstr(klass, "Sink") == nullptr ||
      std::strstr(klass, "Audio") == nullptr)
    return FALSE;
  return gst_plugin_feature_get_rank(feature) >= GST_RANK_MARGINAL;
}

// Whether some sink pad template of `factory` takes raw audio.
bool TakesRawAudio(GstElementFactory* factory) {
  GstCaps* raw = gst_caps_new_empty_simple("audio/x-raw");
  bool takes = false;
  for (const GList* t = gst_element_factory_get_static_pad_templates(factory); t && !takes;
       t = t->next) {
    auto* templ = static_cast<GstStaticPadTemplate*>(t->data);
    if (templ->direction != GST_PAD_SINK) continue;
    GstCaps* caps = gst_static_caps_get(&templ->static_caps);
    takes = gst_caps_can_intersect(caps, raw);
    gst_caps_unref(caps);
  }
  gst_caps_unref(raw);
  return takes;
}

// Makes an element of `factory` and opens it; null when it does not open.
GstElement* Opened(const char* factory) {
  GstElement* element = gst_element_factory_make(factory, nullptr);
  if (element == nullptr) return nullptr;
  gst_object_ref_sink(element);
  // A bus of its own takes what the element posts while it is alone.
  GstBus* bus = gst_bus_new();
  gst_element_set_bus(element, bus);
  const bool opened = gst_element_set_state(element, GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
  if (!opened) gst_element_set_state(element, GST_STATE_NULL);
  gst_element_set_bus(element, nullptr);
  gst_object_unref(bus);
  if (opened) return element;
  gst_object_unref(element);
  return nullptr;
}

}  // namespace

std::string ProbeAudioDevice() {
  GList* sinks = gst_registry_feature_filter(gst_registry_get(), IsAudioSink, FALSE, nullptr);
  sinks = g_list_sort(sinks, GCompareFunc(gst_plugin_feature_rank_compare_func));
  std::string found;
  for (GList* s = sinks; s && found.empty(); s = s->next) {
    auto* factory = GST_ELEMENT_FACTORY(s->data);
    if (!TakesRawAudio(factory)) continue;
    const char* name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
    if (GstElement* element = Opened(name)) {
      found = name;
      gst_element_set_state(element, GST_STATE_NULL);  // nothing stays open
      gst_object_unref(element);
    }
  }
  gst_plugin_feature_list_free(sinks);
  return found;
}

GstElement* MakeOutputSink(const std::string& factory) {
  if (factory.empty()) {
    GstElement* silent = gst_element_factory_make("fakesink", nullptr);
    if (silent != nullptr) g_object_set(silent, "sync", TRUE, nullptr);
    return silent;
  }
  GstElement* element = Opened(factory.c_str());
  // Handed over as a new element would be: the caller sinks the reference.
  if (element != nullptr) g_object_force_floating(G_OBJECT(element));
  return element;
}

AudioOutput& DefaultAudioOutput() {
  static AudioOutput output(ProbeAudioDevice, MonotonicMs);
  return output;
}

}  // namespace dorvem::mci
