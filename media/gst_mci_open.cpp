// Opening and closing devices of the GStreamer layer: choosing the device
// for a file, checking the file, and starting and finishing its pipeline.
#include <QByteArray>
#include <algorithm>
#include <array>

#include "media/gst_mci.h"
#include "media/gst_runtime.h"
#include "media/mci_notify.h"
#include "media/monotonic_clock.h"
#include "media/probe/file_probe.h"
#include "media/probe/mci_errors.h"
#include "media/return_freed_memory.h"

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

}  // namespace

GstMci::GstMci(AudioSinkFactory sinks, AudioOutput* output, std::function<std::int64_t()> clock)
    : sinks_(std::move(sinks)),
      output_(output),
      clock_(std::move(clock)),
      pool_(GstPlayback::ReleasePipeline, clock_),
      sounds_(clock_),
      batch_([this](PipelineBatch::Work work) { worker_.Post(std::move(work)); },
             [this] {
               QMetaObject::invokeMethod(
                   this, [this] { batch_.Flush(); }, Qt::QueuedConnection);
             }) {
  // GStreamer gets ready on a thread of its own; the first open waits for
  // what is left of that.
  StartGstRuntime();
  keptCheck_.setSingleShot(true);
  keptCheck_.setInterval(int(std::min(PipelinePool::kIdleMs, kIdleMs) / 2));
  connect(&keptCheck_, &QTimer::timeout, this, [this] {
    ReleaseIdle();
    bool built = pool_.Size() > 0 || sounds_.Size() > 0;
    for (const auto& [id, device] : devices_) built = built || !device.suspended;
    if (built) keptCheck_.start();
  });
}

std::size_t GstMci::BuiltPipelines() const {
  std::size_t built = 0;
  for (const auto& [id, device] : devices_) built += device.playback->HasPipeline() ? 1 : 0;
  return built;
}

void GstMci::ReleaseIdle() {
  const std::int64_t now = clock_();
  for (auto& [id, device] : devices_) {
    if (device.suspended || device.mode == Mode::kPlaying || device.mode == Mode::kFailed ||
        now - device.lastUseMs < kIdleMs)
      continue;
    device.suspended = true;
    std::shared_ptr<GstPlayback> playback = device.playback;
    batch_.Add(device.instance, [playback, at = device.positionMs] { playback->Suspend(at); });
  }
  batch_.Flush();
  worker_.Post([this] {
    pool_.Expire();
    sounds_.Expire();
    ReturnFreedMemory();
  });
}

GstMci::~GstMci() {
  for (auto& [id, device] : devices_) FinishPipeline(device);
  batch_.Flush();
  worker_.Post([this] {
    pool_.Clear();
    sounds_.Clear();
  });
  WaitForPipelines();
}

void GstMci::WatchKeptPipelines() {
  // Started before the worker has kept what it is about to keep; it goes
  // on while anything is kept or built, so a pipeline is released between
  // its idle time and half as much again after it.
  if (!keptCheck_.isActive()) keptCheck_.start();
}

void GstMci::Prepare(const std::string& file) {
  worker_.Post([this, file] {
    if (!GstReady()) return;
    const FileProbe probe = ProbeMediaFileFor(file, std::nullopt);
    // A MIDI file's pipeline is never kept (it holds the sound font).
    if (probe.error != 0 || probe.kind == MediaKind::kMidi || !DecoderInstalled(probe.kind)) return;
    const auto ignored = [](GstPlayback::Event, std::uint64_t) {};
    GstPlayback(file, sinks_, output_, &pool_, ignored, &sounds_).Prepare();
  });
  WatchKeptPipelines();
}

void GstMci::WaitForPipelines() {
  batch_.Flush();
  worker_.Drain();
}

void GstMci::FinishPipeline(Device& device) {
  // A pipeline whose start is still held back was never built.
  if (batch_.DropUnstarted(device.instance)) return;
  std::shared_ptr<GstPlayback> playback = std::move(device.playback);
  batch_.Add(device.instance, [playback] { playback->Finish(); });
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
  if (!GstReady() || !DecoderInstalled(probe.kind)) return MCIERR_CANNOT_LOAD_DRIVER;

  const MCIDEVICEID id = FreeId();
  if (id == 0) return MCIERR_INTERNAL;
  Device& device = devices_[id];
  device.id = id;
  device.instance = nextInstance_++;
  device.kind = probe.kind;
  device.lengthMs = probe.lengthMs;
  device.lastUseMs = clock_();
  // Reports arrive on GStreamer's threads; they are handed to the event
  // thread, where a report for a device closed meanwhile finds nothing.
  const std::uint64_t instance = device.instance;
  device.playback = std::make_shared<GstPlayback>(
      open->elementName, sinks_, output_, probe.kind == MediaKind::kMidi ? nullptr : &pool_,
      [this, instance](GstPlayback::Event event, std::uint64_t serial) {
        QMetaObject::invokeMethod(
            this, [this, instance, event, serial] { OnPipelineEvent(instance, event, serial); },
            Qt::QueuedConnection);
      },
      probe.kind == MediaKind::kMidi ? nullptr : &sounds_);
  std::shared_ptr<GstPlayback> playback = device.playback;
  batch_.AddStart(device.instance, [playback] { playback->Start(); });

  open->deviceId = id;
  if (flags & MCI_NOTIFY) PostNotice(open->callback, id, MCI_NOTIFY_SUCCESSFUL);
  WatchKeptPipelines();
  return 0;
}

MCIERROR GstMci::Close(Device& device) {
  ResolvePending(device, MCI_NOTIFY_ABORTED);
  FinishPipeline(device);
  devices_.erase(device.id);
  WatchKeptPipelines();
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
