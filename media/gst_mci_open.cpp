// Opening and closing devices of the GStreamer layer: choosing the device
// for a file, checking the file, and starting and finishing its pipeline.
#include <gst/gst.h>

#include <QByteArray>
#include <array>
#include <mutex>

#include "media/file_probe.h"
#include "media/gst_mci.h"
#include "media/mci_errors.h"
#include "media/mci_notify.h"

namespace dorvem::mci {

namespace {

struct DeviceName {
  const char* name;
  MediaKind kind;  // kUnknown: a known type this layer does not offer
};

constexpr std::array<DeviceName, 13> kDeviceNames{{
    {"WaveAudio", MediaKind::kWave},
    {"MPEGAudio", MediaKind::kMpegAudio},
    {"Sequencer", MediaKind::kMidi},
    {"AVIVideo", MediaKind::kUnknown},
    {"CDAudio", MediaKind::kUnknown},
    {"DAT", MediaKind::kUnknown},
    {"DigitalVideo", MediaKind::kUnknown},
    {"MMMovie", MediaKind::kUnknown},
    {"Other", MediaKind::kUnknown},
    {"Overlay", MediaKind::kUnknown},
    {"Scanner", MediaKind::kUnknown},
    {"VCR", MediaKind::kUnknown},
    {"Videodisc", MediaKind::kUnknown},
}};

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

// Whether the decoders a kind needs are installed; asked once per kind.
bool DecoderInstalled(MediaKind kind) {
  static std::once_flag once;
  static std::array<bool, 4> installed{};
  std::call_once(once, [] {
    installed[int(MediaKind::kWave)] = SomethingTakes("audio/x-wav");
    installed[int(MediaKind::kMpegAudio)] = SomethingTakes("audio/mpeg, mpegversion=(int)1");
    installed[int(MediaKind::kMidi)] =
        SomethingTakes("audio/midi") && SomethingTakes("audio/x-midi-event");
  });
  return installed[int(kind)];
}

}  // namespace

GstMci::GstMci(AudioSinkFactory sinks) : sinks_(std::move(sinks)) {
  static const bool initialised = gst_init_check(nullptr, nullptr, nullptr);
  gstReady_ = initialised;
}

GstMci::~GstMci() {
  for (auto& [id, device] : devices_) {
    std::shared_ptr<GstPlayback> playback = device.playback;
    worker_.Post([playback] { playback->Finish(); });
  }
  worker_.Drain();
}

MCIERROR GstMci::Open(std::uint32_t flags, MciRecord& record) {
  auto* open = std::get_if<MCI_OPEN_PARMS>(&record);
  if (open == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;

  std::optional<MediaKind> named;
  if (flags & MCI_OPEN_TYPE) {
    for (const DeviceName& d : kDeviceNames)
      if (QByteArray(d.name).compare(open->deviceType.c_str(), Qt::CaseInsensitive) == 0)
        named = d.kind;
    if (!named) return MCIERR_INVALID_DEVICE_NAME;
    if (*named == MediaKind::kUnknown) return MCIERR_DEVICE_NOT_INSTALLED;
  }
  if (!(flags & MCI_OPEN_ELEMENT))
    return named ? MCIERR_FILENAME_REQUIRED : MCIERR_MISSING_PARAMETER;
  if (open->elementName.empty()) return MCIERR_FILENAME_REQUIRED;

  const FileProbe probe = ProbeMediaFileFor(open->elementName, named);
  if (probe.error != 0) return probe.error;
  if (!gstReady_ || !DecoderInstalled(probe.kind)) return MCIERR_CANNOT_LOAD_DRIVER;

  const MCIDEVICEID id = FreeId();
  if (id == 0) return MCIERR_INTERNAL;
  Device& device = devices_[id];
  device.id = id;
  device.instance = nextInstance_++;
  device.kind = probe.kind;
  device.lengthMs = probe.lengthMs;
  // Reports arrive on GStreamer's threads; they are handed to the event
  // thread, where a report for a device closed meanwhile finds nothing.
  const std::uint64_t instance = device.instance;
  device.playback = std::make_shared<GstPlayback>(
      open->elementName, sinks_, [this, instance](GstPlayback::Event event, std::uint64_t serial) {
        QMetaObject::invokeMethod(
            this, [this, instance, event, serial] { OnPipelineEvent(instance, event, serial); },
            Qt::QueuedConnection);
      });
  std::shared_ptr<GstPlayback> playback = device.playback;
  worker_.Post([playback] { playback->Start(); });

  open->deviceId = id;
  if (flags & MCI_NOTIFY) PostNotice(open->callback, id, MCI_NOTIFY_SUCCESSFUL);
  return 0;
}

MCIERROR GstMci::Close(Device& device) {
  ResolvePending(device, MCI_NOTIFY_ABORTED);
  std::shared_ptr<GstPlayback> playback = std::move(device.playback);
  worker_.Post([playback] { playback->Finish(); });
  devices_.erase(device.id);
  return 0;
}

MCIDEVICEID GstMci::FreeId() const {
  MCIDEVICEID id = 1;
  for (const auto& [used, device] : devices_) {
    if (used != id) break;
    if (id == 0xFFFF) return 0;
    ++id;
  }
  return id;
}

}  // namespace dorvem::mci
