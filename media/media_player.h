// TMediaPlayer: the media device object. It opens one media file at a time
// on a device, plays it in the background, stops and closes it.
//
// This class holds the device's settings (device type, file name, automatic
// rewind, opening, enabling, sharing) and its run-time state, which stays
// "closed": it does not open or play anything yet. It is a widget because
// the device's completion notices will be delivered to it; the window never
// shows it.
//
// Owned by its parent widget (the main window's panel).
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

namespace dorvem {

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

class TMediaPlayer : public QWidget {
  Q_OBJECT

 public:
  explicit TMediaPlayer(QWidget* parent = nullptr);

  TMPDeviceTypes DeviceType() const { return deviceType_; }
  // Stored for the next Open; an open device stays as it is.
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

  // Whether a device is open, and its id (0 when none).
  bool IsOpen() const { return openDeviceId_ != 0; }
  std::uint16_t OpenDeviceId() const { return openDeviceId_; }

 private:
  TMPDeviceTypes deviceType_ = dtAutoSelect;
  std::string fileName_;
  bool autoRewind_ = true;
  bool autoOpen_ = false;
  bool autoEnable_ = true;
  bool shareable_ = false;
  std::uint16_t openDeviceId_ = 0;
};

}  // namespace dorvem
