// The vocabulary of the media-control layer: device ids, command codes, the
// flags each command takes, the items of the status and capability queries,
// the device mode and device type codes, and the outcome codes of a
// completion notice.
//
// The layer (mci_interface.h) takes every request as one call:
// SendCommand(device, command, flags, record). The flags say which fields of
// the record are meaningful and whether the caller wants a completion notice
// (MCI_NOTIFY) or to have the request carried out before the call returns
// (MCI_WAIT). The records are in mci_records.h, the result codes in
// mci_errors.h. This file holds numbers only.
#pragma once

#include <cstdint>

namespace dorvem::mci {

// An open device; 0 names no device (MCI_OPEN is sent to device 0).
using MCIDEVICEID = std::uint16_t;
// The result of a request: 0 success, otherwise one of mci_errors.h.
using MCIERROR = std::uint32_t;

// --- Commands -------------------------------------------------------------
inline constexpr std::uint32_t MCI_OPEN = 0x0803;
inline constexpr std::uint32_t MCI_CLOSE = 0x0804;
inline constexpr std::uint32_t MCI_PLAY = 0x0806;
inline constexpr std::uint32_t MCI_SEEK = 0x0807;
inline constexpr std::uint32_t MCI_STOP = 0x0808;
inline constexpr std::uint32_t MCI_PAUSE = 0x0809;
inline constexpr std::uint32_t MCI_GETDEVCAPS = 0x080B;
inline constexpr std::uint32_t MCI_SET = 0x080D;
inline constexpr std::uint32_t MCI_STEP = 0x080E;
inline constexpr std::uint32_t MCI_RECORD = 0x080F;
inline constexpr std::uint32_t MCI_STATUS = 0x0814;
inline constexpr std::uint32_t MCI_WINDOW = 0x0841;
inline constexpr std::uint32_t MCI_WHERE = 0x0843;
inline constexpr std::uint32_t MCI_RESUME = 0x0855;

// --- Flags every command takes ----------------------------------------------
inline constexpr std::uint32_t MCI_NOTIFY = 0x1;  // send a completion notice
inline constexpr std::uint32_t MCI_WAIT = 0x2;    // carry it out before returning
inline constexpr std::uint32_t MCI_FROM = 0x4;    // play, record: the record's `from`
inline constexpr std::uint32_t MCI_TO = 0x8;      // play, record, seek: the record's `to`
inline constexpr std::uint32_t MCI_TRACK = 0x10;  // status: the record's `track`

// --- MCI_OPEN ------------------------------------------------------------------
inline constexpr std::uint32_t MCI_OPEN_SHAREABLE = 0x100;
inline constexpr std::uint32_t MCI_OPEN_ELEMENT = 0x200;  // the record names a file
inline constexpr std::uint32_t MCI_OPEN_ALIAS = 0x400;
inline constexpr std::uint32_t MCI_OPEN_TYPE = 0x2000;  // the record names a device type

// --- MCI_SEEK ------------------------------------------------------------------
inline constexpr std::uint32_t MCI_SEEK_TO_START = 0x100;
inline constexpr std::uint32_t MCI_SEEK_TO_END = 0x200;

// --- MCI_STATUS and MCI_GETDEVCAPS ----------------------------------------------
inline constexpr std::uint32_t MCI_STATUS_ITEM = 0x100;  // the record's `item` is asked
inline constexpr std::uint32_t MCI_GETDEVCAPS_ITEM = 0x100;

inline constexpr std::uint32_t MCI_STATUS_LENGTH = 1;
inline constexpr std::uint32_t MCI_STATUS_POSITION = 2;
inline constexpr std::uint32_t MCI_STATUS_NUMBER_OF_TRACKS = 3;
inline constexpr std::uint32_t MCI_STATUS_MODE = 4;
inline constexpr std::uint32_t MCI_STATUS_MEDIA_PRESENT = 5;
inline constexpr std::uint32_t MCI_STATUS_TIME_FORMAT = 6;
inline constexpr std::uint32_t MCI_STATUS_READY = 7;
inline constexpr std::uint32_t MCI_STATUS_CURRENT_TRACK = 8;

inline constexpr std::uint32_t MCI_GETDEVCAPS_CAN_RECORD = 1;
inline constexpr std::uint32_t MCI_GETDEVCAPS_HAS_AUDIO = 2;
inline constexpr std::uint32_t MCI_GETDEVCAPS_HAS_VIDEO = 3;
inline constexpr std::uint32_t MCI_GETDEVCAPS_DEVICE_TYPE = 4;
inline constexpr std::uint32_t MCI_GETDEVCAPS_USES_FILES = 5;
inline constexpr std::uint32_t MCI_GETDEVCAPS_COMPOUND_DEVICE = 6;
inline constexpr std::uint32_t MCI_GETDEVCAPS_CAN_EJECT = 7;
inline constexpr std::uint32_t MCI_GETDEVCAPS_CAN_PLAY = 8;
inline constexpr std::uint32_t MCI_GETDEVCAPS_CAN_SAVE = 9;

// --- MCI_SET -----------------------------------------------------------------------
inline constexpr std::uint32_t MCI_SET_DOOR_OPEN = 0x100;
inline constexpr std::uint32_t MCI_SET_TIME_FORMAT = 0x400;
// The playing speed in thousandths of the media's own (MCI_SET_PARMS::speed).
inline constexpr std::uint32_t MCI_DGV_SET_SPEED = 0x20000;

// Time formats. Devices of this layer count in milliseconds only.
inline constexpr std::uint32_t MCI_FORMAT_MILLISECONDS = 0;
inline constexpr std::uint32_t MCI_FORMAT_TMSF = 10;

// Positions in the tracks-minutes-seconds-frames format: one byte each, the
// track in the lowest.
constexpr std::uint32_t MCI_MAKE_TMSF(std::uint32_t t, std::uint32_t m, std::uint32_t s,
                                      std::uint32_t f) {
  return (t & 0xFF) | (m & 0xFF) << 8 | (s & 0xFF) << 16 | (f & 0xFF) << 24;
}
constexpr std::uint32_t MCI_TMSF_TRACK(std::uint32_t p) {
  return p & 0xFF;
}
constexpr std::uint32_t MCI_TMSF_MINUTE(std::uint32_t p) {
  return (p >> 8) & 0xFF;
}
constexpr std::uint32_t MCI_TMSF_SECOND(std::uint32_t p) {
  return (p >> 16) & 0xFF;
}

// --- MCI_STEP, MCI_WINDOW, MCI_WHERE (video devices) ------------------------
inline constexpr std::uint32_t MCI_DGV_STEP_REVERSE = 0x10000;
inline constexpr std::uint32_t MCI_DGV_STEP_FRAMES = 0x20000;
inline constexpr std::uint32_t MCI_DGV_WINDOW_HWND = 0x10000;
inline constexpr std::uint32_t MCI_DGV_WHERE_SOURCE = 0x20000;
inline constexpr std::uint32_t MCI_DGV_WHERE_DESTINATION = 0x40000;

// --- Answers -------------------------------------------------------------------------
// Device modes, as MCI_STATUS_MODE answers them.
inline constexpr std::uint32_t MCI_MODE_NOT_READY = 524;
inline constexpr std::uint32_t MCI_MODE_STOP = 525;
inline constexpr std::uint32_t MCI_MODE_PLAY = 526;
inline constexpr std::uint32_t MCI_MODE_RECORD = 527;
inline constexpr std::uint32_t MCI_MODE_SEEK = 528;
inline constexpr std::uint32_t MCI_MODE_PAUSE = 529;
inline constexpr std::uint32_t MCI_MODE_OPEN = 530;

// Device types, as MCI_GETDEVCAPS_DEVICE_TYPE answers them.
inline constexpr std::uint32_t MCI_DEVTYPE_VCR = 513;
inline constexpr std::uint32_t MCI_DEVTYPE_VIDEODISC = 514;
inline constexpr std::uint32_t MCI_DEVTYPE_OVERLAY = 515;
inline constexpr std::uint32_t MCI_DEVTYPE_CD_AUDIO = 516;
inline constexpr std::uint32_t MCI_DEVTYPE_DAT = 517;
inline constexpr std::uint32_t MCI_DEVTYPE_SCANNER = 518;
inline constexpr std::uint32_t MCI_DEVTYPE_ANIMATION = 519;
inline constexpr std::uint32_t MCI_DEVTYPE_DIGITAL_VIDEO = 520;
inline constexpr std::uint32_t MCI_DEVTYPE_OTHER = 521;
inline constexpr std::uint32_t MCI_DEVTYPE_WAVEFORM_AUDIO = 522;
inline constexpr std::uint32_t MCI_DEVTYPE_SEQUENCER = 523;

// Outcomes a completion notice carries.
inline constexpr std::uint32_t MCI_NOTIFY_SUCCESSFUL = 1;  // the request completed
inline constexpr std::uint32_t MCI_NOTIFY_SUPERSEDED = 2;  // a newer request asked for a notice
inline constexpr std::uint32_t MCI_NOTIFY_ABORTED = 4;     // another request cut it short
inline constexpr std::uint32_t MCI_NOTIFY_FAILURE = 8;     // the device failed while doing it

}  // namespace dorvem::mci
