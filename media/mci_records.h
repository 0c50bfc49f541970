// The parameter records of the media-control layer: one struct per kind of
// request, and MciRecord, the one of them a request carries.
//
// The caller owns the record; the layer reads the fields that the request's
// flags name and writes its answers (the new device id, a query's value, a
// rectangle) back into the same record. `callback` names the object that
// receives the request's completion notice (mci_notify.h) when the flags
// ask for one. Every struct compares by value, so that a test can check a
// request field by field.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "media/probe/mci_codes.h"

class QObject;

namespace dorvem::mci {

// Receiver of completion notices; null when none is named.
using MciCallback = QObject*;

// Close, stop, pause, resume, and any request that needs nothing else.
struct MCI_GENERIC_PARMS {
  MciCallback callback = nullptr;
  bool operator==(const MCI_GENERIC_PARMS&) const = default;
};

// MCI_OPEN. In: device type name (with MCI_OPEN_TYPE), element = the file
// (with MCI_OPEN_ELEMENT), alias (with MCI_OPEN_ALIAS). Out: deviceId.
struct MCI_OPEN_PARMS {
  MciCallback callback = nullptr;
  MCIDEVICEID deviceId = 0;
  std::string deviceType;
  std::string elementName;
  std::string alias;
  bool operator==(const MCI_OPEN_PARMS&) const = default;
};

// MCI_PLAY: positions in the device's time format (with MCI_FROM, MCI_TO).
struct MCI_PLAY_PARMS {
  MciCallback callback = nullptr;
  std::uint32_t from = 0;
  std::uint32_t to = 0;
  bool operator==(const MCI_PLAY_PARMS&) const = default;
};

// MCI_RECORD: as MCI_PLAY.
struct MCI_RECORD_PARMS {
  MciCallback callback = nullptr;
  std::uint32_t from = 0;
  std::uint32_t to = 0;
  bool operator==(const MCI_RECORD_PARMS&) const = default;
};

// MCI_SEEK: the target with MCI_TO.
struct MCI_SEEK_PARMS {
  MciCallback callback = nullptr;
  std::uint32_t to = 0;
  bool operator==(const MCI_SEEK_PARMS&) const = default;
};

// MCI_SET: the time format with MCI_SET_TIME_FORMAT; `audio` names the
// channel of the audio settings, which no request here uses; the speed in
// thousandths of the media's own (1000 normal) with MCI_DGV_SET_SPEED.
struct MCI_SET_PARMS {
  MciCallback callback = nullptr;
  std::uint32_t timeFormat = 0;
  std::uint32_t audio = 0;
  std::uint32_t speed = 0;
  bool operator==(const MCI_SET_PARMS&) const = default;
};

// MCI_STATUS. In: item, and track with MCI_TRACK. Out: returnValue.
struct MCI_STATUS_PARMS {
  MciCallback callback = nullptr;
  std::uint32_t returnValue = 0;
  std::uint32_t item = 0;
  std::uint32_t track = 0;
  bool operator==(const MCI_STATUS_PARMS&) const = default;
};

// MCI_GETDEVCAPS. In: item. Out: returnValue (1 true, 0 false, or a code).
struct MCI_GETDEVCAPS_PARMS {
  MciCallback callback = nullptr;
  std::uint32_t returnValue = 0;
  std::uint32_t item = 0;
  bool operator==(const MCI_GETDEVCAPS_PARMS&) const = default;
};

// MCI_STEP: the number of frames with MCI_DGV_STEP_FRAMES.
struct MCI_DGV_STEP_PARMS {
  MciCallback callback = nullptr;
  std::uint32_t frames = 0;
  bool operator==(const MCI_DGV_STEP_PARMS&) const = default;
};

// MCI_WINDOW: the window a video device draws in (with
// MCI_DGV_WINDOW_HWND); null means the device's own window.
struct MCI_DGV_WINDOW_PARMS {
  MciCallback callback = nullptr;
  QObject* window = nullptr;
  bool operator==(const MCI_DGV_WINDOW_PARMS&) const = default;
};

// MCI_WHERE. Out: the rectangle asked for.
struct MCI_DGV_RECT_PARMS {
  MciCallback callback = nullptr;
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const MCI_DGV_RECT_PARMS&) const = default;
};

using MciRecord =
    std::variant<MCI_GENERIC_PARMS, MCI_OPEN_PARMS, MCI_PLAY_PARMS, MCI_RECORD_PARMS,
                 MCI_SEEK_PARMS, MCI_SET_PARMS, MCI_STATUS_PARMS, MCI_GETDEVCAPS_PARMS,
                 MCI_DGV_STEP_PARMS, MCI_DGV_WINDOW_PARMS, MCI_DGV_RECT_PARMS>;

// The callback a record names, whichever kind it is.
inline MciCallback CallbackOf(const MciRecord& record) {
  return std::visit([](const auto& r) { return r.callback; }, record);
}

}  // namespace dorvem::mci
