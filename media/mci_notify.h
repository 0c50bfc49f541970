// The completion notice of the media-control layer: an event posted to the
// object a request named as its callback, carrying the device and the
// outcome (MCI_NOTIFY_SUCCESSFUL, _SUPERSEDED, _ABORTED or _FAILURE).
//
// Notices travel through Qt's event queue of the event thread, so they
// arrive after the request that caused them has returned, in the order in
// which they were posted. A notice for an object that has been destroyed
// is dropped by Qt with the object's other pending events.
#pragma once

#include <QEvent>
#include <cstdint>

#include "media/mci_records.h"
#include "media/probe/mci_codes.h"

namespace dorvem::mci {

class MciNotifyEvent : public QEvent {
 public:
  // The event type, registered with Qt on first use.
  static QEvent::Type EventType();

  MciNotifyEvent(MCIDEVICEID device, std::uint32_t outcome)
      : QEvent(EventType()), device_(device), outcome_(outcome) {}

  MCIDEVICEID Device() const { return device_; }
  std::uint32_t Outcome() const { return outcome_; }

 private:
  MCIDEVICEID device_;
  std::uint32_t outcome_;
};

// Posts a notice for `device` with `outcome` to `callback`; nothing when
// the callback is null.
void PostNotice(MciCallback callback, MCIDEVICEID device, std::uint32_t outcome);

}  // namespace dorvem::mci
