#include "media/decoded_sounds.h"

#include <gst/gst.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "media/thread_per_task_pool.h"

namespace dorvem::mci {

namespace {

// How long a decode may take before it is given up.
constexpr GstClockTime kDecodeLimit = 10 * GST_SECOND;
// How long one wait for the next decoded piece lasts before the bus is
// looked at for an error.
constexpr GstClockTime kPullWait = 100 * GST_MSECOND;

// What a playbin fed from a decoded sound needs while it lives.
struct Feed {
  explicit Feed(std::shared_ptr<const DecodedSound> s) : sound(std::move(s)) {}
  std::shared_ptr<const DecodedSound> sound;
  std::mutex mutex;
  std::size_t offset = 0;  // the next byte to push; guarded by mutex
};

void OnNeedData(GstElement* source, guint /*length*/, gpointer data) {
  auto* feed = static_cast<Feed*>(data);
  GstBuffer* piece = nullptr;
  {
    std::lock_guard lock(feed->mutex);
    const DecodedSound& sound = *feed->sound;
    const std::size_t chunk =
        std::size_t(sound.Rate()) * sound.FrameBytes() * DecodedSounds::kChunkMs / 1000;
    piece = sound.Piece(feed->offset, std::max<std::size_t>(chunk, sound.FrameBytes()));
    if (piece != nullptr) feed->offset += gst_buffer_get_size(piece);
  }
  GstFlowReturn flow = GST_FLOW_OK;
  if (piece == nullptr) {
    g_signal_emit_by_name(source, "end-of-stream", &flow);
    return;
  }
  g_signal_emit_by_name(source, "push-buffer", piece, &flow);
  gst_buffer_unref(piece);
}

gboolean OnSeekData(GstElement* /*source*/, guint64 time, gpointer data) {
  auto* feed = static_cast<Feed*>(data);
  std::lock_guard lock(feed->mutex);
  const DecodedSound& sound = *feed->sound;
  const std::size_t frame = std::size_t(gst_util_uint64_scale(time, sound.Rate(), GST_SECOND));
  feed->offset = std::min(frame * sound.FrameBytes(), sound.Bytes());
  return TRUE;
}

// The bytes one sample of the raw audio format `name` takes ("S16LE": 2,
// "S24_32LE": 4, "F64LE": 8); 0 for a name not of that form.
std::uint32_t SampleBytes(const char* name) {
  if (name == nullptr || std::strchr("SUF", name[0]) == nullptr) return 0;
  if (std::strstr(name, "_32") != nullptr) return 4;
  const int bits = std::atoi(name + 1);
  return bits > 0 && bits <= 64 ? std::uint32_t(bits + 7) / 8 : 0;
}

// Whether an error is on `bus` (taken off it).
bool HasError(GstBus* bus) {
  GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
  if (message == nullptr) return false;
  gst_message_unref(message);
  return true;
}

}  // namespace

DecodedSound::DecodedSound(GstCaps* caps, GstBuffer* pcm, std::uint32_t rate,
                           std::uint32_t frameBytes)
    : caps_(caps),
      pcm_(pcm),
      bytes_(gst_buffer_get_size(pcm)),
      rate_(rate),
      frameBytes_(frameBytes) {}

DecodedSound::~DecodedSound() {
  gst_caps_unref(caps_);
  gst_buffer_unref(pcm_);
}

GstBuffer* DecodedSound::Piece(std::size_t offset, std::size_t maxBytes) const {
  offset -= offset % frameBytes_;
  if (offset >= bytes_) return nullptr;
  std::size_t size = std::min(maxBytes, bytes_ - offset);
  size -= size % frameBytes_;
  if (size == 0) return nullptr;
  GstBuffer* piece = gst_buffer_copy_region(pcm_, GST_BUFFER_COPY_MEMORY, offset, size);
  const std::uint64_t frame = offset / frameBytes_;
  const std::uint64_t frames = size / frameBytes_;
  GST_BUFFER_PTS(piece) = gst_util_uint64_scale(frame, GST_SECOND, rate_);
  GST_BUFFER_DURATION(piece) =
      gst_util_uint64_scale(frame + frames, GST_SECOND, rate_) - GST_BUFFER_PTS(piece);
  GST_BUFFER_OFFSET(piece) = frame;
  GST_BUFFER_OFFSET_END(piece) = frame + frames;
  return piece;
}

DecodedSounds::DecodedSounds(Clock clock, Decoder decoder)
    : clock_(std::move(clock)), decoder_(decoder ? std::move(decoder) : Decoder(Decode)) {}

std::shared_ptr<const DecodedSound> DecodedSounds::Get(const std::string& path,
                                                       const FileIdentity& file) {
  {
    std::lock_guard lock(mutex_);
    const auto hit = std::find_if(held_.begin(), held_.end(),
                                  [&](const Held& h) { return h.path == path && h.file == file; });
    if (hit != held_.end()) {
      Held used = *hit;
      used.usedAtMs = clock_();
      held_.erase(hit);
      held_.push_back(used);  // the most recently used last
      return used.sound;
    }
    // A sound of the file as it was is of no more use.
    std::erase_if(held_, [&path](const Held& h) { return h.path == path; });
  }
  if (file.size < 0 || std::size_t(file.size) > kMaxFileBytes) return nullptr;
  // Decoded outside the lock: other files' sounds stay at hand meanwhile.
  std::shared_ptr<const DecodedSound> sound = decoder_(path, kMaxSoundBytes);
  if (sound == nullptr) return nullptr;
  std::lock_guard lock(mutex_);
  held_.push_back({path, file, sound, clock_()});
  std::size_t bytes = 0;
  for (const Held& h : held_) bytes += h.sound->Bytes();
  while (held_.size() > kCapacity || bytes > kMaxBytes) {
    bytes -= held_.front().sound->Bytes();
    held_.erase(held_.begin());
  }
  return sound;
}

void DecodedSounds::Expire() {
  std::lock_guard lock(mutex_);
  const std::int64_t now = clock_();
  std::erase_if(held_, [now](const Held& h) { return now - h.usedAtMs >= kIdleMs; });
}

void DecodedSounds::Clear() {
  std::lock_guard lock(mutex_);
  held_.clear();
}

std::size_t DecodedSounds::Size() const {
  std::lock_guard lock(mutex_);
  return held_.size();
}

std::size_t DecodedSounds::HeldBytes() const {
  std::lock_guard lock(mutex_);
  std::size_t bytes = 0;
  for (const Held& h : held_) bytes += h.sound->Bytes();
  return bytes;
}

std::shared_ptr<const DecodedSound> DecodedSounds::Decode(const std::string& path,
                                                          std::size_t maxBytes) {
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  if (uri == nullptr) return nullptr;
  GstElement* pipeline = gst_element_factory_make("playbin", nullptr);
  GstElement* sink = gst_element_factory_make("appsink", nullptr);
  if (pipeline == nullptr || sink == nullptr) {
    g_free(uri);
    if (pipeline) gst_object_unref(gst_object_ref_sink(pipeline));
    if (sink) gst_object_unref(gst_object_ref_sink(sink));
    return nullptr;
  }
  // Interleaved raw audio as the decoder gives it, as fast as it comes.
  GstCaps* wanted = gst_caps_from_string("audio/x-raw, layout=(string)interleaved");
  g_object_set(sink, "caps", wanted, "sync", FALSE, nullptr);
  gst_caps_unref(wanted);
  g_object_set(pipeline, "uri", uri, "audio-sink", sink, nullptr);
  g_free(uri);
  GstBus* bus = gst_element_get_bus(pipeline);
  // Its threads end with it.
  GstTaskPool* threads = NewThreadPerTaskPool();
  UseTaskPool(pipeline, threads);

  std::vector<std::uint8_t> pcm;
  GstCaps* caps = nullptr;
  bool ok = gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
  for (GstClockTime waited = 0; ok;) {
    GstSample* sample = nullptr;
    g_signal_emit_by_name(sink, "try-pull-sample", kPullWait, &sample);
    if (sample == nullptr) {
      gboolean eos = FALSE;
      g_object_get(sink, "eos", &eos, nullptr);
      if (eos) break;
      waited += kPullWait;
      ok = !HasError(bus) && waited < kDecodeLimit;
      continue;
    }
    GstCaps* sampleCaps = gst_sample_get_caps(sample);
    if (caps == nullptr && sampleCaps != nullptr) caps = gst_caps_ref(sampleCaps);
    // One format throughout: a sound that changes it midway is played from
    // its file.
    ok = caps != nullptr && sampleCaps != nullptr && gst_caps_is_equal(caps, sampleCaps);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (ok && buffer != nullptr && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
      ok = pcm.size() + map.size <= maxBytes;
      if (ok) pcm.insert(pcm.end(), map.data, map.data + map.size);
      gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
  }
  ok = ok && !HasError(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(bus);
  gst_object_unref(pipeline);
  gst_object_unref(threads);

  GstStructure* format = caps ? gst_caps_get_structure(caps, 0) : nullptr;
  gint rate = 0, channels = 0;
  const gchar* name = format ? gst_structure_get_string(format, "format") : nullptr;
  const std::uint32_t sampleBytes = SampleBytes(name);
  if (!ok || format == nullptr || !gst_structure_get_int(format, "rate", &rate) ||
      !gst_structure_get_int(format, "channels", &channels) || rate <= 0 || channels <= 0 ||
      sampleBytes == 0 || pcm.empty()) {
    if (caps) gst_caps_unref(caps);
    return nullptr;
  }
  const std::uint32_t frameBytes = std::uint32_t(channels) * sampleBytes;
  pcm.resize(pcm.size() - pcm.size() % frameBytes);
  GstBuffer* buffer = gst_buffer_new_memdup(pcm.data(), pcm.size());
  return std::make_shared<DecodedSound>(caps, buffer, std::uint32_t(rate), frameBytes);
}

GstElement* MakeDecodedSource(std::shared_ptr<const DecodedSound> sound) {
  GstElement* source = gst_element_factory_make("appsrc", nullptr);
  if (source == nullptr) return nullptr;
  auto* feed = new Feed(std::move(sound));
  // The feed lives as long as the source: a kept pipeline takes it along.
  g_object_set_data_full(G_OBJECT(source), "dorvem-decoded-feed", feed,
                         [](gpointer data) { delete static_cast<Feed*>(data); });
  // Seeks reach OnSeekData with the time to go on from.
  g_object_set(source, "caps", feed->sound->Caps(), "format", GST_FORMAT_TIME, "stream-type",
               1 /* seekable */, nullptr);
  g_signal_connect(source, "need-data", G_CALLBACK(OnNeedData), feed);
  g_signal_connect(source, "seek-data", G_CALLBACK(OnSeekData), feed);
  return source;
}

void RestartDecodedSource(GstElement* source) {
  auto* feed = static_cast<Feed*>(g_object_get_data(G_OBJECT(source), "dorvem-decoded-feed"));
  if (feed == nullptr) return;
  std::lock_guard lock(feed->mutex);
  feed->offset = 0;
}

}  // namespace dorvem::mci
