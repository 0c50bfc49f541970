#include "dataset/store/blob_read_ahead.h"

#include <algorithm>
#include <cstring>

#include "dataset/store/blob_store.h"

namespace dorvem {

DBResult BlobReadAhead::Read(std::uint32_t handle, std::string& out) {
  out.clear();
  std::uint32_t length = 0;
  if (DBResult r = store_.Length(handle, &length)) return r;
  if (length == 0) return dbr::kOk;
  const std::uint8_t* from = nullptr;
  if (!store_.EntryOf(handle, &from, &length)) return store_.ReportDataFileChanged();
  const PacketBytes* mapped = store_.MappedPacketOf(from, length);
  if (mapped == nullptr) {
    out.assign(reinterpret_cast<const char*>(from), length);
    return dbr::kOk;
  }
  const bool inWindow = mapped == windowPacket_ && from >= windowStart_ &&
                        static_cast<std::size_t>(from - windowStart_) <= window_.size() &&
                        window_.size() - static_cast<std::size_t>(from - windowStart_) >= length;
  if (!inWindow && !Fill(*mapped, from, length)) return store_.ReportDataFileChanged();
  const std::uint8_t* at = window_.data() + (from - windowStart_);
  out.assign(reinterpret_cast<const char*>(at), length);
  return dbr::kOk;
}

bool BlobReadAhead::Fill(const PacketBytes& packet, const std::uint8_t* from, std::size_t n) {
  windowPacket_ = nullptr;
  const auto left = static_cast<std::size_t>(packet.data() + packet.size() - from);
  window_.resize(std::min(left, std::max(n, kWindowBytes)));
  if (!packet.CopyOut(from, window_.size(), window_.data())) return false;
  windowPacket_ = &packet;
  windowStart_ = from;
  return true;
}

}  // namespace dorvem
