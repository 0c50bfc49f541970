// RecordingMci: a media-control layer for tests. It records every request
// exactly as it was sent (device, command, flags, and the record before any
// answer is written into it), answers from tables the test sets, and sends
// completion notices only when the test tells it to.
//
// Devices: MCI_OPEN gives ids 1, 2, 3, ... (never reused) unless the test
// has queued a failure; MCI_CLOSE forgets the device. Any other request to a
// device that is not open fails with MCIERR_INVALID_DEVICE_ID, as device 0
// does. Everything else succeeds unless `results` names a code for the
// command. Queries answer from `status` and `caps` (0 when absent).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "media/mci_interface.h"
#include "media/probe/mci_errors.h"

namespace dorvem::testing {

struct MciRequest {
  mci::MCIDEVICEID device = 0;
  std::uint32_t command = 0;
  std::uint32_t flags = 0;
  mci::MciRecord record;
  bool operator==(const MciRequest&) const = default;
};

// Readable output of requests in failure messages.
void PrintTo(const MciRequest& request, std::ostream* os);

class RecordingMci : public mci::MciInterface {
 public:
  RecordingMci();

  mci::MCIERROR SendCommand(mci::MCIDEVICEID device, std::uint32_t command, std::uint32_t flags,
                            mci::MciRecord& record) override;
  std::optional<std::string> ErrorString(mci::MCIERROR code) override;
  // Recorded in `prepared`, apart from the requests.
  void Prepare(const std::string& file) override { prepared.push_back(file); }

  // The requests since the last call, and forgets them.
  std::vector<MciRequest> Take();
  // Posts a notice with `outcome` to the callback of the last request that
  // asked for one (MCI_NOTIFY), for its device.
  void Notify(std::uint32_t outcome);

  std::vector<MciRequest> requests;
  std::vector<std::string> prepared;               // files Prepare was given, in order
  std::deque<mci::MCIERROR> openResults;           // next MCI_OPEN results; empty: success
  std::map<std::uint32_t, mci::MCIERROR> results;  // command -> result
  std::map<std::uint32_t, std::uint32_t> status;   // MCI_STATUS item -> answer
  std::map<std::uint32_t, std::uint32_t> caps;     // MCI_GETDEVCAPS item -> answer
  std::map<mci::MCIERROR, std::string> texts;      // error texts; the layer's own by default
  std::set<mci::MCIDEVICEID> open;

 private:
  mci::MCIDEVICEID nextId_ = 1;
  std::optional<MciRequest> lastNotifying_;
};

// Readable names of the commands, for messages.
std::string CommandName(std::uint32_t command);

}  // namespace dorvem::testing
