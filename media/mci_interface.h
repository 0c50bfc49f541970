// MciInterface: the media-control layer as its users see it, one call per
// request and one call for the text of a result code.
//
// TMediaPlayer talks to the layer only through this interface, so that a
// test can put a recording fake beneath it. The program's own layer is
// GstMci (gst_mci.h); DefaultMci (default_mci.h) hands out the one a new
// media player uses.
//
// Event thread only: requests are made and completion notices arrive on
// the thread that runs the Qt event loop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "media/mci_records.h"
#include "media/probe/mci_codes.h"

namespace dorvem::mci {

class MciInterface {
 public:
  virtual ~MciInterface() = default;

  // Carries out one request on `device` (0 for MCI_OPEN) and returns its
  // result; writes answers into `record`. With MCI_NOTIFY the record's
  // callback receives a completion notice (mci_notify.h) later, through the
  // event queue, never from inside this call. Never throws.
  virtual MCIERROR SendCommand(MCIDEVICEID device, std::uint32_t command, std::uint32_t flags,
                               MciRecord& record) = 0;

  // The text of result code `code` (UTF-8), or nothing when the layer has
  // none for it.
  virtual std::optional<std::string> ErrorString(MCIERROR code) = 0;

  // A hint that `file` is likely to be opened soon: a layer may get ready
  // for it so that the open and play that follow cost less. Changes
  // nothing a request can observe; the default does nothing.
  virtual void Prepare(const std::string& file) { static_cast<void>(file); }
};

}  // namespace dorvem::mci
