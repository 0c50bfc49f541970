// TMediaPlayer: the media device object. It opens one media file at a time
// on a device of the media-control layer (mci_interface.h), plays it in the
// background, stops it and closes the device, and turns the layer's result
// codes into texts.
//
// Every operation is one or more requests SendCommand(device, command,
// flags, record); which requests, with which flags and records, is what
// each declaration below states. The flags of most requests follow one
// rule (media_player_flags.cpp): the wait group (Open, Close, Stop, Pause,
// Next, Previous, Step, Back, Eject) takes MCI_WAIT and no notice, the
// notify group (Play, StartRecording, Resume) takes MCI_NOTIFY and no wait,
// unless the Wait or Notify override is armed; an armed override decides
// for exactly one request and is disarmed by it. Every record names this
// object as its callback: the layer's completion notices come back to it
// as events (mci_notify.h).
//
// The object is a widget because it stands for the device's window and its
// hidden button bar; it is never shown. Only the bar's bookkeeping survives:
// which buttons the automatic logic enables.
//
// Owned by its parent widget (the main window's panel). It uses the layer
// that DefaultMci() gives when it is created, or the one it is given; the
// layer must outlive it. Destroying it closes its device. Event thread only.
#pragma once

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "media/mci_interface.h"

namespace dorvem {

// Raised by the media device: a failed Open (with the layer's text for the
// code), or an operation that needs an open device while none is open.
class EMCIDeviceError : public std::runtime_error {
 public:
  explicit EMCIDeviceError(const std::string& message) : std::runtime_error(message) {}
};

enum TMPDeviceTypes {
  dtAutoSelect,
  dtAVIVideo,
  dtCDAudio,
  dtDAT,
  dtDigitalVideo,
  dtMMMovie,
  dtOther,
  dtOverlay,
  dtScanner,
  dtSequencer,
  dtVCR,
  dtVideodisc,
  dtWaveAudio,
};

enum TMPBtnType { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
// A set of buttons: bit (1 << button).
using TButtonSet = std::uint16_t;
constexpr TButtonSet MPButton(TMPBtnType b) {
  return static_cast<TButtonSet>(1u << b);
}
inline constexpr TButtonSet kAllButtons = 0x1FF;

enum TMPNotifyValues { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

// DeviceMode: the layer's mode code minus 524.
enum TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };

// Time formats are the layer's values: 0 milliseconds, 10 tracks, minutes,
// seconds, frames; the others are passed through.
using TMPTimeFormats = std::uint32_t;
inline constexpr TMPTimeFormats tfMilliseconds = 0;
inline constexpr TMPTimeFormats tfTMSF = 10;

// What a device can do, read at each Open.
struct TMPDevCaps {
  bool canPlay = false;
  bool canRecord = false;
  bool canEject = false;
  bool hasVideo = false;
  bool canStep = false;
};

class TMediaPlayer : public QWidget {
  Q_OBJECT

 public:
  using TNotifyEvent = std::function<void(TMediaPlayer& sender)>;
  using TClickEvent = std::function<void(TMediaPlayer& sender, TMPBtnType button, bool& doDefault)>;
  using TPostClickEvent = std::function<void(TMediaPlayer& sender, TMPBtnType button)>;

  // `mci` null: the layer DefaultMci() gives now.
  explicit TMediaPlayer(QWidget* parent = nullptr, mci::MciInterface* mci = nullptr);
  // With a device open: MCI_CLOSE with MCI_WAIT only, result ignored.
  ~TMediaPlayer() override;

  // --- Settings ---------------------------------------------------------------
  // Stored for the next Open; nothing is sent and an open device stays.
  TMPDeviceTypes DeviceType() const { return deviceType_; }
  void SetDeviceType(TMPDeviceTypes type) { deviceType_ = type; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string name) { fileName_ = std::move(name); }
  bool AutoRewind() const { return autoRewind_; }
  void SetAutoRewind(bool v) { autoRewind_ = v; }
  bool AutoOpen() const { return autoOpen_; }
  void SetAutoOpen(bool v) { autoOpen_ = v; }
  bool AutoEnable() const { return autoEnable_; }
  void SetAutoEnable(bool v) { autoEnable_ = v; }
  bool Shareable() const { return shareable_; }
  void SetShareable(bool v) { shareable_ = v; }
  TButtonSet VisibleButtons() const { return visibleButtons_; }
  void SetVisibleButtons(TButtonSet b) { visibleButtons_ = b; }
  TButtonSet EnabledButtons() const { return enabledButtons_; }
  void SetEnabledButtons(TButtonSet b) { enabledButtons_ = b; }
  TButtonSet ColoredButtons() const { return coloredButtons_; }
  void SetColoredButtons(TButtonSet b) { coloredButtons_ = b; }
  // The window a video device draws in. For an open device with video:
  // MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, record {callback, window};
  // on failure Display becomes none. Otherwise only stored. When the window
  // is destroyed, an open video device is given its own window back (the
  // same request with no window) and Display becomes none.
  QWidget* Display() const { return display_.data(); }
  void SetDisplay(QWidget* window);

  TNotifyEvent OnNotify;
  TClickEvent OnClick;
  TPostClickEvent OnPostClick;

  // --- Run-time state ------------------------------------------------------------
  bool IsOpen() const { return isOpen_; }
  mci::MCIDEVICEID OpenDeviceId() const { return deviceId_; }
  // The result of the last request that stores its result (0 success).
  std::uint32_t LastError() const { return error_; }
  // The layer's text for LastError, at most 4095 bytes; "Unknown error
  // code" when the layer has none.
  std::string ErrorMessage() const;
  // Arm the overrides of the flag rule for the next request of a group.
  void SetWait(bool wait) { waitOverride_ = {true, wait}; }
  void SetNotify(bool notify) { notifyOverride_ = {true, notify}; }
  // Arm the limits of the next Play or StartRecording.
  void SetFrom(std::uint32_t from) { from_ = {true, from}; }
  void SetTo(std::uint32_t to) { to_ = {true, to}; }
  std::uint32_t Frames() const { return stepFrames_; }
  void SetFrames(std::uint32_t frames) { stepFrames_ = frames; }
  const TMPDevCaps& Capabilities() const { return caps_; }
  TMPNotifyValues NotifyValue() const { return notifyValue_; }
  // Width and height of the video area, read at Open for video devices.
  QSize DisplaySize() const { return displaySize_; }
  TButtonSet AutoEnabledButtons() const { return autoButtons_; }

  // --- Operations the window uses ------------------------------------------
  // Closes an open device first; then MCI_OPEN to device 0 with the wait
  // group, plus MCI_OPEN_TYPE for a named DeviceType, MCI_OPEN_ELEMENT under
  // dtAutoSelect or with a FileName, MCI_OPEN_SHAREABLE when Shareable;
  // record {callback, 0, type name, FileName, ""}. Stores the result; on
  // failure raises EMCIDeviceError with ErrorMessage and stays closed. On
  // success reads the length (StepFrames), the capabilities, the video
  // source rectangle (stored result), applies Display and reads the
  // destination rectangle for video, sets TimeFormat 10 for dtCDAudio and
  // dtVideodisc, and sets the automatic buttons.
  void Open();
  // Nothing when OpenDeviceId is 0; else MCI_CLOSE, wait group, record
  // {callback}; stores the result; on success closed, no automatic
  // buttons. Never raises.
  void Close();
  // Raises "No MCI device open" when closed. Under AutoRewind, with
  // neither limit armed, rewinds a device standing at its end. MCI_PLAY,
  // notify group, plus MCI_FROM / MCI_TO for armed limits (disarmed);
  // record {callback, from, to}. Stores the result; never raises for it.
  void Play();
  // Raises when closed. MCI_STOP, wait group, record {callback}; stores.
  void Stop();
  // The speed of the plays that follow, in thousandths of the media's own
  // tempo (the pitch kept). Nothing when no device is open; else MCI_SET,
  // MCI_DGV_SET_SPEED | MCI_WAIT, record {callback, 0, 0, speed}; stores
  // the result; never raises. A new Open plays at the normal speed.
  void SetSpeed(std::uint32_t speed);

  // --- Operations the window does not use --------------------------------------
  // Each raises "No MCI device open" when closed, unless said otherwise.
  // Mode playing: MCI_PAUSE, wait group; mode paused: Resume; else nothing.
  void Pause();
  // MCI_RESUME, notify group (overrides read, not disarmed); on failure
  // Play instead, on success the overrides are disarmed.
  void Resume();
  // Next and previous track (time format 10) or the end and start.
  void Next();
  void Previous();
  // Video devices only: MCI_STEP by Frames, wait group plus
  // MCI_DGV_STEP_FRAMES (Back: plus MCI_DGV_STEP_REVERSE). Step first
  // rewinds under AutoRewind when the position equals the length.
  void Step();
  void Back();
  // MCI_RECORD, notify group, limits as for Play.
  void StartRecording();
  // When the device can eject: MCI_SET, MCI_SET_DOOR_OPEN, wait group.
  void Eject();
  // MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT; result not stored.
  void Rewind();
  // Runs Open when AutoOpen is on (after the window's settings are set).
  void Loaded();

  // Queries: MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, result stored. Length,
  // Tracks and TimeFormat raise when closed; Position, Mode and
  // TrackPosition do not (they ask whatever OpenDeviceId names).
  std::uint32_t Length();
  std::uint32_t Position();
  std::uint32_t Tracks();
  TMPModes Mode();
  TMPTimeFormats TimeFormat();
  // Start of track `track`: MCI_STATUS_ITEM | MCI_TRACK | MCI_WAIT, item 2.
  std::uint32_t TrackPosition(std::uint32_t track);
  // MCI_SET, MCI_SET_TIME_FORMAT | MCI_NOTIFY to OpenDeviceId whatever it
  // is; stores the result; never raises.
  void SetTimeFormat(TMPTimeFormats format);

 protected:
  // The layer's completion notices.
  bool event(QEvent* event) override;

 private:
  struct Override {
    bool armed = false;
    bool value = false;
  };
  struct Limit {
    bool armed = false;
    std::uint32_t value = 0;
  };

  mci::MCIERROR Send(std::uint32_t command, std::uint32_t flags, mci::MciRecord& record);
  std::uint32_t WaitGroupFlags();
  // `consume`: reading disarms the overrides.
  std::uint32_t NotifyGroupFlags(bool consume = true);
  void CheckIfOpen() const;
  std::uint32_t Query(std::uint32_t item, bool checkOpen);
  bool DevCap(std::uint32_t item);
  QSize Where(std::uint32_t flags);
  // MCI_WINDOW naming `window` (null: the device's own).
  bool SendWindow(QWidget* window);
  void ReadCapabilities();
  void MciNotify(std::uint32_t outcome);
  void DisplayDestroyed();
  // Next and Previous: plays from `position` while playing, else seeks
  // there (MCI_SEEK, wait group plus MCI_TO).
  void GoTo(std::uint32_t position);
  // MCI_SEEK with the wait group plus `to` (MCI_SEEK_TO_START or _END).
  void SeekTo(std::uint32_t end);

  mci::MciInterface* mci_;
  TMPDeviceTypes deviceType_ = dtAutoSelect;
  std::string fileName_;
  bool autoRewind_ = true;
  bool autoOpen_ = false;
  bool autoEnable_ = true;
  bool shareable_ = false;
  TButtonSet visibleButtons_ = kAllButtons;
  TButtonSet enabledButtons_ = kAllButtons;
  TButtonSet coloredButtons_ = kAllButtons;
  QPointer<QWidget> display_;
  QMetaObject::Connection displayConnection_;

  bool isOpen_ = false;
  mci::MCIDEVICEID deviceId_ = 0;
  std::uint32_t error_ = 0;
  Override waitOverride_;
  Override notifyOverride_;
  Limit from_;
  Limit to_;
  std::uint32_t stepFrames_ = 0;
  TMPDevCaps caps_;
  TMPNotifyValues notifyValue_ = nvSuccessful;
  QSize displaySize_;
  TButtonSet autoButtons_ = 0;
};

}  // namespace dorvem
