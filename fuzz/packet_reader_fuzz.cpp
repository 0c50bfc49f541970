// Feeds arbitrary bytes to the packet reader, binary or text, and walks
// everything it delivers, nested levels included, as a consumer following
// the reader would. Any crash or out-of-bounds access is a fault; results do
// not matter.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dataset/packet/packet_format.h"
#include "dataset/packet/packet_model.h"
#include "dataset/packet/reader_interface.h"

namespace {

using namespace dorvem;

void Walk(std::vector<std::uint8_t> packet) {
  EngineRef<TDATAPACKET_READ> r;
  if (DATAPACKETREAD_Factory(r.Receive()) || r->StartPacket(std::move(packet))) return;
  std::vector<std::uint8_t> buf(64);
  char name[256];
  auto params = [&]() -> bool {
    for (int i = 0; i < 100000; ++i) {
      std::uint32_t size = 0, word = 0;
      if (r->NextParamSize(&size)) return true;
      if (!(size & packet::kNotFetchedBit) && size > buf.size()) buf.resize(size);
      size = static_cast<std::uint32_t>(buf.size());
      if (r->NextParam(name, &word, &size, buf.data())) return false;
    }
    return false;
  };
  std::uint32_t size = 0, status = 0;
  DBResult e = dbr::kOk;
  for (int i = 0; i < 100000; ++i) {
    DSColumnDesc d;
    e = r->NextColumn(&d);
    if (e == dbr::kOk) {
      if (!params()) return;
      continue;
    }
    if (e != dbr::kAtEnd || !params()) return;
    size = static_cast<std::uint32_t>(buf.size());
    e = r->NextField(&size, buf.data(), &status);
    if (e != dbr::kNotApplicable) break;
  }
  for (int i = 0; i < 10000000; ++i) {
    if (e == dbr::kInvalidParameter && !(size & packet::kNotFetchedBit)) {
      buf.resize(size);
    } else if (e != dbr::kOk && e != dbr::kFieldIsBlank) {
      return;
    }
    size = static_cast<std::uint32_t>(buf.size());
    e = r->NextField(&size, buf.data(), &status);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> packet(data, data + size);
  Walk(packet);
  PacketModel model;
  if (ReadPacketModel(packet, &model) == dbr::kOk) {
    std::vector<std::uint8_t> out;
    // The writer takes flat tables only and may refuse what was read.
    IgnoreResult(WritePacketModel(model, PacketForm::kBinary, &out));
    IgnoreResult(WritePacketModel(model, PacketForm::kXml, &out));
  }
  return 0;
}
