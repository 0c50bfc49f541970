#include "tests/media/media_bytes.h"

#include <cmath>
#include <numbers>

namespace dorvem::testing {

namespace {

void Le(Bytes& b, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Be(Bytes& b, std::uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Tag(Bytes& b, const char* id) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(id[i]));
}

}  // namespace

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes WaveFile(std::uint32_t sampleRate, std::uint16_t channels, std::uint32_t samples,
               const std::string& extraChunk) {
  Bytes fmt;
  Le(fmt, 1, 2);  // PCM
  Le(fmt, channels, 2);
  Le(fmt, sampleRate, 4);
  Le(fmt, sampleRate * channels * 2, 4);
  Le(fmt, channels * 2u, 2);
  Le(fmt, 16, 2);
  Bytes data;
  for (std::uint32_t i = 0; i < samples; ++i) {
    const double v = 0.5 * std::sin(2 * std::numbers::pi * 440.0 * i / sampleRate);
    for (int c = 0; c < channels; ++c)
      Le(data, static_cast<std::uint16_t>(std::lround(v * 32767)), 2);
  }
  Bytes body;
  Tag(body, "WAVE");
  Tag(body, "fmt ");
  Le(body, static_cast<std::uint32_t>(fmt.size()), 4);
  body = body + fmt;
  if (!extraChunk.empty()) {
    Tag(body, extraChunk.substr(0, 4).c_str());
    const std::string content = extraChunk.substr(4);
    Le(body, static_cast<std::uint32_t>(content.size()), 4);
    body.insert(body.end(), content.begin(), content.end());
    if (content.size() % 2) body.push_back(0);
  }
  Tag(body, "data");
  Le(body, static_cast<std::uint32_t>(data.size()), 4);
  body = body + data;
  Bytes file;
  Tag(file, "RIFF");
  Le(file, static_cast<std::uint32_t>(body.size()), 4);
  return file + body;
}

Bytes Vlq(std::uint32_t value) {
  Bytes b{static_cast<std::uint8_t>(value & 0x7F)};
  while (value >>= 7) b.insert(b.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
  return b;
}

Bytes MidiFile(std::uint16_t format, std::uint16_t division, const std::vector<Bytes>& tracks) {
  Bytes file;
  Tag(file, "MThd");
  Be(file, 6, 4);
  Be(file, format, 2);
  Be(file, static_cast<std::uint32_t>(tracks.size()), 2);
  Be(file, division, 2);
  for (const Bytes& t : tracks) {
    Tag(file, "MTrk");
    Be(file, static_cast<std::uint32_t>(t.size()), 4);
    file = file + t;
  }
  return file;
}

Bytes NoteOn(std::uint32_t delta, std::uint8_t key) {
  return Vlq(delta) + Bytes{0x90, key, 100};
}
Bytes NoteOff(std::uint32_t delta, std::uint8_t key) {
  return Vlq(delta) + Bytes{0x80, key, 0};
}
Bytes Tempo(std::uint32_t delta, std::uint32_t micros) {
  return Vlq(delta) + Bytes{0xFF,
                            0x51,
                            0x03,
                            static_cast<std::uint8_t>(micros >> 16),
                            static_cast<std::uint8_t>(micros >> 8),
                            static_cast<std::uint8_t>(micros)};
}
Bytes EndOfTrack(std::uint32_t delta) {
  return Vlq(delta) + Bytes{0xFF, 0x2F, 0x00};
}

Bytes OneNoteMidi(std::uint32_t ticks) {
  return MidiFile(0, 480, {NoteOn(0, 60) + NoteOff(ticks, 60) + EndOfTrack(0)});
}

Bytes RmidFile(const Bytes& smf) {
  Bytes body;
  Tag(body, "RMID");
  Tag(body, "data");
  Le(body, static_cast<std::uint32_t>(smf.size()), 4);
  body = body + smf;
  if (smf.size() % 2) body.push_back(0);
  Bytes file;
  Tag(file, "RIFF");
  Le(file, static_cast<std::uint32_t>(body.size()), 4);
  return file + body;
}

Bytes MpegFrames(const Bytes& header, std::size_t frameLength, std::size_t count) {
  Bytes frame = header;
  frame.resize(frameLength, 0);
  Bytes all;
  for (std::size_t i = 0; i < count; ++i) all = all + frame;
  return all;
}

}  // namespace dorvem::testing
