// The requests of the GStreamer layer on an open device: play, stop, pause,
// resume, seek, the status and capability queries, settings, and the
// pipelines' reports.
#include "media/gst_mci.h"

#include <algorithm>

#include "media/mci_notify.h"
#include "media/probe/mci_errors.h"

namespace dorvem::mci {

MCIERROR GstMci::SendCommand(MCIDEVICEID id, std::uint32_t command, std::uint32_t flags,
                             MciRecord& record) {
  if (command == MCI_OPEN) return Open(flags, record);
  Device* device = Find(id);
  if (device == nullptr) return MCIERR_INVALID_DEVICE_ID;
  device->lastUseMs = clock_();

  // Any request that asks for a notice supersedes the one pending.
  if (flags & MCI_NOTIFY) ResolvePending(*device, MCI_NOTIFY_SUPERSEDED);
  const MciCallback callback = CallbackOf(record);
  MCIERROR result = 0;
  switch (command) {
    case MCI_PLAY:
      return Play(*device, flags, record);  // its notice comes at its end
    case MCI_RESUME:
      return Resume(*device, flags, record);
    case MCI_CLOSE:
      result = Close(*device);
      if (flags & MCI_NOTIFY) PostNotice(callback, id, MCI_NOTIFY_SUCCESSFUL);
      return result;
    case MCI_STOP:
      result = Stop(*device);
      break;
    case MCI_PAUSE:
      result = Pause(*device);
      break;
    case MCI_SEEK:
      result = Seek(*device, flags, record);
      break;
    case MCI_STATUS:
      result = Status(*device, flags, record);
      break;
    case MCI_GETDEVCAPS:
      result = GetDevCaps(*device, flags, record);
      break;
    case MCI_SET:
      result = Set(*device, flags, record);
      break;
    case MCI_STEP:
    case MCI_RECORD:
    case MCI_WINDOW:
    case MCI_WHERE:
      result = MCIERR_UNSUPPORTED_FUNCTION;  // no video, no recording
      break;
    default:
      return MCIERR_UNRECOGNIZED_COMMAND;
  }
  if (result == 0 && (flags & MCI_NOTIFY)) PostNotice(callback, id, MCI_NOTIFY_SUCCESSFUL);
  return result;
}

std::optional<std::string> GstMci::ErrorString(MCIERROR code) {
  return MciErrorText(code);
}

MCIERROR GstMci::Play(Device& device, std::uint32_t flags, MciRecord& record) {
  const auto* play = std::get_if<MCI_PLAY_PARMS>(&record);
  if (play == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
  if (device.mode == Mode::kFailed) return MCIERR_DEVICE_NOT_READY;
  const std::uint32_t from = (flags & MCI_FROM) ? play->from : CurrentPositionMs(device);
  const std::uint32_t to = (flags & MCI_TO) ? play->to : device.lengthMs;
  if (from > device.lengthMs || to > device.lengthMs) return MCIERR_OUTOFRANGE;

  // A play still running ends here; a pending notice was superseded above
  // when this play asks for one.
  ResolvePending(device, MCI_NOTIFY_ABORTED);
  if (from >= to) {
    // Nothing left to play: done at once.
    if (device.mode == Mode::kPlaying) HaltRun(device);
    device.mode = Mode::kStopped;
    device.positionMs = from;
    if (flags & MCI_NOTIFY) PostNotice(play->callback, device.id, MCI_NOTIFY_SUCCESSFUL);
    return 0;
  }
  device.mode = Mode::kPlaying;
  device.suspended = false;  // the play builds a suspended pipeline again
  WatchKeptPipelines();
  device.runStartMs = from;
  device.runEndMs = to;
  device.runSerial = nextSerial_++;
  if (flags & MCI_NOTIFY) {
    device.pendingCallback = play->callback;
    device.pendingSerial = device.runSerial;
  }
  std::optional<std::uint32_t> start, end;
  // A play at another speed starts a new segment: from where the device
  // stands, which the pipeline's own position (that of what it has
  // prerolled) is not.
  if ((flags & MCI_FROM) || device.speed != kNormalSpeed) start = from;
  if (flags & MCI_TO) end = to;
  std::shared_ptr<GstPlayback> playback = device.playback;
  const double rate = device.speed / double(kNormalSpeed);
  batch_.Add(device.instance, [playback, serial = device.runSerial, start, end, rate] {
    playback->Play(serial, start, end, rate);
  });
  return 0;
}

MCIERROR GstMci::Stop(Device& device) {
  HaltRun(device);
  if (device.mode == Mode::kPaused) device.mode = Mode::kStopped;
  return 0;
}

MCIERROR GstMci::Pause(Device& device) {
  if (device.mode != Mode::kPlaying) return 0;
  HaltRun(device);
  device.mode = Mode::kPaused;
  return 0;
}

MCIERROR GstMci::Resume(Device& device, std::uint32_t flags, MciRecord& record) {
  if (device.mode != Mode::kPaused) {
    if (flags & MCI_NOTIFY) PostNotice(CallbackOf(record), device.id, MCI_NOTIFY_SUCCESSFUL);
    return 0;
  }
  MCI_PLAY_PARMS play{CallbackOf(record), 0, 0};
  MciRecord asPlay = play;
  return Play(device, flags & MCI_NOTIFY, asPlay);
}

MCIERROR GstMci::Seek(Device& device, std::uint32_t flags, MciRecord& record) {
  const auto* seek = std::get_if<MCI_SEEK_PARMS>(&record);
  if (seek == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
  std::uint32_t to = 0;
  if (flags & MCI_SEEK_TO_START)
    to = 0;
  else if (flags & MCI_SEEK_TO_END)
    to = device.lengthMs;
  else if (flags & MCI_TO)
    to = seek->to;
  else
    return MCIERR_MISSING_PARAMETER;
  if (to > device.lengthMs) return MCIERR_OUTOFRANGE;
  HaltRun(device);
  if (device.mode == Mode::kPaused) device.mode = Mode::kStopped;
  device.positionMs = to;
  std::shared_ptr<GstPlayback> playback = device.playback;
  batch_.Add(device.instance, [playback, to] { playback->Seek(to); });
  return 0;
}

MCIERROR GstMci::Status(Device& device, std::uint32_t flags, MciRecord& record) {
  auto* status = std::get_if<MCI_STATUS_PARMS>(&record);
  if (status == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
  if (!(flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
  const bool track = (flags & MCI_TRACK) != 0;
  if (track && status->track != 1) return MCIERR_OUTOFRANGE;
  std::uint32_t value = 0;
  switch (status->item) {
    case MCI_STATUS_LENGTH:
      value = device.lengthMs;
      break;
    case MCI_STATUS_POSITION:
      value = track ? 0 : CurrentPositionMs(device);
      break;
    case MCI_STATUS_NUMBER_OF_TRACKS:
    case MCI_STATUS_CURRENT_TRACK:
    case MCI_STATUS_MEDIA_PRESENT:
      value = 1;
      break;
    case MCI_STATUS_MODE:
      switch (device.mode) {
        case Mode::kStopped:
          value = MCI_MODE_STOP;
          break;
        case Mode::kPlaying:
          value = MCI_MODE_PLAY;
          break;
        case Mode::kPaused:
          value = MCI_MODE_PAUSE;
          break;
        case Mode::kFailed:
          value = MCI_MODE_NOT_READY;
          break;
      }
      break;
    case MCI_STATUS_TIME_FORMAT:
      value = device.timeFormat;
      break;
    case MCI_STATUS_READY:
      value = device.mode == Mode::kFailed ? 0 : 1;
      break;
    default:
      return MCIERR_UNSUPPORTED_FUNCTION;
  }
  status->returnValue = value;
  return 0;
}

MCIERROR GstMci::GetDevCaps(const Device& device, std::uint32_t flags, MciRecord& record) const {
  auto* caps = std::get_if<MCI_GETDEVCAPS_PARMS>(&record);
  if (caps == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
  if (!(flags & MCI_GETDEVCAPS_ITEM)) return MCIERR_MISSING_PARAMETER;
  switch (caps->item) {
    case MCI_GETDEVCAPS_CAN_PLAY:
    case MCI_GETDEVCAPS_HAS_AUDIO:
    case MCI_GETDEVCAPS_USES_FILES:
    case MCI_GETDEVCAPS_COMPOUND_DEVICE:
      caps->returnValue = 1;
      return 0;
    case MCI_GETDEVCAPS_CAN_RECORD:
    case MCI_GETDEVCAPS_HAS_VIDEO:
    case MCI_GETDEVCAPS_CAN_EJECT:
    case MCI_GETDEVCAPS_CAN_SAVE:
      caps->returnValue = 0;
      return 0;
    case MCI_GETDEVCAPS_DEVICE_TYPE:
      caps->returnValue = device.kind == MediaKind::kMidi        ? MCI_DEVTYPE_SEQUENCER
                          : device.kind == MediaKind::kMpegAudio ? MCI_DEVTYPE_OTHER
                                                                 : MCI_DEVTYPE_WAVEFORM_AUDIO;
      return 0;
    default:
      return MCIERR_UNSUPPORTED_FUNCTION;
  }
}

MCIERROR GstMci::Set(Device& device, std::uint32_t flags, MciRecord& record) {
  const auto* set = std::get_if<MCI_SET_PARMS>(&record);
  if (set == nullptr) return MCIERR_NULL_PARAMETER_BLOCK;
  if (flags & MCI_SET_DOOR_OPEN) return MCIERR_UNSUPPORTED_FUNCTION;
  const bool speed = (flags & MCI_DGV_SET_SPEED) != 0;
  const bool timeFormat = (flags & MCI_SET_TIME_FORMAT) != 0;
  if (!speed && !timeFormat) return MCIERR_MISSING_PARAMETER;
  if (speed && (set->speed < kMinSpeed || set->speed > kMaxSpeed)) return MCIERR_OUTOFRANGE;
  if (timeFormat && set->timeFormat != MCI_FORMAT_MILLISECONDS) return MCIERR_BAD_TIME_FORMAT;
  if (speed) device.speed = set->speed;
  if (timeFormat) device.timeFormat = set->timeFormat;
  return 0;
}

std::uint32_t GstMci::CurrentPositionMs(const Device& device) const {
  if (device.mode != Mode::kPlaying) return device.positionMs;
  // Until the pipeline has caught up with the play, it stands at the start.
  const std::uint32_t at = device.playback->PositionMs().value_or(device.runStartMs);
  return std::clamp(at, device.runStartMs, device.runEndMs);
}

void GstMci::HaltRun(Device& device) {
  ResolvePending(device, MCI_NOTIFY_ABORTED);
  if (device.mode != Mode::kPlaying) return;
  device.positionMs = CurrentPositionMs(device);
  device.mode = Mode::kStopped;
  std::shared_ptr<GstPlayback> playback = device.playback;
  batch_.Add(device.instance, [playback] { playback->Pause(); });
}

void GstMci::ResolvePending(Device& device, std::uint32_t outcome) {
  if (device.pendingSerial == 0) return;
  device.pendingSerial = 0;
  PostNotice(device.pendingCallback.data(), device.id, outcome);
  device.pendingCallback = nullptr;
}

void GstMci::OnPipelineEvent(std::uint64_t instance, GstPlayback::Event event,
                             std::uint64_t serial) {
  Device* device = nullptr;
  for (auto& [id, d] : devices_)
    if (d.instance == instance) device = &d;
  if (device == nullptr) return;  // closed meanwhile
  if (event == GstPlayback::Event::kError) {
    device->mode = Mode::kFailed;
    ResolvePending(*device, MCI_NOTIFY_FAILURE);
    return;
  }
  // The end of a play that was stopped or replaced meanwhile is not this
  // play's end.
  if (device->mode != Mode::kPlaying || serial != device->runSerial) return;
  device->mode = Mode::kStopped;
  device->positionMs = device->runEndMs;
  device->lastUseMs = clock_();
  if (device->pendingSerial == serial) ResolvePending(*device, MCI_NOTIFY_SUCCESSFUL);
}

GstMci::Device* GstMci::Find(MCIDEVICEID id) {
  const auto it = devices_.find(id);
  return it == devices_.end() ? nullptr : &it->second;
}

}  // namespace dorvem::mci
