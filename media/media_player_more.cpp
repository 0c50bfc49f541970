// TMediaPlayer: the operations the window does not use - pause and resume,
// tracks, stepping, recording, eject, rewind, the queries, the time format
// and the display window.
#include "media/media_player.h"

namespace dorvem {

using namespace mci;

std::uint32_t TMediaPlayer::Query(std::uint32_t item, bool checkOpen) {
  if (checkOpen) CheckIfOpen();
  MciRecord record = MCI_STATUS_PARMS{this, 0, item, 0};
  error_ = Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, record);
  return std::get<MCI_STATUS_PARMS>(record).returnValue;
}

std::uint32_t TMediaPlayer::Length() {
  return Query(MCI_STATUS_LENGTH, true);
}

std::uint32_t TMediaPlayer::Position() {
  return Query(MCI_STATUS_POSITION, false);
}

std::uint32_t TMediaPlayer::Tracks() {
  return Query(MCI_STATUS_NUMBER_OF_TRACKS, true);
}

TMPTimeFormats TMediaPlayer::TimeFormat() {
  return Query(MCI_STATUS_TIME_FORMAT, true);
}

TMPModes TMediaPlayer::Mode() {
  const std::uint32_t code = Query(MCI_STATUS_MODE, false);
  // A failed query leaves no mode code: not ready.
  if (code < MCI_MODE_NOT_READY || code > MCI_MODE_OPEN) return mpNotReady;
  return static_cast<TMPModes>(code - MCI_MODE_NOT_READY);
}

std::uint32_t TMediaPlayer::TrackPosition(std::uint32_t track) {
  MciRecord record = MCI_STATUS_PARMS{this, 0, MCI_STATUS_POSITION, track};
  error_ = Send(MCI_STATUS, MCI_STATUS_ITEM | MCI_TRACK | MCI_WAIT, record);
  return std::get<MCI_STATUS_PARMS>(record).returnValue;
}

void TMediaPlayer::SetTimeFormat(TMPTimeFormats format) {
  MciRecord record = MCI_SET_PARMS{this, format, 0};
  error_ = Send(MCI_SET, MCI_SET_TIME_FORMAT | MCI_NOTIFY, record);
}

void TMediaPlayer::SetSpeed(std::uint32_t speed) {
  if (deviceId_ == 0) return;
  MciRecord record = MCI_SET_PARMS{this, 0, 0, speed};
  error_ = Send(MCI_SET, MCI_DGV_SET_SPEED | MCI_WAIT, record);
}

void TMediaPlayer::Pause() {
  CheckIfOpen();
  const TMPModes mode = Mode();
  if (mode == mpPlaying) {
    MciRecord record = MCI_GENERIC_PARMS{this};
    error_ = Send(MCI_PAUSE, WaitGroupFlags(), record);
  } else if (mode == mpPaused) {
    Resume();
  }
}

void TMediaPlayer::Resume() {
  CheckIfOpen();
  MciRecord record = MCI_GENERIC_PARMS{this};
  error_ = Send(MCI_RESUME, NotifyGroupFlags(/*consume=*/false), record);
  // A device that cannot resume plays instead, which uses the overrides.
  if (error_ != 0)
    Play();
  else
    notifyOverride_.armed = waitOverride_.armed = false;
}

void TMediaPlayer::GoTo(std::uint32_t position) {
  if (Mode() == mpPlaying) {
    SetFrom(position);
    Play();
    return;
  }
  MciRecord record = MCI_SEEK_PARMS{this, position};
  error_ = Send(MCI_SEEK, WaitGroupFlags() | MCI_TO, record);
}

void TMediaPlayer::SeekTo(std::uint32_t end) {
  MciRecord record = MCI_SEEK_PARMS{this, 0};
  error_ = Send(MCI_SEEK, WaitGroupFlags() | end, record);
}

void TMediaPlayer::Next() {
  CheckIfOpen();
  if (TimeFormat() != tfTMSF) return SeekTo(MCI_SEEK_TO_END);
  const std::uint32_t track = MCI_TMSF_TRACK(Position());
  const std::uint32_t tracks = Tracks();
  GoTo(TrackPosition(track < tracks ? track + 1 : tracks));
}

void TMediaPlayer::Previous() {
  CheckIfOpen();
  if (TimeFormat() != tfTMSF) return SeekTo(MCI_SEEK_TO_START);
  const std::uint32_t position = Position();
  const std::uint32_t track = MCI_TMSF_TRACK(position);
  std::uint32_t start = TrackPosition(track);
  // Within the first second of a track: to the one before it.
  if (track > 1 && MCI_TMSF_MINUTE(position) == MCI_TMSF_MINUTE(start) &&
      MCI_TMSF_SECOND(position) == MCI_TMSF_SECOND(start))
    start = TrackPosition(track - 1);
  GoTo(start);
}

void TMediaPlayer::Step() {
  CheckIfOpen();
  if (!caps_.hasVideo) return;
  if (autoRewind_ && Position() == Length()) Rewind();
  MciRecord record = MCI_DGV_STEP_PARMS{this, stepFrames_};
  error_ = Send(MCI_STEP, WaitGroupFlags() | MCI_DGV_STEP_FRAMES, record);
}

void TMediaPlayer::Back() {
  CheckIfOpen();
  if (!caps_.hasVideo) return;
  MciRecord record = MCI_DGV_STEP_PARMS{this, stepFrames_};
  error_ = Send(MCI_STEP, WaitGroupFlags() | MCI_DGV_STEP_FRAMES | MCI_DGV_STEP_REVERSE, record);
}

void TMediaPlayer::StartRecording() {
  CheckIfOpen();
  std::uint32_t flags = NotifyGroupFlags();
  MCI_RECORD_PARMS rec{this, 0, 0};
  if (from_.armed) {
    flags |= MCI_FROM;
    rec.from = from_.value;
    from_.armed = false;
  }
  if (to_.armed) {
    flags |= MCI_TO;
    rec.to = to_.value;
    to_.armed = false;
  }
  MciRecord record = rec;
  error_ = Send(MCI_RECORD, flags, record);
}

void TMediaPlayer::Eject() {
  CheckIfOpen();
  if (!caps_.canEject) return;
  MciRecord record = MCI_SET_PARMS{this, 0, 0};
  error_ = Send(MCI_SET, WaitGroupFlags() | MCI_SET_DOOR_OPEN, record);
}

void TMediaPlayer::Rewind() {
  CheckIfOpen();
  MciRecord record = MCI_SEEK_PARMS{this, 0};
  Send(MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, record);
}

bool TMediaPlayer::SendWindow(QWidget* window) {
  MciRecord record = MCI_DGV_WINDOW_PARMS{this, window};
  error_ = Send(MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, record);
  return error_ == 0;
}

void TMediaPlayer::SetDisplay(QWidget* window) {
  if (window != nullptr && isOpen_ && caps_.hasVideo && !SendWindow(window)) window = nullptr;
  QObject::disconnect(displayConnection_);
  display_ = window;
  if (window != nullptr)
    displayConnection_ = connect(window, &QObject::destroyed, this, [this] { DisplayDestroyed(); });
}

void TMediaPlayer::DisplayDestroyed() {
  if (isOpen_ && caps_.hasVideo) SendWindow(nullptr);
  display_ = nullptr;
}

}  // namespace dorvem
