#include "media/probe/media_formats.h"

#include <cstring>

namespace dorvem::mci {

namespace {

bool StartsWith(std::span<const std::uint8_t> bytes, std::size_t offset, const char* tag) {
  const std::size_t n = std::strlen(tag);
  return bytes.size() >= offset + n && std::memcmp(bytes.data() + offset, tag, n) == 0;
}

}  // namespace

MediaKind SniffMediaKind(std::span<const std::uint8_t> head) {
  if (StartsWith(head, 0, "RIFF")) {
    if (StartsWith(head, 8, "WAVE")) return MediaKind::kWave;
    if (StartsWith(head, 8, "RMID")) return MediaKind::kMidi;
    return MediaKind::kUnknown;
  }
  if (StartsWith(head, 0, "MThd")) return MediaKind::kMidi;
  if (StartsWith(head, 0, "ID3")) return MediaKind::kMpegAudio;
  // Bare frames: two headers in a row, so that random bytes that happen to
  // begin with a frame sync are not taken for sound. A file of exactly one
  // frame has no second header.
  if (const std::size_t frame = MpegFrameLength(head); frame != 0) {
    if (frame == head.size()) return MediaKind::kMpegAudio;
    if (frame < head.size() && MpegFrameLength(head.subspan(frame)) != 0)
      return MediaKind::kMpegAudio;
  }
  return MediaKind::kUnknown;
}

std::optional<std::uint32_t> MediaLengthMs(MediaKind kind, std::span<const std::uint8_t> file) {
  switch (kind) {
    case MediaKind::kWave:
      return WaveLengthMs(file);
    case MediaKind::kMpegAudio:
      return Mp3LengthMs(file);
    case MediaKind::kMidi:
      return MidiLengthMs(file);
    case MediaKind::kUnknown:
      break;
  }
  return std::nullopt;
}

}  // namespace dorvem::mci
