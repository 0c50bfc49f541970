#include "media/gst_playback.h"

#include <gst/gst.h>

#include <cstring>

#include "media/audio_sinks.h"

namespace dorvem::mci {

namespace {

constexpr GstClockTime kPrerollLimit = 10 * GST_SECOND;
// How many device choices one pipeline tries before it takes the silent
// sink.
constexpr int kDeviceTries = 3;

void OnElementSetup(GstElement* /*playbin*/, GstElement* element, gpointer /*data*/) {
  GstElementFactory* factory = gst_element_get_factory(element);
  if (factory == nullptr) return;
  if (std::strcmp(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fluiddec") == 0 &&
      g_file_test(GstPlayback::kSoundFont, G_FILE_TEST_IS_REGULAR))
    g_object_set(element, "soundfont", GstPlayback::kSoundFont, nullptr);
}

// The names of a decoded sound's pipeline's source and first converter.
constexpr char kSourceName[] = "dorvem-decoded-source";
constexpr char kConvertName[] = "dorvem-decoded-convert";

GstClockTime Nanos(std::uint32_t ms) {
  return GstClockTime(ms) * GST_MSECOND;
}

}  // namespace

GstPlayback::GstPlayback(std::string path, AudioSinkFactory sinks, AudioOutput* output,
                         PipelinePool* pool, EventHandler onEvent, DecodedSounds* sounds)
    : path_(std::move(path)),
      sinks_(std::move(sinks)),
      output_(output),
      pool_(sinks_ ? nullptr : pool),
      sounds_(sounds),
      onEvent_(std::move(onEvent)) {}

GstPlayback::~GstPlayback() {
  Finish();
}

AudioOutput& GstPlayback::Output() {
  return output_ != nullptr ? *output_ : DefaultAudioOutput();
}

GstElement* GstPlayback::OutputSink(std::string& factory) {
  AudioOutput& output = Output();
  for (int tries = 0; tries < kDeviceTries && !factory.empty(); ++tries) {
    if (GstElement* sink = MakeOutputSink(factory)) return sink;
    output.DeviceFailed(factory);
    factory = output.Choose();
  }
  factory.clear();
  return MakeOutputSink({});
}

GstElement* GstPlayback::BuildPipeline(GstElement* sink,
                                       std::shared_ptr<const DecodedSound> sound) {
  if (sound != nullptr && sink != nullptr) return BuildDecodedPipeline(sink, std::move(sound));
  GstElement* pipeline = gst_element_factory_make("playbin", nullptr);
  gchar* uri = pipeline ? gst_filename_to_uri(path_.c_str(), nullptr) : nullptr;
  if (uri == nullptr) {
    if (pipeline) gst_object_unref(pipeline);
    if (sink) gst_object_unref(gst_object_ref_sink(sink));
    return nullptr;
  }
  g_object_set(pipeline, "uri", uri, nullptr);
  g_free(uri);
  if (sink != nullptr) g_object_set(pipeline, "audio-sink", sink, nullptr);
  g_signal_connect(pipeline, "element-setup", G_CALLBACK(OnElementSetup), nullptr);
  return pipeline;
}

GstElement* GstPlayback::BuildDecodedPipeline(GstElement* sink,
                                              std::shared_ptr<const DecodedSound> sound) {
  GstElement* elements[] = {MakeDecodedSource(std::move(sound)),
                            gst_element_factory_make("audioconvert", kConvertName),
                            gst_element_factory_make("audioresample", nullptr), sink};
  GstElement* pipeline = gst_pipeline_new(nullptr);
  bool made = pipeline != nullptr;
  for (GstElement* element : elements) made = made && element != nullptr;
  if (!made) {
    for (GstElement* element : elements)
      if (element) gst_object_unref(gst_object_ref_sink(element));
    if (pipeline) gst_object_unref(pipeline);
    return nullptr;
  }
  g_object_set(elements[0], "name", kSourceName, nullptr);
  for (GstElement* element : elements) gst_bin_add(GST_BIN(pipeline), element);
  if (!gst_element_link_many(elements[0], elements[1], elements[2], elements[3], nullptr)) {
    gst_object_unref(pipeline);
    return nullptr;
  }
  return pipeline;
}

void GstPlayback::Attach(GstElement* pipeline) {
  // The end and errors are looked at where they are posted. Messages stay
  // on the bus (nobody pops it; dropping them here keeps the pipeline
  // alive after its tear-down) until Finish flushes it.
  GstBus* bus = gst_element_get_bus(pipeline);
  gst_bus_set_flushing(bus, FALSE);  // a kept pipeline's bus was flushing
  gst_bus_set_sync_handler(
      bus,
      [](GstBus*, GstMessage* message, gpointer data) {
        auto* self = static_cast<GstPlayback*>(data);
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
          self->onEvent_(Event::kEndOfStream, self->serial_);
        } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
          self->failed_ = true;
          self->onEvent_(Event::kError, self->serial_);
        }
        return GST_BUS_PASS;
      },
      this, nullptr);
  gst_object_unref(bus);
}

void GstPlayback::Start() {
  GstElement* sink = sinks_ ? sinks_() : nullptr;
  GstElement* pipeline = nullptr;
  const std::optional<FileIdentity> file =
      pool_ || sounds_ ? FileIdentity::Of(path_) : std::nullopt;
  if (sink == nullptr) {
    std::string factory = Output().Choose();
    if (file && pool_) pipeline = pool_->Take({path_, *file, factory});
    // The sink actually made may be a later choice than `factory`.
    if (pipeline == nullptr) sink = OutputSink(factory);
    if (file && pool_) key_ = PipelineKey{path_, *file, factory};
  }
  std::shared_ptr<const DecodedSound> sound;
  if (pipeline == nullptr && file && sounds_ != nullptr) sound = sounds_->Get(path_, *file);
  if (pipeline == nullptr) pipeline = BuildPipeline(sink, std::move(sound));
  if (pipeline == nullptr) {
    key_.reset();
    onEvent_(Event::kError, serial_);
    return;
  }
  Attach(pipeline);
  {
    std::lock_guard lock(mutex_);
    pipeline_ = pipeline;
  }
  if (gst_element_set_state(pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
    failed_ = true;
    onEvent_(Event::kError, serial_);
  }
}

void GstPlayback::WaitForPreroll() const {
  gst_element_get_state(pipeline_, nullptr, nullptr, kPrerollLimit);
}

void GstPlayback::Play(std::uint64_t serial, std::optional<std::uint32_t> fromMs,
                       std::optional<std::uint32_t> toMs, double rate) {
  if (suspendedAtMs_) {
    // Built again where it stood, as a new pipeline: at the normal rate,
    // without the tempo filter. An error of the build is this play's.
    const std::uint32_t at = *suspendedAtMs_;
    suspendedAtMs_.reset();
    serial_ = serial;
    tempoFilter_ = false;
    rate_ = 1.0;
    Start();
    if (pipeline_ != nullptr && !fromMs) Seek(at);
  }
  if (pipeline_ == nullptr) return;
  serial_ = serial;
  // A play with limits of its own, or after one, or at another rate sets
  // the segment anew; otherwise the pipeline goes on from where it was
  // paused.
  const bool newSegment = fromMs || toMs || bounded_ || rate != rate_;
  gint64 start = fromMs ? gint64(Nanos(*fromMs)) : 0;
  if (newSegment) {
    WaitForPreroll();
    if (!fromMs && !gst_element_query_position(pipeline_, GST_FORMAT_TIME, &start)) start = 0;
  }
  if (rate != 1.0 && !tempoFilter_) AddTempoFilter();
  if (newSegment) {
    gst_element_seek(pipeline_, rate, GST_FORMAT_TIME,
                     GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET,
                     start, GST_SEEK_TYPE_SET,
                     toMs ? gint64(Nanos(*toMs)) : gint64(GST_CLOCK_TIME_NONE));
    bounded_ = toMs.has_value();
    rate_ = rate;
  }
  if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
    onEvent_(Event::kError, serial);
}

void GstPlayback::AddTempoFilter() {
  tempoFilter_ = true;
  key_.reset();  // a slowed pipeline is not one a normal play may take
  gst_element_set_state(pipeline_, GST_STATE_NULL);
  // Without the filter (plugins-good missing) the rate changes the pitch
  // too, but the play still happens.
  if (GstElement* filter = gst_element_factory_make("scaletempo", nullptr)) {
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline_), kSourceName);
    if (source == nullptr) {
      g_object_set(pipeline_, "audio-filter", filter, nullptr);
    } else {
      const bool linked = InsertFilter(source, filter);
      gst_object_unref(source);
      if (!linked) {
        failed_ = true;
        onEvent_(Event::kError, serial_);
        return;
      }
    }
  }
  if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
    failed_ = true;
    onEvent_(Event::kError, serial_);
    return;
  }
  WaitForPreroll();
}

bool GstPlayback::InsertFilter(GstElement* source, GstElement* filter) {
  GstElement* convert = gst_bin_get_by_name(GST_BIN(pipeline_), kConvertName);
  // The filter takes float samples: a converter of its own comes first.
  GstElement* toFloat = gst_element_factory_make("audioconvert", nullptr);
  bool linked = convert != nullptr && toFloat != nullptr;
  if (linked) {
    gst_element_unlink(source, convert);
    gst_bin_add_many(GST_BIN(pipeline_), toFloat, filter, nullptr);
    linked = gst_element_link_many(source, toFloat, filter, convert, nullptr);
    RestartDecodedSource(source);
  } else {
    if (toFloat) gst_object_unref(gst_object_ref_sink(toFloat));
    gst_object_unref(gst_object_ref_sink(filter));
  }
  if (convert) gst_object_unref(convert);
  return linked;
}

void GstPlayback::Pause() {
  if (pipeline_ != nullptr) gst_element_set_state(pipeline_, GST_STATE_PAUSED);
}

void GstPlayback::Seek(std::uint32_t ms) {
  if (suspendedAtMs_) suspendedAtMs_ = ms;
  if (pipeline_ == nullptr) return;
  gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  WaitForPreroll();
  gst_element_seek_simple(pipeline_, GST_FORMAT_TIME,
                          GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), Nanos(ms));
  bounded_ = false;
}

void GstPlayback::Finish() {
  GstElement* pipeline = nullptr;
  {
    std::lock_guard lock(mutex_);
    std::swap(pipeline, pipeline_);
  }
  if (pipeline == nullptr) return;
  GstBus* bus = gst_element_get_bus(pipeline);
  gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
  gst_bus_set_flushing(bus, TRUE);  // drops what is queued and what comes
  gst_object_unref(bus);
  if (key_ && !failed_ && Rewind(pipeline))
    pool_->Keep(*key_, pipeline);
  else
    ReleasePipeline(pipeline);
  key_.reset();
}

void GstPlayback::Suspend(std::uint32_t atMs) {
  if (pipeline_ == nullptr || failed_) return;
  // Freed, not kept: what is kept for reuse is rewound to the start, and a
  // suspended device is idle because nobody plays it.
  key_.reset();
  Finish();
  suspendedAtMs_ = atMs;
}

void GstPlayback::Prepare() {
  if (pool_ == nullptr) return;
  // Finish keeps the pipeline once it has prerolled (Rewind waits for
  // that), and frees one that does not get there.
  Start();
  Finish();
}

bool GstPlayback::Rewind(GstElement* pipeline) {
  if (gst_element_set_state(pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) return false;
  // A pipeline still prerolling cannot seek yet; one that never gets there
  // is not worth keeping.
  if (gst_element_get_state(pipeline, nullptr, nullptr, kPrerollLimit) != GST_STATE_CHANGE_SUCCESS)
    return false;
  return gst_element_seek(pipeline, 1.0, GST_FORMAT_TIME,
                          GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                          GST_SEEK_TYPE_SET, 0, GST_SEEK_TYPE_SET, gint64(GST_CLOCK_TIME_NONE));
}

void GstPlayback::ReleasePipeline(GstElement* pipeline) {
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
}

bool GstPlayback::HasPipeline() const {
  std::lock_guard lock(mutex_);
  return pipeline_ != nullptr;
}

std::optional<std::uint32_t> GstPlayback::PositionMs() const {
  GstElement* pipeline = nullptr;
  {
    std::lock_guard lock(mutex_);
    if (pipeline_ == nullptr) return std::nullopt;
    pipeline = GST_ELEMENT(gst_object_ref(pipeline_));
  }
  gint64 position = 0;
  const bool known = gst_element_query_position(pipeline, GST_FORMAT_TIME, &position);
  gst_object_unref(pipeline);
  if (!known || position < 0) return std::nullopt;
  return static_cast<std::uint32_t>(position / GST_MSECOND);
}

}  // namespace dorvem::mci
