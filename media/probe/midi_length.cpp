// Standard MIDI files: chunk and event layout, and playing time.
//
// "MThd", u32 length (6 or more), u16 format, u16 track count, u16
// division: ticks per quarter note, or with bit 15 set a negative SMPTE frame
// rate in the high byte and ticks per frame in the low byte. Then chunks of
// a four-byte id and a u32 length; "MTrk" chunks hold events. An event is a
// variable-length delta time (7 bits a byte, high bit = more) followed by a
// channel message (status 0x80-0xEF, running status allowed, one data byte
// for 0xC0-0xDF, two for the others), a system-exclusive message (0xF0 or
// 0xF7, variable length, body) or a meta event (0xFF, type, variable
// length, body). Meta 0x51 sets the tempo in microseconds per quarter note
// (three bytes), meta 0x2F ends the track. Integers are big-endian. A
// RIFF-RMID file holds such a file as its "data" chunk (little-endian RIFF
// sizes).
#include <algorithm>
#include <cstring>
#include <vector>

#include "dataset/core/byte_layout.h"
#include "media/probe/media_formats.h"

namespace dorvem::mci {

namespace {

struct TempoChange {
  std::uint64_t tick;
  std::uint32_t microsPerQuarter;
};

std::uint32_t Be32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

class TrackReader {
 public:
  explicit TrackReader(std::span<const std::uint8_t> body) : b_(body) {}

  // Reads the whole track; false when it is malformed. `endTick` is the
  // tick of its end-of-track event (or of its last event).
  bool Read(std::vector<TempoChange>& tempos, std::uint64_t& endTick) {
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (at_ < b_.size()) {
      std::uint32_t delta = 0;
      if (!Vlq(delta)) return false;
      tick += delta;
      std::uint8_t status = 0;
      if (!Byte(status)) return false;
      if (status == 0xFF) {
        std::uint8_t type = 0;
        std::uint32_t length = 0;
        if (!Byte(type) || !Vlq(length) || length > b_.size() - at_) return false;
        if (type == 0x51 && length == 3) {
          const std::uint8_t* p = b_.data() + at_;
          tempos.push_back({tick, std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2]});
        }
        at_ += length;
        if (type == 0x2F) break;
      } else if (status == 0xF0 || status == 0xF7) {
        std::uint32_t length = 0;
        if (!Vlq(length) || length > b_.size() - at_) return false;
        at_ += length;
        running = 0;
      } else if (status >= 0xF0) {
        return false;  // system common and real-time messages have no place in a file
      } else {
        std::size_t data = 0;
        if (status & 0x80) {
          running = status;
        } else {
          if (running == 0) return false;
          data = 1;  // this byte was the first data byte
        }
        const std::size_t needed = (running & 0xE0) == 0xC0 ? 1 : 2;
        const std::size_t rest = needed - data;
        if (rest > b_.size() - at_) return false;
        at_ += rest;
      }
    }
    endTick = tick;
    return true;
  }

 private:
  bool Byte(std::uint8_t& v) {
    if (at_ >= b_.size()) return false;
    v = b_[at_++];
    return true;
  }
  bool Vlq(std::uint32_t& v) {
    v = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t c = 0;
      if (!Byte(c)) return false;
      v = v << 7 | (c & 0x7F);
      if ((c & 0x80) == 0) return true;
    }
    return false;  // longer than four bytes
  }

  std::span<const std::uint8_t> b_;
  std::size_t at_ = 0;
};

// The standard MIDI file inside a RIFF-RMID file, or the bytes themselves.
std::optional<std::span<const std::uint8_t>> StandardMidiFile(std::span<const std::uint8_t> file) {
  if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0) return file;
  if (std::memcmp(file.data() + 8, "RMID", 4) != 0) return std::nullopt;
  std::size_t at = 12;
  while (file.size() - at >= 8) {
    const std::uint8_t* c = file.data() + at;
    const std::uint32_t size = LoadU32(c + 4);
    if (size > file.size() - at - 8) return std::nullopt;
    if (std::memcmp(c, "data", 4) == 0) return file.subspan(at + 8, size);
    at += 8 + std::size_t(size) + (size & 1);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::uint32_t> MidiLengthMs(std::span<const std::uint8_t> file) {
  const auto smf = StandardMidiFile(file);
  if (!smf) return std::nullopt;
  const std::span<const std::uint8_t> b = *smf;
  if (b.size() < 14 || std::memcmp(b.data(), "MThd", 4) != 0) return std::nullopt;
  const std::uint32_t headerLength = Be32(b.data() + 4);
  if (headerLength < 6 || headerLength > b.size() - 8) return std::nullopt;
  const std::uint16_t division = static_cast<std::uint16_t>(b[12] << 8 | b[13]);
  if (division == 0) return std::nullopt;

  std::vector<TempoChange> tempos;
  std::uint64_t endTick = 0;
  int tracks = 0;
  std::size_t at = 8 + headerLength;
  while (b.size() - at >= 8) {
    const std::uint32_t length = Be32(b.data() + at + 4);
    if (length > b.size() - at - 8) return std::nullopt;  // cut short
    if (std::memcmp(b.data() + at, "MTrk", 4) == 0) {
      std::uint64_t trackEnd = 0;
      if (!TrackReader(b.subspan(at + 8, length)).Read(tempos, trackEnd)) return std::nullopt;
      endTick = std::max(endTick, trackEnd);
      ++tracks;
    }
    at += 8 + std::size_t(length);
  }
  if (tracks == 0) return std::nullopt;

  std::uint64_t micros = 0;
  if (division & 0x8000) {
    // SMPTE time: frames per second (29 stands for 29.97) times ticks per frame.
    const int fps = -static_cast<std::int8_t>(division >> 8);
    const std::uint64_t ticksPerFrame = division & 0xFF;
    if (fps <= 0 || ticksPerFrame == 0) return std::nullopt;
    const double framesPerSecond = fps == 29 ? 29.97 : fps;
    micros = static_cast<std::uint64_t>(double(endTick) * 1e6 / (framesPerSecond * ticksPerFrame));
  } else {
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoChange& a, const TempoChange& c) { return a.tick < c.tick; });
    std::uint64_t tick = 0;
    std::uint64_t tempo = 500000;  // 120 quarter notes a minute
    for (const TempoChange& t : tempos) {
      if (t.tick >= endTick) break;
      micros += (t.tick - tick) * tempo / division;
      tick = t.tick;
      tempo = t.microsPerQuarter;
    }
    micros += (endTick - tick) * tempo / division;
  }
  return static_cast<std::uint32_t>(micros / 1000);
}

}  // namespace dorvem::mci
