// TMediaPlayer: the flag rule, opening and closing, play and stop, the
// error text and the completion notice.
#include "media/media_player.h"

#include <array>

#include "dataset/host/handler_guard.h"
#include "media/default_mci.h"
#include "media/mci_notify.h"

namespace dorvem {

using namespace mci;

namespace {

// The device type names sent with MCI_OPEN, in the order of TMPDeviceTypes.
constexpr std::array<const char*, 13> kDeviceTypeNames{
    "",        "AVIVideo", "CDAudio",   "DAT", "DigitalVideo", "MMMovie",  "Other",
    "Overlay", "Scanner",  "Sequencer", "VCR", "Videodisc",    "WaveAudio"};

constexpr char kNoDeviceOpen[] = "No MCI device open";
constexpr char kUnknownErrorCode[] = "Unknown error code";
constexpr std::size_t kErrorBufferSize = 4096;

}  // namespace

TMediaPlayer::TMediaPlayer(QWidget* parent, MciInterface* mci)
    : QWidget(parent), mci_(mci != nullptr ? mci : &DefaultMci()) {
  // A tab stop like any windowed control, but hidden: the button bar is
  // never shown, so it never takes the focus.
  setFocusPolicy(Qt::TabFocus);
  setVisible(false);
}

TMediaPlayer::~TMediaPlayer() {
  if (deviceId_ != 0) {
    MciRecord record = MCI_GENERIC_PARMS{this};
    mci_->SendCommand(deviceId_, MCI_CLOSE, MCI_WAIT, record);
  }
}

MCIERROR TMediaPlayer::Send(std::uint32_t command, std::uint32_t flags, MciRecord& record) {
  return mci_->SendCommand(deviceId_, command, flags, record);
}

std::uint32_t TMediaPlayer::WaitGroupFlags() {
  std::uint32_t flags = 0;
  if (!waitOverride_.armed || waitOverride_.value) flags |= MCI_WAIT;
  waitOverride_.armed = false;
  if (notifyOverride_.armed && notifyOverride_.value) flags |= MCI_NOTIFY;
  notifyOverride_.armed = false;
  return flags;
}

std::uint32_t TMediaPlayer::NotifyGroupFlags(bool consume) {
  std::uint32_t flags = 0;
  if (!notifyOverride_.armed || notifyOverride_.value) flags |= MCI_NOTIFY;
  if (waitOverride_.armed && waitOverride_.value) flags |= MCI_WAIT;
  if (consume) notifyOverride_.armed = waitOverride_.armed = false;
  return flags;
}

void TMediaPlayer::CheckIfOpen() const {
  if (!isOpen_) throw EMCIDeviceError(kNoDeviceOpen);
}

std::string TMediaPlayer::ErrorMessage() const {
  std::optional<std::string> text = mci_->ErrorString(error_);
  if (!text) return kUnknownErrorCode;
  // The text comes through a buffer of fixed size with its terminating zero.
  if (text->size() > kErrorBufferSize - 1) text->resize(kErrorBufferSize - 1);
  return *text;
}

void TMediaPlayer::Open() {
  MCI_OPEN_PARMS open{};
  if (isOpen_) Close();
  open.callback = this;
  open.deviceType = kDeviceTypeNames[deviceType_];
  open.elementName = fileName_;

  std::uint32_t flags = WaitGroupFlags();
  if (deviceType_ != dtAutoSelect) flags |= MCI_OPEN_TYPE;
  if (deviceType_ == dtAutoSelect || !fileName_.empty()) flags |= MCI_OPEN_ELEMENT;
  if (shareable_) flags |= MCI_OPEN_SHAREABLE;

  MciRecord record = std::move(open);
  error_ = mci_->SendCommand(0, MCI_OPEN, flags, record);
  if (error_ != 0) throw EMCIDeviceError(ErrorMessage());
  isOpen_ = true;
  deviceId_ = std::get<MCI_OPEN_PARMS>(record).deviceId;

  stepFrames_ = Length() / 10;
  ReadCapabilities();
  if (caps_.hasVideo) {
    SetDisplay(display_.data());
    displaySize_ = Where(MCI_DGV_WHERE_DESTINATION);
  }
  if (deviceType_ == dtCDAudio || deviceType_ == dtVideodisc) SetTimeFormat(tfTMSF);

  autoButtons_ = MPButton(btNext) | MPButton(btPrev);
  if (caps_.canStep) autoButtons_ |= MPButton(btStep) | MPButton(btBack);
  if (caps_.canPlay) autoButtons_ |= MPButton(btPlay);
  if (caps_.canRecord) autoButtons_ |= MPButton(btRecord);
  if (caps_.canEject) autoButtons_ |= MPButton(btEject);
  if (Mode() == mpPlaying) {
    autoButtons_ &= static_cast<TButtonSet>(~(MPButton(btPlay) | MPButton(btRecord)));
    autoButtons_ |= MPButton(btPause) | MPButton(btStop);
  }
}

void TMediaPlayer::ReadCapabilities() {
  caps_.canPlay = DevCap(MCI_GETDEVCAPS_CAN_PLAY);
  caps_.canRecord = DevCap(MCI_GETDEVCAPS_CAN_RECORD);
  caps_.canEject = DevCap(MCI_GETDEVCAPS_CAN_EJECT);
  caps_.hasVideo = DevCap(MCI_GETDEVCAPS_HAS_VIDEO);
  MciRecord record = MCI_GETDEVCAPS_PARMS{this, 0, MCI_GETDEVCAPS_DEVICE_TYPE};
  Send(MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT, record);
  const std::uint32_t type = std::get<MCI_GETDEVCAPS_PARMS>(record).returnValue;
  caps_.canStep = type == MCI_DEVTYPE_VCR || type == MCI_DEVTYPE_OVERLAY ||
                  type == MCI_DEVTYPE_ANIMATION || type == MCI_DEVTYPE_DIGITAL_VIDEO;
  // Devices without video refuse this; its result is kept all the same.
  displaySize_ = Where(MCI_DGV_WHERE_SOURCE);
}

bool TMediaPlayer::DevCap(std::uint32_t item) {
  MciRecord record = MCI_GETDEVCAPS_PARMS{this, 0, item};
  Send(MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM | MCI_WAIT, record);
  return std::get<MCI_GETDEVCAPS_PARMS>(record).returnValue != 0;
}

QSize TMediaPlayer::Where(std::uint32_t flags) {
  MciRecord record = MCI_DGV_RECT_PARMS{this};
  error_ = Send(MCI_WHERE, flags, record);
  const auto& rect = std::get<MCI_DGV_RECT_PARMS>(record);
  return QSize(rect.right - rect.left, rect.bottom - rect.top);
}

void TMediaPlayer::Close() {
  if (deviceId_ == 0) return;
  MciRecord record = MCI_GENERIC_PARMS{this};
  error_ = Send(MCI_CLOSE, WaitGroupFlags(), record);
  if (error_ != 0) return;
  isOpen_ = false;
  deviceId_ = 0;
  autoButtons_ = 0;
}

void TMediaPlayer::Play() {
  CheckIfOpen();
  if (autoRewind_ && !from_.armed && !to_.armed && Position() == Length()) Rewind();
  std::uint32_t flags = NotifyGroupFlags();
  MCI_PLAY_PARMS play{this, 0, 0};
  if (from_.armed) {
    flags |= MCI_FROM;
    play.from = from_.value;
    from_.armed = false;
  }
  if (to_.armed) {
    flags |= MCI_TO;
    play.to = to_.value;
    to_.armed = false;
  }
  MciRecord record = play;
  error_ = Send(MCI_PLAY, flags, record);
}

void TMediaPlayer::Stop() {
  CheckIfOpen();
  MciRecord record = MCI_GENERIC_PARMS{this};
  error_ = Send(MCI_STOP, WaitGroupFlags(), record);
}

bool TMediaPlayer::event(QEvent* event) {
  if (event->type() != MciNotifyEvent::EventType()) return QWidget::event(event);
  MciNotify(static_cast<MciNotifyEvent*>(event)->Outcome());
  return true;
}

void TMediaPlayer::MciNotify(std::uint32_t outcome) {
  if (autoEnable_ && Mode() == mpStopped) {
    if (caps_.canPlay) autoButtons_ |= MPButton(btPlay);
    if (caps_.canRecord) autoButtons_ |= MPButton(btRecord);
    autoButtons_ &= static_cast<TButtonSet>(~(MPButton(btPause) | MPButton(btStop)));
  }
  switch (outcome) {
    case MCI_NOTIFY_SUCCESSFUL:
      notifyValue_ = nvSuccessful;
      break;
    case MCI_NOTIFY_SUPERSEDED:
      notifyValue_ = nvSuperseded;
      break;
    case MCI_NOTIFY_ABORTED:
      notifyValue_ = nvAborted;
      break;
    case MCI_NOTIFY_FAILURE:
      notifyValue_ = nvFailure;
      break;
    default:
      break;
  }
  if (OnNotify) GuardHandler([this] { OnNotify(*this); });
}

void TMediaPlayer::Loaded() {
  if (autoOpen_) Open();
}

}  // namespace dorvem
