#include "tests/media/recording_mci.h"

#include <QObject>
#include <iomanip>

#include "media/mci_notify.h"

namespace dorvem::testing {

using namespace mci;

std::string CommandName(std::uint32_t command) {
  switch (command) {
    case MCI_OPEN:
      return "OPEN";
    case MCI_CLOSE:
      return "CLOSE";
    case MCI_PLAY:
      return "PLAY";
    case MCI_SEEK:
      return "SEEK";
    case MCI_STOP:
      return "STOP";
    case MCI_PAUSE:
      return "PAUSE";
    case MCI_GETDEVCAPS:
      return "GETDEVCAPS";
    case MCI_SET:
      return "SET";
    case MCI_STEP:
      return "STEP";
    case MCI_RECORD:
      return "RECORD";
    case MCI_STATUS:
      return "STATUS";
    case MCI_WINDOW:
      return "WINDOW";
    case MCI_WHERE:
      return "WHERE";
    case MCI_RESUME:
      return "RESUME";
    default:
      return std::to_string(command);
  }
}

namespace {

struct RecordPrinter {
  std::ostream& os;
  void Callback(MciCallback c) {
    os << "cb=" << (c ? c->objectName().toStdString() : std::string("null"));
  }
  void operator()(const MCI_GENERIC_PARMS& r) { Callback(r.callback); }
  void operator()(const MCI_OPEN_PARMS& r) {
    Callback(r.callback);
    os << " id=" << r.deviceId << " type=\"" << r.deviceType << "\" element=\"" << r.elementName
       << "\" alias=\"" << r.alias << '"';
  }
  void operator()(const MCI_PLAY_PARMS& r) {
    Callback(r.callback);
    os << " from=" << r.from << " to=" << r.to;
  }
  void operator()(const MCI_RECORD_PARMS& r) {
    Callback(r.callback);
    os << " rec from=" << r.from << " to=" << r.to;
  }
  void operator()(const MCI_SEEK_PARMS& r) {
    Callback(r.callback);
    os << " to=" << r.to;
  }
  void operator()(const MCI_SET_PARMS& r) {
    Callback(r.callback);
    os << " timeFormat=" << r.timeFormat << " audio=" << r.audio;
    if (r.speed != 0) os << " speed=" << r.speed;
  }
  void operator()(const MCI_STATUS_PARMS& r) {
    Callback(r.callback);
    os << " ret=" << r.returnValue << " item=" << r.item << " track=" << r.track;
  }
  void operator()(const MCI_GETDEVCAPS_PARMS& r) {
    Callback(r.callback);
    os << " ret=" << r.returnValue << " item=" << r.item;
  }
  void operator()(const MCI_DGV_STEP_PARMS& r) {
    Callback(r.callback);
    os << " frames=" << r.frames;
  }
  void operator()(const MCI_DGV_WINDOW_PARMS& r) {
    Callback(r.callback);
    os << " window=" << r.window;
  }
  void operator()(const MCI_DGV_RECT_PARMS& r) {
    Callback(r.callback);
    os << " rect=" << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom;
  }
};

}  // namespace

void PrintTo(const MciRequest& request, std::ostream* os) {
  *os << "{dev " << request.device << ' ' << CommandName(request.command) << " flags 0x" << std::hex
      << request.flags << std::dec << ' ';
  std::visit(RecordPrinter{*os}, request.record);
  *os << '}';
}

RecordingMci::RecordingMci() {
  for (MCIERROR code : {MCIERR_FILE_NOT_FOUND, MCIERR_INVALID_FILE, MCIERR_UNSUPPORTED_FUNCTION})
    texts[code] = *MciErrorText(code);
}

MCIERROR RecordingMci::SendCommand(MCIDEVICEID device, std::uint32_t command, std::uint32_t flags,
                                   MciRecord& record) {
  requests.push_back({device, command, flags, record});
  if (flags & MCI_NOTIFY) lastNotifying_ = requests.back();
  if (command == MCI_OPEN) {
    if (!openResults.empty()) {
      const MCIERROR result = openResults.front();
      openResults.pop_front();
      if (result != 0) return result;
    }
    const MCIDEVICEID id = nextId_++;
    open.insert(id);
    std::get<MCI_OPEN_PARMS>(record).deviceId = id;
    return 0;
  }
  if (!open.contains(device)) return MCIERR_INVALID_DEVICE_ID;
  if (const auto it = results.find(command); it != results.end() && it->second != 0)
    return it->second;
  if (command == MCI_CLOSE) open.erase(device);
  if (auto* s = std::get_if<MCI_STATUS_PARMS>(&record)) s->returnValue = status[s->item];
  if (auto* c = std::get_if<MCI_GETDEVCAPS_PARMS>(&record)) c->returnValue = caps[c->item];
  return 0;
}

std::optional<std::string> RecordingMci::ErrorString(MCIERROR code) {
  const auto it = texts.find(code);
  if (it == texts.end()) return std::nullopt;
  return it->second;
}

std::vector<MciRequest> RecordingMci::Take() {
  return std::exchange(requests, {});
}

void RecordingMci::Notify(std::uint32_t outcome) {
  if (lastNotifying_)
    PostNotice(CallbackOf(lastNotifying_->record), lastNotifying_->device, outcome);
}

}  // namespace dorvem::testing
